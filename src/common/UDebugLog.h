// The opt-in debug log "HHDebug.txt": written line by line with time stamps, so a trace
// survives however the run ends.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "UText.h"

namespace tolvex {

class TDLogFile {
 public:
  // A path whose folder is missing or not writable is moved to the temporary folder. An
  // existing file is made writable and, without append, deleted.
  TDLogFile(const std::string& path, bool append, bool timeStamps, bool enabled);
  // Writes whatever the enabled flag says (the header goes through here).
  void WriteLine(const std::string& text);
  // Writes only in debug mode.
  void WriteIfEnabled(const std::string& text);
  const std::string& Path() const { return path_; }
  bool Enabled() const { return enabled_; }

 private:
  std::string path_;
  bool enabled_;
  bool timeStamps_;
  bool append_;
};

struct DebugLogState {
  std::unique_ptr<TDLogFile> file;
  bool debugMode = false;
};
DebugLogState& DebugLogs();
void ResetDebugLog();

// Folder of the debug log: moduleDir when a probe file can be created there, else the
// temporary folder, else "c:".
std::string DebugLogFolder(const std::string& moduleDir);
// DebugLogFolder(program folder) + "\HHDebug.txt".
std::string DebugLogName();
// "debug.debug" beside the program.
bool DebugMarkerPresent();
// The marker, or an argument "/debug" or "-debug".
bool DebugModeRequested();
// Program load: works out the name and the mode and creates the log object.
void SetupDebugLog();

// The line text as the log writes it: "-"/"=" lines widened to 80, a leading "!", "-" or
// "=" removed, everything else after the time stamp and three blanks.
std::string DebugLineText(const std::string& text, const std::string& timeStamp, bool timeStamps);
std::string LongTimeText();  // now, in the user's long time format
std::string DateTimeText();  // now, short date and long time

void DebugLog(const std::string& text);
void DebugLogArgs(const std::string& fmt, const std::vector<FmtArg>& args);
template <typename A1, typename... A>
void DebugLog(const std::string& fmt, const A1& a1, const A&... rest) {
  DebugLogArgs(fmt, {FmtArg(a1), FmtArg(rest)...});
}

}  // namespace tolvex
