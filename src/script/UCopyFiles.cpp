#include "UCopyFiles.h"

#include <windows.h>

#include <vector>

#include "UApp.h"
#include "UDirIdent.h"
#include "UFileItem.h"
#include "UFileVersion.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UProgress.h"
#include "UScript.h"
#include "UText.h"
#include "UWinExec.h"
#include "UWinHandle.h"
#include "Uninstall.h"

namespace tolvex {

CopySettings SettingsOf(const FileItem& item) {
  CopySettings s;
  s.mode = item.copyMode;
  s.reg = item.reg;
  s.addToUninstall = item.addToUninstall;
  s.updateOnly = item.updateOnly;
  return s;
}

namespace {

const char* const kCopyStatus = "Copying file:";

bool HasWildcard(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

// ---- CRC-32 (the ZIP and PNG one) ----------------------------------------------------
// Eight tables let the loop take eight bytes a step: a no-op reinstall in "$" mode reads
// every file twice, and the plain one-table loop would be slower than the disk.
struct CrcTables {
  uint32_t t[8][256];
  CrcTables() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; ++i)
      for (int s = 1; s < 8; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
  }
};

uint32_t CrcUpdate(uint32_t crc, const unsigned char* p, size_t n) {
  static const CrcTables tables;
  const auto& t = tables.t;
  while (n >= 8) {
    uint32_t lo = crc ^ (p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
    crc = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^ t[3][p[4]] ^
          t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    p += 8;
    n -= 8;
  }
  while (n--) crc = t[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
  return crc;
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

// ---- the decision --------------------------------------------------------------------
// What the "$" mode compares of one file.
struct FileFacts {
  std::string version, date;
  unsigned long long size = 0;
  uint32_t crc = 0;
  bool readable = false;
};

FileFacts FactsOf(const std::string& path) {
  FileFacts f;
  unsigned long long utc = 0;
  LocalWriteTime t;
  GetFileStamp(path, utc, f.size);
  f.size &= 0xFFFFFFFFull;  // as the directory entry's low size word counts it
  if (GetLocalWriteTime(path, t)) f.date = t.date;
  f.version = FileVersionText(path);
  f.readable = FileCrc32(path, f.crc);
  return f;
}

std::string FactsText(const FileFacts& f) {
  return f.version + " + " + f.date + " + " + GroupedNumber(f.size) + " + " + GroupedNumber(f.crc);
}

enum class Decision { Copy, Skip, Unreadable };

Decision DecideOverExisting(const std::string& source, const std::string& destination, CopyMode mode) {
  switch (mode) {
    case CopyMode::Always:
      return Decision::Copy;
    case CopyMode::DateNewer: {
      LocalWriteTime s, d;
      GetLocalWriteTime(source, s);
      GetLocalWriteTime(destination, d);
      if (s.ms > d.ms) {
        LogLine("    > File dates: \"%s\" -> \"%s\"", s.dateTime, d.dateTime);
        return Decision::Copy;
      }
      LogLine("    > Date newer - No copy done: \"%s\" to \"%s\"", source, destination);
      return Decision::Skip;
    }
    case CopyMode::VersionOrDateNewer:
      if (IsFileNewer(source, destination, false)) {
        LogLine("    > File ver/date: \"%s\" -> \"%s\"", FileVersionOrDateText(source), FileVersionOrDateText(destination));
        return Decision::Copy;
      }
      LogLine("    > Version or Date newer - No copy done: \"%s\" to \"%s\"", source, destination);
      return Decision::Skip;
    case CopyMode::AnyDifference: {
      FileFacts s = FactsOf(source), d = FactsOf(destination);
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
void ClearReadOnly(const std::string& path, DWORD attributes) {
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

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

// The system's copy into a temporary file beside the destination, which then takes the
// destination's place in one rename: a full disk or a destination in use leaves the old
// file whole (the system's copy would have truncated it first), and a fresh copy that
// fails leaves nothing behind.
bool CopyInPlace(const std::string& source, const std::string& destination, unsigned long& errorCode) {
  std::string tmp = destination + ".$$$";
  errorCode = 0;
  if (!CopyFileA(source.c_str(), tmp.c_str(), FALSE)) {
    errorCode = GetLastError();
    DeleteFileA(tmp.c_str());
    return false;
  }
  ClearReadOnly(tmp, GetFileAttributesA(tmp.c_str()));
  bool ok = true;
  if (EqualsNoCase(ExtractFileDir(destination), Params().flashcfgdir)) ok = ResolveTrustFile(tmp, errorCode);
  if (ok) {
    // The system's copy gives the new file today's creation time; the source's is kept.
    WIN32_FIND_DATAA fd;
    ScopedFindHandle found(FindFirstFileA(source.c_str(), &fd));
    ScopedHandle f(CreateFileA(tmp.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (found && f) SetFileTime(f.Get(), &fd.ftCreationTime, nullptr, nullptr);
  }
  if (ok && ReplaceWithFile(tmp, destination, errorCode)) return true;
  DeleteFileA(tmp.c_str());
  return false;
}

void RegisterCopied(const std::string& destination, const std::string& reg) {
  if (reg == "r") {
    LogLine("Register file: \"%s\"", destination);
    if (!RegisterServerDll(destination)) LogLine("*** DLL Registration failed!!");
  } else if (reg.size() >= 2 && ContainsNoCase(destination, ".exe") && FileExists(destination)) {
    RunAndWait(destination, reg);
    LogLine("Register file: \"%s %s\" ", destination, reg);
  }
}

}  // namespace

bool CopyFilesSection() {
  bool result = true;
  for (const std::string& line : Lists().files) {
    ProcessPendingMessages();
    FileItem item;
    ParseStatus status = ParseFileInfo(line, item);
    result = status != ParseStatus::Error;
    SetStatus(std::string(kCopyStatus) + " " + ExtractFileName(item.destination));
    if (status == ParseStatus::OK) result = CopyFileItem(item.source, item.destination, SettingsOf(item));
    if (!result) break;
  }
  return result;
}

bool CopyFileItem(const std::string& source, const std::string& destination, const CopySettings& settings) {
  bool sourceIsFolder = !source.empty() && source.back() == '\\';
  bool destinationIsFolder = !destination.empty() && destination.back() == '\\';
  if (sourceIsFolder && destinationIsFolder) {
    std::string root = RemoveTrailingBackslashes(source);
    // The whole tree is listed before anything is copied, so a destination inside the
    // source is not walked into.
    std::vector<std::string> folders{""};
    for (size_t i = 0; i < folders.size(); ++i) {
      std::string base = folders[i].empty() ? root : root + "\\" + folders[i];
      WIN32_FIND_DATAA fd;
      ScopedFindHandle f(FindFirstFileA((base + "\\*.*").c_str(), &fd));
      if (!f) continue;
      do {
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && fd.cFileName[0] != '.')
          folders.push_back(folders[i].empty() ? fd.cFileName : folders[i] + "\\" + fd.cFileName);
      } while (FindNextFileA(f.Get(), &fd));
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

bool CopyMatchingFiles(const std::string& pattern, const std::string& folder, const CopySettings& settings) {
  std::string to = RemoveTrailingBackslashes(folder);
  std::string from = ExtractFileDir(pattern);
  std::vector<std::string> names;
  {
    WIN32_FIND_DATAA fd;
    ScopedFindHandle f(FindFirstFileA(pattern.c_str(), &fd));
    if (f) do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
      } while (FindNextFileA(f.Get(), &fd));
  }
  bool result = true;
  for (const std::string& name : names) {
    ProcessPendingMessages();
    SetStatus(std::string(kCopyStatus) + " " + name);
    result = CopyOneFile(from + "\\" + name, to + "\\" + name, settings);
    if (!result) break;
  }
  return result;
}

bool CopyOneFile(const std::string& source, const std::string& destination, const CopySettings& settings) {
  LogLine("Copy file:");
  bool copy = true, failed = false;
  DWORD destAttributes = GetFileAttributesA(destination.c_str());
  bool destExists = destAttributes != INVALID_FILE_ATTRIBUTES && !(destAttributes & FILE_ATTRIBUTE_DIRECTORY);
  if (settings.updateOnly && !destExists) {
    LogLine("    > Dest file not found - Nothing to update: \"%s\" to \"%s\"", source, destination);
    copy = false;
  }
  if (destExists) {
    Decision d = DecideOverExisting(source, destination, settings.mode);
    copy = d == Decision::Copy;
    failed = d == Decision::Unreadable;
  }
  bool result = true;
  if (copy) {
    LogLine("    \"%s\"", source);
    LogLine("    \"%s\"", destination);
    std::string folder = ExtractFileDir(destination);
    if (!folder.empty()) MakeDirPath(folder);
    ClearReadOnly(destination, destAttributes);
    unsigned long error = 0;
    if (!CopyInPlace(source, destination, error)) {
      LogLine("    ** Error: " + SystemErrorText(error));
      failed = true;
    }
  }
  if (failed) {
    result = AskYesNo("Error copying file! Check if drive is full or readonly. Check if destination file is in use.\r\"" +
                      destination + "\"\r\rContinue Install?");
    LogLine("    *** Error - Copy Failed! File in use? Disk Full? Disk Read-Only?");
    if (!result) MarkRunDeclined();
  }
  if (settings.addToUninstall && FileExists(destination)) AddFile(destination);
  if (!result) return false;
  RegisterCopied(destination, settings.reg);
  return result;
}

bool FileCrc32(const std::string& path, uint32_t& crc) {
  // Others may read meanwhile, but not change the bytes under the sum.
  ScopedHandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!f) return false;
  // One buffer for the run: the engine runs on one thread, and a fresh 256 KB for every
  // small file would cost more than reading it.
  static std::vector<unsigned char> buffer(256 * 1024);
  uint32_t c = 0xFFFFFFFFu;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(f.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return false;
    if (got == 0) break;
    c = CrcUpdate(c, buffer.data(), got);
  }
  crc = ~c;
  return true;
}

bool RegisterServerDll(const std::string& path) {
  using RegisterFn = HRESULT(STDAPICALLTYPE*)();
  for (int attempt = 0; attempt < 10; ++attempt) {
    HCURSOR cursor = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    bool ok = false;
    {
      ScopedModule dll(LoadLibraryA(path.c_str()));
      if (dll) {
        auto fn = reinterpret_cast<RegisterFn>(reinterpret_cast<void*>(GetProcAddress(dll.Get(), "DllRegisterServer")));
        ok = fn && SUCCEEDED(fn());
      }
    }
    SetErrorMode(mode);
    SetCursor(cursor);
    if (ok) return true;
  }
  return false;
}

}  // namespace tolvex
