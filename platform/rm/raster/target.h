// What one draw call needs to know about where it draws, and corners mapped to the screen.
#pragma once

#include <cstdint>

#include "platform/rm/raster/framebuffer.h"
#include "platform/rm/raster/raster.h"
#include "platform/rm/raster/span.h"

namespace raster {

struct Target {
  Framebuffer* fb = nullptr;
  const Texture* texture = nullptr;  // null unless solid triangles are textured
  SpanFn triangle_span = nullptr;
  SpanFn line_span = nullptr;  // lines and points: never textured
  bool gouraud = false;
  // Device x = off_x + x_ndc * scale_x, device y = off_y + y_ndc * scale_y (scale_y < 0).
  double off_x = 0, off_y = 0, scale_x = 0, scale_y = 0;
  // The scissor: the viewport inside the framebuffer, half-open [x0, x1) x [y0, y1).
  int clip_x0 = 0, clip_y0 = 0, clip_x1 = 0, clip_y1 = 0;
};

// A corner after the perspective divide, in device space (y down).
struct ScreenVertex {
  int32_t fx, fy;  // position in 1/kSubpixelOne pixels
  float x, y;      // the same position in pixels
  float z;         // depth, 0 at the front plane
  float q;         // 1/w
  float r, g, b;
  float u, v;
};

struct Color3 {
  float r, g, b;
};

// False when there is nothing to draw: an empty scissor, an oversized viewport, or planes
// whose sizes disagree with the framebuffer's.
bool MakeTarget(Framebuffer& fb, const Viewport& viewport, const RasterState& state, Target* target);

// Divides by w and maps to the viewport. False for a corner that cannot be placed (w not
// positive, or a position outside the guard band, NaN included).
bool ToScreen(const Target& target, const ClipVertex& c, ScreenVertex* s);

}  // namespace raster
