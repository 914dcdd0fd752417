// Parsing and writing .x files held in memory, so the figures leave out the disk.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/rm/mesh_data.h"
#include "platform/rm/xfile/xfile.h"

namespace {

// Each input is read once per process and kept for every iteration and case.
const std::vector<unsigned char>& Input(const std::string& name) {
  static std::map<std::string, std::vector<unsigned char>> cache;
  auto it = cache.find(name);
  if (it == cache.end()) {
    std::ifstream in(std::string(FACETRY_BENCH_DATA_DIR) + "/" + name, std::ios::binary);
    it = cache.emplace(name, std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {})).first;
  }
  return it->second;
}

void BM_Read(benchmark::State& state, const char* name) {
  const std::vector<unsigned char>& bytes = Input(name);
  if (bytes.empty()) {
    state.SkipWithError("input file missing");
    return;
  }
  size_t triangles = 0;
  for (auto _ : state) {
    MeshData mesh;
    if (FAILED(xfile::Read(bytes.data(), bytes.size(), &mesh))) {
      state.SkipWithError("input did not parse");
      return;
    }
    triangles = mesh.TriangleCount();
    benchmark::DoNotOptimize(mesh.positions.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
  state.counters["triangles"] = static_cast<double>(triangles);
}

void BM_Write(benchmark::State& state, const char* name, D3DRMXOFFORMAT format) {
  const std::vector<unsigned char>& bytes = Input(name);
  MeshData mesh;
  if (bytes.empty() || FAILED(xfile::Read(bytes.data(), bytes.size(), &mesh))) {
    state.SkipWithError("input file missing or did not parse");
    return;
  }
  size_t written = 0;
  for (auto _ : state) {
    std::string out;
    if (FAILED(xfile::Write(mesh, format, D3DRMXOFSAVE_ALL, &out))) {
      state.SkipWithError("write failed");
      return;
    }
    written = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * written));
}

// A file of `n` named materials and one material list that refers to each of them by
// name, in another case, so every reference needs the case-blind match.
void BM_ReadMaterialReferences(benchmark::State& state) {
  const int64_t n = state.range(0);
  std::string text = "xof 0302txt 0032\n";
  for (int64_t i = 0; i < n; ++i)
    text += "Material Mat" + std::to_string(i) + " {1;1;1;1;; 0; 0;0;0;; 0;0;0;; }\n";
  text +=
      "Mesh {3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\nMeshMaterialList {" + std::to_string(n) + "; 1; 0;;\n";
  for (int64_t i = 0; i < n; ++i) text += "{MAT" + std::to_string(i) + "}\n";
  text += "}}\n";
  for (auto _ : state) {
    MeshData mesh;
    if (FAILED(xfile::Read(reinterpret_cast<const unsigned char*>(text.data()), text.size(), &mesh))) {
      state.SkipWithError("input did not parse");
      return;
    }
    benchmark::DoNotOptimize(mesh.materials.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

}  // namespace

BENCHMARK(BM_ReadMaterialReferences)->Arg(1000)->Arg(15000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Read, text_10k, "sphere_10k.x")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Read, binary_10k, "sphere_10k_bin.x")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Read, text_100k, "sphere_100k.x")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Read, binary_100k, "sphere_100k_bin.x")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Write, text_100k, "sphere_100k_bin.x", D3DRMXOF_TEXT)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Write, binary_100k, "sphere_100k_bin.x", D3DRMXOF_BINARY)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
