// The editor at 100k faces: the text sphere of the benchmark folder opened through the Open
// command in the three-view layout at 1024 x 728 on Qt's offscreen platform, then each
// gesture's pass. Each figure carries its budget in milliseconds as the counter budget_ms;
// the first also reports the process's peak memory with the model open.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/globals.h"
#include "app/shell.h"
#include "bench/bench_editor.h"
#include "model/polygoni.h"
#include "model/selection_box.h"
#include "views/mouse.h"
#include "views/viewport_data.h"

namespace {

constexpr int kNew = 201, kOpen = 202, kSelectAll = 211, kUnselectAll = 212, kThreeViews = 233;
constexpr int kEditMode = 50, kFlipSelected = 271, kCenterMesh = 286;
constexpr int kSolidWireframe = 272, kSolid = 274, kShowPoints = 285;

void Command(int id) { SendMessageA(vp_data.hwndmain, WM_COMMAND, static_cast<WPARAM>(id), 0); }

long PeakKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

// The model is opened once, by the first benchmark that needs it.
bool Opened(benchmark::State& state) {
  static bool opened = false;
  if (opened) return true;
  const std::string path = (std::filesystem::path(FACETRY_BENCH_DATA_DIR) / "sphere_100k.x").string();
  if (!std::filesystem::exists(path)) {
    state.SkipWithError("sphere_100k.x not found");
    return false;
  }
  Command(kThreeViews);
  polygoner.changed = false;
  Command(kNew);
  bench_file_answer = path;
  Command(kOpen);
  if (polygoner.num_faces < 100000) {
    state.SkipWithError("the sphere did not open");
    return false;
  }
  if (!myglobs.dev || myglobs.dev->GetWidth() != kBenchWidth || myglobs.dev->GetHeight() != kBenchHeight) {
    state.SkipWithError("the device is not at 1024 x 728");
    return false;
  }
  Command(kEditMode);
  opened = true;
  return true;
}

void Budget(benchmark::State& state, double ms) {
  state.counters["budget_ms"] = ms;
  state.counters["faces"] = polygoner.num_faces;
}

void SelectFirst(int count) {
  for (int i = 0; i < polygoner.num_points; ++i) polygoner.pointdata[i].selected = i < count;
}

void BM_SolidPass(benchmark::State& state) {
  if (!Opened(state)) return;
  Command(kSolid);
  for (auto _ : state) benchmark::DoNotOptimize(RenderLoop());
  Budget(state, 20);
  const long kb = PeakKilobytes();
  state.counters["peak_rss_mb"] = static_cast<double>(kb) / 1024.0;
  state.counters["bytes_per_face"] = 1024.0 * static_cast<double>(kb) / polygoner.num_faces;
}

// Every point's cube and every wire's prism on screen.
void BM_SolidWireframePass(benchmark::State& state) {
  if (!Opened(state)) return;
  Command(kSolidWireframe);
  if (!polygoner.points) Command(kShowPoints);
  for (auto _ : state) benchmark::DoNotOptimize(RenderLoop());
  if (polygoner.points) Command(kShowPoints);
  Budget(state, 50);
}

// The cursor away from every point, so each test looks at all of them and takes none.
void BM_HoverTest(benchmark::State& state) {
  if (!Opened(state)) return;
  polygoner.world_frame->SetPosition(polygoner.ActiveCamera(), 1000, 1000, 10);
  for (auto _ : state) {
    polygoner.selectedpoint = -2;
    polygoner.TestForSelected();
  }
  if (polygoner.selectedpoint != -2) state.SkipWithError("the cursor took a point");
  Budget(state, 2);
}

// One pass of a drag of `range(0)` selected points by a small step, without the render.
void BM_DragPoints(benchmark::State& state) {
  if (!Opened(state)) return;
  Command(kSolidWireframe);
  SelectFirst(static_cast<int>(state.range(0)));
  polygoner.move_selected = true;
  polygoner.movelatch = true;
  polygoner.selectedpoint = -2;
  move_m = translate;
  float step = 0.01f;
  for (auto _ : state) {
    mouser.rdifference = {step, 0, 0};
    step = -step;
    polygoner.MoveSelectedPoints();
  }
  polygoner.move_selected = false;
  SelectFirst(0);
  Budget(state, state.range(0) == 1 ? 5 : 10);
}

// One pass of a box drag, its far corner moving: flat (a screen rectangle) or deep.
void BM_BoxDrag(benchmark::State& state) {
  if (!Opened(state)) return;
  const bool deep = state.range(0) != 0;
  IDirect3DRMFrame* camera = polygoner.ActiveCamera();
  D3DVECTOR c{0, 0, 0};
  polygoner.world_frame->GetPosition(camera, &c);
  selectionbox.UL = {c.x - 3, c.y - 3, c.z};
  polygoner.makebox = true;
  float grow = 0;
  for (auto _ : state) {
    selectionbox.latch = !deep;
    grow = grow > 2 ? 0 : grow + 0.1f;
    selectionbox.SetLR(c.x + grow, c.y + grow, deep ? c.z + 4 : c.z);
    selectionbox.ConstructBox();
  }
  polygoner.makebox = false;
  selectionbox.Release();
  Budget(state, 10);
}

// One pass of Translate All or Rotate All, the render included.
void BM_WholeModelMove(benchmark::State& state) {
  if (!Opened(state)) return;
  Command(kSolid);
  const bool turning = state.range(0) != 0;
  polygoner.first = true;
  float step = 0.01f;
  for (auto _ : state) {
    polygoner.MoveCamera(step, step, 0, turning ? rotate : translate);
    step = -step;
    benchmark::DoNotOptimize(RenderLoop());
  }
  Budget(state, 33);
}

void BM_Command(benchmark::State& state) {
  if (!Opened(state)) return;
  const int id = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    // Flip Selected flips the faces of the selected points: select them all first.
    if (id == kFlipSelected) Command(kSelectAll);
    if (id == kSelectAll) Command(kUnselectAll);
    state.ResumeTiming();
    Command(id);
  }
  Command(kUnselectAll);
  Budget(state, 100);
}

BENCHMARK(BM_SolidPass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SolidWireframePass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HoverTest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragPoints)->ArgName("points")->Arg(1)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoxDrag)->ArgName("deep")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeModelMove)->ArgName("rotate")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command)
    ->ArgName("command")
    ->Arg(kCenterMesh)
    ->Arg(kSelectAll)
    ->Arg(kFlipSelected)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  AnswerModalsForBenchmarks();
  return RunEditorBenchmarks(argc, argv);
}
