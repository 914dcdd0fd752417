#include "platform/rm/raster/clip.h"

#include <cmath>

#include "platform/rm/raster/config.h"

namespace raster {
namespace {

constexpr int kPlaneCount = 6;

// Signed distance-like value, non-negative on the visible side of plane i.
float Distance(const ClipVertex& c, int plane) {
  switch (plane) {
    case 0:
      return c.z;
    case 1:
      return c.w - c.z;
    case 2:
      return kGuardBand * c.w - c.x;
    case 3:
      return kGuardBand * c.w + c.x;
    case 4:
      return kGuardBand * c.w - c.y;
    default:
      return kGuardBand * c.w + c.y;
  }
}

ClipVertex Intersect(const ClipVertex& in, const ClipVertex& out, float d_in, float d_out) {
  const float t = d_in / (d_in - d_out);
  auto lerp = [t](float a, float b) { return a + t * (b - a); };
  return ClipVertex{lerp(in.x, out.x), lerp(in.y, out.y), lerp(in.z, out.z),
                    lerp(in.w, out.w), lerp(in.r, out.r), lerp(in.g, out.g),
                    lerp(in.b, out.b), lerp(in.u, out.u), lerp(in.v, out.v)};
}

}  // namespace

uint32_t Outcode(const ClipVertex& c) {
  if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(c.z) || !std::isfinite(c.w)) return ~0u;
  uint32_t code = 0;
  for (int i = 0; i < kPlaneCount; ++i)
    if (Distance(c, i) < 0.0f) code |= 1u << i;
  if (c.x > c.w) code |= kOutRight;
  if (c.x < -c.w) code |= kOutLeft;
  if (c.y > c.w) code |= kOutTop;
  if (c.y < -c.w) code |= kOutBottom;
  return code;
}

int ClipPolygon(ClipVertex* poly, int n, uint32_t mask) {
  ClipVertex scratch[kMaxClipCorners];
  ClipVertex* in = poly;
  ClipVertex* out = scratch;
  for (int plane = 0; plane < kPlaneCount && n > 0; ++plane) {
    if (!(mask & (1u << plane))) continue;
    int m = 0;
    for (int i = 0; i < n; ++i) {
      if (m + 2 > kMaxClipCorners) return 0;  // only degenerate slivers get here
      const ClipVertex& cur = in[i];
      const ClipVertex& next = in[i + 1 < n ? i + 1 : 0];
      const float dc = Distance(cur, plane), dn = Distance(next, plane);
      if (dc >= 0.0f) out[m++] = cur;
      if ((dc >= 0.0f) != (dn >= 0.0f))
        out[m++] = dc >= 0.0f ? Intersect(cur, next, dc, dn) : Intersect(next, cur, dn, dc);
    }
    n = m;
    ClipVertex* t = in;
    in = out;
    out = t;
  }
  if (in != poly)
    for (int i = 0; i < n; ++i) poly[i] = in[i];
  return n;
}

bool ClipSegment(ClipVertex* a, ClipVertex* b, uint32_t mask) {
  for (int plane = 0; plane < kPlaneCount; ++plane) {
    if (!(mask & (1u << plane))) continue;
    const float da = Distance(*a, plane), db = Distance(*b, plane);
    if (da < 0.0f && db < 0.0f) return false;
    if (da < 0.0f)
      *a = Intersect(*b, *a, db, da);
    else if (db < 0.0f)
      *b = Intersect(*a, *b, da, db);
  }
  return true;
}

}  // namespace raster
