#include "UFileVersion.h"

#include <windows.h>

#include <vector>

#include "UPaths.h"
#include "UText.h"

namespace tolvex {

FileVersionInfo GetFileVersion(const std::string& path) {
  FileVersionInfo info;
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  if (size == 0) return info;
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return info;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  char root[] = "\\";
  if (!VerQueryValueA(data.data(), root, reinterpret_cast<void**>(&fixed), &len) || !fixed ||
      len < sizeof(VS_FIXEDFILEINFO) || fixed->dwSignature != 0xFEEF04BD)
    return info;
  info.parts = {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
  info.text = VersionPartsText(info.parts);
  return info;
}

std::string FileVersionText(const std::string& path) { return GetFileVersion(path).text; }

// Last-write time in local time, milliseconds since 1601, as one comparable number.
static bool LocalWriteTime(const std::string& path, unsigned long long& ms, SYSTEMTIME* st = nullptr) {
  unsigned long long utc = 0, size = 0;
  if (!GetFileStamp(path, utc, size)) return false;
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

std::string FileVersionOrDateText(const std::string& path) {
  std::string v = FileVersionText(path);
  if (!v.empty() || !FileExists(path)) return v;
  unsigned long long ms = 0;
  SYSTEMTIME st;
  if (!LocalWriteTime(path, ms, &st)) return v;
  char date[64] = "", time[64] = "";
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date);
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof time);
  return std::string(date) + " " + time;
}

bool FileVersionMatches(const std::string& path, const std::string& pattern) {
  if (pattern.empty()) return FileExists(path);
  FileVersionInfo v = GetFileVersion(path);
  if (v.text.empty()) return false;
  return VersionMatchesPattern(v.parts, pattern);
}

bool IsFileNewer(const std::string& source, const std::string& destination, bool orEqual) {
  if (!FileExists(destination)) return true;
  FileVersionInfo s = GetFileVersion(source), d = GetFileVersion(destination);
  if (!s.text.empty() && !d.text.empty()) {
    int c = CompareVersions(s.parts, d.parts);
    return orEqual ? c >= 0 : c > 0;
  }
  unsigned long long ts = 0, td = 0;
  if (!LocalWriteTime(source, ts)) return false;
  LocalWriteTime(destination, td);
  return orEqual ? ts >= td : ts > td;
}

}  // namespace tolvex
