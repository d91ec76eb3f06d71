#include "UHelpEngine.h"

#include <windows.h>

#include "UMessages.h"
#include "UPaths.h"
#include "URegistry.h"
#include "UText.h"

namespace tolvex {

std::string FindHHCtrl() {
  std::string path =
      ReadRegValue(HKEY_CLASSES_ROOT, "CLSID\\{adb880a6-d8ff-11cf-9377-00aa003b7a11}\\InprocServer32", "");
  if (path.size() > 11 && StartsWithNoCase(path, "%systemroot%")) path = GetWindowsDir() + path.substr(12);
  if (!FileExists(path)) path.clear();
  if (path.empty()) path = GetSystemDir() + "\\hhctrl.ocx";
  return path;
}

FileVersionInfo NormaliseIEVersion(FileVersionInfo v) {
  if (v.parts[0] == 4 && v.parts[1] <= 70 && v.parts[2] == 0) {
    v.parts[2] = v.parts[3];
    v.parts[3] = 0;
    v.text = VersionPartsText(v.parts);
  }
  return v;
}

FileVersionInfo GetIEVersion() {
  return NormaliseIEVersion(GetFileVersion(RemoveTrailingBackslashes(GetSystemDir()) + "\\Shdocvw.dll"));
}

void UpgradeComCtl32() { LogStageNotBuilt("Updating the common controls"); }

void UpdateIE4HHEtcIfRequired() { LogStageNotBuilt("Updating the browser, help engine and media components"); }

void ClearHelpRootPolicy() { LogStageNotBuilt("Clearing the help policy value"); }

}  // namespace tolvex
