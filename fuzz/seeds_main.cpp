// fuzz_seeds TARGET DIR: writes the generated seeds of TARGET into DIR.
#include <cstdio>
#include <fstream>
#include <string>

#include "fuzz/seeds.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fuzz_seeds TARGET DIR\n");
    return 2;
  }
  for (const FuzzSeed& seed : GeneratedSeeds(argv[1])) {
    std::ofstream out(std::string(argv[2]) + "/" + seed.name, std::ios::binary);
    out << seed.bytes;
    if (!out) return 1;
  }
  return 0;
}
