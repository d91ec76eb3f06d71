// The install log: the run's lines in memory, saved whole to its file by the driver.
#pragma once

#include <string>
#include <vector>

#include "UText.h"

namespace tolvex {

struct InstallLogState {
  bool exists = false;  // lines are taken only between program load and exit
  std::vector<std::string> lines;
  // Writes the lines to the log's file; set by the driver, which owns the file. Nothing
  // is written while it is not set (tests, and before the program has loaded).
  void (*save)() = nullptr;
};

InstallLogState& InstallLog();
void CreateInstallLog();
void FreeInstallLog();
// Saves the log now, for steps whose findings must be on disk even if the run dies next.
void SaveInstallLogFile();

const char* const kLogSeparator = "-----------------------------------------------------";

// The one shape of a failure's line: "** Error: <what>: <the system's text> (error <n>)".
// what names the step and its object (a path, a key), so the line stands on its own.
void LogError(const std::string& what, unsigned long errorCode);

// The text is taken unchanged ("%" included) when there are no arguments.
void LogLine(const std::string& text);
void LogLineArgs(const std::string& fmt, const std::vector<FmtArg>& args);
template <typename A1, typename... A>
void LogLine(const std::string& fmt, const A1& a1, const A&... rest) {
  LogLineArgs(fmt, {FmtArg(a1), FmtArg(rest)...});
}

}  // namespace tolvex
