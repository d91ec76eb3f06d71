#include "UFileVersion.h"

#include <windows.h>

#include <vector>

#include "UPaths.h"
#include "USystemDll.h"
#include "UText.h"
#include "UWinHandle.h"

namespace tolvex {

// Only a program file (DLL, EXE, OCX, driver: all begin with "MZ") carries a version
// resource. Asking version.dll about anything else costs far more than reading two bytes,
// and a copy decision asks about every file of an install.
static bool LooksLikeProgramFile(const std::string& path) {
  ScopedHandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) return false;
  char magic[2] = {0, 0};
  DWORD got = 0;
  return ReadFile(f.Get(), magic, sizeof magic, &got, nullptr) && got == 2 && magic[0] == 'M' && magic[1] == 'Z';
}

FileVersionInfo GetFileVersion(const std::string& path) {
  return LooksLikeProgramFile(path) ? GetProgramFileVersion(path) : FileVersionInfo();
}

FileVersionInfo GetProgramFileVersion(const std::string& path) {
  FileVersionInfo info;
  const VersionApi& api = Version();
  if (!api.getFileVersionInfoSize || !api.getFileVersionInfo || !api.verQueryValue) return info;
  DWORD handle = 0;
  DWORD size = api.getFileVersionInfoSize(path.c_str(), &handle);
  if (size == 0) return info;
  std::vector<char> data(size);
  if (!api.getFileVersionInfo(path.c_str(), 0, size, data.data())) return info;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  if (!api.verQueryValue(data.data(), "\\", reinterpret_cast<void**>(&fixed), &len) || !fixed ||
      len < sizeof(VS_FIXEDFILEINFO) || fixed->dwSignature != 0xFEEF04BD)
    return info;
  info.parts = {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
  info.text = VersionPartsText(info.parts);
  return info;
}

std::string FileVersionText(const std::string& path) { return GetFileVersion(path).text; }

// Last-write time in local time, milliseconds since 1601, as one comparable number.
static bool LocalWriteMs(unsigned long long utc, unsigned long long& ms, SYSTEMTIME* st = nullptr) {
  FILETIME written, local;
  written.dwLowDateTime = static_cast<DWORD>(utc);
  written.dwHighDateTime = static_cast<DWORD>(utc >> 32);
  if (!FileTimeToLocalFileTime(&written, &local)) return false;
  ULARGE_INTEGER u;
  u.LowPart = local.dwLowDateTime;
  u.HighPart = local.dwHighDateTime;
  ms = u.QuadPart / 10000;
  if (st) FileTimeToSystemTime(&local, st);
  return true;
}

FileStamp StampOf(const std::string& path) {
  FileStamp s;
  s.exists = GetFileStamp(path, s.writeTime, s.size);
  return s;
}

bool GetLocalWriteTime(const std::string& path, LocalWriteTime& t) {
  FileStamp s = StampOf(path);
  return s.exists && LocalWriteTimeOf(s.writeTime, t);
}

bool LocalWriteTimeOf(unsigned long long utc, LocalWriteTime& t) {
  SYSTEMTIME st;
  if (!LocalWriteMs(utc, t.ms, &st)) return false;
  char date[64] = "", time[64] = "";
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date);
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof time);
  t.date = date;
  t.dateTime = t.date + " " + time;
  return true;
}

std::string FileVersionOrDateText(const std::string& path) {
  std::string v = FileVersionText(path);
  if (!v.empty() || !FileExists(path)) return v;
  LocalWriteTime t;
  return GetLocalWriteTime(path, t) ? t.dateTime : v;
}

bool FileVersionMatches(const std::string& path, const std::string& pattern) {
  if (pattern.empty()) return FileExists(path);
  FileVersionInfo v = GetFileVersion(path);
  if (v.text.empty()) return false;
  return VersionMatchesPattern(v.parts, pattern);
}

bool IsFileNewer(const std::string& source, const std::string& destination, bool orEqual) {
  FileStamp d = StampOf(destination);
  if (!d.exists) return true;
  return IsFileNewer(source, StampOf(source), destination, d, orEqual);
}

bool IsFileNewer(const std::string& source, const FileStamp& s, const std::string& destination, const FileStamp& d,
                 bool orEqual) {
  if (!d.exists) return true;
  // Without a source version the dates decide, whatever the destination's says.
  FileVersionInfo sv = GetFileVersion(source), dv;
  if (!sv.text.empty()) dv = GetFileVersion(destination);
  if (!sv.text.empty() && !dv.text.empty()) {
    int c = CompareVersions(sv.parts, dv.parts);
    return orEqual ? c >= 0 : c > 0;
  }
  unsigned long long ts = 0, td = 0;
  if (!s.exists || !LocalWriteMs(s.writeTime, ts)) return false;
  LocalWriteMs(d.writeTime, td);
  return orEqual ? ts >= td : ts > td;
}

}  // namespace tolvex
