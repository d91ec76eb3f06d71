// The program's command line: arguments numbered as the switches and the positional
// argument 2 expect. "/answers=FILE", "/transcript=FILE", "/quiet" and "/log=FILE" say
// how the run meets its user and leaves its record, not what it does: they are kept in
// the logged list but never count as arguments, so they cannot displace argument 2 and
// are not passed on to programs this one starts. Pure text.
#pragma once

#include <string>
#include <vector>

namespace tolvex {

struct CommandLineState {
  std::vector<std::string> logged;  // every argument as given, argument 0 the program path
  std::vector<std::string> args;    // the same without the seam switches
  std::string answersFile;
  bool answersGiven = false;  // "/answers=" was there, even with an empty name
  std::string transcriptFile;
  bool quiet = false;       // "/quiet": no window at all, every question takes its default
  std::string logFile;      // "/log=FILE": the install log written to FILE as well
  bool logGiven = false;    // "/log=" was there, even with an empty name
};

CommandLineState& CommandLine();
// Splits commandLine (argument 0 is replaced by modulePath) and sorts out the seam switches.
void InitCommandLine(const std::string& commandLine, const std::string& modulePath);
void ResetCommandLine();

// Arguments 1..n without the seam switches.
int ParamCount();
// Argument i (0 = program path); empty beyond the last.
std::string ParamStr(int i);
// True when some argument 1..n equals sw, ignoring letter case.
bool IsSwitchPresent(const std::string& sw);

}  // namespace tolvex
