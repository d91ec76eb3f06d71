#include "UGetAppPath.h"

#include <windows.h>
#include <shlobj.h>

#include <stdexcept>
#include <unordered_set>

#include "FSelect.h"
#include "UAppRegInfo.h"
#include "UApp.h"
#include "UCorvane.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UProductDir.h"
#include "UQuestion.h"
#include "URegistry.h"
#include "UText.h"
#include "UWinExec.h"
#include "UWinHandle.h"
#include "URunState.h"

namespace tolvex {

static AppPathState g_appPath;

AppPathState& AppPathSearch() { return g_appPath; }
void ResetAppPathSearch() { g_appPath = AppPathState(); }
bool UserChoseAppFolder() { return g_appPath.userChoseAppFolder; }

static const char* const kNotFoundMessage =
    "\"%s\" application not found! ||Before installing this CD you must first install the main application "
    "software!";

std::vector<std::string> SplitSearchList(const std::string& list) {
  std::vector<std::string> items;
  // Lower-cased spellings seen so far: a long list must not cost a comparison with every
  // earlier item.
  std::unordered_set<std::string> seen;
  for (const std::string& raw : SplitText(list, '|')) {
    std::string item = Trim(raw);
    if (item.empty()) break;
    if (seen.insert(LowerAscii(item)).second) items.push_back(item);
  }
  return items;
}
static const bool kResetAppPathSearchRegistered = RegisterStateReset(&ResetAppPathSearch);

void AddCandidateFolder(std::vector<std::string>& candidates, const std::string& folder) {
  std::string path = RemoveTrailingBackslashes(folder);
  if (path.empty() || !FolderExists(path)) return;
  if (!AnyFileMatches(path + "\\*.exe") && !AnyFileMatches(path + "\\*.dll")) return;
  path = RemoveTrailingBackslashes(ShellLongPath(path));
  for (const std::string& c : candidates)
    if (EqualsNoCase(c, path)) return;
  candidates.push_back(path);
}

std::string GetProgramFilesDir() {
  std::string dir = ReadRegValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
  if (dir.empty()) {
    std::string win = GetWindowsDir();
    dir = std::string(1, win.empty() ? 'C' : win[0]) + ":\\Program Files";
  }
  dir = RemoveTrailingBackslashes(dir);
  if (!FolderExists(dir) && !CreateDirectoryA(dir.c_str(), nullptr)) {
    std::string why = LastErrorText();
    LogLine("** Error: cannot create \"%s\": %s", dir, why);
    throw std::runtime_error("Cannot create the folder \"" + dir + "\".\r" + why);
  }
  return dir;
}

static void AddRegistryPath(std::vector<std::string>& candidates, const std::string& first, const std::string& second) {
  std::string path = ReadRegValue(HKEY_LOCAL_MACHINE, first, "path");
  if (path.empty()) path = ReadRegValue(HKEY_LOCAL_MACHINE, second, "path");
  if (!path.empty()) AddCandidateFolder(candidates, path);
}

namespace {

using Candidates = std::vector<std::string>;

// The programs registered for the list's file types.
void AddAssociatedPrograms(Candidates& candidates, const std::vector<std::string>& items) {
  for (const std::string& item : items) {
    if (item[0] != '.') continue;
    TAppRegInfoRec info = GetAppRegInfo(item);
    if (!info.ExePath.empty() && FileExists(info.ExePath)) AddCandidateFolder(candidates, ExtractFileDir(info.ExePath));
  }
}

// The instrument server's folders the list names, from its last item to its first.
void AddServerFolders(Candidates& candidates, const std::vector<std::string>& items) {
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    if (EqualsNoCase(*it, "[CorvaneServerDir]")) {
      std::string dir = GetCorvaneServerDir();
      if (!dir.empty()) AddCandidateFolder(candidates, dir);
      LogLine("Search for folder info [CorvaneServerDir] = \"%s\"", dir);
    } else if (EqualsNoCase(*it, "[CorvaneServerDevicesDir]")) {
      std::string dir = GetCorvaneServerDir();
      if (!dir.empty()) {
        dir += "\\devices";
        AddCandidateFolder(candidates, dir);
      }
      LogLine("Search for folder info [CorvaneServerDevicesDir] = \"%s\"", dir);
    }
  }
}

// The conditional evaluation is the only one that understands COM classes and "+"/"-"
// items; without its folder among the candidates such items would do nothing.
void AddConditionalFolder(Candidates& candidates, const std::string& searchList) {
  std::string runDir = GetProductRunDir(searchList, '|');
  if (!runDir.empty()) AddCandidateFolder(candidates, runDir);
}

// The folders the registry records for the product.
void AddRecordedFolders(Candidates& candidates) {
  std::string fenPro =
      ReadRegValue(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\FenPro.exe", "Path");
  if (!fenPro.empty()) AddCandidateFolder(candidates, fenPro);
  const std::string& product = Params().productname;
  AddRegistryPath(candidates, "Software\\Tesmora\\" + product, "Software\\Kelvor\\" + product);
  // Both spectrophotometer products of the family record their folder under one key.
  if (ContainsNoCase(product, "Vosk Ombrix") || ContainsNoCase(product, "Vosk Zentha"))
    AddRegistryPath(candidates, "Software\\Tesmora\\Vosk", "Software\\Kelvor\\Vosk");
}

// The script's default folder below the root of every fixed drive and below Program Files.
void AddDefaultFolders(Candidates& candidates, const std::string& defaultRunDir) {
  if (defaultRunDir.empty()) return;
  // The folder is joined to "x:" and to Program Files, so it needs its backslash.
  std::string sub = defaultRunDir[0] == '\\' ? defaultRunDir : "\\" + defaultRunDir;
  DWORD drives = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(drives & (1u << i))) continue;
    std::string letter = std::string(1, static_cast<char>('a' + i)) + ":";
    if (GetDriveTypeA((letter + "\\").c_str()) == DRIVE_FIXED) AddCandidateFolder(candidates, letter + sub);
  }
  AddCandidateFolder(candidates, GetProgramFilesDir() + sub);
}

}  // namespace

std::vector<std::string> GatherCandidates(const std::string& searchList, const std::string& defaultRunDir) {
  Candidates candidates;
  const std::vector<std::string> items = SplitSearchList(searchList);
  AddAssociatedPrograms(candidates, items);
  AddServerFolders(candidates, items);
  AddConditionalFolder(candidates, searchList);
  AddRecordedFolders(candidates);
  AddDefaultFolders(candidates, defaultRunDir);
  return candidates;
}

std::string AppNotFoundMessage(const std::string& name) { return ExpandMessage(kNotFoundMessage, {name}); }

std::string AppNotFoundQuestion(const std::string& displayName) {
  // The names are script values: put in as written, never read as part of the message.
  if (!displayName.empty())
    return AppNotFoundMessage(displayName) + "\r\r" +
           "Do you want to try and locate the application folder yourself?" + "\r" +
           "Click \"Yes\" to browse for the folder. Click \"No\" to exit installation. Click Ignore to skip item "
           "installation.";
  if (!Params().AppNotFoundPrompt.empty()) return ExpandProductText(Params().AppNotFoundPrompt);
  return AppNotFoundMessage(Params().productname) + "\r\r" +
         "Do you want to try and locate the application folder yourself?";
}

// One showing of the folder browser: "Cancel", or the chosen item's file-system path
// (empty for a virtual folder).
static std::string AskFolder(const std::string& title) {
  Question q;
  q.box = "browse";
  q.kind = "folder";
  q.title = App().title;
  q.text = title;
  q.defaultAnswer = "Cancel";
  return AskQuestion(q, [&] {
    ScopedComInit com;
    char name[MAX_PATH] = "";
    BROWSEINFOA bi;
    ZeroMemory(&bi, sizeof bi);
    bi.hwndOwner = GetActiveWindow();
    bi.pszDisplayName = name;
    bi.lpszTitle = title.c_str();
    ScopedCoTaskMem<ITEMIDLIST> pidl(SHBrowseForFolderA(&bi));
    if (!pidl) return std::string("Cancel");
    char path[MAX_PATH] = "";
    if (!SHGetPathFromIDListA(pidl.Get(), path)) path[0] = '\0';
    return std::string(path);
  });
}

std::string BrowseForAppFolder() {
  std::string title = Params().SelectFolderPrompt.empty() ? "Select Application Folder" : Params().SelectFolderPrompt;
  for (;;) {
    std::string chosen = AskFolder(title);
    if (chosen == "Cancel") return {};
    if (chosen.empty()) {
      ShowInformation("Invalid folder. Cannot install to Windows virtual folders.");
      continue;
    }
    std::string path = RemoveTrailingBackslashes(chosen);
    if (Params().BrowseFolderRequiresEXE && !AnyFileMatches(path + "\\*.exe")) {
      ShowInformation("Invalid folder. Folder does not contain any executable files.");
      continue;
    }
    g_appPath.userChoseAppFolder = true;
    return path;
  }
}

std::string GetAppPath(const std::string& searchList, const std::string& defaultRunDir,
                       const std::string& displayName, bool prompt) {
  g_appPath.userChoseAppFolder = false;
  std::vector<std::string> candidates = GatherCandidates(searchList, defaultRunDir);
  if (candidates.size() == 1) return candidates.front();
  if (candidates.size() > 1) return ChooseInstallPath(candidates);
  if (!prompt && !displayName.empty()) return "$";
  std::string question = AppNotFoundQuestion(displayName);
  int answer = displayName.empty() ? (AskYesNo(question) ? IDYES : IDNO) : AskYesNoIgnore(question);
  if (answer == IDIGNORE) return "$";
  if (answer == IDNO) return "-";
  std::string folder = BrowseForAppFolder();
  return folder.empty() ? "-" : folder;
}

}  // namespace tolvex
