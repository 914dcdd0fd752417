// The colour and depth planes the rasteriser draws into.
#pragma once

#include <cstdint>
#include <vector>

namespace raster {

// A rectangle of device pixels, top-left origin.
struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
};

struct Framebuffer {
  int width = 0, height = 0;
  std::vector<uint32_t> color;  // 0xAARRGGBB, row 0 at the top
  std::vector<float> depth;     // 0 at the front plane, 1 at the back plane

  // Sets the size; the planes are reallocated only when the size changes (their contents are
  // then black and at the back plane). Negative sizes count as zero.
  void Resize(int new_width, int new_height);
  // Fills the part of rect that lies inside the framebuffer.
  void Clear(const Rect& rect, uint32_t fill_color, float fill_depth);
  void Clear(uint32_t fill_color, float fill_depth) {
    Clear(Rect{0, 0, width, height}, fill_color, fill_depth);
  }
};

}  // namespace raster
