#include "UMediaAgent.h"

#include <windows.h>

#include "UAppRegInfo.h"
#include "UFileVersion.h"
#include "UMessages.h"
#include "UPaths.h"
#include "URegistry.h"
#include "UText.h"

namespace tolvex {

namespace {

enum class Component { AgentCore, SpeechEngine, Character, SpeechInterface };

struct InstallerRow {
  const char* name;       // looked for in the program path, letter case aside
  Component component;
  const char* character;  // for Component::Character
  bool builtIntoWindows2000;
};

// First match decides, so the order matters.
const InstallerRow kInstallers[] = {
    {"\\msagent.exe", Component::AgentCore, nullptr, true},
    {"\\tv_enua.exe", Component::SpeechEngine, nullptr, false},
    {"\\Merlin.exe", Component::Character, "MERLIN.ACS", true},
    {"\\Genie.exe", Component::Character, "GENIE.ACS", false},
    {"\\Robby.exe", Component::Character, "ROBBY.ACS", false},
    {"\\Peedy.exe", Component::Character, "PEEDY.ACS", false},
    {"\\spchapi.exe", Component::SpeechInterface, nullptr, false},
};

const char* const kAgentCoreClass = "{D45FD31B-5C6E-11D1-9EC1-00C04FD7081F}";
const char* const kSpeechEngineClass = "{B8F2846E-CE36-11D0-AC83-00C04FD97575}";

// The major version of a file; -1 when the file is missing or carries no version.
long MajorVersion(const std::string& path) {
  if (!FileExists(path)) return -1;
  FileVersionInfo v = GetFileVersion(path);
  return v.text.empty() ? -1 : static_cast<long>(v.parts[0]);
}

// The major version of a COM class's in-process server; a registered server whose file
// is gone counts as missing.
long ServerMajorVersion(const char* clsid) {
  GUID g;
  if (!ParseGuid(clsid, g)) return -1;
  TCLSInfo info = GetCLSInfo(g);
  return info.dllExists ? MajorVersion(info.inprocServer) : -1;
}

bool ComponentMissing(const InstallerRow& row) {
  switch (row.component) {
    case Component::AgentCore:
      return ServerMajorVersion(kAgentCoreClass) < 2;
    case Component::SpeechEngine:
      return ServerMajorVersion(kSpeechEngineClass) < 1;
    case Component::Character:
      return FindAgentCharacter(row.character).empty();
    case Component::SpeechInterface: {
      // Without the value there is no interface to look at: a "\speech.dll" in the root
      // of whatever drive is current says nothing about this PC.
      std::string dir = ReadRegValue(HKEY_LOCAL_MACHINE, "\\Software\\Microsoft\\SpeechAPI", "InstallDir");
      return dir.empty() || MajorVersion(RemoveTrailingBackslashes(dir) + "\\speech.dll") != 4;
    }
  }
  return true;
}

}  // namespace

bool IsWindows2000() {
  OSVERSIONINFOA vi{};
  vi.dwOSVersionInfoSize = sizeof vi;
  return GetVersionExA(&vi) && vi.dwPlatformId == VER_PLATFORM_WIN32_NT && vi.dwMajorVersion == 5 &&
         vi.dwMinorVersion == 0;
}

std::string FindAgentCharacter(const std::string& fileName) {
  std::string path = GetWindowsDir() + "\\MSAgent\\Chars\\" + fileName;
  return FileExists(path) ? path : std::string();
}

bool RunItemNeeded(const std::string& programPath) {
  for (const InstallerRow& row : kInstallers) {
    if (!ContainsNoCase(programPath, row.name)) continue;
    if (row.builtIntoWindows2000 && IsWindows2000()) return false;
    return ComponentMissing(row);
  }
  return true;
}

void UpdateMediaPlayer() { LogStageNotBuilt("Updating the media player"); }

void UpdateFlashPlayer() { LogStageNotBuilt("Updating the Flash player"); }

}  // namespace tolvex
