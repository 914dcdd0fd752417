#include "platform/rm/raster/line.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace raster {
namespace {

// Sends one pixel through the span loop; span carries the packed flat colour.
void Plot(const Target& t, Span& span, int x, int y, float z, float r, float g, float b) {
  if (x < t.clip_x0 || x >= t.clip_x1 || y < t.clip_y0 || y >= t.clip_y1) return;
  span.y = y;
  span.x0 = x;
  span.x1 = x + 1;
  span.z = z;
  span.r = r;
  span.g = g;
  span.b = b;
  t.line_span(*t.fb, nullptr, span);
}

}  // namespace

void RasterLine(const Target& t, const ScreenVertex& a, const ScreenVertex& b, const Color3& flat) {
  const double dx = double{b.x} - a.x, dy = double{b.y} - a.y;
  if (dx == 0.0 && dy == 0.0) return;
  const bool x_major = std::fabs(dx) >= std::fabs(dy);
  // Walk the major axis in increasing order; m is the major coordinate, n the minor one.
  const ScreenVertex* p = &a;
  const ScreenVertex* e = &b;
  if ((x_major ? dx : dy) < 0) std::swap(p, e);
  const double m0 = x_major ? p->x : p->y, m1 = x_major ? e->x : e->y;
  const double n0 = x_major ? p->y : p->x, n1 = x_major ? e->y : e->x;
  const double len = m1 - m0;
  // Pixel columns (or rows) whose centres lie in [m0, m1), limited to the scissor.
  const int lo = x_major ? t.clip_x0 : t.clip_y0, hi = x_major ? t.clip_x1 : t.clip_y1;
  const int first = static_cast<int>(std::max<double>(lo, std::ceil(m0 - 0.5)));
  const int last = static_cast<int>(std::min<double>(hi, std::ceil(m1 - 0.5)));
  Span span;
  span.color = PackColor(flat.r, flat.g, flat.b);
  for (int i = first; i < last; ++i) {
    const double s = (i + 0.5 - m0) / len;
    const int j = static_cast<int>(std::floor(n0 + s * (n1 - n0)));
    const float z = static_cast<float>(p->z + s * (double{e->z} - p->z));
    float r = flat.r, g = flat.g, bl = flat.b;
    if (t.gouraud) {
      r = static_cast<float>(p->r + s * (double{e->r} - p->r));
      g = static_cast<float>(p->g + s * (double{e->g} - p->g));
      bl = static_cast<float>(p->b + s * (double{e->b} - p->b));
    }
    if (x_major)
      Plot(t, span, i, j, z, r, g, bl);
    else
      Plot(t, span, j, i, z, r, g, bl);
  }
}

void RasterPoint(const Target& t, const ScreenVertex& p, const Color3& flat) {
  Span span;
  span.color = PackColor(flat.r, flat.g, flat.b);
  Plot(t, span, static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(p.y)), p.z, p.r, p.g, p.b);
}

}  // namespace raster
