// Closing a ten-corner polygon in a large model: the click on the first corner makes the
// closing edge, seven diagonals and eight faces, turns them toward the camera, refreshes
// the face meshes and walks the model for orphaned points. The corner clicks before it are
// not timed. The model is a grid of quads, two faces each, built directly.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/bench_scene.h"

namespace {

// A model of about `faces` faces on an n x n grid of points at z = 0, seen by a front
// camera, with every point displayed; the wires of the grid carry no display objects.
class Scene : public BenchModel {
 public:
  explicit Scene(int faces) : BenchModel(-500) {
    const int n = static_cast<int>(std::ceil(std::sqrt(faces / 2.0))) + 1;
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) Point({static_cast<float>(x), static_cast<float>(y), 0});
    auto at = [n](int x, int y) { return y * n + x; };
    for (int y = 0; y + 1 < n && m->num_faces < faces; ++y) {
      for (int x = 0; x + 1 < n && m->num_faces < faces; ++x) {
        const int a = at(x, y), b = at(x + 1, y), c = at(x + 1, y + 1), d = at(x, y + 1);
        Face(a, c, b, false);
        Face(a, d, c, false);
      }
    }
  }

  // Ten corner clicks on a circle away from the grid; the closing click is left to the
  // caller, with the first corner under the cursor.
  void DrawDecagon(float cx) {
    for (int k = 0; k < 10; ++k) {
      const double a = 2 * 3.14159265358979 * k / 10;
      _D3DVECTOR at{static_cast<float>(cx + 5 * std::sin(a)), static_cast<float>(-20 + 5 * std::cos(a)), 0};
      m->selectedpoint = -2;
      m->CreateWire(&at);
    }
    m->selectedpoint = m->first_p_index;
    m->pointdata[m->first_p_index].cursoractive = true;
  }

};

void BM_CloseDecagon(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)));
  float cx = -20;
  for (auto _ : state) {
    state.PauseTiming();
    scene.DrawDecagon(cx);
    cx -= 12;
    state.ResumeTiming();
    scene.m->CreateWire(nullptr);
  }
  if (scene.m->time != 0) state.SkipWithError("the polygon did not close");
  state.counters["faces"] = static_cast<double>(scene.m->num_faces);
}
BENCHMARK(BM_CloseDecagon)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
