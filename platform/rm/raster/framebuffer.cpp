#include "platform/rm/raster/framebuffer.h"

#include <algorithm>

namespace raster {

void Framebuffer::Resize(int new_width, int new_height) {
  new_width = std::max(new_width, 0);
  new_height = std::max(new_height, 0);
  if (new_width == width && new_height == height) return;
  width = new_width;
  height = new_height;
  const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
  color.assign(n, 0xFF000000u);
  depth.assign(n, 1.0f);
}

void Framebuffer::Clear(const Rect& rect, uint32_t fill_color, float fill_depth) {
  // 64-bit sums so that a rectangle near INT_MAX cannot overflow.
  const int x0 = static_cast<int>(std::clamp<int64_t>(rect.x, 0, width));
  const int y0 = static_cast<int>(std::clamp<int64_t>(rect.y, 0, height));
  const int x1 = static_cast<int>(std::clamp<int64_t>(int64_t{rect.x} + rect.width, x0, width));
  const int y1 = static_cast<int>(std::clamp<int64_t>(int64_t{rect.y} + rect.height, y0, height));
  if (color.size() != static_cast<size_t>(width) * height || depth.size() != color.size()) return;
  for (int y = y0; y < y1; ++y) {
    const size_t row = static_cast<size_t>(y) * width;
    std::fill(color.begin() + row + x0, color.begin() + row + x1, fill_color);
    std::fill(depth.begin() + row + x0, depth.begin() + row + x1, fill_depth);
  }
}

}  // namespace raster
