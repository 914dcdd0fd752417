// The software rasteriser: triangles, lines and points given in homogeneous clip space,
// drawn with a depth buffer into a Framebuffer. Single-threaded, allocation-free and
// deterministic: the same input gives the same pixels on every run and machine.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/rm/raster/framebuffer.h"

namespace raster {

// A corner after the projection. Visible points satisfy -w <= x <= w, -w <= y <= w and
// 0 <= z <= w: z = 0 on the front plane, z = w on the back plane, +y up.
struct ClipVertex {
  float x, y, z, w;
  float r, g, b;  // colour, 0..1 per channel
  float u, v;     // texture coordinates: u across, v down the rows; both repeat
};

// Where normalised device coordinates land: x = -1..1 maps to the viewport's left..right
// edge, y = 1..-1 to its top..bottom row. Drawing is also limited to this rectangle.
using Viewport = Rect;

// A texture the rasteriser samples (nearest texel). Pixels are 0xAARRGGBB, top row first;
// the rasteriser does not own them.
struct Texture {
  int width = 0, height = 0;
  const uint32_t* pixels = nullptr;
};

enum class Fill { kPoints, kWireframe, kSolid };
enum class Shade { kFlat, kGouraud };

struct RasterState {
  Fill fill = Fill::kSolid;
  // Flat: the whole primitive takes its face colour (below) or, without one, the colour of
  // its first corner. Gouraud: colours are interpolated linearly on the screen.
  Shade shade = Shade::kGouraud;
  // Solid triangles only: each pixel takes the texel at its perspective-correct (u, v),
  // multiplied by the pixel's colour. Lines and points are never textured.
  const Texture* texture = nullptr;
  // Optional, for flat shading: r, g, b (three floats) per primitive.
  const float* face_colors = nullptr;
  // A triangle faces the viewer when its corners run clockwise on the screen (x right, y up).
  // Back faces are skipped in every fill mode while this is set.
  bool cull_back_faces = true;
};

// Draws ntri triangles, corners indices[3 * i .. 3 * i + 2], in the state's fill mode:
// solid, each edge as a line (wireframe) or each corner as one pixel (points). Every pixel
// passes a less-than depth test against the depth plane and writes its depth. Triangles
// naming a corner at or past nverts, or with a corner that is not finite, are skipped.
void DrawTriangles(Framebuffer& fb, const Viewport& viewport, const RasterState& state,
                   const ClipVertex* verts, size_t nverts, const uint32_t* indices, size_t ntri);

// Depth-tested lines between indices[2 * i] and indices[2 * i + 1]; no culling.
void DrawLines(Framebuffer& fb, const Viewport& viewport, const RasterState& state, const ClipVertex* verts,
               size_t nverts, const uint32_t* indices, size_t nlines);

// Depth-tested single pixels at the listed corners; no culling.
void DrawPoints(Framebuffer& fb, const Viewport& viewport, const RasterState& state, const ClipVertex* verts,
                size_t nverts, const uint32_t* indices, size_t npoints);

}  // namespace raster
