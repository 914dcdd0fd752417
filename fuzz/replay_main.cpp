// Replays inputs through a fuzz target's entry point without the fuzzing engine: every
// file of the directories and files given, then the target's generated seeds. A fault
// aborts under the sanitizers; a clean run prints what was fed and exits 0.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/seeds.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void Feed(const std::string& bytes) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  int fed = 0;
  for (int i = 1; i < argc; ++i) {
    const fs::path arg(argv[i]);
    std::vector<fs::path> files;
    if (fs::is_directory(arg)) {
      for (const auto& entry : fs::directory_iterator(arg))
        if (entry.is_regular_file()) files.push_back(entry.path());
    } else if (fs::exists(arg)) {
      files.push_back(arg);
    } else {
      std::fprintf(stderr, "missing: %s\n", argv[i]);
      return 1;
    }
    for (const fs::path& file : files) {
      std::ifstream in(file, std::ios::binary);
      Feed(std::string(std::istreambuf_iterator<char>(in), {}));
      ++fed;
    }
  }
  for (const FuzzSeed& seed : GeneratedSeeds(FACETRY_FUZZ_TARGET)) {
    Feed(seed.bytes);
    ++fed;
  }
  std::printf("%d inputs fed to %s\n", fed, FACETRY_FUZZ_TARGET);
  return fed > 0 ? 0 : 1;
}
