// One primitive from its corners to its pixels, shared by the immediate draws and the
// recorded batch so that both make the same pixels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/rm/raster/target.h"

namespace raster {

// The face colour of primitive number `primitive`, or its first corner's colour.
Color3 FlatColor(const RasterState& state, size_t primitive, const ClipVertex& first);

// Triangles whose corners are all on the screen already (no clip plane crossed).
void PlacedTriangle(const Target& t, const RasterState& state, const ScreenVertex& a, const ScreenVertex& b,
                    const ScreenVertex& c, const Color3& flat);
void PlacedOutline(const Target& t, const RasterState& state, const ScreenVertex s[3], const Color3& flat);

// Triangles from clip space, clipped against the planes in clip_mask first.
void SolidTriangle(const Target& t, const RasterState& state, const ClipVertex* c[3], uint32_t clip_mask,
                   const Color3& flat);
void OutlineTriangle(const Target& t, const RasterState& state, const ClipVertex* c[3], uint32_t clip_mask,
                     const Color3& flat);

}  // namespace raster
