// Small valid inputs for each fuzz target, made from code so no file of another program
// is stored: scripts/fuzz starts its corpora with them, and the replay tests feed them
// to the targets along with the stored regressions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct FuzzSeed {
  std::string name;
  std::string bytes;
};

// target: "xfile", "studio", "bmp" or "open".
std::vector<FuzzSeed> GeneratedSeeds(std::string_view target);
