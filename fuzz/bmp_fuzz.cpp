// The .bmp reader: an accepted picture has exactly width x height pixels.
#include <cstdint>
#include <cstdlib>

#include "platform/rm/texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int width = 0, height = 0, bits = 0;
  std::vector<uint32_t> pixels;
  if (FAILED(DecodeBmp(data, size, &width, &height, &pixels, &bits))) return 0;
  if (width <= 0 || height <= 0 || pixels.size() != size_t(width) * size_t(height)) std::abort();
  return 0;
}
