// Reading and writing 3DS files through the one reader and writer the editor uses; the
// files sit in the page cache after the first pass.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "files/studio.h"

namespace {

void BM_ReadPrimaryChunk(benchmark::State& state, const char* name) {
  const std::string path = std::string(FACETRY_BENCH_DATA_DIR) + "/" + name;
  unsigned faces = 0;
  for (auto _ : state) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
      state.SkipWithError("input file missing");
      return;
    }
    Studio reader;
    reader.bin3ds = f;
    reader.ReadPrimaryChunk();
    std::fclose(f);
    if (reader.damaged) {
      state.SkipWithError("input is damaged");
      return;
    }
    faces = reader.face_count;
    benchmark::DoNotOptimize(reader.verts.data());
  }
  state.counters["faces"] = faces;
}

// The largest model a 3DS file holds: a grid of 65535 triangles.
void BM_WritePrimaryChunk(benchmark::State& state) {
  Studio writer;
  for (unsigned i = 0; i < 65535; ++i) {
    writer.verts.push_back({static_cast<float>(i % 256), static_cast<float>(i / 256), 0});
    writer.facesl.push_back({i, (i + 1) % 65535, (i + 256) % 65535});
  }
  writer.vertex_count = writer.face_count = 65535;
  for (auto _ : state) {
    FILE* f = std::tmpfile();
    if (!f) {
      state.SkipWithError("no temporary file");
      return;
    }
    writer.bin3ds = f;
    writer.WritePrimaryChunk();
    writer.bin3ds = nullptr;
    std::fclose(f);
  }
}

}  // namespace

BENCHMARK_CAPTURE(BM_ReadPrimaryChunk, sphere_100k, "sphere_100k.3ds")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadPrimaryChunk, sphere_100k_shared, "sphere_100k_shared.3ds")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WritePrimaryChunk)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
