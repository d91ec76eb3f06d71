// The install log's file, its start-up and parameter blocks, and the debug log header.
#pragma once

#include <string>

namespace tolvex {

// Where the install log goes for this application folder; empty when it cannot go
// anywhere (folder unknown or missing, parent missing).
std::string InstallLogFileName(const std::string& appFolder);
// Rewrites the whole install log next to the application folder. When that file cannot
// be written (a path too long, a product name no file may have) the log goes to the
// temporary folder instead, under a name that fits, with the reason on its first line;
// the failure is logged once. The run goes on either way.
void SaveInstallLog();

// "/log=FILE": the log is also written to FILE, whole, each time it is saved, also when
// the log has no place of its own (the application not found). FILE is made empty now;
// false (and logged) when it cannot be written, and the run must not start.
bool StartLogCopy(const std::string& file);

struct InstallLogFileState {
  std::string unwritable;  // the log's own file that last failed, its failure logged
  std::string fallback;    // the file in the temporary folder then written instead
  std::string copy;        // "/log=FILE", as a full path
  bool copyFailed = false; // its failure after the start is logged once
};
InstallLogFileState& InstallLogFile();
void ResetInstallLogFile();

void AppendStartupBlock();
void AppendParameterBlock();

// Second debug-log step of program load: "HHDebug.txt" is deleted again and, with the
// marker file present, the header is written.
void StartHelpClientDebugLog();

}  // namespace tolvex
