// The one inner loop: a run of pixels on one row, with depth test, shading, texturing and
// writes. Triangle, line and point setup all end here.
#pragma once

#include <cstdint>

#include "platform/rm/raster/framebuffer.h"
#include "platform/rm/raster/raster.h"

namespace raster {

// Values at the centre of pixel x0 and their change per pixel to the right. The caller
// guarantees y and [x0, x1) lie inside the framebuffer.
struct Span {
  int y = 0, x0 = 0, x1 = 0;
  float z = 0, dz = 0;
  float r = 0, g = 0, b = 0, dr = 0, dg = 0, db = 0;
  float uq = 0, vq = 0, q = 0, duq = 0, dvq = 0, dq = 0;  // u/w, v/w, 1/w
  uint32_t color = 0;                                     // the packed colour, for flat untextured spans
};

using SpanFn = void (*)(Framebuffer& fb, const Texture* texture, const Span& span);

SpanFn SelectSpanFn(bool gouraud, bool textured);

// 0xFFRRGGBB from channels in 0..1 (clamped).
uint32_t PackColor(float r, float g, float b);

}  // namespace raster
