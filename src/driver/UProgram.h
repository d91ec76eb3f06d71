// The program from load to exit.
#pragma once

namespace tolvex {

// Load (command line, question seam, logs, language, lists), start-up, the main window
// for modes 1 and 2, then exit (lists freed, install log saved). Returns the exit code.
int RunProgram();

}  // namespace tolvex
