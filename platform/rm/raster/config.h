// Tunables of the software rasteriser, in one place.
#pragma once

#include <cstddef>

namespace raster {

// Screen positions are snapped to 1/2^kSubpixelBits of a pixel before edge evaluation, so
// coverage depends only on these integers and never on the order of floating-point work.
constexpr int kSubpixelBits = 8;
constexpr int kSubpixelOne = 1 << kSubpixelBits;

// Triangles are clipped geometrically only against the front and back planes and against a
// band this many times the viewport's half-size around its centre; inside the band the
// viewport edges are handled by restricting the pixel bounding box. The band keeps snapped
// coordinates far below the range where 64-bit edge products could overflow.
constexpr float kGuardBand = 16.0f;

// Viewports larger than this, or placed further than this from the framebuffer origin, are
// refused (nothing drawn): together with kGuardBand this bounds every snapped coordinate.
constexpr int kMaxViewportSize = 16384;

// A draw with at least this many corners places them on the screen when the pass is drawn,
// split between the threads, rather than while it is recorded.
constexpr size_t kDeferredPlacement = 2048;

// Passes with fewer triangles than this are drawn on one thread: waking the second costs
// more than its half of the work saves.
constexpr size_t kMinBandedTriangles = 4096;

}  // namespace raster
