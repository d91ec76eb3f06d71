#include "Uninstall.h"

#include <windows.h>

#include <set>
#include <unordered_map>

#include "UApp.h"
#include "UFolderListing.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UProgress.h"
#include "URegistry.h"
#include "URights.h"
#include "UScriptText.h"
#include "UText.h"
#include "UWinHandle.h"

namespace tolvex {

const char* const kUninstallKeyRoot = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char* const kUninstallKeyPrefix = "TesmoraProductHelp";
const char* const kPublisher = "Tesmora";
const char* const kPublisherWebAddress = "http://www.tesmora.com/";
const char* const kUninstallListHeader =
    ";\"Do Not Delete or Edit this file\" -- This file contains info for uninstalling Tesmora Online help.";

// Uninstall reads this many list files of a folder; installs beyond them are not removed.
const int kMaxListFiles = 200;
const int kMaxEntryNumber = 100;

// Every value an entry holds: the nine Add/Remove Programs shows, then the ones that tell
// it how to run and size the entry. Removal deletes exactly these.
static const char* const kEntryTextValues[] = {"DisplayName", "UninstallString", "DisplayIcon",
                                                "InstallLocation", "Publisher", "Product",
                                                "URLInfoAbout", "URLUpdateInfo", "HelpLink",
                                                "QuietUninstallString"};
static const char* const kEntryNumberValues[] = {"NoModify", "NoRepair", "EstimatedSize"};

static UninstallState g_uninstall;
static UninstallerCopyFn g_copy = nullptr;

UninstallState& UninstallList() { return g_uninstall; }
void ResetUninstall() { g_uninstall = UninstallState(); }
void SetUninstallerCopyForTesting(UninstallerCopyFn fn) { g_copy = fn; }

std::string UninstallListPath(const std::string& folder, int n) {
  return folder + "\\HelpUninstList" + std::to_string(n) + ".ini";
}

std::string NextUninstallListPath(const std::string& folder) {
  for (int n = 0;; ++n) {
    std::string path = UninstallListPath(folder, n);
    if (!FileExists(path)) return path;
  }
}

bool ReadUninstallList(const std::string& path, std::vector<std::string>& lines) {
  lines.clear();
  std::string text;
  if (!ReadFileWhole(path, text)) return false;
  for (const std::string& line : SplitScriptLines(text))
    if (!line.empty()) lines.push_back(line);
  return true;
}

static bool HasWildcard(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

// The files a list line names: itself, or every file its pattern matches.
static std::vector<std::string> FilesNamedBy(const std::string& line) {
  std::vector<std::string> files;
  if (!HasWildcard(line)) {
    if (FileExists(line)) files.push_back(line);
    return files;
  }
  WIN32_FIND_DATAA fd;
  ScopedFindHandle f(FindFirstFileA(line.c_str(), &fd));
  if (!f) return files;
  std::string dir = ExtractFileDir(line);
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(dir + "\\" + fd.cFileName);
  } while (FindNextFileA(f.Get(), &fd));
  return files;
}

namespace {

// The files of the folders the lists name, each folder listed once: a list names thousands
// of files in a few folders, and a look-up per file would cost a file-system call each.
class FolderSizes {
 public:
  // False when no file of that name (long or short) is there.
  bool Find(const std::string& path, unsigned long long& size) {
    std::string folder = ExtractFileDir(path);
    const FolderListing& l = folders_.try_emplace(LowerAscii(folder), folder).first->second;
    const WIN32_FIND_DATAA* fd = l.Find(ExtractFileName(path));
    if (!fd || (fd->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    size = (static_cast<unsigned long long>(fd->nFileSizeHigh) << 32) | fd->nFileSizeLow;
    return true;
  }

 private:
  std::unordered_map<std::string, FolderListing> folders_;
};

}  // namespace

unsigned long EstimatedSizeKb(const std::string& folder) {
  std::set<std::string> seen;
  FolderSizes sizes;
  unsigned long long bytes = 0;
  for (int i = 0; i < kMaxListFiles; ++i) {
    std::vector<std::string> lines;
    if (!ReadUninstallList(UninstallListPath(folder, i), lines)) continue;
    for (const std::string& line : lines) {
      if (!HasWildcard(line)) {
        unsigned long long size = 0;
        if (seen.insert(LowerAscii(line)).second && sizes.Find(line, size)) bytes += size;
        continue;
      }
      for (const std::string& file : FilesNamedBy(line)) {
        unsigned long long time = 0, size = 0;
        if (seen.insert(LowerAscii(file)).second && GetFileStamp(file, time, size)) bytes += size;
      }
    }
  }
  unsigned long long kb = (bytes + 1023) / 1024;
  return kb > 0xFFFFFFFFull ? 0xFFFFFFFFul : static_cast<unsigned long>(kb);
}

static bool AppendRecord(const std::string& text) {
  ScopedHandle& h = g_uninstall.recordHandle;
  if (!h) {
    h.Reset(CreateFileA(g_uninstall.recordFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (h) SetFilePointer(h.Get(), 0, nullptr, FILE_END);
  }
  DWORD written = 0;
  if (h && WriteFile(h.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
      written == text.size())
    return true;
  DWORD err = GetLastError();
  LogLine("** Error: could not add to the uninstall list file %s: %s", g_uninstall.recordFile,
          SystemErrorText(err ? err : ERROR_DISK_FULL));
  return false;
}

void AddFile(const std::string& path) {
  g_uninstall.exists = true;
  g_uninstall.files.push_back(path);
  LogLine("Uninstall _AddFile(%s)", path);
  if (g_uninstall.recordFile.empty()) {
    std::string folder = RemoveTrailingBackslashes(Params().exedir);
    if (!Params().UnInstall || !FolderExists(folder)) return;
    g_uninstall.recordFile = NextUninstallListPath(folder);
    // The header alone claims the number; the paths recorded so far follow it.
    std::string text = std::string(kUninstallListHeader) + "\r\n";
    for (const std::string& f : g_uninstall.files) text += f + "\r\n";
    AppendRecord(text);
    return;
  }
  AppendRecord(path + "\r\n");
}

static std::string EntryKey(const std::string& prefix, int n) {
  return std::string(kUninstallKeyRoot) + "\\" + prefix + std::to_string(n);
}

std::string GetUninstIDKey(const std::string& prefix, const std::string& folder, const std::string& product) {
  std::string dir = RemoveTrailingBackslashes(folder);
  for (int n = 0; n <= kMaxEntryNumber; ++n) {
    std::string key = EntryKey(prefix, n);
    std::string location = ReadRegValue(HKEY_LOCAL_MACHINE, key, "InstallLocation");
    std::string stored = ReadRegValue(HKEY_LOCAL_MACHINE, key, "Product");
    bool sameFolder = EqualsNoCase(location, dir);
    if ((sameFolder && (product.empty() || EqualsNoCase(stored, product))) || location.empty()) {
      LogLine("GetUninstIDKey(%s, %s) - %s %s ", dir, product, location, stored);
      return key;
    }
  }
  return EntryKey(prefix, kMaxEntryNumber);
}

static std::string UninstallCommand(const std::string& uninstaller, const std::string& folder) {
  return "\"" + uninstaller + "\" /Uninstall \"" + folder + "\"";
}

// Writes the entry; false when a value could not be written. A key that cannot be opened
// at all is only logged: the files are recorded, and a later install may register them.
static bool WriteEntry(const std::string& key, const std::vector<std::string>& texts, const std::string& folder) {
  LONG rc = CreateRegKey(HKEY_LOCAL_MACHINE, key);
  if (rc != ERROR_SUCCESS) {
    LogLine("** Error: cannot open the uninstall key %s: %s", key, SystemErrorText(static_cast<unsigned long>(rc)));
    return true;
  }
  bool ok = true;
  auto check = [&](const char* name, LONG result) {
    if (result == ERROR_SUCCESS) return;
    LogLine("** Error: cannot write %s of the uninstall key %s: %s", name, key,
            SystemErrorText(static_cast<unsigned long>(result)));
    ok = false;
  };
  for (size_t i = 0; i < texts.size(); ++i)
    check(kEntryTextValues[i], WriteRegString(HKEY_LOCAL_MACHINE, key, kEntryTextValues[i], texts[i]));
  const DWORD numbers[] = {1, 1, EstimatedSizeKb(folder)};
  static_assert(sizeof numbers / sizeof numbers[0] == sizeof kEntryNumberValues / sizeof kEntryNumberValues[0], "");
  for (size_t i = 0; i < sizeof numbers / sizeof numbers[0]; ++i)
    check(kEntryNumberValues[i], WriteRegDword(HKEY_LOCAL_MACHINE, key, kEntryNumberValues[i], numbers[i]));
  return ok;
}

bool CompleteUninstSetup(const std::string& displayName, const std::string& folderIn) {
  if (!g_uninstall.exists || g_uninstall.files.empty()) return true;
  LogLine("CompleteUninstSetup - %s - %s", displayName, folderIn);
  std::string folder = RemoveTrailingBackslashes(folderIn);
  // The file recorded while copying is this install's list: it keeps its number.
  std::string listFile = !g_uninstall.recordFile.empty() && EqualsNoCase(ExtractFileDir(g_uninstall.recordFile), folder)
                             ? g_uninstall.recordFile
                             : NextUninstallListPath(folder);
  if (!FolderExists(folder)) {
    LogLine("** Error: the application folder %s does not exist: nothing recorded for uninstall", folder);
    return false;
  }

  bool ok = true;
  g_uninstall.recordHandle.Close();  // the whole list replaces what was appended
  std::string text = std::string(kUninstallListHeader) + "\r\n";
  for (const std::string& f : g_uninstall.files) text += f + "\r\n";
  unsigned long err = 0;
  if (!WriteFileWhole(listFile, text, err)) {
    LogLine("** Error: cannot write the uninstall list file %s: %s", listFile, SystemErrorText(err));
    ok = false;
  }
  g_uninstall.recordFile = listFile;

  std::string uninstaller = GetWindowsDir() + "\\" + ExtractFileName(ShellLongPath(ModulePath()));
  CopySettings settings;
  settings.mode = CopyMode::VersionOrDateNewer;
  settings.reg = "-";
  settings.addToUninstall = false;
  settings.updateOnly = false;
  bool copied = (g_copy ? g_copy : &CopyOneFile)(ModulePath(), uninstaller, settings);
  if (!copied) LogLine("** Error: the uninstaller could not be copied to %s", uninstaller);

  std::string command = UninstallCommand(uninstaller, folder);
  std::string key = GetUninstIDKey(kUninstallKeyPrefix, folder, Params().productname);
  std::vector<std::string> texts = {displayName,          command,     uninstaller, folder,
                                    kPublisher,           Params().productname,
                                    kPublisherWebAddress, kPublisherWebAddress,
                                    kPublisherWebAddress, command + " /answers="};
  if (!WriteEntry(key, texts, folder)) ok = false;

  if (!ok || !copied) ShowPlainMessage("Unknown error while writing uninstall file list to disk.\r\n" + listFile);
  return ok && copied;
}

// Deletes every file the line names; false (with the system error kept) when one stays.
static bool DeleteNamedFiles(const std::string& line) {
  bool ok = true;
  for (const std::string& file : FilesNamedBy(line)) {
    DWORD attr = GetFileAttributesA(file.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY))
      SetFileAttributesA(file.c_str(), attr & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    if (!DeleteFileA(file.c_str())) {
      LogLine("** Error: cannot delete %s: %s", file, SystemErrorText(GetLastError()));
      ok = false;
    }
  }
  return ok;
}

static bool LineNamesAFile(const std::string& line) {
  return HasWildcard(line) ? AnyFileMatches(line) : FileExists(line);
}

enum class ListOutcome { Done, Cancelled };

// Removes the files one list file names; the user decides about each that stays.
static ListOutcome RemoveListedFiles(const std::vector<std::string>& lines, int& removed) {
  for (size_t j = 0; j < lines.size(); ++j) {
    UpdateProgress(static_cast<long long>(j) + 1);
    ProcessPendingMessages();
    const std::string& path = lines[j];
    if (!HasWildcard(path)) {
      // Most lines name a file that is there and goes, or one that is gone already: one
      // call tells either. Anything else (read-only, in use, not a file name at all) takes
      // the careful way below.
      if (DeleteFileA(path.c_str())) {
        SetStatus("Removing File: " + ExtractFileName(path));
        ++removed;
        continue;
      }
      DWORD err = GetLastError();
      if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) continue;
    }
    if (!LineNamesAFile(path)) continue;
    SetStatus("Removing File: " + ExtractFileName(path));
    for (;;) {
      if (DeleteNamedFiles(path)) {
        ++removed;
        break;
      }
      int answer = AskCancelRetryIgnore("Could not uninstall file. File may be in use:\r\n" + path);
      if (answer == IDCANCEL) return ListOutcome::Cancelled;
      if (answer == IDIGNORE) break;
    }
  }
  return ListOutcome::Done;
}

static void RemoveEntries(const std::string& folder) {
  for (int n = 0; n <= kMaxEntryNumber; ++n) {
    std::string key = EntryKey(kUninstallKeyPrefix, n);
    if (!RegKeyExists(HKEY_LOCAL_MACHINE, key) ||
        !EqualsNoCase(ReadRegValue(HKEY_LOCAL_MACHINE, key, "InstallLocation"), folder))
      continue;
    for (const char* name : kEntryTextValues) DeleteRegValue(HKEY_LOCAL_MACHINE, key, name);
    for (const char* name : kEntryNumberValues) DeleteRegValue(HKEY_LOCAL_MACHINE, key, name);
    LONG rc = DeleteRegKey(HKEY_LOCAL_MACHINE, key);
    if (rc != ERROR_SUCCESS)
      LogLine("** Error: cannot delete the uninstall key %s: %s", key, SystemErrorText(static_cast<unsigned long>(rc)));
  }
}

static void ShowMainWindow(bool show) {
  if (App().mainForm) ShowWindow(App().mainForm, show ? SW_SHOW : SW_HIDE);
}

bool RunUninstall(const std::string& folderIn) {
  std::string folder = RemoveTrailingBackslashes(folderIn);
  ShowMainWindow(false);
  if (folder.empty()) {
    LogLine("** Error: uninstall without an application folder");
    ShowPlainMessage("Cannot uninstall: no application folder was given.");
    return false;
  }
  std::string key = GetUninstIDKey(kUninstallKeyPrefix, folder, "");
  std::string displayName = ReadRegValue(HKEY_LOCAL_MACHINE, key, "DisplayName");
  std::string product = ReadRegValue(HKEY_LOCAL_MACHINE, key, "Product");
  SetAppTitle(product);
  if (App().mainForm) SetWindowTextA(App().mainForm, product.c_str());
  SetStatus("Uninstalling " + displayName + "...");
  if (!displayName.empty() &&
      !AskYesNo("OK to uninstall: \"" + displayName + "\"\rfrom folder: \"" + folder + "\"?")) {
    MarkRunDeclined();
    return false;
  }
  ShowMainWindow(true);

  int removed = 0;
  if (FolderExists(folder)) {
    if (!IsAdministrator()) {
      LogLine("** Error: uninstall of %s refused: not an administrator", folder);
      ShowPlainMessage("Cannot uninstall because you are not logged in as an Administrator");
      return false;
    }
    if (!CanWriteToFolder(folder)) {
      LogLine("** Error: uninstall of %s refused: the folder is read-only", folder);
      ShowPlainMessage(
          "Cannot uninstall because this folder is readonly. If Windows NT you must be logged on as an "
          "administrator.\r\n" +
          folder);
      return false;
    }
    for (int i = 0; i < kMaxListFiles; ++i) {
      std::string listFile = UninstallListPath(folder, i);
      if (!FileExists(listFile)) continue;
      std::vector<std::string> lines;
      ReadUninstallList(listFile, lines);
      ShowProgress(static_cast<long long>(lines.size()));
      ListOutcome outcome = RemoveListedFiles(lines, removed);
      HideProgress();
      if (outcome == ListOutcome::Cancelled) {
        LogLine("** Error: uninstall of %s cancelled at %s", folder, listFile);
        MarkRunDeclined();
        return false;
      }
      SetFileAttributesA(listFile.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!DeleteFileA(listFile.c_str())) {
        LogLine("** Error: cannot delete %s: %s", listFile, SystemErrorText(GetLastError()));
        ShowPlainMessage("Error Deleting Uninstall master list file:" + listFile);
      }
    }
  }

  SetStatus("Removing Add/Remove Programs Reference...");
  RemoveEntries(folder);
  if (!displayName.empty()) {
    SetStatus("Successfully Uninstalled \"" + displayName + "\"");
    ShowMainWindow(false);
    ShowPlainMessage(Format("\"%s\"\r%d items successfully uninstalled.", {displayName, removed}));
  }
  return true;
}

}  // namespace tolvex
