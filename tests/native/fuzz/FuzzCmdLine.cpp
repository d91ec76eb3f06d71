// The program's command line: splitting, and the answers and transcript switches that
// never count as arguments.
#include "FuzzSupport.h"
#include "UCmdLine.h"
#include "UText.h"

using namespace tolvex;
using tolvex::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line = fuzz::Text(data, size);
  std::vector<std::string> split = SplitCommandLine(line);
  // Each argument quoted and joined by blanks splits into the same arguments.
  std::string quoted;
  for (const std::string& a : split) {
    Require(a.find('"') == std::string::npos);
    quoted += " \"" + a + "\"";
  }
  Require(SplitCommandLine(quoted) == split);

  const std::string module = "C:\\cd\\Tolvex.exe";
  InitCommandLine(line, module);
  const CommandLineState& s = CommandLine();
  Require(s.logged.size() == std::max<size_t>(split.size(), 1) && s.logged[0] == module && ParamStr(0) == module);
  size_t seam = 0;
  bool answers = false;
  for (size_t i = 1; i < s.logged.size(); ++i) {
    bool a = StartsWithNoCase(s.logged[i], "/answers="), t = StartsWithNoCase(s.logged[i], "/transcript=");
    answers = answers || a;
    seam += a || t;
  }
  Require(answers == s.answersGiven && ParamCount() == static_cast<int>(s.logged.size() - 1 - seam));
  for (int i = 1; i <= ParamCount(); ++i) {
    Require(!StartsWithNoCase(ParamStr(i), "/answers=") && !StartsWithNoCase(ParamStr(i), "/transcript="));
    Require(IsSwitchPresent(UpperAscii(ParamStr(i))) && IsSwitchPresent(LowerAscii(ParamStr(i))));
  }
  Require(ParamStr(ParamCount() + 1).empty());
  ResetCommandLine();
  return 0;
}
