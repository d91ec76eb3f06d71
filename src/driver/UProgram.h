// The program from load to exit.
#pragma once

#include <string>

namespace tolvex {

// Load (command line, question seam, logs, language, lists), start-up, the main window
// for modes 1 and 2, then exit (lists freed, install log saved). Returns the exit code.
// programPath is argument 0 as the run sees it (the program file itself outside tests).
int RunProgram(const std::string& commandLine, const std::string& programPath);

}  // namespace tolvex
