#include "UShortcuts.h"

#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

#include "FFolderSelect.h"
#include "UDirIdent.h"
#include "UGetAppPath.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UMediaAgent.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UProductDir.h"
#include "UProgress.h"
#include "URegistry.h"
#include "UScript.h"
#include "UText.h"
#include "UWinExec.h"
#include "UWinHandle.h"
#include "Uninstall.h"

namespace tolvex {

bool IsRadialModel() {
  DWORD value = 0;
  return ReadRegDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kelvor\\Brevo\\Model", "Radial", value) && value == 1;
}

static std::string CommonOrUserFolder(int common, int user) {
  std::string folder = SpecialFolderPath(common);
  return folder.empty() ? SpecialFolderPath(user) : folder;
}

std::string StartMenuProgramsFolder() { return CommonOrUserFolder(CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS); }

std::string GetProgramGroupFolder(const std::string& group) {
  std::string programs = StartMenuProgramsFolder();
  if (programs.empty()) {
    LogLine("** Error: the shell names no Start menu programs folder");
    return {};
  }
  std::string folder = RemoveTrailingBackslashes(programs + "\\" + group);
  if (!MakeRecordedDirPath(folder, Params().UnInstall)) LogError(Format("the folder \"%s\" could not be created", {folder}), GetLastError());
  return folder;
}

ShortcutParams GetShortcutParams(const std::string& line) {
  std::vector<std::string> f = SplitText(line, ',');
  auto field = [&f](size_t i) { return i < f.size() ? Trim(f[i]) : std::string(); };
  ShortcutParams s;
  s.target = field(0);
  s.arguments = field(1);
  s.name = field(2);
  LogLine("Get Shortcut Params:");
  LogLine("    \"%s\"", line);
  LogLine("    \"%s\", \"%s\", \"%s\"", s.target, s.arguments, s.name);
  s.targetExists = FileExists(s.target);
  if (!s.targetExists && Params().ShowShortcutErrors)
    ReportScriptError("Error creating shortcut to File. Make sure main software application is installed first!\r\"" +
                      line + "\"");
  return s;
}

static bool LinkFailed(const std::string& linkPath, const char* step, HRESULT hr) {
  LogLine("** Error: shortcut \"%s\": %s failed (0x%08X)", linkPath, step, static_cast<unsigned long>(hr));
  return false;
}

bool CreateShellLink(const std::string& linkPath, const TLinkData& link) {
  ComPtr<IShellLinkA> shellLink;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(shellLink.Receive()));
  if (FAILED(hr) || !shellLink) return LinkFailed(linkPath, "creating the shell link", hr);
  struct Step {
    bool wanted;
    const char* what;
    std::function<HRESULT()> set;
  } steps[] = {
      {true, "setting the target", [&] { return shellLink->SetPath(link.path.c_str()); }},
      {(link.fields & TLinkData::kDescription) != 0, "setting the description",
       [&] { return shellLink->SetDescription(link.description.c_str()); }},
      {(link.fields & TLinkData::kArguments) != 0, "setting the arguments",
       [&] { return shellLink->SetArguments(link.arguments.c_str()); }},
      {(link.fields & TLinkData::kIcon) != 0, "setting the icon",
       [&] { return shellLink->SetIconLocation(link.iconPath.c_str(), link.iconIndex); }},
      {(link.fields & TLinkData::kWorkingFolder) != 0, "setting the working folder",
       [&] { return shellLink->SetWorkingDirectory(link.workingFolder.c_str()); }},
      {(link.fields & TLinkData::kHotKey) != 0, "setting the hot key", [&] { return shellLink->SetHotkey(link.hotKey); }},
      {(link.fields & TLinkData::kShowCommand) != 0, "setting the show command",
       [&] { return shellLink->SetShowCmd(link.showCommand); }},
  };
  for (const Step& s : steps)
    if (s.wanted && FAILED(hr = s.set())) return LinkFailed(linkPath, s.what, hr);
  ComPtr<IPersistFile> file;
  hr = shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive()));
  if (FAILED(hr) || !file) return LinkFailed(linkPath, "opening the link file", hr);
  int n = MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, nullptr, 0);
  if (n <= 0) return LinkFailed(linkPath, "converting the file name", HRESULT_FROM_WIN32(GetLastError()));
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, &wide[0], n);
  hr = file->Save(wide.c_str(), TRUE);
  if (FAILED(hr)) return LinkFailed(linkPath, "saving", hr);
  return true;
}

// A read-only link of the same name is replaced, as any other. A link the install makes
// where there was none is recorded for the uninstall; one it replaces was someone's
// before and stays.
static void WriteLink(const std::string& linkPath, const TLinkData& link) {
  DWORD attrs = GetFileAttributesA(linkPath.c_str());
  ClearReadOnly(linkPath, attrs);
  const bool record = Params().UnInstall;
  std::string folder = ExtractFileDir(linkPath);
  if (!MakeRecordedDirPath(folder, record)) {
    LogError(Format("the folder \"%s\" could not be created", {folder}), GetLastError());
    return;
  }
  bool announced = record && attrs == INVALID_FILE_ATTRIBUTES;
  if (announced) RecordChange({UndoKind::Link, linkPath, "", ""});
  if (!CreateShellLink(linkPath, link) && announced) DropRecord(linkPath);
}

// A normal window: readers of the link format take an unknown show command as that, but a
// zero is SW_HIDE to anyone who passes it on, and the program would start unseen.
static const int kLinkShowCommand = SW_SHOWNORMAL;

static void MakeDesktopShortcut(const std::string& group, const std::string& programFolder) {
  LogLine("Create Desktop shortcut");
  std::string desktop = CommonOrUserFolder(CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY);
  if (desktop.empty()) {
    LogLine("** Error: the shell names no desktop folder");
    return;
  }
  std::string name = group;
  for (size_t i = FindChar(name, '\\'); i != std::string::npos; i = FindChar(name, '\\', i)) name[i] = ' ';
  TLinkData link;
  link.fields = TLinkData::kDescription | TLinkData::kIcon | TLinkData::kWorkingFolder | TLinkData::kShowCommand;
  link.path = programFolder;
  link.iconPath = programFolder;
  link.workingFolder = programFolder;
  link.showCommand = kLinkShowCommand;
  WriteLink(desktop + "\\" + name + ".lnk", link);
}

bool MakeShortcuts() {
  const bool radial = IsRadialModel();
  const ScriptSectionList& lines = Lists().shortcuts;
  if (lines.empty()) return true;
  SetStatus("Creating program shortcuts!");
  const InstallParams& p = Params();
  std::string group = UserChoseAppFolder() && !p.DefaultGroup_UserInstall.empty() ? p.DefaultGroup_UserInstall
                                                                                  : p.DefaultGroup;
  bool desktop = false;
  if (p.ShowShortCutWin && !ChooseProgramFolder(group, desktop)) return true;
  std::string programFolder = GetProgramGroupFolder(group);
  if (programFolder.empty()) return true;  // logged; no shortcut can be placed
  ScopedComInit com;
  bool result = true;
  for (const std::string& line : lines) {
    ProcessPendingMessages();
    ShortcutParams s = GetShortcutParams(line);
    result = s.targetExists;
    if (!s.targetExists) continue;
    if (s.name.empty()) {
      LogLine("** Error: the shortcut line \"%s\" names no shortcut", line);
      continue;
    }
    std::string linkPath = programFolder + "\\" + s.name + ".lnk";
    LogLine("Make Shortcut: \"%s\"", linkPath);
    TLinkData link;
    link.fields = TLinkData::kDescription | TLinkData::kArguments | TLinkData::kIcon | TLinkData::kWorkingFolder |
                  TLinkData::kShowCommand;
    link.path = s.target;
    link.arguments = s.arguments;
    if (ContainsNoCase(s.target, ".exe")) link.iconPath = s.target;
    link.iconIndex = radial && ContainsNoCase(s.target, "Brevo.exe") ? 1 : 0;
    link.workingFolder = ExtractFileDir(s.target);
    link.showCommand = kLinkShowCommand;
    WriteLink(linkPath, link);
  }
  if (desktop) MakeDesktopShortcut(group, programFolder);
  if (HWND active = GetActiveWindow()) SetForegroundWindow(active);
  return result;
}

bool RunItems() {
  const ScriptSectionList& lines = Lists().run;
  if (lines.empty()) return true;
  bool result = true;
  for (const std::string& line : lines) {
    std::vector<std::string> f = SplitText(line, ',');
    auto field = [&f](size_t i) { return i < f.size() ? Trim(f[i]) : std::string(); };
    const std::string program = field(0), parameters = field(1), description = field(2), skipIfFound = field(3),
                      question = field(4);
    LogLine(">Run " + program);
    bool run = skipIfFound.empty() || GetProductRunDir(skipIfFound, '|').empty();
    if (run && !question.empty()) run = AskYesNo(question);
    if (run) run = RunItemNeeded(program);
    if (!run) {
      LogLine("   ** No");
      continue;
    }
    LogLine("   ** Yes");
    SetStatus("Installing " + description);
    result = RunAndWait(program, parameters);
  }
  return result;
}

}  // namespace tolvex
