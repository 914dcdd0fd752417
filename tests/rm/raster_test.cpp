#include "platform/rm/raster/raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "platform/rm/raster/config.h"
#include "platform/rm/raster/framebuffer.h"
#include "reference_raster.h"

namespace {

using raster::ClipVertex;
using raster::Fill;
using raster::Framebuffer;
using raster::RasterState;
using raster::Shade;
using raster::Viewport;

constexpr uint32_t kBackground = 0xFF102030;
constexpr double kEdgeTolerance = 1.0 / raster::kSubpixelOne;

ClipVertex V(double x, double y, double z = 0.5, double w = 1, float r = 1, float g = 1, float b = 1,
             float u = 0, float v = 0) {
  return ClipVertex{float(x), float(y), float(z), float(w), r, g, b, u, v};
}

// Camera space to clip space: 90-degree field, front plane at 1, back plane at 10.
ClipVertex Project(double x, double y, double zc) { return V(x, y, (zc - 1) * 10 / 9, zc); }

Framebuffer MakeFb(int w, int h) {
  Framebuffer fb;
  fb.Resize(w, h);
  fb.Clear(kBackground, 1.0f);
  return fb;
}

void Draw(Framebuffer& fb, const Viewport& vp, const RasterState& st, const std::vector<ClipVertex>& verts) {
  std::vector<uint32_t> idx(verts.size());
  for (size_t i = 0; i < idx.size(); ++i) idx[i] = uint32_t(i);
  raster::DrawTriangles(fb, vp, st, verts.data(), verts.size(), idx.data(), verts.size() / 3);
}

bool InViewport(const Viewport& vp, int x, int y) {
  return x >= vp.x && x < vp.x + vp.width && y >= vp.y && y < vp.y + vp.height;
}

std::vector<bool> Written(const Framebuffer& fb) {
  std::vector<bool> m(fb.color.size());
  for (size_t i = 0; i < m.size(); ++i) m[i] = fb.color[i] != kBackground || fb.depth[i] != 1.0f;
  return m;
}

int Count(const std::vector<bool>& m) { return int(std::ranges::count(m, true)); }

// --- Coverage and interpolation against the reference -----------------------------------

TEST(RasterReferenceTest, RandomTrianglesMatchCoverageDepthAndGouraudColour) {
  const Viewport vp{5, 4, 48, 40};
  std::mt19937 rng(12345);
  std::uniform_real_distribution<double> pos(-1.3, 1.3), depth(0.05, 0.95), col(0, 1), wdist(0.5, 3.0);
  RasterState st;
  st.cull_back_faces = false;
  int covered_total = 0, near_edge = 0;
  for (int n = 0; n < 300; ++n) {
    ClipVertex tri[3];
    for (ClipVertex& c : tri) {
      // One draw per statement: C++ leaves the order of argument evaluation open.
      const double w = n % 2 ? wdist(rng) : 1.0;
      const double x = pos(rng) * w, y = pos(rng) * w, z = depth(rng) * w;
      const float r = float(col(rng)), g = float(col(rng)), b = float(col(rng));
      c = V(x, y, z, w, r, g, b);
    }
    Framebuffer fb = MakeFb(60, 50);
    Draw(fb, vp, st, {tri[0], tri[1], tri[2]});
    for (int y = 0; y < fb.height; ++y)
      for (int x = 0; x < fb.width; ++x) {
        const size_t i = size_t(y) * fb.width + x;
        const bool written = fb.color[i] != kBackground || fb.depth[i] != 1.0f;
        if (!InViewport(vp, x, y)) {
          ASSERT_FALSE(written) << "triangle " << n << " pixel " << x << "," << y;
          continue;
        }
        const reference::Sample s = reference::SamplePixel(vp, tri, x, y);
        if (written != s.covered) {
          ASSERT_LE(s.edge_distance, kEdgeTolerance) << "triangle " << n << " pixel " << x << "," << y;
          ++near_edge;
          continue;
        }
        if (!written) continue;
        ++covered_total;
        // Values are planes over the snapped corners: on slivers, snapping alone moves them
        // more than rounding does.
        const reference::Sample snapped = reference::SamplePixel(vp, tri, x, y, true);
        const double rgb[3] = {snapped.r, snapped.g, snapped.b};
        EXPECT_NEAR(fb.depth[i], snapped.z, 2e-5) << "triangle " << n;
        for (int k = 0; k < 3; ++k)
          EXPECT_NEAR(int(fb.color[i] >> (16 - 8 * k)) & 0xFF, rgb[k] * 255, 1.01) << n;
      }
  }
  EXPECT_GT(covered_total, 20000);  // the sample really exercised the rasteriser
  EXPECT_LT(near_edge, 20);
}

// --- Facing -------------------------------------------------------------------------------

TEST(RasterCullingTest, ClockwiseDrawsCounterClockwiseDoesNotInEveryFill) {
  const Viewport vp{0, 0, 32, 32};
  // Bottom-left, top, bottom-right: clockwise with y up. The second has one corner behind the
  // eye (w < 0), so its facing must come from what remains visible.
  const ClipVertex tris[2][3] = {{V(-0.7, -0.6), V(0.1, 0.8), V(0.6, -0.5)},
                                 {V(-0.5, -0.5), V(0.0, 0.5), V(0.5, -0.5, -1.5, -1)}};
  for (Fill fill : {Fill::kSolid, Fill::kWireframe, Fill::kPoints})
    for (const auto& [a, b, c] : tris) {
      SCOPED_TRACE(::testing::Message() << "fill " << int(fill) << " w " << c.w);
      RasterState st;
      st.fill = fill;
      Framebuffer cw = MakeFb(32, 32), ccw = MakeFb(32, 32), ccw_unculled = MakeFb(32, 32);
      Draw(cw, vp, st, {a, b, c});
      Draw(ccw, vp, st, {a, c, b});
      st.cull_back_faces = false;
      Draw(ccw_unculled, vp, st, {a, c, b});
      const int drawn = Count(Written(cw));
      if (fill == Fill::kPoints && c.w > 0)
        EXPECT_EQ(drawn, 3);
      else
        EXPECT_GT(drawn, fill == Fill::kPoints ? 1 : 10);
      EXPECT_EQ(Count(Written(ccw)), 0);
      if (fill == Fill::kSolid) {
        EXPECT_EQ(Written(ccw_unculled), Written(cw));
      }
    }
}

TEST(RasterCullingTest, DegenerateBrokenAndOutOfRangeTrianglesDrawNothing) {
  const Viewport vp{0, 0, 16, 16};
  Framebuffer fb = MakeFb(16, 16);
  RasterState st;
  st.cull_back_faces = false;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  Draw(fb, vp, st, {V(-0.5, -0.5), V(0, 0), V(0.5, 0.5)});                           // zero area
  Draw(fb, vp, st, {V(-0.5, -0.5), V(nan, 0.5), V(0.5, -0.5)});                      // NaN corner
  Draw(fb, vp, st, {V(-0.5, -0.5), V(0, 0, 0, 0), V(0.5, -0.5)});                    // corner at the eye
  Draw(fb, vp, st, {Project(-1, -1, 0.5), Project(0, 1, 0.5), Project(1, -1, -3)});  // before the front plane
  const ClipVertex ok[3] = {V(-0.5, -0.5), V(0, 0.5), V(0.5, -0.5)};
  const uint32_t bad[3] = {0, 1, 3};
  raster::DrawTriangles(fb, vp, st, ok, 3, bad, 1);
  EXPECT_EQ(Count(Written(fb)), 0);
}

// --- Fill rule ---------------------------------------------------------------------------

// NDC corner of device position (x, y) in a w x h viewport at the origin.
ClipVertex AtPixel(double x, double y, int w, int h) { return V(x / (w * 0.5) - 1, 1 - y / (h * 0.5)); }

TEST(RasterFillRuleTest, SquareOnPixelCentresSplitAlongItsDiagonalDrawsEachPixelOnce) {
  // Every edge passes exactly through pixel centres: only the top-left rule decides them.
  const Viewport vp{0, 0, 16, 16};
  const ClipVertex tl = AtPixel(2.5, 2.5, 16, 16), tr = AtPixel(12.5, 2.5, 16, 16),
                   br = AtPixel(12.5, 12.5, 16, 16), bl = AtPixel(2.5, 12.5, 16, 16);
  for (bool other_diagonal : {false, true}) {
    const ClipVertex halves[2][3] = {{tl, tr, other_diagonal ? bl : br}, {other_diagonal ? tr : tl, br, bl}};
    std::vector<bool> u(16 * 16);
    int overlaps = 0;
    for (const auto& [a, b, c] : halves) {
      Framebuffer fb = MakeFb(16, 16);
      Draw(fb, vp, {}, {a, b, c});
      const std::vector<bool> m = Written(fb);
      for (size_t i = 0; i < m.size(); ++i) {
        overlaps += m[i] && u[i];
        u[i] = u[i] || m[i];
      }
    }
    EXPECT_EQ(overlaps, 0);
    EXPECT_EQ(Count(u), 100);
    // Top and left rows of centres belong to the square, bottom and right ones do not.
    EXPECT_TRUE(u[2 * 16 + 2]);
    EXPECT_TRUE(u[11 * 16 + 11]);
    EXPECT_FALSE(u[12 * 16 + 5]);
    EXPECT_FALSE(u[5 * 16 + 12]);
  }
}

// --- Depth, clipping, scissor -------------------------------------------------------------

TEST(RasterDepthTest, InterpenetratingTrianglesShowTheNearerSurfaceInEitherOrder) {
  const Viewport vp{0, 0, 64, 32};
  RasterState st;
  // Red stands at depth 0.5; green runs from 0.2 at the left to 0.8 at the right.
  const auto r = [](double x, double y) { return V(x, y, 0.5, 1, 1, 0, 0); };
  const std::vector<ClipVertex> red = {r(-1, -1), r(-1, 1), r(1, -1), r(-1, 1), r(1, 1), r(1, -1)};
  const std::vector<ClipVertex> green = {V(-1, -1, 0.2, 1, 0, 1, 0), V(0, 1, 0.5, 1, 0, 1, 0),
                                         V(1, -1, 0.8, 1, 0, 1, 0)};
  for (bool red_first : {true, false}) {
    Framebuffer fb = MakeFb(64, 32);
    Draw(fb, vp, st, red_first ? red : green);
    Draw(fb, vp, st, red_first ? green : red);
    const int row = 28 * 64;
    EXPECT_EQ(fb.color[row + 8], 0xFF00FF00u);   // green in front
    EXPECT_EQ(fb.color[row + 56], 0xFFFF0000u);  // green behind
    EXPECT_NEAR(fb.depth[row + 56], 0.5, 1e-6);
    EXPECT_EQ(fb.color[2 * 64 + 5], 0xFFFF0000u);  // green absent
  }
}

TEST(RasterClipTest, TrianglesCrossingTheFrontOrBackPlaneDrawOnlyTheirVisiblePart) {
  const Viewport vp{0, 0, 48, 48};
  using Point3 = std::array<double, 3>;
  const auto project = [](const Point3& p) { return Project(p[0], p[1], p[2]); };
  struct Case {
    Point3 c[3];  // camera-space corners, clockwise seen from the eye
    const char* name;
  };
  const Case cases[] = {
      {{{-1.5, -1, 3}, {0, 1.5, 3}, {1, -1, -2}}, "one corner behind the eye"},
      {{{-1, -1, 0.5}, {0, 1, 4}, {1, -1, 0.2}}, "two corners before the front plane"},
      {{{-3, -2, 4}, {0, 3, 14}, {3, -2, 6}}, "one corner past the back plane"},
  };
  for (const Case& cs : cases) {
    Framebuffer fb = MakeFb(48, 48);
    Draw(fb, vp, {}, {project(cs.c[0]), project(cs.c[1]), project(cs.c[2])});
    std::vector<Point3> poly(cs.c, cs.c + 3);
    // The reference clips in camera space against 1 <= z <= 10, then fans the remainder.
    for (int side : {1, -1}) {
      const double plane = side > 0 ? 1 : 10;
      std::vector<Point3> out;
      for (size_t i = 0; i < poly.size(); ++i) {
        const auto& p = poly[i];
        const auto& q = poly[(i + 1) % poly.size()];
        const double dp = side * (p[2] - plane), dq = side * (q[2] - plane);
        if (dp >= 0) out.push_back(p);
        if ((dp >= 0) != (dq >= 0)) {
          const double t = dp / (dp - dq);
          out.push_back({p[0] + t * (q[0] - p[0]), p[1] + t * (q[1] - p[1]), p[2] + t * (q[2] - p[2])});
        }
      }
      poly = out;
    }
    ASSERT_GE(poly.size(), 3u) << cs.name;
    int mismatches = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 48; ++x) {
        bool covered = false, near_edge = false;
        for (size_t i = 1; i + 1 < poly.size(); ++i) {
          const ClipVertex tri[3] = {project(poly[0]), project(poly[i]), project(poly[i + 1])};
          const reference::Sample s = reference::SamplePixel(vp, tri, x, y);
          covered = covered || s.covered;
          near_edge = near_edge || s.edge_distance <= 2 * kEdgeTolerance;
        }
        const bool written = fb.depth[y * 48 + x] != 1.0f;
        if (written != covered && !near_edge) ++mismatches;
        EXPECT_TRUE(fb.depth[y * 48 + x] >= 0 && fb.depth[y * 48 + x] <= 1) << cs.name;
      }
    EXPECT_EQ(mismatches, 0) << cs.name;
  }
}

TEST(RasterScissorTest, NothingOutsideTheViewportOrFramebufferChanges) {
  // A triangle far larger than the viewport (beyond the guard band too).
  const std::vector<ClipVertex> huge = {V(-500, -500), V(0, 800), V(500, -500)};
  RasterState st;
  struct Case {
    Viewport vp;
    int expected;
  };
  const Case cases[] = {{{8, 6, 40, 30}, 40 * 30}, {{40, 30, 40, 30}, 24 * 18}, {{-10, -5, 20, 20}, 10 * 15}};
  for (Fill fill : {Fill::kSolid, Fill::kWireframe}) {
    for (const Case& c : cases) {
      st.fill = fill;
      Framebuffer fb = MakeFb(64, 48);
      Draw(fb, c.vp, st, huge);
      const std::vector<bool> w = Written(fb);
      for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_TRUE(InViewport(c.vp, x, y) || !w[y * 64 + x]) << x << "," << y;
      // Solid covers the whole visible viewport; the outline lies outside it.
      EXPECT_EQ(Count(w), fill == Fill::kSolid ? c.expected : 0);
    }
  }
}

// --- Shading and texturing ----------------------------------------------------------------

TEST(RasterShadeTest, FlatUsesTheFaceColourOrElseTheFirstCorner) {
  const Viewport vp{0, 0, 16, 16};
  RasterState st;
  st.shade = Shade::kFlat;
  const std::vector<ClipVertex> tri = {V(-1, -1, 0.5, 1, 0, 0, 1), V(0, 1, 0.5, 1, 1, 0, 0),
                                       V(1, -1, 0.5, 1, 0, 1, 0)};
  Framebuffer fb = MakeFb(16, 16);
  Draw(fb, vp, st, tri);
  const float face[3] = {1, 1, 0};
  st.face_colors = face;
  Framebuffer faced = MakeFb(16, 16);
  Draw(faced, vp, st, tri);
  int n = 0;
  for (size_t i = 0; i < fb.color.size(); ++i) {
    if (fb.color[i] == kBackground) continue;
    ++n;
    EXPECT_EQ(fb.color[i], 0xFF0000FFu);
    EXPECT_EQ(faced.color[i], 0xFFFFFF00u);
  }
  EXPECT_GT(n, 50);
}

TEST(RasterTextureTest, CoordinatesArePerspectiveCorrect) {
  uint32_t texels[10];
  for (int i = 0; i < 10; ++i) texels[i] = 0xFF000000u | uint32_t(i * 20) << 16 | uint32_t(255 - i * 20);
  const raster::Texture tex{10, 1, texels};
  RasterState st;
  st.texture = &tex;
  const Viewport vp{0, 0, 64, 16};
  // A wall receding to the right: w = 1 at the left edge, 4 at the right; u = 0..1.
  const ClipVertex bl = V(-1, -1, 0.2, 1, 1, 1, 1, 0), tl = V(-1, 1, 0.2, 1, 1, 1, 1, 0);
  const ClipVertex tr = V(4, 4, 3.2, 4, 1, 1, 1, 1), br = V(4, -4, 3.2, 4, 1, 1, 1, 1);
  Framebuffer fb = MakeFb(64, 16);
  Draw(fb, vp, st, {bl, tl, tr, bl, tr, br});
  // Half-way across the screen is a fifth of the way along the wall, not half.
  EXPECT_EQ(fb.color[8 * 64 + 32], texels[2]);
  const ClipVertex tris[2][3] = {{bl, tl, tr}, {bl, tr, br}};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 64; ++x)
      for (const auto& tri : tris) {
        const reference::Sample s = reference::SamplePixel(vp, tri, x, y);
        if (!s.covered || s.edge_distance < 0.01) continue;
        const double t = s.u * 10;
        if (std::fabs(t - std::round(t)) < 1e-3) continue;
        EXPECT_EQ(fb.color[y * 64 + x], texels[reference::Texel(s.u, 10)]) << x << "," << y;
      }
}

// --- Lines and points ------------------------------------------------------------------

TEST(RasterWireframeTest, EdgesAreDrawnInteriorIsNotAndDepthHidesThem) {
  const Viewport vp{0, 0, 40, 40};
  RasterState st;
  st.fill = Fill::kWireframe;
  const ClipVertex tri[3] = {AtPixel(4.5, 35.5, 40, 40), AtPixel(20.5, 4.5, 40, 40),
                             AtPixel(36.5, 35.5, 40, 40)};
  Framebuffer fb = MakeFb(40, 40);
  Draw(fb, vp, st, {tri[0], tri[1], tri[2]});
  int n = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      if (fb.depth[y * 40 + x] == 1.0f) continue;
      ++n;
      EXPECT_LE(reference::SamplePixel(vp, tri, x, y).edge_distance, 0.75) << x << "," << y;
    }
  EXPECT_GE(n, 31 + 2 * 30);                    // one pixel per row or column along each edge
  EXPECT_TRUE(fb.depth[35 * 40 + 20] != 1.0f);  // the bottom edge
  EXPECT_EQ(fb.depth[25 * 40 + 20], 1.0f);      // the interior

  // The same outline behind a solid triangle that covers it is hidden.
  std::vector<ClipVertex> back = {tri[0], tri[1], tri[2]};
  for (ClipVertex& c : back) c.z = 0.8f;
  Framebuffer hidden = MakeFb(40, 40);
  Draw(hidden, vp, {},
       {V(-1, -1, 0.2), V(-1, 1, 0.2), V(1, 1, 0.2), V(-1, -1, 0.2), V(1, 1, 0.2), V(1, -1, 0.2)});
  const std::vector<uint32_t> before = hidden.color;
  Draw(hidden, vp, st, back);
  EXPECT_EQ(hidden.color, before);
}

TEST(RasterLineTest, LinesClipAtTheFrontPlane) {
  const Viewport vp{0, 0, 32, 32};
  RasterState st;
  // A horizontal line whose right end lies behind the eye: what is left runs from x = 8 to
  // the centre of the screen, where it meets the front plane.
  const ClipVertex verts[2] = {Project(-1, 0.01, 2), Project(3, 0.01, -2)};
  const uint32_t line[2] = {0, 1};
  Framebuffer fb = MakeFb(32, 32);
  raster::DrawLines(fb, vp, st, verts, 2, line, 1);
  const std::vector<bool> w = Written(fb);
  EXPECT_EQ(Count(w), 8);
  for (int x = 8; x < 16; ++x) EXPECT_TRUE(w[15 * 32 + x]) << x;
}

}  // namespace
