// Without libFuzzer (a g++ build) a target is a program that runs each input once: the
// files named on its command line, or every file in a folder named there. So the seed
// corpus still runs, and the targets still compile, wherever the text logic builds.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

static void RunFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

int main(int argc, char** argv) {
  LLVMFuzzerInitialize(&argc, &argv);
  int runs = 0;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::directory_iterator(arg))
        if (entry.is_regular_file()) RunFile(entry.path()), ++runs;
    } else {
      RunFile(arg), ++runs;
    }
  }
  std::printf("%d inputs run\n", runs);
  // No input at all is a wrong path, not a pass.
  return runs > 0 ? 0 : 1;
}
