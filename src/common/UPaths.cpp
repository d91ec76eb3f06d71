#include "UPaths.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "ULog.h"
#include "UText.h"
#include "UWinHandle.h"
#include "URunState.h"

namespace tolvex {

bool FolderExists(const std::string& path) {
  if (path.empty()) return false;
  DWORD a = GetFileAttributesA(path.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) return true;
  WIN32_FIND_DATAA fd;
  ScopedFindHandle f(FindFirstFileA((IncludeTrailingBackslash(path) + "*.*").c_str(), &fd));
  return f.IsValid();
}

bool FileExists(const std::string& path) {
  if (path.empty()) return false;
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool AnyFileMatches(const std::string& pattern) {
  WIN32_FIND_DATAA fd;
  ScopedFindHandle f(FindFirstFileA(pattern.c_str(), &fd));
  if (!f) return false;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
  } while (FindNextFileA(f.Get(), &fd));
  return false;
}

bool GetFileStamp(const std::string& path, unsigned long long& writeTime, unsigned long long& size) {
  if (path.empty() || HasWildcard(path)) return false;
  WIN32_FIND_DATAA fd;
  ScopedFindHandle f(FindFirstFileA(path.c_str(), &fd));
  if (!f || (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  writeTime = (static_cast<unsigned long long>(fd.ftLastWriteTime.dwHighDateTime) << 32) | fd.ftLastWriteTime.dwLowDateTime;
  size = (static_cast<unsigned long long>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
  return true;
}

bool MakeDirPath(const std::string& path) {
  std::string p = RemoveTrailingBackslashes(path);
  if (p.empty()) return false;
  if (FolderExists(p)) return true;
  std::string parent = ExtractFileDir(p);
  // Stop at a drive ("c:") or a share: those cannot be created.
  if (!parent.empty() && parent != p && ExtractDrive(p) != p) MakeDirPath(parent);
  CreateDirectoryA(p.c_str(), nullptr);
  return FolderExists(p);
}

bool ProbeFileCanBeCreated(const std::string& folder) {
  std::string probe = folder + "\\$_Temp_$.$$$";
  ScopedHandle f(CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) return false;
  f.Close();
  DeleteFileA(probe.c_str());
  return true;
}

static std::string FromBuffer(const char* buf, DWORD n) { return std::string(buf, n); }

static FolderOverrides g_folders;
FolderOverrides& Folders() { return g_folders; }
void ResetFolderOverrides() { g_folders = FolderOverrides(); }

std::string GetWindowsDir() {
  if (!g_folders.windowsDir.empty()) return g_folders.windowsDir;
  char buf[MAX_PATH];
  DWORD n = GetWindowsDirectoryA(buf, MAX_PATH);
  return RemoveTrailingBackslashes(n && n < MAX_PATH ? FromBuffer(buf, n) : std::string());
}
static const bool kResetFolderOverridesRegistered = RegisterStateReset(&ResetFolderOverrides);

std::string GetSystemDir() { return g_folders.systemDir.empty() ? WindowsSystemDir() : g_folders.systemDir; }

std::string FullPathName(const std::string& path) {
  if (path.empty()) return path;
  char buf[MAX_PATH];
  DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, buf, nullptr);
  return n > 0 && n < MAX_PATH ? std::string(buf, n) : path;
}

std::string WindowsSystemDir() {
  char buf[MAX_PATH];
  DWORD n = GetSystemDirectoryA(buf, MAX_PATH);
  return RemoveTrailingBackslashes(n && n < MAX_PATH ? FromBuffer(buf, n) : std::string());
}

std::string GetTempDir() {
  char buf[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof buf, buf);
  return RemoveTrailingBackslashes(n && n < sizeof buf ? FromBuffer(buf, n) : std::string());
}

std::string ModulePath() {
  // A program started from a folder deeper than MAX_PATH has a longer name. Cut short it
  // would name another file (the script beside it "missing"), so the buffer grows until
  // the whole name fits and the caller can tell the path is too long.
  std::vector<char> buf(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) return FromBuffer(buf.data(), n);
    if (buf.size() >= 32768) return {};
    buf.resize(buf.size() * 2);
  }
}

std::string ModuleDir() { return ExtractFileDir(ModulePath()); }

std::string ShellLongPath(const std::string& path) {
  if (path.empty()) return path;
  ScopedComInit com;
  ComPtr<IShellFolder> desktop;
  if (FAILED(SHGetDesktopFolder(desktop.Receive())) || !desktop) return path;
  int wn = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  if (wn <= 0) return path;
  std::wstring wide(static_cast<size_t>(wn), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], wn);
  ScopedCoTaskMem<ITEMIDLIST> pidl;
  ULONG eaten = 0;
  if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, &wide[0], &eaten, pidl.Receive(), nullptr)) || !pidl)
    return path;
  char buf[MAX_PATH] = "";
  BOOL ok = SHGetPathFromIDListA(pidl.Get(), buf);
  return ok && buf[0] ? std::string(buf) : path;
}

std::string ParentFolder(const std::string& path) {
  std::string p = RemoveTrailingBackslashes(path);
  if (p.empty()) return p;
  std::string drive = ExtractDrive(p);
  if (!drive.empty() && EqualsNoCase(drive, p)) return p;
  p = RemoveTrailingBackslashes(ShellLongPath(p));
  drive = ExtractDrive(p);
  if (!drive.empty() && EqualsNoCase(drive, p)) return p;
  size_t cut = FindLastChar(p, '\\');
  if (cut == std::string::npos) return std::string();
  std::string parent = p.substr(0, cut);
  // Never cut into the share part of a network path.
  if (!drive.empty() && parent.size() < drive.size()) return drive;
  return parent;
}

// One write of every byte. A short write that the system calls a success is a full disk;
// any other failure keeps the system's own error.
static bool WriteAllOf(HANDLE f, const std::string& data, unsigned long& errorCode) {
  DWORD written = 0;
  BOOL ok = WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  if (ok && written == data.size()) return true;
  errorCode = ok ? ERROR_DISK_FULL : GetLastError();
  return false;
}

bool WriteFileWhole(const std::string& path, const std::string& content, unsigned long& errorCode) {
  std::string tmp = path + ".$$$";
  errorCode = 0;
  {
    ScopedHandle f(CreateFileA(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) {
      errorCode = GetLastError();
      return false;
    }
    if (!WriteAllOf(f.Get(), content, errorCode) || !FlushFileBuffers(f.Get())) {
      if (!errorCode) errorCode = GetLastError();
      f.Close();
      DeleteFileA(tmp.c_str());
      return false;
    }
  }
  if (ReplaceWithFile(tmp, path, errorCode)) return true;
  DeleteFileA(tmp.c_str());
  return false;
}

static bool g_refuseReadOnlyReplace = false;
bool ClearReadOnly(const std::string& path) { return ClearReadOnly(path, GetFileAttributesA(path.c_str())); }

bool ClearReadOnly(const std::string& path, unsigned long attributes) {
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return true;
  if (SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))) return true;
  LogError(Format("the read-only attribute of \"%s\" could not be cleared", {path}), GetLastError());
  return false;
}

void RefuseReadOnlyReplaceForTesting(bool refuse) { g_refuseReadOnlyReplace = refuse; }
static const bool kRefuseSeamRegistered = RegisterStateReset([] { g_refuseReadOnlyReplace = false; });

bool ReplaceWithFile(const std::string& from, const std::string& path, unsigned long& errorCode) {
  // Windows NT refuses to rename over a read-only file; Wine does not. Tests ask for NT's way.
  if (g_refuseReadOnlyReplace) {
    DWORD attr = GetFileAttributesA(path.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY)) {
      errorCode = ERROR_ACCESS_DENIED;
      return false;
    }
  }
  if (MoveFileExA(from.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  DWORD err = GetLastError();
  if (err == ERROR_CALL_NOT_IMPLEMENTED) {
    // The 9x family has no MoveFileEx and cannot rename over a file: the old file moves
    // aside, the new one in, and only then does the old one go; it comes back when the new
    // one cannot go in, so there is never a moment without either.
    std::string old = path + ".~tvxold";
    SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(old.c_str());
    bool hadOld = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (hadOld && !MoveFileA(path.c_str(), old.c_str())) {
      errorCode = GetLastError();
      return false;
    }
    if (MoveFileA(from.c_str(), path.c_str())) {
      if (hadOld) {
        SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(old.c_str());
      }
      return true;
    }
    err = GetLastError();
    if (hadOld) MoveFileA(old.c_str(), path.c_str());
  }
  errorCode = err;
  return false;
}

bool AppendFileText(const std::string& path, const std::string& text, unsigned long& errorCode) {
  errorCode = 0;
  // GENERIC_WRITE and a seek, not FILE_APPEND_DATA: the 9x family knows only the former.
  ScopedHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) {
    errorCode = GetLastError();
    return false;
  }
  SetFilePointer(f.Get(), 0, nullptr, FILE_END);
  if (!WriteAllOf(f.Get(), text, errorCode)) return false;
  FlushFileBuffers(f.Get());
  return true;
}

std::string SystemErrorText(unsigned long errorCode) {
  char buf[512] = "";
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, errorCode, 0, buf,
                           sizeof buf, nullptr);
  std::string text = Trim(std::string(buf, n));
  return (text.empty() ? std::string() : text + " ") + "(error " + std::to_string(errorCode) + ")";
}

bool ReadFileWhole(const std::string& path, std::string& content) {
  content.clear();
  ScopedHandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) return false;
  char buf[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(f.Get(), buf, sizeof buf, &got, nullptr)) return false;
    if (got == 0) return true;
    content.append(buf, got);
  }
}

}  // namespace tolvex
