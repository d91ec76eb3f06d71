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
// The version resource of a file whose first two bytes are already known to be "MZ": a
// caller that reads the file anyway need not have it probed again.
FileVersionInfo GetProgramFileVersion(const std::string& path);
std::string FileVersionText(const std::string& path);
// A file's last-write time in local time: milliseconds since 1601 to compare, and the
// user's locale's short-date text and date-and-time text to show.
struct LocalWriteTime {
  unsigned long long ms = 0;
  std::string date, dateTime;
};
bool GetLocalWriteTime(const std::string& path, LocalWriteTime& t);
// The same from a last-write time already known (UTC, 100 ns since 1601).
bool LocalWriteTimeOf(unsigned long long utc, LocalWriteTime& t);
// What a directory entry tells of a file. A caller that listed the folder already holds it
// for every file, where asking again would cost a file-system call per file.
struct FileStamp {
  bool exists = false;  // a file, not a folder
  unsigned long long writeTime = 0;  // UTC, 100 ns since 1601
  unsigned long long size = 0;
};
FileStamp StampOf(const std::string& path);
// The version text, or for an existing file without one its last-write time as text.
std::string FileVersionOrDateText(const std::string& path);
bool FileVersionMatches(const std::string& path, const std::string& pattern);
// Destination missing: true. Both versioned: by version only. Otherwise by last-write time.
bool IsFileNewer(const std::string& source, const std::string& destination, bool orEqual);
// The same with both directory entries known: only the versions are read.
bool IsFileNewer(const std::string& source, const FileStamp& s, const std::string& destination, const FileStamp& d,
                 bool orEqual);

}  // namespace tolvex
