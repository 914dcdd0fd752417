// One render pass of the editor at the main window's start-up size, 1024 x 728, on Qt's
// offscreen platform, cursor update included: the empty scene in the front view, and a
// sphere of 10k faces in the three-view layout in the Solid Wireframe and Solid mixes.
#include <benchmark/benchmark.h>

#include "app/globals.h"
#include "app/shell.h"
#include "bench/bench_editor.h"
#include "bench/bench_sphere.h"
#include "model/polygoni.h"
#include "views/viewport_data.h"

namespace {

constexpr int kWidth = kBenchWidth;
constexpr int kHeight = kBenchHeight;
constexpr int kThreeViews = 233;
constexpr int kSolidWireframe = 272;
constexpr int kSolid = 274;

bool DeviceAtSize(benchmark::State& state) {
  if (myglobs.dev && myglobs.dev->GetWidth() == kWidth && myglobs.dev->GetHeight() == kHeight) return true;
  state.SkipWithError("the device is not at 1024 x 728");
  return false;
}

void Command(int id) { SendMessageA(vp_data.hwndmain, WM_COMMAND, static_cast<WPARAM>(id), 0); }

void BM_EmptyScenePass(benchmark::State& state) {
  if (!DeviceAtSize(state)) return;
  for (auto _ : state) benchmark::DoNotOptimize(RenderLoop());
  state.counters["pixels"] = kWidth * kHeight;
}

void BM_ThreeViewSpherePass(benchmark::State& state) {
  if (!DeviceAtSize(state)) return;
  static bool built = false;
  if (!built) {
    Command(kThreeViews);
    SphereModel sphere(51, 100, 8.0f);
    built = true;
  }
  Command(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(RenderLoop());
  state.counters["faces"] = polygoner.num_faces;
  state.counters["wires"] = polygoner.num_wireframes;
}

// The empty scene first: the sphere stays in the model once built.
BENCHMARK(BM_EmptyScenePass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThreeViewSpherePass)
    ->ArgName("command")
    ->Arg(kSolidWireframe)
    ->Arg(kSolid)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunEditorBenchmarks(argc, argv); }
