// Rasteriser throughput: a lit sphere filling most of a 1024x728 viewport, Gouraud shaded,
// back faces culled, in solid and wireframe fills. The corners are projected once outside
// the timed loop; each iteration clears and draws a whole pass.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "platform/rm/raster/raster.h"

namespace {

constexpr int kWidth = 1024, kHeight = 728;

struct Sphere {
  std::vector<raster::ClipVertex> verts;
  std::vector<uint32_t> indices;
};

// A latitude/longitude sphere of radius 1 at distance 3 in front of the eye, projected with
// a perspective of focal length 2.5, front plane 1 and back plane 10. Corners run clockwise
// as seen from outside.
Sphere MakeSphere(int bands, int segments) {
  Sphere s;
  const double pi = std::numbers::pi;
  const double focal = 2.5, aspect = double(kWidth) / kHeight, front = 1, back = 10;
  for (int i = 0; i <= bands; ++i) {
    const double theta = pi * i / bands;
    for (int j = 0; j <= segments; ++j) {
      const double phi = 2 * pi * j / segments;
      const double nx = std::sin(theta) * std::cos(phi), ny = std::cos(theta),
                   nz = std::sin(theta) * std::sin(phi);
      const double zc = 3 + nz;
      // Diffuse light from the upper left front, plus ambient.
      const double light = 0.2 + 0.8 * std::max(0.0, (-0.5 * nx + 0.5 * ny - 0.7 * nz) / 0.99);
      const float l = float(light);
      s.verts.push_back(raster::ClipVertex{float(nx * focal / aspect), float(ny * focal),
                                           float((zc - front) * back / (back - front)), float(zc), l,
                                           l * 0.8f, l * 0.6f, 0, 0});
    }
  }
  auto at = [segments](int i, int j) { return uint32_t(i * (segments + 1) + j); };
  for (int i = 0; i < bands; ++i)
    for (int j = 0; j < segments; ++j) {
      if (i != 0) s.indices.insert(s.indices.end(), {at(i, j), at(i, j + 1), at(i + 1, j + 1)});
      if (i != bands - 1) s.indices.insert(s.indices.end(), {at(i, j), at(i + 1, j + 1), at(i + 1, j)});
    }
  return s;
}

void BM_Sphere(benchmark::State& state, int bands, int segments, raster::Fill fill) {
  const Sphere sphere = MakeSphere(bands, segments);
  raster::Framebuffer fb;
  fb.Resize(kWidth, kHeight);
  const raster::Viewport vp{0, 0, kWidth, kHeight};
  raster::RasterState rs;
  rs.fill = fill;
  const size_t ntri = sphere.indices.size() / 3;
  for (auto _ : state) {
    fb.Clear(0xFF000000u, 1.0f);
    raster::DrawTriangles(fb, vp, rs, sphere.verts.data(), sphere.verts.size(), sphere.indices.data(), ntri);
    benchmark::DoNotOptimize(fb.color.data());
  }
  state.counters["triangles"] = double(ntri);
  state.counters["tri/s"] = benchmark::Counter(double(ntri), benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK_CAPTURE(BM_Sphere, solid_10k, 50, 102, raster::Fill::kSolid)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sphere, solid_100k, 160, 314, raster::Fill::kSolid)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sphere, wireframe_10k, 50, 102, raster::Fill::kWireframe)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sphere, wireframe_100k, 160, 314, raster::Fill::kWireframe)
    ->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
