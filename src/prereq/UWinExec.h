// Starting other programs: blocking (installers, registration tools, run items) or
// through the shell (documents, the Control Panel, a second disk's setup).
#pragma once

#include <string>

namespace tolvex {

// The command line RunAndWait hands to CreateProcess.
std::string RunCommandLine(const std::string& program, const std::string& parameters);
// Starts program with a hidden window and waits until it has ended; false (after the
// error box) when it could not be started. The progress window shows the latest status
// and bar position throughout the wait.
bool RunAndWait(const std::string& program, const std::string& parameters);
// ShellExecute "open"; returns the shell's code (above 32 is success).
int OpenWithShell(const std::string& file, const std::string& parameters, bool reportErrors);
// "[Error:N] " and a readable text for the calling thread's last error.
std::string LastErrorText();
std::string LastErrorTextFor(unsigned long code);

}  // namespace tolvex
