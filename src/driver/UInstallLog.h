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

struct InstallLogFileState {
  std::string unwritable;  // the log's own file that last failed, its failure logged
  std::string fallback;    // the file in the temporary folder then written instead
};
InstallLogFileState& InstallLogFile();
void ResetInstallLogFile();

void AppendStartupBlock();
void AppendParameterBlock();

// Second debug-log step of program load: "HHDebug.txt" is deleted again and, with the
// marker file present, the header is written.
void StartHelpClientDebugLog();

}  // namespace tolvex
