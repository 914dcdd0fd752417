// Texturing in the running editor at 1024 x 728 on Qt's offscreen platform: a pass of the
// textured solid front view of 100k faces (and of the same view untextured), generating
// the coordinates of 100k faces, and a repaint of the texture view with 10k faces over a
// 1024 x 1024 map. Each carries its budget as the counter budget_ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/globals.h"
#include "app/shell.h"
#include "bench/bench_editor.h"
#include "bench/bench_sphere.h"
#include "model/polygoni.h"
#include "texture/texture.h"
#include "views/viewport_data.h"

namespace {

constexpr int kNew = 201, kTextureLayout = 234, kSolid = 274;
constexpr int kMapSide = 1024;

void Command(int id) { SendMessageA(vp_data.hwndmain, WM_COMMAND, static_cast<WPARAM>(id), 0); }

std::string BitmapPath() {
  return (std::filesystem::temp_directory_path() / ("facetry_bench_" + std::to_string(getpid()) + ".bmp")).string();
}

// A 256 x 256 24-bit bitmap of colour ramps in a temporary file.
void WriteRampBitmap(const std::string& path) {
  constexpr int kSide = 256, kStride = kSide * 3;
  BITMAPFILEHEADER file{0x4D42, 54 + kStride * kSide, 0, 0, 54};
  BITMAPINFOHEADER info{40, kSide, kSide, 1, 24, BI_RGB, kStride * kSide, 0, 0, 0, 0};
  std::string bytes(sizeof file + sizeof info, '\0');
  std::memcpy(bytes.data(), &file, sizeof file);
  std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      bytes.push_back(static_cast<char>(x));
      bytes.push_back(static_cast<char>(y));
      bytes.push_back(static_cast<char>(x ^ y));
    }
  std::ofstream(path, std::ios::binary) << bytes;
}

bool LoadRamp(benchmark::State& state) {
  const std::string path = BitmapPath();
  WriteRampBitmap(path);
  char file[246] = {};
  char title[100] = {};
  std::snprintf(file, sizeof file, "%s", path.c_str());
  const size_t slash = path.rfind('/');
  std::snprintf(title, sizeof title, "%s", path.c_str() + slash + 1);
  OPENFILENAMEA ofn;
  ofn.lpstrFile = file;
  ofn.lpstrFileTitle = title;
  ofn.nFileOffset = static_cast<WORD>(slash + 1);
  const bool loaded = texture.ReadTheFile(ofn, vp_data.hwndtex);
  std::filesystem::remove(path);
  if (!loaded) state.SkipWithError("the bitmap did not load");
  return loaded;
}

// A fresh model holding only a sphere of 2 * segments * (rings - 1) faces.
void Sphere(int rings, int segments) {
  polygoner.changed = false;
  Command(kNew);
  SphereModel sphere(rings, segments, 8.0f);
}

// Argument 1: textured; 0: the same pass in the mesh colour, which shows what the texture
// itself costs.
void BM_SolidFrontPass100k(benchmark::State& state) {
  if (polygoner.num_faces < 100000) Sphere(101, 500);
  if (!texture.fDisplayBitmap && !LoadRamp(state)) return;
  texture.texloaded = state.range(0) != 0;
  Command(kSolid);
  if (!myglobs.dev || myglobs.dev->GetWidth() != kBenchWidth || myglobs.dev->GetHeight() != kBenchHeight) {
    state.SkipWithError("the device is not at 1024 x 728");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(RenderLoop());
  texture.texloaded = true;
  state.counters["faces"] = polygoner.num_faces;
  state.counters["budget_ms"] = 33;
}

void BM_GenerateCoordinates100k(benchmark::State& state) {
  if (polygoner.num_faces < 100000) Sphere(101, 500);
  for (auto _ : state) texture.InitTexPoints();
  state.counters["faces"] = polygoner.num_faces;
  state.counters["budget_ms"] = 50;
}

void BM_TextureViewRepaint10k(benchmark::State& state) {
  Command(kTextureLayout);
  Sphere(51, 100);
  if (!texture.fDisplayBitmap && !LoadRamp(state)) return;
  texture.ScaleBitmap(1.0f, 1.0f, kMapSide, kMapSide);
  // Every other face has a selected corner, so both kinds of triangle are drawn.
  for (int f = 0; f < polygoner.num_faces; f += 2) polygoner.facedata[f].texactive[0] = true;
  for (auto _ : state) {
    InvalidateRect(vp_data.hwndtex, nullptr, FALSE);
    texture.Paint(vp_data.hwndtex);
  }
  state.counters["faces"] = polygoner.num_faces;
  state.counters["budget_ms"] = 16;
}

// The one-view passes first: the texture layout halves the device for good.
BENCHMARK(BM_SolidFrontPass100k)->ArgName("textured")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerateCoordinates100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextureViewRepaint10k)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunEditorBenchmarks(argc, argv); }
