// One render pass of the editor's empty scene (the 3D cursor and the origin marker in the
// front view) at the main window's start-up size, 1024 x 728, on Qt's offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/globals.h"
#include "app/shell.h"
#include "model/polygoni.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 728;

void BM_EmptyScenePass(benchmark::State& state) {
  if (!myglobs.dev || myglobs.dev->GetWidth() != kWidth || myglobs.dev->GetHeight() != kHeight) {
    state.SkipWithError("the device is not at 1024 x 728");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(RenderLoop());
  state.counters["pixels"] = kWidth * kHeight;
}
BENCHMARK(BM_EmptyScenePass)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (!InitApp(GetModuleHandleA(nullptr), SW_SHOW)) return 1;
  // Let start-up's queued size messages settle, then give the device the measured size.
  MSG msg;
  LoopTurn(nullptr, &msg, false);
  polygoner.NewDevice(kWidth, kHeight);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  CleanUpAndPostQuit();
  return 0;
}
