// The file-version facility: version resources read, written as text and compared.
// Nothing here reports or logs: a missing or unreadable file simply has no version.
#pragma once

#include <string>

#include "UVersionText.h"

namespace tolvex {

struct FileVersionInfo {
  VersionParts parts{0, 0, 0, 0};
  std::string text;  // empty when the file has no readable version resource
};

FileVersionInfo GetFileVersion(const std::string& path);
std::string FileVersionText(const std::string& path);
// A file's last-write time in local time: milliseconds since 1601 to compare, and the
// user's locale's short-date text and date-and-time text to show.
struct LocalWriteTime {
  unsigned long long ms = 0;
  std::string date, dateTime;
};
bool GetLocalWriteTime(const std::string& path, LocalWriteTime& t);
// The version text, or for an existing file without one its last-write time as text.
std::string FileVersionOrDateText(const std::string& path);
bool FileVersionMatches(const std::string& path, const std::string& pattern);
// Destination missing: true. Both versioned: by version only. Otherwise by last-write time.
bool IsFileNewer(const std::string& source, const std::string& destination, bool orEqual);

}  // namespace tolvex
