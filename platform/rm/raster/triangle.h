// Triangle setup: edges, bounding box and attribute gradients, feeding the span loop.
#pragma once

#include <cstdint>

#include "platform/rm/raster/target.h"

namespace raster {

// Twice the signed area in subpixel units squared, device space (y down). Positive exactly
// when the corners run clockwise as seen on the screen, which is what faces the viewer.
int64_t FixedArea(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c);

// Fills the triangle; its FixedArea must be positive. flat is used unless shading is Gouraud.
void RasterTriangle(const Target& t, const ScreenVertex& v0, const ScreenVertex& v1, const ScreenVertex& v2,
                    const Color3& flat);

}  // namespace raster
