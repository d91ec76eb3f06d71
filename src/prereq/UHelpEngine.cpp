#include "UHelpEngine.h"

#include <windows.h>

#include "UComponentSupport.h"
#include "UCopyFiles.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UMediaAgent.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UProgress.h"
#include "URegistry.h"
#include "UText.h"
#include "UWinExec.h"
#include "UWinHandle.h"

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

namespace {

const char kPolicyKey[] = "\\SOFTWARE\\Policies\\Microsoft\\Windows\\System";
const char kPolicyValue[] = "HelpQualifiedRootDir";

// The installers on the CDs date from Windows 95 to 2000; on a later Windows they refuse,
// hang or replace what the system keeps up to date itself. Asked only once a package is
// due, so that every Windows logs what the step found.
bool BelongsHere(Component c) {
  std::string why;
  if (ComponentSupportedHere(c, why)) return true;
  LogLine("  Skipped: " + why);
  return false;
}

// Runs an update package from the CD, or says that the CD lacks it.
void RunPackage(const std::string& package, const std::string& parameters) {
  if (FileExists(package))
    RunAndWait(package, parameters);
  else
    ShowWarningFor("File not found! %s", package);
}

void LogVersion(const std::string& path, const FileVersionInfo& v, const char* missing) {
  LogLine(v.text.empty() ? std::string(missing) + path : "  Current version of " + path + " = " + v.text);
}

// The browser engine is due for the 4.01 SP1 update when it is missing or older than
// 4.72.3110; version 5 and later are left alone.
bool BrowserUpdateDue(const FileVersionInfo& v) {
  const VersionParts& p = v.parts;
  return v.text.empty() || (p[0] == 4 && p[1] < 72) || (p[0] == 4 && p[1] == 72 && p[2] < 3110);
}

// The folder holding the package, which its command line names.
std::string PackageFolder(const std::string& package) {
  return FolderExists(package) ? package : ExtractFileDir(package);
}

// Returns the help gate: true when the browser update ran (or was due and its package
// was missing: Windows is to be restarted either way); false when it was not due or not
// made for this Windows.
bool UpdateBrowser(const std::string& shdocvw, const FileVersionInfo& v) {
  InstallParams& p = Params();
  LogVersion(shdocvw, v, "  IE not found - ");
  int extra = 0;
  std::string cmdLine = FillPlaceholder(p.IE4InstallCmdLine, PackageFolder(p.IE4Install), extra);
  if (extra > 0)
    ReportScriptError("IE4InstallCmdLine \"" + p.IE4InstallCmdLine +
                      "\" asks for the package folder more than once; only the first place is filled.");
  if (!BrowserUpdateDue(v) || !BelongsHere(Component::Browser)) return false;
  LogLine("** Installing IE4 SP1! ** A reboot is required!");
  SetStatus("Upgrading Windows system files.");
  LogLine("-----");
  LogLine(p.IE4Install + " " + cmdLine);
  for (const char* line : {"/q:a - Quiet install - with progress.", "/c:  - command line to execute.",
                           "/x:  - no shell, icons, or links.", "/r:n - no reboot.", "/m:0 - Minimal install.",
                           "/i:n - integrated desktop (y/n).", "/s:  - location of the IE4Setup.exe file.",
                           "/u:  - location of install directory."})
    LogLine(line);
  LogLine("-----");
  RunPackage(p.IE4Install, cmdLine);
  p.RestartRequired = true;
  return true;
}

void UpdateHelpEngine(bool helpGate) {
  InstallParams& p = Params();
  LogLine("HH Info:");
  for (const char* line : {"    V1.0 is 4.72.7290 - IE4", "    V1.1 is 4.72.7323", "    V1.1a is 4.72.7325 - Windows98",
                           "    V1.1b is 4.72.8164 - MSDN", "    V1.2 is 4.73.8252", "    V1.21 is 4.73.8412",
                           "    V1.22 is 4.73.8561", "    V1.3  is 4.74.8702 - Win2K", "    V1.31 is 4.74.8793"})
    LogLine(line);
  std::string hhctrl = GetSystemDir() + "\\HHCTRL.OCX";
  // A control that is there but unregistered leaves help unable to open, on every
  // Windows; the version read next decides about the update either way.
  if (!RegisterServerDll(hhctrl) && FileExists(hhctrl)) LogLine("  ** Registering " + hhctrl + " failed");
  FileVersionInfo v = GetFileVersion(hhctrl);
  LogVersion(hhctrl, v, "  File not found - ");
  const VersionParts kHelp13 = {4, 74, 8702, 0};
  if (!v.text.empty() && CompareVersions(v.parts, kHelp13) >= 0) return;
  if (!helpGate) {
    LogLine("  *** HtmlHelp install aborted - IE version is too old (Less than V3)");
    return;
  }
  if (!BelongsHere(Component::HtmlHelp)) return;
  LogLine("** HH Upgrade performed! ** A reboot is required!");
  SetStatus("Upgrading HtmlHelp system files.");
  RunPackage(p.HHUpgrade, "/r:n /q:a");
  p.RestartRequired = true;
}

}  // namespace

void UpgradeComCtl32() {
  const InstallParams& p = Params();
  if (p.CC32Upgrade.empty()) return;
  LogLine(">>Checking ComCtl32.DLL");
  std::string comctl = GetSystemDir() + "\\comctl32.dll";
  FileVersionInfo v = GetFileVersion(comctl);
  if (v.text.empty()) {
    LogLine("  NOT found! " + comctl);
    return;
  }
  LogLine("  " + comctl + " found - Current version = " + v.text);
  if (v.parts[0] > 4 || (v.parts[0] == 4 && v.parts[1] >= 72)) return;
  if (!BelongsHere(Component::CommonControls)) return;
  LogLine("** ComCtl32.DLL Upgraded to 4.72");
  SetStatus("Upgrading ComCtl32.DLL.");
  RunPackage(p.CC32Upgrade, "/r:n /q:a");
}

void UpdateIE4HHEtcIfRequired() {
  const InstallParams& p = Params();
  LogLine(">>UpdateIE4HHEtcIfRequired()");
  std::string shdocvw = GetSystemDir() + "\\Shdocvw.dll";
  FileVersionInfo ie = GetFileVersion(shdocvw);
  // HTML Help needs the engine of Internet Explorer 3 (4.70) or later.
  bool helpGate = !ie.text.empty() && (ie.parts[0] > 4 || (ie.parts[0] == 4 && ie.parts[1] >= 70));
  if (!p.IE4Install.empty() && !p.IE4InstallCmdLine.empty() && UpdateBrowser(shdocvw, ie)) helpGate = true;
  UpdateMediaPlayer();
  if (!p.HHUpgrade.empty()) UpdateHelpEngine(helpGate);
  UpdateFlashPlayer();
}

void ClearHelpRootPolicy() {
  {
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPolicyKey + 1, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) return;
    if (RegQueryValueExA(key.Get(), kPolicyValue, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return;
  }
  // A policy that stays keeps the help from opening pages in the application's folder.
  LONG rc = DeleteRegValue(HKEY_LOCAL_MACHINE, kPolicyKey, kPolicyValue);
  if (rc != ERROR_SUCCESS)
    LogError("could not remove " + std::string(kPolicyValue) + " from HKEY_LOCAL_MACHINE" + kPolicyKey,
             static_cast<unsigned long>(rc));
}

}  // namespace tolvex
