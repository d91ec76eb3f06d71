#include "UCmdLine.h"

#include "UText.h"

namespace tolvex {

static CommandLineState g_commandLine;

CommandLineState& CommandLine() { return g_commandLine; }

void ResetCommandLine() { g_commandLine = CommandLineState(); }

void InitCommandLine(const std::string& commandLine, const std::string& modulePath) {
  CommandLineState s;
  s.logged = SplitCommandLine(commandLine);
  if (s.logged.empty()) s.logged.push_back(modulePath);
  else if (!modulePath.empty()) s.logged[0] = modulePath;
  s.args.push_back(s.logged[0]);
  for (size_t i = 1; i < s.logged.size(); ++i) {
    const std::string& a = s.logged[i];
    if (StartsWithNoCase(a, "/answers=")) s.answersFile = a.substr(9), s.answersGiven = true;
    else if (StartsWithNoCase(a, "/transcript=")) s.transcriptFile = a.substr(12);
    else if (EqualsNoCase(a, "/quiet")) s.quiet = true;
    else if (StartsWithNoCase(a, "/log=")) s.logFile = a.substr(5), s.logGiven = true;
    else s.args.push_back(a);
  }
  g_commandLine = s;
}

int ParamCount() { return g_commandLine.args.empty() ? 0 : static_cast<int>(g_commandLine.args.size()) - 1; }

std::string ParamStr(int i) {
  if (i < 0 || i >= static_cast<int>(g_commandLine.args.size())) return {};
  return g_commandLine.args[static_cast<size_t>(i)];
}

bool IsSwitchPresent(const std::string& sw) {
  for (size_t i = 1; i < g_commandLine.args.size(); ++i)
    if (EqualsNoCase(g_commandLine.args[i], sw)) return true;
  return false;
}

}  // namespace tolvex
