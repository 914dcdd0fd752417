// A deliberately plain double-precision rasteriser that the real one is compared with: the
// projection written out, and each pixel centre tested against the triangle's edge lines.
#pragma once

#include <algorithm>
#include <cmath>

#include "platform/rm/raster/config.h"
#include "platform/rm/raster/raster.h"

namespace reference {

struct Point {
  double x, y;  // device pixels, y down
};

// Device position of a clip-space corner with w > 0.
// With snap, rounded (ties to even) to the subpixel grid the real rasteriser works on.
inline Point Project(const raster::Viewport& vp, const raster::ClipVertex& c, bool snap = false) {
  Point p{vp.x + (c.x / c.w + 1.0) * 0.5 * vp.width, vp.y + (1.0 - c.y / c.w) * 0.5 * vp.height};
  if (snap) {
    p.x = std::nearbyint(p.x * raster::kSubpixelOne) / raster::kSubpixelOne;
    p.y = std::nearbyint(p.y * raster::kSubpixelOne) / raster::kSubpixelOne;
  }
  return p;
}

inline double Cross(Point a, Point b, Point p) {
  return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
}

// What the triangle should show at the centre of pixel (px, py), whatever its orientation.
struct Sample {
  bool covered = false;
  double edge_distance = 0;  // from the centre to the nearest edge line, in pixels
  double z = 0, r = 0, g = 0, b = 0;
  double u = 0, v = 0;  // perspective-correct
};

inline Sample SamplePixel(const raster::Viewport& vp, const raster::ClipVertex (&c)[3], int px, int py,
                          bool snap = false) {
  const Point p0 = Project(vp, c[0], snap), p1 = Project(vp, c[1], snap), p2 = Project(vp, c[2], snap);
  const Point p{px + 0.5, py + 0.5};
  const double area = Cross(p0, p1, p2);
  Sample s;
  if (area == 0) return s;
  const double l0 = Cross(p1, p2, p) / area, l1 = Cross(p2, p0, p) / area, l2 = Cross(p0, p1, p) / area;
  s.covered = l0 >= 0 && l1 >= 0 && l2 >= 0;
  auto distance = [&](Point a, Point b) {
    return std::fabs(Cross(a, b, p)) / std::hypot(b.x - a.x, b.y - a.y);
  };
  s.edge_distance = std::min({distance(p1, p2), distance(p2, p0), distance(p0, p1)});
  s.z = l0 * c[0].z / c[0].w + l1 * c[1].z / c[1].w + l2 * c[2].z / c[2].w;
  s.r = l0 * c[0].r + l1 * c[1].r + l2 * c[2].r;
  s.g = l0 * c[0].g + l1 * c[1].g + l2 * c[2].g;
  s.b = l0 * c[0].b + l1 * c[1].b + l2 * c[2].b;
  const double q = l0 / c[0].w + l1 / c[1].w + l2 / c[2].w;
  s.u = (l0 * c[0].u / c[0].w + l1 * c[1].u / c[1].w + l2 * c[2].u / c[2].w) / q;
  s.v = (l0 * c[0].v / c[0].w + l1 * c[1].v / c[1].w + l2 * c[2].v / c[2].w) / q;
  return s;
}

// The texel column (or row) of a repeating texture n texels wide that coordinate t selects.
inline int Texel(double t, int n) { return static_cast<int>(std::floor((t - std::floor(t)) * n)) % n; }

}  // namespace reference
