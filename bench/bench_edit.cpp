// The bulk edits on a sphere of 100k faces with every point and wire displayed: deleting
// half of it in either mode (through the Delete key's path, snapshot included), the undo
// snapshot, cutting and pasting half, undoing a deletion, and one step of the hover test.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/globals.h"
#include "bench/bench_scene.h"

namespace {

// 2 * 250 * 199 + 2 * 250 = 100,000 faces on 50,002 points.
constexpr int kSegments = 250;
constexpr int kRings = 201;

class Sphere : public BenchModel {
 public:
  explicit Sphere(int rings = kRings) : BenchModel(-300), rings_(rings) {
    m->world_frame->SetPosition(m->scene, 0, 0, -120);
    Build();
  }

  // Selects the points of the half with z < 0 (the half facing the camera).
  void SelectNearHalf() {
    for (int i = 0; i < m->num_points; ++i) m->pointdata[i].active = m->pointdata[i].point.z < 0;
  }

 private:
  int Point(double theta, double phi) {
    constexpr double kRadius = 100;
    return BenchModel::Point({static_cast<float>(kRadius * std::sin(theta) * std::cos(phi)),
                              static_cast<float>(kRadius * std::cos(theta)),
                              static_cast<float>(kRadius * std::sin(theta) * std::sin(phi))});
  }

  void Build() {
    constexpr double kPi = 3.14159265358979;
    const int top = Point(0, 0);
    auto ring = [](int r, int s) { return 1 + (r - 1) * kSegments + (s % kSegments); };
    for (int r = 1; r < rings_; ++r)
      for (int s = 0; s < kSegments; ++s) Point(kPi * r / rings_, 2 * kPi * s / kSegments);
    const int bottom = Point(kPi, 0);
    for (int s = 0; s < kSegments; ++s) Face(top, ring(1, s + 1), ring(1, s), true);
    for (int r = 1; r + 1 < rings_; ++r)
      for (int s = 0; s < kSegments; ++s) {
        Face(ring(r, s), ring(r, s + 1), ring(r + 1, s + 1), true);
        Face(ring(r, s), ring(r + 1, s + 1), ring(r + 1, s), true);
      }
    for (int s = 0; s < kSegments; ++s) Face(bottom, ring(rings_ - 1, s), ring(rings_ - 1, s + 1), true);
    m->UpdateMesh();
  }

  int rings_;
};

// Each iteration starts from a fresh sphere, built untimed.
template <class Setup, class Timed>
void Fresh(benchmark::State& state, Setup setup, Timed timed) {
  for (auto _ : state) {
    state.PauseTiming();
    auto sphere = std::make_unique<Sphere>();
    setup(*sphere->m, *sphere);
    state.ResumeTiming();
    timed(*sphere->m);
    state.PauseTiming();
    state.counters["faces_after"] = static_cast<double>(sphere->m->num_faces);
    sphere.reset();
    state.ResumeTiming();
  }
}

void BM_DeleteHalfPoints(benchmark::State& state) {
  Fresh(
      state, [](Polygoni& m, Sphere& s) { s.SelectNearHalf(), m.delete_points = true; },
      [](Polygoni& m) { m.DeleteSelected(true); });
}

void BM_DeleteHalfFaces(benchmark::State& state) {
  Fresh(
      state, [](Polygoni& m, Sphere& s) { s.SelectNearHalf(), m.delete_points = false; },
      [](Polygoni& m) { m.DeleteSelected(true); });
}

void BM_CutHalf(benchmark::State& state) {
  Fresh(
      state, [](Polygoni& m, Sphere& s) { s.SelectNearHalf(), m.snip_mode[0] = cut; },
      [](Polygoni& m) { m.Cut(0, false); });
}

void BM_PasteHalf(benchmark::State& state) {
  Fresh(
      state,
      [](Polygoni& m, Sphere& s) {
        s.SelectNearHalf();
        m.snip_mode[0] = copy;
        m.Cut(0, false);
        m.StoreUndo();
      },
      [](Polygoni& m) { m.Paste(true, true, 0, false); });
}

void BM_RevertWholeSphere(benchmark::State& state) {
  Fresh(
      state,
      [](Polygoni& m, Sphere& s) {
        s.SelectNearHalf();
        m.delete_points = true;
        m.DeleteSelected(true);
      },
      [](Polygoni& m) { m.Revert(); });
}

void BM_StoreUndo(benchmark::State& state) {
  Sphere sphere;
  for (auto _ : state) sphere.m->StoreUndo();
  state.counters["faces"] = static_cast<double>(sphere.m->num_cutfaces[2]);
}

// On twice the rings: 100,002 points.
void BM_HoverStep(benchmark::State& state) {
  Sphere sphere(2 * kRings - 1);
  Polygoni& m = *sphere.m;
  // Away from the sphere on screen, so every step scans all points and captures none.
  m.world_frame->SetPosition(m.scene, 400, 400, -120);
  for (auto _ : state) m.TestForSelected();
  if (m.selectedpoint != -2) state.SkipWithError("a point was captured");
  state.counters["points"] = static_cast<double>(m.num_points);
}

BENCHMARK(BM_DeleteHalfPoints)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeleteHalfFaces)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StoreUndo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutHalf)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PasteHalf)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RevertWholeSphere)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_HoverStep)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
