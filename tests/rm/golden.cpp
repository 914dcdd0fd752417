#include "tests/rm/golden.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tools/png_file.h"

namespace {

int ChannelDifference(uint32_t a, uint32_t b) {
  int worst = 0;
  for (int shift = 0; shift <= 16; shift += 8)
    worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
  return worst;
}

uint32_t Dimmed(uint32_t c) { return 0xFF000000u | ((c >> 2) & 0x3F3F3F); }

std::string OutPath(const std::string& name, const char* suffix) {
  return std::string(FACETRY_GOLDEN_OUT_DIR) + "/" + name + suffix;
}

::testing::AssertionResult Mismatch(const std::string& name, const raster::Framebuffer& image,
                                    const std::vector<uint32_t>& diff, const std::string& why) {
  const std::string actual = OutPath(name, ".actual.png");
  WritePng(actual, image.color.data(), image.width, image.height);
  std::string note = "; actual image in " + actual;
  if (!diff.empty()) {
    const std::string diff_path = OutPath(name, ".diff.png");
    WritePng(diff_path, diff.data(), image.width, image.height);
    note += ", differences in " + diff_path;
  }
  return ::testing::AssertionFailure() << name << ": " << why << note;
}

}  // namespace

::testing::AssertionResult MatchesGolden(const std::string& name, const raster::Framebuffer& image) {
  const std::string golden = std::string(FACETRY_GOLDEN_DIR) + "/" + name + ".png";
  const char* update = std::getenv("FACETRY_UPDATE_GOLDEN");
  if (update && std::strcmp(update, "1") == 0) {
    const std::string problem = WritePng(golden, image.color.data(), image.width, image.height);
    if (!problem.empty()) return ::testing::AssertionFailure() << golden << ": " << problem;
    return ::testing::AssertionSuccess();
  }
  int width = 0, height = 0;
  std::vector<uint32_t> expected;
  const std::string problem = ReadPng(golden, &width, &height, &expected);
  if (!problem.empty())
    return Mismatch(name, image, {}, "no golden image (" + problem + "); FACETRY_UPDATE_GOLDEN=1 makes it");
  if (width != image.width || height != image.height)
    return Mismatch(name, image, {},
                    "golden is " + std::to_string(width) + "x" + std::to_string(height) + ", image is " +
                        std::to_string(image.width) + "x" + std::to_string(image.height));
  std::vector<uint32_t> diff(expected.size());
  size_t bad = 0;
  int worst = 0;
  for (size_t i = 0; i < expected.size(); ++i) {
    const int d = ChannelDifference(expected[i], image.color[i]);
    worst = std::max(worst, d);
    const bool differs = d > kGoldenTolerance;
    bad += differs;
    diff[i] = differs ? 0xFFFF0000u : Dimmed(image.color[i]);
  }
  if (bad == 0) return ::testing::AssertionSuccess();
  return Mismatch(name, image, diff,
                  std::to_string(bad) + " pixels differ by more than " + std::to_string(kGoldenTolerance) +
                      " (worst " + std::to_string(worst) + ")");
}
