#include "UMediaAgent.h"

#include <windows.h>

#include "UAppRegInfo.h"
#include "UComponentSupport.h"
#include "UFileVersion.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UProgress.h"
#include "URegistry.h"
#include "UText.h"
#include "UWinExec.h"

namespace tolvex {

namespace {

enum class Probe { AgentCore, SpeechEngine, Character, SpeechInterface };

struct InstallerRow {
  const char* name;       // looked for in the program path, letter case aside
  Probe probe;
  Component component;    // the Windows versions its installer was made for
  const char* character;  // for Probe::Character
  bool builtIntoWindows2000;
};

// First match decides, so the order matters.
const InstallerRow kInstallers[] = {
    {"\\msagent.exe", Probe::AgentCore, Component::AgentCore, nullptr, true},
    {"\\tv_enua.exe", Probe::SpeechEngine, Component::SpeechEngine, nullptr, false},
    {"\\Merlin.exe", Probe::Character, Component::AgentCharacter, "MERLIN.ACS", true},
    {"\\Genie.exe", Probe::Character, Component::AgentCharacter, "GENIE.ACS", false},
    {"\\Robby.exe", Probe::Character, Component::AgentCharacter, "ROBBY.ACS", false},
    {"\\Peedy.exe", Probe::Character, Component::AgentCharacter, "PEEDY.ACS", false},
    {"\\spchapi.exe", Probe::SpeechInterface, Component::SpeechInterface, nullptr, false},
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
  switch (row.probe) {
    case Probe::AgentCore:
      return ServerMajorVersion(kAgentCoreClass) < 2;
    case Probe::SpeechEngine:
      return ServerMajorVersion(kSpeechEngineClass) < 1;
    case Probe::Character:
      return FindAgentCharacter(row.character).empty();
    case Probe::SpeechInterface: {
      // Without the value there is no interface to look at: a "\speech.dll" in the root
      // of whatever drive is current says nothing about this PC.
      std::string dir = ReadRegValue(HKEY_LOCAL_MACHINE, "\\Software\\Microsoft\\SpeechAPI", "InstallDir");
      return dir.empty() || MajorVersion(RemoveTrailingBackslashes(dir) + "\\speech.dll") != 4;
    }
  }
  return true;
}

// The version of a file; false when it is missing or carries none.
bool FileVersionOf(const std::string& path, VersionParts& v) {
  if (path.empty() || !FileExists(path)) return false;
  FileVersionInfo info = GetFileVersion(path);
  if (info.text.empty()) return false;
  v = info.parts;
  return true;
}

int CompareFileVersion(const std::string& path, const VersionParts& required) {
  VersionParts v;
  return FileVersionOf(path, v) ? CompareVersions(v, required) : -1;
}

int CompareFileVersionText(const std::string& path, const std::string& wanted) {
  VersionParts v;
  return FileVersionOf(path, v) ? CompareWithWantedVersion(v, wanted) : -1;
}

// An installer made for other Windows versions is not started at all: on a later system
// it refuses, hangs, or replaces what Windows itself keeps up to date. Asked only once the
// installer is due: a step that has nothing to do says nothing.
bool StepBelongsHere(Component c, const std::string& installer) {
  std::string why;
  if (ComponentSupportedHere(c, why)) return true;
  LogLine("    Not run: %s (%s)", installer, why);
  return false;
}

bool InstallerFound(const std::string& path) {
  if (FileExists(path)) return true;
  LogLine("** Error: installer not found: %s", path);
  ShowWarningFor("File not found! %s", path);
  return false;
}

bool IsMsiPackage(const std::string& path) {
  return path.size() >= 4 && EqualsNoCase(path.substr(path.size() - 4), ".msi");
}

// The system's own msiexec.exe by its full path: a bare name would be searched in the
// current folder (the CD's, or wherever the program was started) before the system's.
bool RunMsiPackage(const std::string& package) {
  return RunAndWait(GetSystemDir() + "\\msiexec.exe", Format("/i \"%s\" /passive", {package}));
}

struct MediaPlayerStep {
  std::string InstallParams::*installer;
  Component component;
  VersionParts from;  // an installed player at least this old (0.0.0.0: also none at all)
  VersionParts below;
  const char* status;
};

const MediaPlayerStep kMediaPlayerSteps[] = {
    {&InstallParams::WMP9Codecs, Component::MediaPlayer9Codecs, {7, 0, 0, 0}, {9, 0, 0, 0},
     "Installing Windows Media Player 9 Codecs"},
    {&InstallParams::WMP10Installer, Component::MediaPlayer10, {0, 0, 0, 0}, {10, 0, 0, 0},
     "Installing Windows Media Player 10"},
    {&InstallParams::WMP11Installer, Component::MediaPlayer11, {0, 0, 0, 0}, {11, 0, 0, 0},
     "Installing Windows Media Player 11"},
};

void RunMediaPlayerStep(const MediaPlayerStep& step) {
  const std::string& path = Params().*step.installer;
  if (path.empty()) return;
  bool due = CompareMediaPlayerVersion(step.below) == -1 &&
             (step.from == VersionParts{0, 0, 0, 0} || CompareMediaPlayerVersion(step.from) != -1);
  if (!due || !StepBelongsHere(step.component, path) || !InstallerFound(path)) return;
  SetStatus(step.status);
  RunAndWait(path, "/Q");
}

const char* const kFlashActiveXClass = "{D27CDB6E-AE6D-11CF-96B8-444553540000}";
const char* const kFlashActiveXStatus = "Installing Shockwave Flash ActiveX Player.";

}  // namespace

bool IsWindows2000() {
  WindowsVersion v = CurrentWindowsVersion();
  return v.nt && v.major == 5 && v.minor == 0;
}

std::string FindAgentCharacter(const std::string& fileName) {
  std::string path = GetWindowsDir() + "\\MSAgent\\Chars\\" + fileName;
  return FileExists(path) ? path : std::string();
}

bool RunItemNeeded(const std::string& programPath) {
  for (const InstallerRow& row : kInstallers) {
    if (!ContainsNoCase(programPath, row.name)) continue;
    if ((row.builtIntoWindows2000 && IsWindows2000()) || !ComponentMissing(row)) return false;
    std::string why;
    if (!ComponentSupportedHere(row.component, why)) {
      LogLine("    Not needed on this Windows: %s", why);
      return false;
    }
    return true;
  }
  return true;
}

std::string FindMediaPlayerFile() {
  for (const char* name : {"\\wmp.dll", "\\wmp.ocx", "\\msdxm.ocx"}) {
    std::string path = GetSystemDir() + name;
    if (FileExists(path)) return path;
  }
  return std::string();
}

int CompareMediaPlayerVersion(const VersionParts& required) {
  return CompareFileVersion(FindMediaPlayerFile(), required);
}

std::string GetFlashActiveXPath() {
  GUID g;
  if (!ParseGuid(kFlashActiveXClass, g)) return std::string();
  TCLSInfo info = GetCLSInfo(g);
  return info.dllExists ? info.inprocServer : std::string();
}

std::string GetFlashPluginPath() {
  std::string path = GetSystemDir() + "\\Macromed\\Flash\\NPSWF32.dll";
  if (FileExists(path)) return path;
  std::string dir =
      RemoveTrailingBackslashes(ReadRegValue(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Macromedia\\FlashPlayerPlugin", "Path"));
  if (dir.empty() || !FolderExists(dir)) return std::string();
  path = dir + "\\NPSWF32.dll";
  return FileExists(path) ? path : std::string();
}

int CompareFlashVersion(bool activeX, const VersionParts& required) {
  return CompareFileVersion(activeX ? GetFlashActiveXPath() : GetFlashPluginPath(), required);
}

int CompareFlashVersion(bool activeX, const std::string& wanted) {
  return CompareFileVersionText(activeX ? GetFlashActiveXPath() : GetFlashPluginPath(), wanted);
}

std::string FlashVersionText(bool activeX) {
  std::string path = activeX ? GetFlashActiveXPath() : GetFlashPluginPath();
  return path.empty() ? std::string() : FileVersionText(path);
}

bool InstallFlashPlayer(const std::string& installer, bool activeX) {
  if (!InstallerFound(installer)) return false;
  const std::string& wanted = Params().SWFVersion;
  if (!wanted.empty())
    LogLine(kLogSeparator);
  else
    ShowWarning("Check script! Expecting SWFVersion=<number>");
  LogLine(activeX ? "Adobe Flash ActiveX current version: %s" : "Adobe Flash Plugin current version: %s",
          FlashVersionText(activeX));
  if (CompareFlashVersion(activeX, wanted) != -1 || !StepBelongsHere(Component::FlashPlayer, installer)) return false;
  LogLine(activeX ? "Installing: Adobe Flash Player (ActiveX)" : "Installing: Adobe Flash Player (Plugin)");
  bool msi = IsMsiPackage(installer);
  bool started = msi ? RunMsiPackage(installer) : RunAndWait(installer, "/q");
  std::string command = msi ? Format("msiexec.exe /i \"%s\" /passive", {installer}) : installer + " /q";
  // A line saying an installer ran must mean it did: RunAndWait has shown why it could not.
  if (!started) {
    LogLine("** Error: could not start: %s", command);
    return false;
  }
  LogLine("Running: %s", command);
  return true;
}

void UpdateMediaPlayer() {
  for (const MediaPlayerStep& step : kMediaPlayerSteps) RunMediaPlayerStep(step);
}

void UpdateFlashPlayer() {
  const InstallParams& p = Params();
  // Player 6 is checked for even where a newer player is installed: a script naming a
  // file the CD lacks is reported whatever this PC holds.
  if (!p.SWF6InstallerPath.empty() && InstallerFound(p.SWF6InstallerPath) &&
      CompareFlashVersion(true, VersionParts{6, 0, 40, 0}) == -1 &&
      StepBelongsHere(Component::FlashPlayer, p.SWF6InstallerPath)) {
    SetStatus(kFlashActiveXStatus);
    RunAndWait(p.SWF6InstallerPath, "/q");
  }
  const std::string& swf8 = p.SWF8InstallerPath;
  if (!swf8.empty() && InstallerFound(swf8) && CompareFlashVersion(true, VersionParts{8, 0, 0, 0}) == -1) {
    // A package that is no .msi is a script error on every Windows; only one that could
    // be started asks whether it belongs here.
    bool msi = IsMsiPackage(swf8);
    if (!msi || StepBelongsHere(Component::FlashPlayer, swf8)) {
      SetStatus(kFlashActiveXStatus);
      if (msi) {
        RunMsiPackage(swf8);
      } else {
        LogLine("** Error: not a Windows Installer package: %s", swf8);
        ShowWarningFor("Check script! Expecting .MSI installer file! %s", swf8);
      }
    }
  }
  if (!p.SWFInstallerPath.empty()) InstallFlashPlayer(p.SWFInstallerPath, true);
  if (!p.SWFInstallerPath2.empty()) InstallFlashPlayer(p.SWFInstallerPath2, false);
}

}  // namespace tolvex
