#include "Uninstall.h"

#include <windows.h>

#include <functional>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <unordered_map>

#include "UApp.h"
#include "UCmdLine.h"
#include "UDebugLog.h"
#include "UDigestText.h"
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
#include "URunState.h"
#include "USystemDll.h"

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
static const bool kCopySeamRegistered = RegisterStateReset([] { g_copy = nullptr; });

// The list files' names: this, a number, ".ini".
static const char* const kListPrefix = "HelpUninstList";

std::string UninstallListPath(const std::string& folder, int n) {
  return folder + "\\" + kListPrefix + std::to_string(n) + ".ini";
}
static const bool kResetUninstallRegistered = RegisterStateReset(&ResetUninstall);

// The numbers of the list files the folder holds, in order: one listing, where a look-up
// of each of the 200 names would cost a file-system call apiece.
static std::vector<int> ExistingListNumbers(const std::string& folder) {
  std::vector<int> numbers;
  WIN32_FIND_DATAA fd;
  ScopedFindHandle f(FindFirstFileA((folder + "\\" + kListPrefix + "*.ini").c_str(), &fd));
  if (!f) return numbers;
  const size_t prefix = std::strlen(kListPrefix);
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::string name = fd.cFileName, digits = name.substr(prefix, name.size() - prefix - 4);
    if (digits.empty() || digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos ||
        (digits.size() > 1 && digits[0] == '0') || !EqualsNoCase(UninstallListPath(folder, std::atoi(digits.c_str())),
                                                                  folder + "\\" + name))
      continue;
    int n = std::atoi(digits.c_str());
    if (n < kMaxListFiles) numbers.push_back(n);
  } while (FindNextFileA(f.Get(), &fd));
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

std::string NextUninstallListPath(const std::string& folder) {
  for (int n = 0; n < kMaxListFiles; ++n) {
    std::string path = UninstallListPath(folder, n);
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return path;
  }
  return {};
}

bool ReadUninstallList(const std::string& path, std::vector<std::string>& lines) {
  lines.clear();
  std::string text;
  if (!ReadFileWhole(path, text)) return false;
  for (const std::string& line : SplitScriptLines(text))
    if (!line.empty()) lines.push_back(line);
  return true;
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
  for (int i : ExistingListNumbers(folder)) {
    std::vector<std::string> lines;
    if (!ReadUninstallList(UninstallListPath(folder, i), lines)) continue;
    for (const std::string& line : lines) {
      UndoLine u = ParseUndoLine(line);
      if (u.kind != UndoKind::Created && u.kind != UndoKind::Replaced) continue;
      unsigned long long size = 0;
      if (seen.insert(LowerAscii(u.path)).second && sizes.Find(u.path, size)) bytes += size;
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
  LogError(Format("could not add to the uninstall list file %s", {g_uninstall.recordFile}), err ? err : ERROR_DISK_FULL);
  return false;
}

// The list file is claimed by its first line: the header alone, then what was recorded
// before there was a file to record into.
static void OpenRecord() {
  if (!g_uninstall.recordFile.empty()) return;
  std::string folder = RemoveTrailingBackslashes(Params().exedir);
  if (!Params().UnInstall || !FolderExists(folder)) return;
  g_uninstall.recordFile = NextUninstallListPath(folder);
  if (g_uninstall.recordFile.empty()) return;
  std::string name = ExtractFileName(g_uninstall.recordFile);
  g_uninstall.listNumber = std::atoi(name.c_str() + std::strlen(kListPrefix));
  std::string text = std::string(kUninstallListHeader) + "\r\n";
  for (const std::string& f : g_uninstall.files) text += f + "\r\n";
  AppendRecord(text);
}

int RecordListNumber() {
  OpenRecord();
  return g_uninstall.recordFile.empty() ? -1 : g_uninstall.listNumber;
}

void RecordChange(const UndoLine& line) {
  std::string text = UndoLineText(line);
  if (text.empty()) return;
  bool opened = !g_uninstall.recordFile.empty();
  g_uninstall.exists = true;
  g_uninstall.files.push_back(text);
  if (line.kind == UndoKind::Created || line.kind == UndoKind::Replaced || line.kind == UndoKind::Kept) {
    LogLine("Uninstall _AddFile(%s)", line.path);
    g_uninstall.recorded[LowerAscii(line.path)] = line.kind;
  }
  OpenRecord();
  if (opened) AppendRecord(text + "\r\n");
}

void AddFile(const std::string& path) {
  UndoLine line;
  line.kind = UndoKind::Created;
  line.path = path;
  RecordChange(line);
}

// Erases the last line recording path (only a folder's, when folderOnly); false when none.
static bool EraseLastRecord(const std::string& path, bool folderOnly) {
  for (size_t i = g_uninstall.files.size(); i-- > 0;) {
    UndoLine u = ParseUndoLine(g_uninstall.files[i]);
    if ((folderOnly && u.kind != UndoKind::Folder) || !EqualsNoCase(u.path, path)) continue;
    g_uninstall.files.erase(g_uninstall.files.begin() + static_cast<std::ptrdiff_t>(i));
    return true;
  }
  return false;
}

void DropRecord(const std::string& path) {
  if (!EraseLastRecord(path, false)) return;
  g_uninstall.recorded.erase(LowerAscii(path));
  LogLine("Uninstall: \"%s\" taken back from the list: the change was not made", path);
}

// Folder records are not in the recorded-path map: they are found in the lines.
static void DropFolderRecord(const std::string& folder) { EraseLastRecord(folder, true); }

UndoKind RecordedAs(const std::string& path) {
  auto it = g_uninstall.recorded.find(LowerAscii(path));
  return it == g_uninstall.recorded.end() ? UndoKind::Comment : it->second;
}

bool MakeRecordedDirPath(const std::string& folder, bool record, std::vector<std::string>* made) {
  std::vector<std::string> missing;  // outermost last
  if (record || made) {
    for (std::string p = RemoveTrailingBackslashes(folder); !p.empty() && !FolderExists(p);) {
      missing.push_back(p);
      std::string parent = ExtractFileDir(p);
      if (parent == p || ExtractDrive(p) == p) break;
      p = parent;
    }
  }
  if (record)
    for (size_t i = missing.size(); i-- > 0;) RecordChange({UndoKind::Folder, missing[i], "", ""});
  if (made) *made = missing;
  return MakeDirPath(folder);
}

void RemoveMadeFolders(const std::vector<std::string>& made) {
  for (const std::string& f : made) {  // innermost first
    if (RemoveDirectoryA(f.c_str())) LogLine("    Removed the folder made for the line: \"%s\"", f);
    DropFolderRecord(f);
  }
}

std::string FreeSetAsideName(const std::string& path, const FolderListing* listing) {
  // Without a list nothing would ever put the file back: it is replaced as it always was.
  int n = RecordListNumber();
  if (n < 0) return {};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string aside = SetAsideName(path, n, attempt);
    // The folder's listing, where there is one, answers without a call per file.
    bool taken = listing ? listing->Find(ExtractFileName(aside)) != nullptr
                         : GetFileAttributesA(aside.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!taken) return aside;
  }
  return {};
}

static std::string EntryKey(const std::string& prefix, int n) {
  return std::string(kUninstallKeyRoot) + "\\" + prefix + std::to_string(n);
}

// The long form of a folder: an 8.3 name and the long one name the same entry.
// GetLongPathNameA is looked up at run time (Windows 95 and NT 4.0 lack it); without it
// the shell's parse gives the long form.
static std::string LongFolderName(const std::string& folder) {
  using LongPathFn = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
  std::string dir = RemoveTrailingBackslashes(folder);
  if (dir.empty()) return dir;
  static const LongPathFn fn = ProcAddress<LongPathFn>(GetModuleHandleA("kernel32.dll"), "GetLongPathNameA");
  if (fn) {
    char buf[MAX_PATH];
    DWORD n = fn(dir.c_str(), buf, sizeof buf);
    if (n > 0 && n < sizeof buf) return RemoveTrailingBackslashes(std::string(buf, n));
    return dir;
  }
  return RemoveTrailingBackslashes(ShellLongPath(dir));
}

// True when the two name one folder: letter case, trailing backslashes and 8.3 names aside.
static bool SameFolder(const std::string& a, const std::string& b, std::string& longB) {
  std::string x = RemoveTrailingBackslashes(a), y = RemoveTrailingBackslashes(b);
  if (x.empty() || y.empty()) return false;
  if (EqualsNoCase(x, y)) return true;
  if (longB.empty()) longB = LongFolderName(y);
  return EqualsNoCase(LongFolderName(x), longB);
}

std::string GetUninstIDKey(const std::string& prefix, const std::string& folder, const std::string& product) {
  std::string dir = RemoveTrailingBackslashes(folder), longDir;
  int free = -1;
  std::string freeStored;
  // The folder's own entry wins over a free slot before it: an uninstall must never read
  // another slot, and an install must not leave its folder with two entries.
  for (int n = 0; n <= kMaxEntryNumber; ++n) {
    std::string key = EntryKey(prefix, n);
    std::string location = ReadRegValue(HKEY_LOCAL_MACHINE, key, "InstallLocation");
    std::string stored = ReadRegValue(HKEY_LOCAL_MACHINE, key, "Product");
    if (location.empty()) {
      if (free < 0) free = n, freeStored = stored;
      continue;
    }
    if (SameFolder(location, dir, longDir) && (product.empty() || EqualsNoCase(stored, product))) {
      LogLine("GetUninstIDKey(%s, %s) - %s %s ", dir, product, location, stored);
      return key;
    }
  }
  if (free >= 0) {
    LogLine("GetUninstIDKey(%s, %s) - %s %s ", dir, product, "", freeStored);
    return EntryKey(prefix, free);
  }
  LogLine("** Error: GetUninstIDKey(%s, %s) - all %d entries belong to other folders", dir, product,
          kMaxEntryNumber + 1);
  return {};
}

// The entries whose InstallLocation is folder (by its long or short name).
static std::vector<std::string> EntryKeysOf(const std::string& folder) {
  std::vector<std::string> keys;
  std::string longDir;
  for (int n = 0; n <= kMaxEntryNumber; ++n) {
    std::string key = EntryKey(kUninstallKeyPrefix, n);
    if (SameFolder(ReadRegValue(HKEY_LOCAL_MACHINE, key, "InstallLocation"), folder, longDir)) keys.push_back(key);
  }
  return keys;
}

// Every digest the folder's entries (keys) hold of its lists (numbers), by list number.
static std::map<int, std::string> ListDigests(const std::vector<std::string>& keys, const std::string& folder,
                                              const std::vector<int>& numbers) {
  std::map<int, std::string> digests;
  for (const std::string& key : keys)
    for (int i : numbers) {
      std::string d = ReadRegValue(HKEY_LOCAL_MACHINE, key, ExtractFileName(UninstallListPath(folder, i)));
      if (!d.empty()) digests[i] = d;
    }
  return digests;
}

// Sets (or with an empty digest removes) a list's digest in each of the folder's entries
// (keys) that holds one.
static void SetListDigest(const std::vector<std::string>& keys, const std::string& listFile,
                          const std::string& digest) {
  std::string name = ExtractFileName(listFile);
  for (const std::string& key : keys) {
    if (ReadRegValue(HKEY_LOCAL_MACHINE, key, name).empty()) continue;
    if (digest.empty())
      DeleteRegValue(HKEY_LOCAL_MACHINE, key, name);
    else
      WriteRegString(HKEY_LOCAL_MACHINE, key, name, digest);
  }
}

bool PrepareUninstallRecord(const std::string& folderIn) {
  std::string folder = RemoveTrailingBackslashes(folderIn);
  if (g_uninstall.recordFile.empty() && NextUninstallListPath(folder).empty()) {
    LogLine("** Error: all %d uninstall list numbers of %s are taken", kMaxListFiles, folder);
    ShowWarning("This folder holds " + std::to_string(kMaxListFiles) + " uninstall lists already:\r" + folder +
                "\r\rNothing was installed. Uninstall the earlier installs first.");
    return false;
  }
  if (GetUninstIDKey(kUninstallKeyPrefix, folder, Params().productname).empty()) {
    ShowWarning("All " + std::to_string(kMaxEntryNumber + 1) +
                " Add/Remove Programs entries of this kind belong to other folders.\r\rNothing was installed. "
                "Uninstall one of them first.");
    return false;
  }
  // A list without a digest is an earlier version's or a stopped run's: what a stopped
  // run was copying when it stopped is removed from the folders it names.
  const std::vector<int> numbers = ExistingListNumbers(folder);
  std::map<int, std::string> digests = ListDigests(EntryKeysOf(folder), folder, numbers);
  for (int i : numbers) {
    std::vector<std::string> lines;
    if (digests.count(i) || !ReadUninstallList(UninstallListPath(folder, i), lines)) continue;
    for (const std::string& line : lines) {
      UndoLine u = ParseUndoLine(line);
      if (u.kind == UndoKind::Created || u.kind == UndoKind::Replaced) RemoveLeftCopies(ExtractFileDir(u.path));
    }
  }
  return true;
}

static std::string UninstallCommand(const std::string& uninstaller, const std::string& folder) {
  return "\"" + uninstaller + "\" /Uninstall \"" + folder + "\"";
}

// Writes the entry; false when a value could not be written. A key that cannot be opened
// at all is only logged: the files are recorded, and a later install may register them.
static bool WriteEntry(const std::string& key, const std::vector<std::string>& texts, const std::string& folder) {
  LONG rc = CreateRegKey(HKEY_LOCAL_MACHINE, key);
  if (rc != ERROR_SUCCESS) {
    LogError(Format("cannot open the uninstall key %s", {key}), static_cast<unsigned long>(rc));
    return true;
  }
  bool ok = true;
  auto check = [&](const char* name, LONG result) {
    if (result == ERROR_SUCCESS) return;
    LogError(Format("cannot write %s of the uninstall key %s", {name, key}), static_cast<unsigned long>(result));
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

namespace {

// Held while an install picks its entry and writes it: two installs ending at once would
// both find the same slot free.
class EntryClaim {
 public:
  EntryClaim() : mutex_(CreateMutexA(nullptr, FALSE, "TolvexUninstallEntries")) {
    DWORD rc = mutex_ ? WaitForSingleObject(mutex_.Get(), 0) : WAIT_FAILED;
    if (rc == WAIT_TIMEOUT) {
      // Another install holds it, for up to half a minute: the window is to say where
      // this one stands meanwhile.
      FlushStatus();
      rc = WaitForSingleObject(mutex_.Get(), 30000);
    }
    held_ = mutex_ && rc != WAIT_TIMEOUT;
  }
  ~EntryClaim() {
    if (held_) ReleaseMutex(mutex_.Get());
  }
  EntryClaim(const EntryClaim&) = delete;
  EntryClaim& operator=(const EntryClaim&) = delete;

 private:
  ScopedHandle mutex_;
  bool held_ = false;
};

}  // namespace

// Under HKEY_LOCAL_MACHINE, which only administrators may write, while the list file sits
// in a folder that any user may be allowed to write.
static void WriteListDigest(const std::string& key, const std::string& listFile, const std::string& text) {
  std::string digest = TextDigest(text), name = ExtractFileName(listFile);
  LONG rc = WriteRegString(HKEY_LOCAL_MACHINE, key, name, digest);
  if (rc != ERROR_SUCCESS)
    LogError(Format("cannot write %s of the uninstall key %s", {name, key}), static_cast<unsigned long>(rc));
}

// The program copied into the Windows folder as the uninstaller (when newer): true when it
// is there afterwards; copied tells whether the copy itself went well.
static bool CopyUninstaller(std::string& uninstaller, bool& copied) {
  uninstaller = GetWindowsDir() + "\\" + ExtractFileName(ShellLongPath(ModulePath()));
  CopySettings settings;
  settings.mode = CopyMode::VersionOrDateNewer;
  settings.reg = "-";
  settings.addToUninstall = false;
  settings.updateOnly = false;
  copied = (g_copy ? g_copy : &CopyOneFile)(ModulePath(), uninstaller, settings);
  // A failed copy the user chose to go on past leaves no uninstaller: an entry would start
  // a program that is not there.
  bool present = FileExists(uninstaller);
  if (!copied || !present) LogLine("** Error: the uninstaller could not be copied to %s", uninstaller);
  return present;
}

bool CompleteUninstSetup(const std::string& displayName, const std::string& folderIn) {
  if (!g_uninstall.exists || g_uninstall.files.empty()) return true;
  LogLine("CompleteUninstSetup - %s - %s", displayName, folderIn);
  std::string folder = RemoveTrailingBackslashes(folderIn);
  // The file recorded while copying is this install's list: it keeps its number.
  std::string listFile = !g_uninstall.recordFile.empty() && EqualsNoCase(ExtractFileDir(g_uninstall.recordFile), folder)
                             ? g_uninstall.recordFile
                             : NextUninstallListPath(folder);
  if (listFile.empty()) {
    LogLine("** Error: all %d uninstall list numbers of %s are taken: nothing recorded", kMaxListFiles, folder);
    ShowPlainMessage("Unknown error while writing uninstall file list to disk.\r\n" + UninstallListPath(folder, kMaxListFiles - 1));
    return false;
  }
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
    LogError(Format("cannot write the uninstall list file %s", {listFile}), err);
    ok = false;
  }
  g_uninstall.recordFile = listFile;

  std::string uninstaller;
  bool copied = false;
  bool present = CopyUninstaller(uninstaller, copied);
  if (!present) {
    LogLine("** Error: no Add/Remove Programs entry is written without its uninstaller; the list %s stays",
            listFile);
    ShowPlainMessage("Unknown error while writing uninstall file list to disk.\r\n" + listFile +
                     "\r\n\r\nThe uninstaller could not be copied to \"" + uninstaller +
                     "\", so no Add/Remove Programs entry was written. Install again to add it.");
    return false;
  }

  std::string command = UninstallCommand(uninstaller, folder);
  EntryClaim claim;  // another install ending now must not take the same free slot
  std::string key = GetUninstIDKey(kUninstallKeyPrefix, folder, Params().productname);
  if (key.empty()) {
    ShowPlainMessage("Unknown error while writing uninstall file list to disk.\r\n" + listFile);
    return false;
  }
  std::vector<std::string> texts = {displayName,          command,     uninstaller, folder,
                                    kPublisher,           Params().productname,
                                    kPublisherWebAddress, kPublisherWebAddress,
                                    kPublisherWebAddress, command + " /quiet"};
  if (!WriteEntry(key, texts, folder)) ok = false;
  // The list as this install completed it: an uninstall that finds it changed asks first.
  if (ok) WriteListDigest(key, listFile, text);

  if (!ok || !copied) ShowPlainMessage("Unknown error while writing uninstall file list to disk.\r\n" + listFile);
  return ok && copied;
}

namespace {

// One list file of the folder as the uninstall found it.
struct ListFile {
  int number = 0;
  std::string path;
  std::vector<std::string> lines;  // header left out
  bool hasDigest = false;          // the entry holds a digest of it
  bool trusted = false;            // ... and it matches: its registrations may be undone
  bool declined = false;           // changed since, and the user chose not to follow it
};

enum class Outcome { Done, Stays, Cancelled };

// Tries attempt (a system error code, 0 when done) until it is done or the user gives
// up: a file in use may be freed meanwhile. The user decides about one that stays.
Outcome RetryWhileInUse(const std::string& path, const std::string& failing,
                        const std::function<unsigned long()>& attempt, std::string& why) {
  for (;;) {
    ClearReadOnly(path);
    unsigned long err = attempt();
    if (err == 0) return Outcome::Done;
    why = SystemErrorText(err);
    LogLine("** Error: %s: %s", failing, why);
    int answer = AskCancelRetryIgnore("Could not uninstall file. File may be in use:\r\n" + path);
    if (answer == IDCANCEL) return Outcome::Cancelled;
    if (answer == IDIGNORE) return Outcome::Stays;
  }
}

Outcome DeleteRecordedFile(const std::string& path, std::string& why) {
  return RetryWhileInUse(path, "cannot delete " + path, [&]() -> unsigned long {
    return DeleteFileA(path.c_str()) ? 0 : GetLastError();
  }, why);
}

// Puts the set-aside file back in place of the install's copy.
Outcome PutBack(const UndoLine& u, std::string& why) {
  return RetryWhileInUse(u.path, "cannot put back " + u.path + " from " + u.aside, [&]() -> unsigned long {
    unsigned long err = 0;
    return ReplaceWithFile(u.aside, u.path, err) ? 0 : err;
  }, why);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Calls the DLL's DllUnregisterServer; logged either way.
void UnregisterServerDll(const std::string& path) {
  bool ok = CallServerDll(path, "DllUnregisterServer");
  LogLine(ok ? "    Unregistered: \"%s\"" : "    ** Unregistering failed: \"%s\"", path);
}

// Undoes one record. removed counts the files and links that went or were put back.
Outcome UndoOne(const UndoLine& u, bool registered, bool trusted, int& removed, std::string& why) {
  switch (u.kind) {
    case UndoKind::Created:
    case UndoKind::Link: {
      SetStatus("Removing File: " + ExtractFileName(u.path));
      if (registered && trusted && Exists(u.path)) UnregisterServerDll(u.path);
      // Most lines name a file that is there and goes, or one that is gone already: one
      // call tells either. Anything else (read-only, in use) takes the careful way.
      if (DeleteFileA(u.path.c_str())) {
        LogLine("    Removed: \"%s\"", u.path);
        ++removed;
        return Outcome::Done;
      }
      DWORD err = GetLastError();
      if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND || !Exists(u.path)) {
        LogLine("    Already gone: \"%s\"", u.path);
        return Outcome::Done;
      }
      Outcome o = DeleteRecordedFile(u.path, why);
      if (o == Outcome::Done) {
        LogLine("    Removed: \"%s\"", u.path);
        ++removed;
      }
      return o;
    }
    case UndoKind::Replaced: {
      if (!Exists(u.aside)) {
        LogLine("    Kept: \"%s\" (nothing was set aside for it)", u.path);
        return Outcome::Done;
      }
      SetStatus("Removing File: " + ExtractFileName(u.path));
      Outcome o = PutBack(u, why);
      if (o != Outcome::Done) return o;
      LogLine("    Restored: \"%s\" from \"%s\"", u.path, u.aside);
      ++removed;
      if (registered && trusted && !RegisterServerDll(u.path)) LogLine("    ** Registering again failed: \"%s\"", u.path);
      return o;
    }
    case UndoKind::Kept:
      LogLine("    Kept: \"%s\" (there before the install)", u.path);
      return Outcome::Done;
    case UndoKind::Folder:
      if (RemoveDirectoryA(u.path.c_str()))
        LogLine("    Removed folder: \"%s\"", u.path);
      else if (Exists(u.path))
        LogLine("    Kept folder: \"%s\" (not empty)", u.path);
      return Outcome::Done;
    case UndoKind::Invalid:
      LogLine("** Error: list line skipped, %s: \"%s\"", u.why, u.path);
      return Outcome::Done;
    default:
      return Outcome::Done;
  }
}

// Undoes one list file, last line first, so that what the install did last is undone
// first. Lines whose files stay are kept in lines for the next uninstall.
Outcome UndoList(ListFile& list, int& removed, int& left, std::vector<std::string>& reasons) {
  LogLine("Uninstall list %s", list.path);
  std::vector<UndoLine> records;
  std::set<std::string> registered;
  for (const std::string& line : list.lines) {
    records.push_back(ParseUndoLine(line));
    if (records.back().kind == UndoKind::Registered) registered.insert(LowerAscii(records.back().path));
  }
  std::vector<bool> stays(records.size(), false);
  ShowProgress(static_cast<long long>(records.size()));
  Outcome result = Outcome::Done;
  size_t done = 0;
  for (size_t j = records.size(); j-- > 0;) {
    UpdateProgress(static_cast<long long>(++done));
    ProcessPendingMessages();
    const UndoLine& u = records[j];
    if (u.kind == UndoKind::Created || u.kind == UndoKind::Replaced) RemoveLeftCopies(ExtractFileDir(u.path));
    std::string why;
    Outcome o = UndoOne(u, registered.count(LowerAscii(u.path)) > 0, list.trusted, removed, why);
    if (o == Outcome::Cancelled) {
      for (size_t k = 0; k <= j; ++k) stays[k] = records[k].kind != UndoKind::Invalid;
      result = o;
      break;
    }
    if (o == Outcome::Stays) {
      stays[j] = true;
      ++left;
      reasons.push_back(u.path + ": " + why);
      LogLine("    Left: \"%s\" (%s)", u.path, why);
    }
  }
  HideProgress();
  // A registration line stays with its file.
  std::vector<std::string> keep;
  for (size_t j = 0; j < records.size(); ++j)
    if (stays[j]) keep.push_back(list.lines[j]);
    else if (records[j].kind == UndoKind::Registered)
      for (size_t k = 0; k < records.size(); ++k)
        if (stays[k] && EqualsNoCase(records[k].path, records[j].path)) {
          keep.push_back(list.lines[j]);
          break;
        }
  list.lines = keep;
  return result;
}

// Every list file of the folder, read before anything is removed: one that cannot be read
// stops the uninstall, since its files could not be told from the others. keys: the
// folder's entries, which hold the lists' digests.
bool ReadLists(const std::string& folder, const std::vector<std::string>& keys, std::vector<ListFile>& lists) {
  const std::vector<int> numbers = ExistingListNumbers(folder);
  std::map<int, std::string> digests = ListDigests(keys, folder, numbers);
  for (int i : numbers) {
    std::string path = UninstallListPath(folder, i);
    ListFile list;
    list.number = i;
    list.path = path;
    std::string text;
    if (!ReadFileWhole(path, text)) {
      std::string why = SystemErrorText(GetLastError());
      LogLine("** Error: cannot read the uninstall list file %s: %s", path, why);
      ShowWarning("Cannot read the uninstall list file \"" + path + "\":\r" + why +
                  "\r\rNothing was removed. Make the file readable and run the uninstall again.");
      return false;
    }
    for (const std::string& line : SplitScriptLines(text))
      if (!Trim(line).empty() && line != kUninstallListHeader) list.lines.push_back(line);
    auto digest = digests.find(i);
    list.hasDigest = digest != digests.end();
    list.trusted = list.hasDigest && TextMatchesDigest(text, digest->second);
    if (list.hasDigest && !list.trusted) {
      // Edited since the install wrote it: its lines may name anything at all.
      LogLine("** Error: the uninstall list file %s was changed after the install completed it", path);
      int answer = ShowMessageBox("The uninstall list file\r\"" + path +
                                      "\"\rwas changed after the install wrote it. It may name files the install "
                                      "never copied.\r\rRemove the files it names all the same?",
                                  MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
      list.declined = answer != IDYES;
      LogLine(list.declined ? "    Nothing of %s is removed" : "    %s is followed as the user chose", path);
    }
    lists.push_back(list);
  }
  return true;
}

// Writes what stays of a list back, or removes the list when nothing stays.
bool SettleList(const ListFile& list, const std::vector<std::string>& keys) {
  if (list.declined) return false;
  if (list.lines.empty()) {
    SetFileAttributesA(list.path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(list.path.c_str())) {
      SetListDigest(keys, list.path, "");
      return true;
    }
    LogError(Format("cannot delete %s", {list.path}), GetLastError());
    ShowPlainMessage("Error Deleting Uninstall master list file:" + list.path);
    return false;
  }
  std::string text = std::string(kUninstallListHeader) + "\r\n";
  for (const std::string& line : list.lines) text += line + "\r\n";
  unsigned long err = 0;
  if (!WriteFileWhole(list.path, text, err)) {
    LogError(Format("cannot rewrite %s with what is left", {list.path}), err);
    return false;
  }
  LogLine("Uninstall list %s keeps %d lines for the next uninstall", list.path, static_cast<int>(list.lines.size()));
  // A list this program wrote stays trusted as rewritten; one without a digest gains none.
  if (list.trusted) SetListDigest(keys, list.path, TextDigest(text));
  return false;
}

}  // namespace

static void RemoveEntries(const std::string& folder) {
  for (const std::string& key : EntryKeysOf(folder)) {
    for (const char* name : kEntryTextValues) DeleteRegValue(HKEY_LOCAL_MACHINE, key, name);
    for (const char* name : kEntryNumberValues) DeleteRegValue(HKEY_LOCAL_MACHINE, key, name);
    // The list digests go with the key.
    LONG rc = DeleteRegKey(HKEY_LOCAL_MACHINE, key);
    if (rc != ERROR_SUCCESS)
      LogError(Format("cannot delete the uninstall key %s", {key}), static_cast<unsigned long>(rc));
  }
}

// The uninstaller copy in the Windows folder goes with the last entry that starts it; while
// it runs, at the next restart.
static void RemoveUninstallerIfUnused(const std::string& uninstaller) {
  std::string name = ExtractFileName(uninstaller), longWin;
  if (uninstaller.empty() || !EqualsNoCase(ChangeFileExt(name, ".exe"), name) ||
      !SameFolder(ExtractFileDir(uninstaller), GetWindowsDir(), longWin) || !FileExists(uninstaller))
    return;
  for (int n = 0; n <= kMaxEntryNumber; ++n) {
    std::string key = EntryKey(kUninstallKeyPrefix, n);
    if (EqualsNoCase(ReadRegValue(HKEY_LOCAL_MACHINE, key, "DisplayIcon"), uninstaller) ||
        ContainsNoCase(ReadRegValue(HKEY_LOCAL_MACHINE, key, "UninstallString"), uninstaller))
      return;  // still another folder's uninstaller
  }
  std::string longSelf;
  if (SameFolder(ModulePath(), uninstaller, longSelf)) {
    if (MoveFileExA(uninstaller.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
      LogLine("The uninstaller %s is removed at the next restart", uninstaller);
      return;
    }
    DWORD err = GetLastError();
    if (err == ERROR_CALL_NOT_IMPLEMENTED) {  // the 9x family: WININIT.INI does it at start-up
      char shortName[MAX_PATH];
      DWORD n = GetShortPathNameA(uninstaller.c_str(), shortName, sizeof shortName);
      if (n > 0 && n < sizeof shortName && WritePrivateProfileStringA("rename", "NUL", shortName, "wininit.ini")) {
        LogLine("The uninstaller %s is removed at the next restart", uninstaller);
        return;
      }
      err = GetLastError();
    }
    LogError(Format("the uninstaller %s cannot be removed at the next restart", {uninstaller}), err);
    return;
  }
  SetFileAttributesA(uninstaller.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (DeleteFileA(uninstaller.c_str()))
    LogLine("    Removed: \"%s\" (the uninstaller no other entry uses)", uninstaller);
  else
    LogError(Format("cannot delete the uninstaller %s", {uninstaller}), GetLastError());
}

static void ShowMainWindow(bool show) {
  if (App().mainForm && !(show && CommandLine().quiet)) ShowWindow(App().mainForm, show ? SW_SHOW : SW_HIDE);
}


namespace {

struct UndoTally {
  int removed = 0, left = 0;
  std::vector<std::string> reasons;  // of the items left, for the final box
  bool listsRemain = false;          // a list keeps lines for the next uninstall
};

// Undoes the folder's lists, the last install's first: what it set aside may be an earlier
// install's file. False when the uninstall stops here (refused, an unreadable list, or
// cancelled), its reason shown and logged.
bool UndoFolder(const std::string& folder, UndoTally& tally) {
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
  // The entries' keys stay as they are until the end: undoing a list changes only its digest.
  const std::vector<std::string> keys = EntryKeysOf(folder);
  std::vector<ListFile> lists;
  if (!ReadLists(folder, keys, lists)) {
    MarkRunFailed();
    return false;
  }
  for (size_t i = lists.size(); i-- > 0;) {
    if (lists[i].declined) {
      tally.listsRemain = true;
      continue;
    }
    Outcome outcome = UndoList(lists[i], tally.removed, tally.left, tally.reasons);
    if (!SettleList(lists[i], keys)) tally.listsRemain = true;
    if (outcome == Outcome::Cancelled) {
      LogLine("** Error: uninstall of %s cancelled at %s", folder, lists[i].path);
      MarkRunDeclined();
      return false;
    }
  }
  return true;
}

}  // namespace

bool RunUninstall(const std::string& folderIn) {
  std::string folder = RemoveTrailingBackslashes(folderIn);
  ShowMainWindow(false);
  if (folder.empty()) {
    LogLine("** Error: uninstall without an application folder");
    ShowPlainMessage("Cannot uninstall: no application folder was given.");
    return false;
  }
  std::string key = GetUninstIDKey(kUninstallKeyPrefix, folder, "");
  std::string displayName = key.empty() ? "" : ReadRegValue(HKEY_LOCAL_MACHINE, key, "DisplayName");
  std::string product = key.empty() ? "" : ReadRegValue(HKEY_LOCAL_MACHINE, key, "Product");
  std::string uninstaller = key.empty() ? "" : ReadRegValue(HKEY_LOCAL_MACHINE, key, "DisplayIcon");
  // The uninstall's own log goes where the install's log of this folder goes.
  Params().exedir = folder;
  Params().productname = product;
  LogLine(kLogSeparator);
  LogLine("Uninstall - " + DateTimeText() + " - " + folder);
  SetAppTitle(product);
  if (App().mainForm) SetWindowTextA(App().mainForm, product.c_str());
  SetStatus("Uninstalling " + displayName + "...");
  if (!displayName.empty() &&
      !AskYesNo("OK to uninstall: \"" + displayName + "\"\rfrom folder: \"" + folder + "\"?")) {
    LogLine("Uninstall declined");
    MarkRunDeclined();
    return false;
  }
  ShowMainWindow(true);

  UndoTally tally;
  if (FolderExists(folder) && !UndoFolder(folder, tally)) return false;

  if (tally.listsRemain) {
    LogLine("The Add/Remove Programs entry stays: %d items are left for the next uninstall", tally.left);
    MarkRunFailed();
  } else {
    SetStatus("Removing Add/Remove Programs Reference...");
    RemoveEntries(folder);
    RemoveUninstallerIfUnused(uninstaller);
  }
  LogLine("Uninstall done: %d removed or restored, %d left", tally.removed, tally.left);
  std::string leftText;
  if (tally.left > 0) {
    leftText = Format("\r%d items could not be removed and stay:", {tally.left});
    for (size_t i = 0; i < tally.reasons.size() && i < 5; ++i) leftText += "\r" + tally.reasons[i];
    leftText += "\rRun the uninstall again once they are free.";
  }
  if (!displayName.empty()) {
    SetStatus("Successfully Uninstalled \"" + displayName + "\"");
    ShowMainWindow(false);
    ShowPlainMessage(Format("\"%s\"\r%d items successfully uninstalled.", {displayName, tally.removed}) + leftText);
  } else if (tally.left > 0) {
    ShowMainWindow(false);
    ShowPlainMessage(leftText.substr(1));
  }
  return !tally.listsRemain;
}

}  // namespace tolvex
