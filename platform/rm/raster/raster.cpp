// Entry points: fetch corners, reject, clip, decide facing, and hand over to the setups.
#include "platform/rm/raster/raster.h"

#include <utility>

#include "platform/rm/raster/clip.h"
#include "platform/rm/raster/line.h"
#include "platform/rm/raster/primitive.h"
#include "platform/rm/raster/target.h"
#include "platform/rm/raster/triangle.h"

namespace raster {
namespace {

enum class Facing { kFront, kBack, kNone };

}  // namespace

Color3 FlatColor(const RasterState& state, size_t primitive, const ClipVertex& first) {
  if (state.face_colors) {
    const float* c = state.face_colors + 3 * primitive;
    return Color3{c[0], c[1], c[2]};
  }
  return Color3{first.r, first.g, first.b};
}

namespace {

Facing FacingOfArea(int64_t area) {
  return area > 0 ? Facing::kFront : area < 0 ? Facing::kBack : Facing::kNone;
}

// Facing of a triangle that crosses a clip plane, where some corners may lie behind the
// eye and have no screen position. The determinant of the (x, y, w) rows has the sign of
// the projected area times the signs of the three w; every piece of the triangle that
// survives clipping has positive w throughout, so this sign is the orientation of what is
// drawn. Clockwise on a y-up screen is a negative determinant.
Facing FacingInClipSpace(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c) {
  const double det = double{a.x} * (double{b.y} * c.w - double{c.y} * b.w) -
                     double{a.y} * (double{b.x} * c.w - double{c.x} * b.w) +
                     double{a.w} * (double{b.x} * c.y - double{c.x} * b.y);
  return det < 0 ? Facing::kFront : det > 0 ? Facing::kBack : Facing::kNone;
}

bool Skip(const RasterState& state, Facing facing) {
  return state.cull_back_faces && facing != Facing::kFront;
}

void Segment(const Target& t, ClipVertex a, ClipVertex b, uint32_t clip_mask, const Color3& flat) {
  if (clip_mask && !ClipSegment(&a, &b, clip_mask)) return;
  ScreenVertex sa, sb;
  if (ToScreen(t, a, &sa) && ToScreen(t, b, &sb)) RasterLine(t, sa, sb, flat);
}

void Point(const Target& t, const ClipVertex& c, const Color3& flat) {
  ScreenVertex s;
  if (!(Outcode(c) & kClipPlanes) && ToScreen(t, c, &s)) RasterPoint(t, s, flat);
}

}  // namespace

// A solid triangle wholly inside the clip planes, its corners already on the screen.
void PlacedTriangle(const Target& t, const RasterState& state, const ScreenVertex& a, const ScreenVertex& b,
                    const ScreenVertex& c, const Color3& flat) {
  const Facing facing = FacingOfArea(FixedArea(a, b, c));
  if (facing == Facing::kNone || Skip(state, facing)) return;
  if (facing == Facing::kFront)
    RasterTriangle(t, a, b, c, flat);
  else
    RasterTriangle(t, a, c, b, flat);
}

void SolidTriangle(const Target& t, const RasterState& state, const ClipVertex* c[3], uint32_t clip_mask,
                   const Color3& flat) {
  if (!clip_mask) {
    ScreenVertex s[3];
    if (!ToScreen(t, *c[0], &s[0]) || !ToScreen(t, *c[1], &s[1]) || !ToScreen(t, *c[2], &s[2])) return;
    PlacedTriangle(t, state, s[0], s[1], s[2], flat);
    return;
  }
  const Facing facing = FacingInClipSpace(*c[0], *c[1], *c[2]);
  if (facing == Facing::kNone || Skip(state, facing)) return;
  ClipVertex poly[kMaxClipCorners] = {*c[0], *c[1], *c[2]};
  const int n = ClipPolygon(poly, 3, clip_mask);
  ScreenVertex s[kMaxClipCorners];
  for (int i = 0; i < n; ++i)
    if (!ToScreen(t, poly[i], &s[i])) return;
  // A fan over the convex remainder. Snapping can flip or flatten a sliver; such pieces
  // cover no pixel centre the rest of the fan does not, so they are dropped.
  for (int i = 1; i + 1 < n; ++i) {
    const Facing piece = FacingOfArea(FixedArea(s[0], s[i], s[i + 1]));
    if (piece != facing) continue;
    if (facing == Facing::kFront)
      RasterTriangle(t, s[0], s[i], s[i + 1], flat);
    else
      RasterTriangle(t, s[0], s[i + 1], s[i], flat);
  }
}

void PlacedOutline(const Target& t, const RasterState& state, const ScreenVertex s[3], const Color3& flat) {
  if (Skip(state, FacingOfArea(FixedArea(s[0], s[1], s[2])))) return;
  for (int i = 0; i < 3; ++i) {
    if (state.fill == Fill::kWireframe)
      RasterLine(t, s[i], s[i == 2 ? 0 : i + 1], flat);
    else
      RasterPoint(t, s[i], flat);
  }
}

// Wireframe and point fills: decide the facing as the solid fill would, then draw edges or
// corners.
void OutlineTriangle(const Target& t, const RasterState& state, const ClipVertex* c[3], uint32_t clip_mask,
                     const Color3& flat) {
  if (!clip_mask) {
    ScreenVertex s[3];
    if (ToScreen(t, *c[0], &s[0]) && ToScreen(t, *c[1], &s[1]) && ToScreen(t, *c[2], &s[2]))
      PlacedOutline(t, state, s, flat);
    return;
  }
  if (Skip(state, FacingInClipSpace(*c[0], *c[1], *c[2]))) return;
  for (int i = 0; i < 3; ++i) {
    if (state.fill == Fill::kWireframe)
      Segment(t, *c[i], *c[i == 2 ? 0 : i + 1], clip_mask, flat);
    else
      Point(t, *c[i], flat);
  }
}

namespace {

// Small meshes share each corner among several triangles; placing every corner once is
// cheaper than once per triangle that uses it.
constexpr size_t kMostPlacedCorners = 64;

void SmallSolidMesh(const Target& t, const RasterState& state, const ClipVertex* verts, size_t nverts,
                    const uint32_t* indices, size_t ntri) {
  uint32_t codes[kMostPlacedCorners];
  ScreenVertex screen[kMostPlacedCorners];
  bool placed[kMostPlacedCorners];
  for (size_t v = 0; v < nverts; ++v) {
    codes[v] = Outcode(verts[v]);
    placed[v] = !(codes[v] & (kClipPlanes | kNonFinite)) && ToScreen(t, verts[v], &screen[v]);
  }
  for (size_t i = 0; i < ntri; ++i) {
    const uint32_t* idx = indices + 3 * i;
    if (idx[0] >= nverts || idx[1] >= nverts || idx[2] >= nverts) continue;
    const uint32_t o0 = codes[idx[0]], o1 = codes[idx[1]], o2 = codes[idx[2]];
    if ((o0 & o1 & o2) || ((o0 | o1 | o2) & kNonFinite)) continue;
    const uint32_t clip_mask = (o0 | o1 | o2) & kClipPlanes;
    const Color3 flat = FlatColor(state, i, verts[idx[0]]);
    if (clip_mask) {
      const ClipVertex* c[3] = {&verts[idx[0]], &verts[idx[1]], &verts[idx[2]]};
      SolidTriangle(t, state, c, clip_mask, flat);
    } else if (placed[idx[0]] && placed[idx[1]] && placed[idx[2]]) {
      PlacedTriangle(t, state, screen[idx[0]], screen[idx[1]], screen[idx[2]], flat);
    }
  }
}

}  // namespace

void DrawTriangles(Framebuffer& fb, const Viewport& viewport, const RasterState& state,
                   const ClipVertex* verts, size_t nverts, const uint32_t* indices, size_t ntri) {
  Target t;
  if (!verts || !indices || !MakeTarget(fb, viewport, state, &t)) return;
  if (state.fill == Fill::kSolid && nverts <= kMostPlacedCorners) {
    SmallSolidMesh(t, state, verts, nverts, indices, ntri);
    return;
  }
  for (size_t i = 0; i < ntri; ++i) {
    const uint32_t* idx = indices + 3 * i;
    if (idx[0] >= nverts || idx[1] >= nverts || idx[2] >= nverts) continue;
    const ClipVertex* c[3] = {&verts[idx[0]], &verts[idx[1]], &verts[idx[2]]};
    const uint32_t o0 = Outcode(*c[0]), o1 = Outcode(*c[1]), o2 = Outcode(*c[2]);
    // Wholly outside one plane or viewport edge, or not a real triangle.
    if ((o0 & o1 & o2) || ((o0 | o1 | o2) & kNonFinite)) continue;
    const uint32_t clip_mask = (o0 | o1 | o2) & kClipPlanes;
    const Color3 flat = FlatColor(state, i, *c[0]);
    if (state.fill == Fill::kSolid)
      SolidTriangle(t, state, c, clip_mask, flat);
    else
      OutlineTriangle(t, state, c, clip_mask, flat);
  }
}

void DrawLines(Framebuffer& fb, const Viewport& viewport, const RasterState& state, const ClipVertex* verts,
               size_t nverts, const uint32_t* indices, size_t nlines) {
  Target t;
  if (!verts || !indices || !MakeTarget(fb, viewport, state, &t)) return;
  for (size_t i = 0; i < nlines; ++i) {
    const uint32_t* idx = indices + 2 * i;
    if (idx[0] >= nverts || idx[1] >= nverts) continue;
    const ClipVertex& a = verts[idx[0]];
    const ClipVertex& b = verts[idx[1]];
    const uint32_t oa = Outcode(a), ob = Outcode(b);
    if ((oa & ob) || ((oa | ob) & kNonFinite)) continue;
    Segment(t, a, b, (oa | ob) & kClipPlanes, FlatColor(state, i, a));
  }
}

void DrawPoints(Framebuffer& fb, const Viewport& viewport, const RasterState& state, const ClipVertex* verts,
                size_t nverts, const uint32_t* indices, size_t npoints) {
  Target t;
  if (!verts || !indices || !MakeTarget(fb, viewport, state, &t)) return;
  for (size_t i = 0; i < npoints; ++i) {
    if (indices[i] >= nverts) continue;
    Point(t, verts[indices[i]], FlatColor(state, i, verts[indices[i]]));
  }
}

}  // namespace raster
