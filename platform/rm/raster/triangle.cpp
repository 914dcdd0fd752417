#include "platform/rm/raster/triangle.h"

#include <algorithm>

#include "platform/rm/raster/config.h"

namespace raster {
namespace {

constexpr int64_t kOne = kSubpixelOne;
constexpr int64_t kHalf = kSubpixelOne / 2;

// Edge function of the directed edge a->b: positive on the triangle's side.
struct Edge {
  int64_t row;     // value at the current pixel centre of the first column, bias included
  int64_t step_x;  // change per pixel to the right
  int64_t step_y;  // change per row down
};

Edge MakeEdge(const ScreenVertex& a, const ScreenVertex& b, int64_t cx, int64_t cy) {
  const int64_t dx = int64_t{b.fx} - a.fx;
  const int64_t dy = int64_t{b.fy} - a.fy;
  // Top-left fill rule. A pixel whose centre lies exactly on an edge shared by two
  // triangles must go to exactly one of them, or the shared edge shows a seam of
  // double-blended or missing pixels. With clockwise corners on a y-down screen the
  // interior lies to the right of every edge, so an edge running upwards (dy < 0) is a
  // left edge and a horizontal edge running right (dy == 0, dx > 0) is a top edge. Those
  // keep their centres (test >= 0); every other edge gives them up, which the bias of -1
  // does exactly because edge values are integers. The neighbour across a shared edge
  // sees the edge reversed, so precisely one of the two owns each such centre.
  const int64_t bias = (dy < 0 || (dy == 0 && dx > 0)) ? 0 : -1;
  return Edge{dx * (cy - a.fy) - dy * (cx - a.fx) + bias, -dy * kOne, dx * kOne};
}

// Screen-space gradient of a value given at the three corners, per pixel.
struct Gradient {
  double dx, dy;
};

Gradient MakeGradient(double a0, double a1, double a2, double x10, double y10, double x20, double y20,
                      double inv_area) {
  return Gradient{((a1 - a0) * y20 - (a2 - a0) * y10) * inv_area,
                  ((a2 - a0) * x10 - (a1 - a0) * x20) * inv_area};
}

}  // namespace

int64_t FixedArea(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
  return (int64_t{b.fx} - a.fx) * (int64_t{c.fy} - a.fy) - (int64_t{c.fx} - a.fx) * (int64_t{b.fy} - a.fy);
}

void RasterTriangle(const Target& t, const ScreenVertex& v0, const ScreenVertex& v1, const ScreenVertex& v2,
                    const Color3& flat) {
  // Pixels whose centres fall inside the corners' bounding box, limited to the scissor.
  const int64_t min_fx = std::min({v0.fx, v1.fx, v2.fx}), max_fx = std::max({v0.fx, v1.fx, v2.fx});
  const int64_t min_fy = std::min({v0.fy, v1.fy, v2.fy}), max_fy = std::max({v0.fy, v1.fy, v2.fy});
  const int px0 =
      static_cast<int>(std::max<int64_t>(t.clip_x0, (min_fx - kHalf + kOne - 1) >> kSubpixelBits));
  const int px1 = static_cast<int>(std::min<int64_t>(t.clip_x1 - 1, (max_fx - kHalf) >> kSubpixelBits));
  const int py0 =
      static_cast<int>(std::max<int64_t>(t.clip_y0, (min_fy - kHalf + kOne - 1) >> kSubpixelBits));
  const int py1 = static_cast<int>(std::min<int64_t>(t.clip_y1 - 1, (max_fy - kHalf) >> kSubpixelBits));
  if (px0 > px1 || py0 > py1) return;

  const int64_t cx = px0 * kOne + kHalf, cy = py0 * kOne + kHalf;
  Edge e0 = MakeEdge(v1, v2, cx, cy);
  Edge e1 = MakeEdge(v2, v0, cx, cy);
  Edge e2 = MakeEdge(v0, v1, cx, cy);

  // Attributes are planes over the snapped positions, so they agree with the coverage.
  const double x0 = v0.x, y0 = v0.y;
  const double x10 = double{v1.x} - x0, y10 = double{v1.y} - y0;
  const double x20 = double{v2.x} - x0, y20 = double{v2.y} - y0;
  const double inv_area = 1.0 / (x10 * y20 - x20 * y10);
  auto gradient = [&](double a0, double a1, double a2) {
    return MakeGradient(a0, a1, a2, x10, y10, x20, y20, inv_area);
  };
  const Gradient gz = gradient(v0.z, v1.z, v2.z);
  Gradient gr{}, gg{}, gb{}, guq{}, gvq{}, gq{};
  Color3 c0 = flat;
  if (t.gouraud) {
    c0 = Color3{v0.r, v0.g, v0.b};
    gr = gradient(v0.r, v1.r, v2.r);
    gg = gradient(v0.g, v1.g, v2.g);
    gb = gradient(v0.b, v1.b, v2.b);
  }
  // Texture coordinates are not linear on the screen but u/w, v/w and 1/w are; the span
  // loop divides them back per pixel.
  if (t.texture) {
    guq = gradient(double{v0.u} * v0.q, double{v1.u} * v1.q, double{v2.u} * v2.q);
    gvq = gradient(double{v0.v} * v0.q, double{v1.v} * v1.q, double{v2.v} * v2.q);
    gq = gradient(v0.q, v1.q, v2.q);
  }

  Span span;
  span.dz = static_cast<float>(gz.dx);
  span.dr = static_cast<float>(gr.dx);
  span.dg = static_cast<float>(gg.dx);
  span.db = static_cast<float>(gb.dx);
  span.duq = static_cast<float>(guq.dx);
  span.dvq = static_cast<float>(gvq.dx);
  span.dq = static_cast<float>(gq.dx);
  span.color = PackColor(flat.r, flat.g, flat.b);

  for (int py = py0; py <= py1; ++py) {
    int64_t w0 = e0.row, w1 = e1.row, w2 = e2.row;
    int x = px0;
    // The covered pixels of a row are contiguous: skip to the first, run to the last.
    while (x <= px1 && (w0 | w1 | w2) < 0) {
      ++x;
      w0 += e0.step_x;
      w1 += e1.step_x;
      w2 += e2.step_x;
    }
    const int start = x;
    while (x <= px1 && (w0 | w1 | w2) >= 0) {
      ++x;
      w0 += e0.step_x;
      w1 += e1.step_x;
      w2 += e2.step_x;
    }
    if (x > start) {
      const double dx = start + 0.5 - x0, dy = py + 0.5 - y0;
      auto at = [dx, dy](double a0, const Gradient& g) {
        return static_cast<float>(a0 + g.dx * dx + g.dy * dy);
      };
      span.y = py;
      span.x0 = start;
      span.x1 = x;
      span.z = at(v0.z, gz);
      span.r = at(c0.r, gr);
      span.g = at(c0.g, gg);
      span.b = at(c0.b, gb);
      if (t.texture) {
        span.uq = at(double{v0.u} * v0.q, guq);
        span.vq = at(double{v0.v} * v0.q, gvq);
        span.q = at(v0.q, gq);
      }
      t.triangle_span(*t.fb, t.texture, span);
    }
    e0.row += e0.step_y;
    e1.row += e1.step_y;
    e2.row += e2.step_y;
  }
}

}  // namespace raster
