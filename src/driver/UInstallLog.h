// The install log's file, its start-up and parameter blocks, and the debug log header.
#pragma once

#include <string>

namespace tolvex {

// Where the install log goes for this application folder; empty when it cannot go
// anywhere (folder unknown or missing, parent missing).
std::string InstallLogFileName(const std::string& appFolder);
// Rewrites the whole install log next to the application folder. Silent on failure.
void SaveInstallLog();

void AppendStartupBlock();
void AppendParameterBlock();

// Second debug-log step of program load: "HHDebug.txt" is deleted again and, with the
// marker file present, the header is written.
void StartHelpClientDebugLog();

}  // namespace tolvex
