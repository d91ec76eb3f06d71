// Fuzz target for the parsers of text a person writes: answers files, command lines,
// version texts and script integers. Built with clang it is a libFuzzer target; with
// another compiler it reads the files named on its command line.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "UAnswerText.h"
#include "UCmdLine.h"
#include "UText.h"
#include "UVersionText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> errors;
  for (const tolvex::AnswerEntry& e : tolvex::ParseAnswers(text, errors)) {
    std::string back;
    // What the transcript writes must read back unchanged.
    if (!tolvex::UnescapeAnswerValue(tolvex::EscapeAnswerValue(e.text), back) || back != e.text) __builtin_trap();
  }
  tolvex::InitCommandLine(text, "x.exe");
  size_t mid = size / 2;
  tolvex::CompareVersionTexts(text.substr(0, mid), text.substr(mid));
  long long v;
  tolvex::ParseScriptInt(text, v);
  tolvex::ExpandProductText(text, text.substr(0, mid));
  tolvex::Format(text, {1, "a", -5});
  return 0;
}

#ifdef TOLVEX_FUZZ_MAIN
int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(s.data()), s.size());
  }
  return 0;
}
#endif
