// Opening a mesh file in the editor, from the Open command to the end of the first render
// pass with every point, wire and face made, and saving it again, on Qt's offscreen
// platform at 1024 x 728. The spheres of the benchmark folder; larger ones (made with its
// scripts) are timed too when FACETRY_BENCH_LARGE_DIR names a folder holding
// sphere_500k_bin.x and sphere_500k_shared.3ds.
#include <benchmark/benchmark.h>
#include <unistd.h>


#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/globals.h"
#include "bench/bench_editor.h"
#include "app/shell.h"
#include "model/polygoni.h"
#include "views/viewport_data.h"

namespace {

constexpr int kNew = 201, kOpen = 202, kSaveAs = 204;

void Command(int id) { SendMessageA(vp_data.hwndmain, WM_COMMAND, static_cast<WPARAM>(id), 0); }

std::string Input(const char* name) {
  const char* large = std::getenv("FACETRY_BENCH_LARGE_DIR");
  std::filesystem::path path = std::filesystem::path(FACETRY_BENCH_DATA_DIR) / name;
  if (!std::filesystem::exists(path) && large) path = std::filesystem::path(large) / name;
  return path.string();
}

void Open(benchmark::State& state, const char* name) {
  const std::string path = Input(name);
  if (!std::filesystem::exists(path)) {
    state.SkipWithError("input file not found");
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    polygoner.changed = false;
    Command(kNew);
    bench_file_answer = path;
    state.ResumeTiming();
    Command(kOpen);
    benchmark::DoNotOptimize(RenderLoop());
  }
  state.counters["faces"] = polygoner.num_faces;
  state.counters["points"] = polygoner.num_points;
  state.counters["wires"] = polygoner.num_wireframes;
}

void Save(benchmark::State& state, const char* name, const char* as) {
  const std::string path = Input(name);
  if (!std::filesystem::exists(path)) {
    state.SkipWithError("input file not found");
    return;
  }
  polygoner.changed = false;
  Command(kNew);
  bench_file_answer = path;
  Command(kOpen);
  const std::string target = (std::filesystem::temp_directory_path() / (std::to_string(getpid()) + as)).string();
  for (auto _ : state) {
    polygoner.changed = true;
    bench_file_answer = target;
    Command(kSaveAs);
  }
  if (polygoner.changed) state.SkipWithError("the save failed");
  state.counters["faces"] = polygoner.num_faces;
  std::filesystem::remove(target);
}

void BM_Open10kX(benchmark::State& s) { Open(s, "sphere_10k_bin.x"); }
void BM_Open100kX(benchmark::State& s) { Open(s, "sphere_100k_bin.x"); }
void BM_Open500kX(benchmark::State& s) { Open(s, "sphere_500k_bin.x"); }
void BM_Open10k3ds(benchmark::State& s) { Open(s, "sphere_10k_shared.3ds"); }
void BM_Open100k3ds(benchmark::State& s) { Open(s, "sphere_100k_shared.3ds"); }
void BM_Open500k3ds(benchmark::State& s) { Open(s, "sphere_500k_shared.3ds"); }
void BM_Save100kX(benchmark::State& s) { Save(s, "sphere_100k_bin.x", ".x"); }
// A 3DS file counts points and faces in 16 bits: 10k is the largest sphere it holds whole.
void BM_Save10k3ds(benchmark::State& s) { Save(s, "sphere_10k_shared.3ds", ".3ds"); }

BENCHMARK(BM_Open10kX)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Open100kX)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Open500kX)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Open10k3ds)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Open100k3ds)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Open500k3ds)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Save100kX)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Save10k3ds)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  AnswerModalsForBenchmarks();
  return RunEditorBenchmarks(argc, argv);
}
