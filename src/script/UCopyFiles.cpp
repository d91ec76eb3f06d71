#include "UCopyFiles.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "UApp.h"
#include "UCrcText.h"
#include "UDebugLog.h"
#include "UDirIdent.h"
#include "UFileItem.h"
#include "UFileVersion.h"
#include "UFolderListing.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UProgress.h"
#include "UScript.h"
#include "USystemDll.h"
#include "UText.h"
#include "UWinExec.h"
#include "UWinHandle.h"
#include "Uninstall.h"
#include "URunState.h"

namespace tolvex {

static CopyEngineState g_copyEngine;
CopyEngineState& CopyEngine() { return g_copyEngine; }
void ResetCopyEngine() { g_copyEngine = CopyEngineState(); }

CopySettings SettingsOf(const FileItem& item) {
  CopySettings s;
  s.mode = item.copyMode;
  s.reg = item.reg;
  s.addToUninstall = item.addToUninstall;
  s.updateOnly = item.updateOnly;
  return s;
}
static const bool kResetCopyEngineRegistered = RegisterStateReset(&ResetCopyEngine);

namespace {

// A name the ANSI code page cannot hold comes back from the listing with "?" for what it
// cannot show: no file of that name can be opened, so it is a failed item, said as such.
bool ReportUnwritableName(const std::string& folder, const std::string& name) {
  LogLine("** Error: a name in \"%s\" cannot be held by this Windows' code page: \"%s\"", folder, name);
  NoteItemFailed();
  bool goOn = AskYesNo("A name in this folder cannot be written in the code page of this Windows' language "
                       "settings, so it cannot be copied:\r\"" + folder + "\"\r\"" + name + "\"\r\rContinue Install?");
  if (!goOn) App().stopAnswered = true;
  return goOn;
}

// ---- texts for the log ---------------------------------------------------------------
// A whole number as the user's locale groups it ("1,234,567").
std::string GroupedNumber(unsigned long long value) {
  char sep[8] = ",";
  if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, sep, sizeof sep)) lstrcpyA(sep, ",");
  std::string digits = std::to_string(value), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += sep;
    out += digits[i];
  }
  return out;
}

// ---- what is known of a file ---------------------------------------------------------
// A file's directory entry, taken from a folder listing where there is one.
struct KnownFile {
  DWORD attributes = INVALID_FILE_ATTRIBUTES;  // INVALID: nothing of that name
  FILETIME created{};
  FileStamp stamp;
};

KnownFile KnownFrom(const WIN32_FIND_DATAA& fd) {
  KnownFile k;
  k.attributes = fd.dwFileAttributes;
  k.created = fd.ftCreationTime;
  k.stamp.exists = !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  k.stamp.writeTime =
      (static_cast<unsigned long long>(fd.ftLastWriteTime.dwHighDateTime) << 32) | fd.ftLastWriteTime.dwLowDateTime;
  k.stamp.size = (static_cast<unsigned long long>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
  return k;
}

KnownFile LookUp(const std::string& path) {
  if (HasWildcard(path)) {  // a name, not a pattern: only an exact entry counts
    KnownFile k;
    k.attributes = GetFileAttributesA(path.c_str());
    return k;
  }
  WIN32_FIND_DATAA fd;
  ScopedFindHandle f(FindFirstFileA(path.c_str(), &fd));
  return f ? KnownFrom(fd) : KnownFile();
}

// ---- the decision --------------------------------------------------------------------
// What the "$" mode compares of one file.
struct FileFacts {
  std::string version, date;
  unsigned long long size = 0;
  uint32_t crc = 0;
  bool readable = false;
};

// The CRC pass reads the first bytes anyway, so it tells whether the version resource is
// worth asking for without the separate "MZ" probe.
bool Crc32AndMagic(const std::string& path, uint32_t& crc, bool& programFile);

FileFacts FactsOf(const std::string& path, const FileStamp& stamp) {
  FileFacts f;
  LocalWriteTime t;
  f.size = stamp.exists ? stamp.size & 0xFFFFFFFFull : 0;  // as the directory entry's low size word counts it
  if (stamp.exists && LocalWriteTimeOf(stamp.writeTime, t)) f.date = t.date;
  bool programFile = false;
  f.readable = Crc32AndMagic(path, f.crc, programFile);
  if (f.readable && programFile) f.version = GetProgramFileVersion(path).text;
  return f;
}

std::string FactsText(const FileFacts& f) {
  return f.version + " + " + f.date + " + " + GroupedNumber(f.size) + " + " + GroupedNumber(f.crc);
}

enum class Decision { Copy, Skip, Unreadable };

bool SameSizeAndWriteTime(const FileStamp& a, const FileStamp& b) {
  return a.exists && b.exists && a.size == b.size && a.writeTime == b.writeTime;
}

Decision DecideOverExisting(const std::string& source, const KnownFile& sk, const std::string& destination,
                            const KnownFile& dk, CopyMode mode) {
  switch (mode) {
    case CopyMode::Always:
      return Decision::Copy;
    case CopyMode::DateNewer: {
      LocalWriteTime s, d;
      if (sk.stamp.exists) LocalWriteTimeOf(sk.stamp.writeTime, s);
      if (dk.stamp.exists) LocalWriteTimeOf(dk.stamp.writeTime, d);
      if (s.ms > d.ms) {
        LogLine("    > File dates: \"%s\" -> \"%s\"", s.dateTime, d.dateTime);
        return Decision::Copy;
      }
      LogLine("    > Date newer - No copy done: \"%s\" to \"%s\"", source, destination);
      return Decision::Skip;
    }
    case CopyMode::VersionOrDateNewer:
      // A destination of the source's very size and last-write time is the copy an earlier
      // install made (the system's copy keeps the write time): its version is the
      // source's. Without this a reinstall would open every file of the CD to look for a
      // version resource, which under Wine costs more than the rest of the decision.
      if (SameSizeAndWriteTime(sk.stamp, dk.stamp) ||
          !IsFileNewer(source, sk.stamp, destination, dk.stamp, false)) {
        LogLine("    > Version or Date newer - No copy done: \"%s\" to \"%s\"", source, destination);
        return Decision::Skip;
      }
      LogLine("    > File ver/date: \"%s\" -> \"%s\"", FileVersionOrDateText(source), FileVersionOrDateText(destination));
      return Decision::Copy;
    case CopyMode::AnyDifference: {
      FileFacts s = FactsOf(source, sk.stamp), d = FactsOf(destination, dk.stamp);
      if (!s.readable || !d.readable) {
        // Without both CRCs there is no decision to make; the user decides as for any
        // other copy that cannot be done.
        for (const auto& f : {std::make_pair(&s, &source), std::make_pair(&d, &destination)})
          if (!f.first->readable) LogLine("    ** Error: cannot read the file to compare it: \"%s\"", *f.second);
        return Decision::Unreadable;
      }
      if (s.date == d.date && s.size == d.size && s.version == d.version && s.crc == d.crc) {
        LogLine("    > Version/Date/Size/CRC all same - No copy done: \"%s\" to \"%s\"", source, destination);
        return Decision::Skip;
      }
      LogLine("    > File Ver + Date + Size + CRC: \"%s\" -> \"%s\"", FactsText(s), FactsText(d));
      return Decision::Copy;
    }
  }
  return Decision::Copy;
}

// ---- the copy ------------------------------------------------------------------------
// The trust files of the Flash player name folders; the copy on the CD holds their
// identifiers, which only this PC can fill in.
bool ResolveTrustFile(const std::string& path, unsigned long& errorCode) {
  std::string text;
  if (!ReadFileWhole(path, text)) {
    errorCode = GetLastError();
    return false;
  }
  std::string out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    out += ResolveScriptText(text.substr(start, end - start)) + "\r\n";
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return WriteFileWhole(path, out, errorCode);
}

// "c:" or "\\server\share": where a path's file system is, for remembering what it keeps.
std::string VolumeOf(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return LowerAscii(path.substr(0, 2));
  if (path.compare(0, 2, "\\\\") != 0) return {};
  size_t server = FindChar(path, '\\', 2), share = server == std::string::npos ? server : FindChar(path, '\\', server + 1);
  return LowerAscii(path.substr(0, share));
}

// Whether the file system of folder keeps a creation time apart from the last-write time
// (Wine on a Linux file system reports the one as the other), tried on a scratch file of
// its own that goes when it is closed. One that cannot be tried is taken to keep it.
bool KeepsCreationTime(const std::string& folder) {
  ScopedHandle f(CreateFileA((folder + "\\~tolvex-times.$$$").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                             CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  FILETIME created = {0x2ac18000u, 0x01bf53ebu}, written = {0x6d9c8000u, 0x01c05b07u}, kept{};  // 2000, 2001
  if (!f || !SetFileTime(f.Get(), &created, nullptr, &written)) return true;
  return !GetFileTime(f.Get(), &kept, nullptr, nullptr) || CompareFileTime(&kept, &created) == 0;
}

// The system's copy gives the new file today's creation time; the source's is kept, on a
// file system that keeps one: elsewhere setting it would cost an open per file for nothing.
void KeepCreationTime(const std::string& source, const KnownFile& sk, const std::string& target) {
  CopyEngineState& state = g_copyEngine;
  std::string volume = VolumeOf(target);
  if (state.volumesChecked.insert(volume).second && !KeepsCreationTime(ExtractFileDir(target))) {
    state.volumesWithoutCreationTime.insert(volume);
    DebugLog(Format("%s keeps no creation time of its own: the copies there carry the time it gives them",
                    {volume.empty() ? ExtractFileDir(target) : volume}));
  }
  if (state.volumesWithoutCreationTime.count(volume)) return;
  KnownFile known = sk.attributes == INVALID_FILE_ATTRIBUTES ? LookUp(source) : sk;
  ScopedHandle f(CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (known.attributes != INVALID_FILE_ATTRIBUTES && f) SetFileTime(f.Get(), &known.created, nullptr, nullptr);
}

// The tests stop a run dead at a chosen moment of one file's copy, as a power cut or the
// Task Manager would: TOLVEX_TEST_KILL_AT="copied:<file name>" (the copy is complete under
// its own name) or "aside:<file name>" (the old file is set aside, the new one not in).
void StopHereForTests(const char* point, const std::string& destination) {
  char wanted[MAX_PATH] = "";
  DWORD n = GetEnvironmentVariableA("TOLVEX_TEST_KILL_AT", wanted, sizeof wanted);
  if (n > 0 && n < sizeof wanted && EqualsNoCase(wanted, std::string(point) + ":" + ExtractFileName(destination)))
    TerminateProcess(GetCurrentProcess(), 9);
}

// Moves the old file aside, then the new one in; the old one goes back when the second
// rename fails. Renames only: the old file keeps its bytes, times and attributes, and the
// 9x family, which cannot rename over a file, never meets a moment without either.
bool SetAsideAndPlace(const std::string& target, const std::string& destination, const std::string& aside,
                      unsigned long& errorCode) {
  if (!MoveFileA(destination.c_str(), aside.c_str())) {
    errorCode = GetLastError();
    return false;
  }
  StopHereForTests("aside", destination);
  if (MoveFileA(target.c_str(), destination.c_str())) return true;
  errorCode = GetLastError();
  if (!MoveFileA(aside.c_str(), destination.c_str()))
    LogLine("    ** Error: \"%s\" could not be put back from \"%s\": %s", destination, aside,
            SystemErrorText(GetLastError()));
  return false;
}

// The system's copy goes into a file of its own name beside the destination, which then
// takes the destination's name in one rename: a copy cut short (a full disk, a killed
// run) never leaves a partial file under that name, and a destination in use is left
// whole. Over an existing file whose old copy the uninstall is to put back (aside), the
// old file is set aside by rename; else it is replaced.
bool CopyInPlace(const std::string& source, const KnownFile& sk, const std::string& destination, bool fresh,
                 const std::string& aside, FolderListing* view, unsigned long& errorCode) {
  std::string target = destination + kCopyInProgressSuffix;
  errorCode = 0;
  bool copied = CopyFileA(source.c_str(), target.c_str(), FALSE) != 0;
  if (view) view->Forget(ExtractFileName(target));
  if (!copied) {
    errorCode = GetLastError();
    DeleteFileA(target.c_str());
    return false;
  }
  // The copy takes the source's attributes: only a read-only source leaves one to clear.
  if (sk.attributes == INVALID_FILE_ATTRIBUTES || (sk.attributes & FILE_ATTRIBUTE_READONLY))
    ClearReadOnly(target, GetFileAttributesA(target.c_str()));
  bool ok = true;
  if (EqualsNoCase(ExtractFileDir(destination), Params().flashcfgdir)) ok = ResolveTrustFile(target, errorCode);
  if (ok) KeepCreationTime(source, sk, target);
  StopHereForTests("copied", destination);
  if (ok) {
    if (fresh) {
      // Made by someone else since it was looked at: it is theirs, and is replaced safely.
      ok = MoveFileA(target.c_str(), destination.c_str()) || ReplaceWithFile(target, destination, errorCode);
    } else {
      ok = aside.empty() ? ReplaceWithFile(target, destination, errorCode)
                         : SetAsideAndPlace(target, destination, aside, errorCode);
    }
  }
  if (!ok) DeleteFileA(target.c_str());
  return ok;
}

// A copy in progress that a killed run left in folder: nobody's file, removed once per
// folder and run.
void RemoveLeftCopiesIn(const std::string& folder) {
  if (!CopyEngine().foldersCleaned.insert(LowerAscii(folder)).second) return;
  WIN32_FIND_DATAA fd;
  std::string pattern = folder + "\\*" + kCopyInProgressSuffix;
  ScopedFindHandle f(FindFirstFileA(pattern.c_str(), &fd));
  if (!f) return;
  do {
    std::string name = fd.cFileName;
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name.size() <= std::strlen(kCopyInProgressSuffix) ||
        !EqualsNoCase(name.substr(name.size() - std::strlen(kCopyInProgressSuffix)), kCopyInProgressSuffix))
      continue;
    std::string path = folder + "\\" + name;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(path.c_str()))
      LogLine("    Removed a copy a stopped run left behind: \"%s\"", path);
  } while (FindNextFileA(f.Get(), &fd));
}

// True when the file can be opened for reading as the system's copy opens it: a source
// held by another program, or one this user may not read, fails the copy as surely as a
// full disk, and the user must be told which of the two it was.
bool SourceReadable(const std::string& source, std::string& why) {
  ScopedHandle f(CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (f) return true;
  why = SystemErrorText(GetLastError());
  return false;
}

void RegisterCopied(const std::string& destination, const std::string& reg) {
  if (reg == "r") {
    LogLine("Register file: \"%s\"", destination);
    if (!RegisterServerDll(destination)) {
      LogLine("*** DLL Registration failed!!");
      NoteItemFailed();
    }
  } else if (reg.size() >= 2 && ContainsNoCase(destination, ".exe") && FileExists(destination)) {
    RunAndWait(destination, reg);
    LogLine("Register file: \"%s %s\" ", destination, reg);
  }
}

}  // namespace

void RemoveLeftCopies(const std::string& folder) { RemoveLeftCopiesIn(folder); }

void ShowCopyStatus(const std::string& destination) { SetStatus("Copying file: " + ExtractFileName(destination)); }

bool CopyFilesSection() {
  bool result = true;
  for (const std::string& line : Lists().files) {
    ProcessPendingMessages();
    FileItem item;
    ParseStatus status = ParseFileInfo(line, item);
    result = status != ParseStatus::Error;
    ShowCopyStatus(item.destination);
    if (status == ParseStatus::OK) result = CopyFileItem(item.source, item.destination, SettingsOf(item));
    if (!result) break;
  }
  return result;
}

bool CopyFileItem(const std::string& source, const std::string& destination, const CopySettings& settings) {
  if (IsFolderItem(source, destination)) {
    std::string root = RemoveTrailingBackslashes(source);
    // The whole tree is listed before anything is copied, so a destination inside the
    // source is not walked into.
    std::vector<std::string> folders{""}, unwritable;
    for (size_t i = 0; i < folders.size(); ++i) {
      std::string base = folders[i].empty() ? root : root + "\\" + folders[i];
      WIN32_FIND_DATAA fd;
      ScopedFindHandle f(FindFirstFileA((base + "\\*.*").c_str(), &fd));
      if (!f) continue;
      do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || fd.cFileName[0] == '.') continue;
        if (std::strchr(fd.cFileName, '?'))
          unwritable.push_back(base + "|" + fd.cFileName);
        else
          folders.push_back(folders[i].empty() ? fd.cFileName : folders[i] + "\\" + fd.cFileName);
      } while (FindNextFileA(f.Get(), &fd));
    }
    for (const std::string& u : unwritable) {
      size_t bar = FindChar(u, '|');
      if (!ReportUnwritableName(u.substr(0, bar), u.substr(bar + 1))) return false;
    }
    for (const std::string& rel : folders) {
      std::string pattern = (rel.empty() ? root : root + "\\" + rel) + "\\*.*";
      if (!CopyMatchingFiles(pattern, destination + rel, settings)) return false;
    }
    return true;
  }
  if (!HasWildcard(source) && FileExists(source)) return CopyOneFile(source, destination, settings);
  std::string from = RemoveTrailingBackslashes(source);
  std::string pattern = HasWildcard(from) ? from : from + "\\*.*";
  return CopyMatchingFiles(pattern, RemoveTrailingBackslashes(destination), settings);
}

namespace {

// The decision, the copy and its follow-up work for one file whose source entry is known;
// view, when given, is the destination's folder as listed.
bool CopyKnownFile(const std::string& source, const KnownFile& sk, const std::string& destination,
                   const CopySettings& settings, FolderListing* view) {
  LogLine("Copy file:");
  bool copy = true, failed = false;
  const bool record = settings.addToUninstall;
  UndoKind announced = UndoKind::Comment;  // what this copy recorded for the uninstall
  const WIN32_FIND_DATAA* listed = view ? view->Find(ExtractFileName(destination)) : nullptr;
  KnownFile dk = !view ? LookUp(destination) : listed ? KnownFrom(*listed) : KnownFile();
  bool destExists = dk.stamp.exists;
  if (settings.updateOnly && !destExists) {
    LogLine("    > Dest file not found - Nothing to update: \"%s\" to \"%s\"", source, destination);
    copy = false;
  }
  if (destExists) {
    Decision d = DecideOverExisting(source, sk, destination, dk, settings.mode);
    copy = d == Decision::Copy;
    failed = d == Decision::Unreadable;
  }
  bool result = true, existsNow = destExists;
  if (copy) {
    LogLine("    \"%s\"", source);
    LogLine("    \"%s\"", destination);
    std::string folder = ExtractFileDir(destination);
    if (!view || !view->Exists()) {
      if (!folder.empty() && MakeRecordedDirPath(folder, record) && view) view->MarkMade();
    }
    if (!folder.empty()) RemoveLeftCopiesIn(folder);
    bool fresh = dk.attributes == INVALID_FILE_ATTRIBUTES;
    // What the uninstall needs to undo this copy is recorded before it is made. A file this
    // run made itself is not set aside again: its first record already says what to undo.
    std::string aside;
    if (record && fresh) {
      announced = UndoKind::Created;
    } else if (record && RecordedAs(destination) != UndoKind::Created && RecordedAs(destination) != UndoKind::Replaced) {
      aside = FreeSetAsideName(destination, view && view->Exists() ? view : nullptr);
      if (!aside.empty()) announced = UndoKind::Replaced;
    }
    if (announced != UndoKind::Comment) RecordChange({announced, destination, aside, ""});
    // The old file keeps its attributes when it is set aside; a rename moves a read-only file.
    if (aside.empty()) ClearReadOnly(destination, dk.attributes);
    unsigned long error = 0;
    if (CopyInPlace(source, sk, destination, fresh, aside, view, error)) {
      existsNow = true;
    } else {
      LogLine("    ** Error: " + SystemErrorText(error));
      failed = true;
      existsNow = FileExists(destination);
      if (announced != UndoKind::Comment) DropRecord(destination);
      announced = UndoKind::Comment;
    }
  }
  std::string sourceWhy;
  if (failed && !SourceReadable(source, sourceWhy)) {
    NoteItemFailed();
    result = AskYesNo("Error reading file! Check if the installation file is in use or may be read.\r\"" + source +
                      "\"\r" + sourceWhy + "\r\rContinue Install?");
    LogLine("    *** Error - Copy Failed! The installation file cannot be read: " + sourceWhy);
    if (!result) App().stopAnswered = true;
  } else if (failed) {
    NoteItemFailed();
    result = AskYesNo("Error copying file! Check if drive is full or readonly. Check if destination file is in use.\r\"" +
                      destination + "\"\r\rContinue Install?");
    LogLine("    *** Error - Copy Failed! File in use? Disk Full? Disk Read-Only?");
    if (!result) App().stopAnswered = true;
  } else if (copy) {
    ++App().itemsCopied;
  } else if (destExists) {
    ++App().itemsUpToDate;
  }
  // A file that was there before and stays as it was is left alone by the uninstall.
  if (record && existsNow && announced == UndoKind::Comment && RecordedAs(destination) == UndoKind::Comment)
    RecordChange({UndoKind::Kept, destination, "", ""});
  if (record && announced != UndoKind::Comment && settings.reg == "r")
    RecordChange({UndoKind::Registered, destination, "", ""});
  if (!result) return false;
  RegisterCopied(destination, settings.reg);
  return result;
}

}  // namespace

bool CopyMatchingFiles(const std::string& pattern, const std::string& folder, const CopySettings& settings) {
  std::string to = RemoveTrailingBackslashes(folder);
  std::string from = ExtractFileDir(pattern);
  std::vector<std::pair<std::string, KnownFile>> sources;
  std::vector<std::string> unwritable;
  {
    WIN32_FIND_DATAA fd;
    ScopedFindHandle f(FindFirstFileA(pattern.c_str(), &fd));
    if (f) do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (std::strchr(fd.cFileName, '?'))
          unwritable.push_back(fd.cFileName);
        else
          sources.emplace_back(fd.cFileName, KnownFrom(fd));
      } while (FindNextFileA(f.Get(), &fd));
  }
  for (const std::string& name : unwritable)
    if (!ReportUnwritableName(from, name)) return false;
  if (sources.empty()) return true;
  // A registration runs foreign code, which may change the folder under the listing.
  bool runsCode = settings.reg == "r" || settings.reg.size() >= 2;
  std::unique_ptr<FolderListing> view;
  if (!runsCode) view.reset(new FolderListing(to));
  bool result = true;
  for (const auto& file : sources) {
    ProcessPendingMessages();
    ShowCopyStatus(file.first);
    result = CopyKnownFile(from + "\\" + file.first, file.second, to + "\\" + file.first, settings, view.get());
    if (!result) break;
  }
  return result;
}

bool CopyOneFile(const std::string& source, const std::string& destination, const CopySettings& settings) {
  return CopyKnownFile(source, LookUp(source), destination, settings, nullptr);
}

namespace {

bool Crc32AndMagic(const std::string& path, uint32_t& crc, bool& programFile) {
  // Others may read meanwhile, but not change the bytes under the sum.
  ScopedHandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!f) return false;
  std::vector<unsigned char>& buffer = CopyEngine().crcBuffer;
  if (buffer.empty()) buffer.resize(256 * 1024);
  uint32_t c = kCrcStart;
  programFile = false;
  for (bool first = true;; first = false) {
    DWORD got = 0;
    if (!ReadFile(f.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return false;
    if (got == 0) break;
    if (first) programFile = got >= 2 && buffer[0] == 'M' && buffer[1] == 'Z';
    c = CrcUpdate(c, buffer.data(), got);
  }
  crc = ~c;
  return true;
}

}  // namespace

bool FileCrc32(const std::string& path, uint32_t& crc) {
  bool programFile = false;
  return Crc32AndMagic(path, crc, programFile);
}

bool CallServerDll(const std::string& path, const char* entry) {
  using EntryFn = HRESULT(STDAPICALLTYPE*)();
  HCURSOR cursor = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  bool ok = false;
  {
    ScopedModule dll(LoadInstalledDll(path));
    if (dll) {
      auto fn = ProcAddress<EntryFn>(dll.Get(), entry);
      ok = fn && SUCCEEDED(fn());
    }
  }
  SetErrorMode(mode);
  SetCursor(cursor);
  return ok;
}

bool RegisterServerDll(const std::string& path) {
  for (int attempt = 0; attempt < 10; ++attempt)
    if (CallServerDll(path, "DllRegisterServer")) return true;
  return false;
}

}  // namespace tolvex
