// Whole render passes through the retained-mode layer: a lit, Gouraud-shaded sphere filling
// a 1024x728 viewport, back faces culled, in solid and wireframe fills. Each iteration
// clears the viewport and renders the scene: traversal, transform, lighting and
// rasterisation, on the device's two threads and, for comparison, on one. The
// allocs_per_pass counter counts heap allocations made inside passes after the first one,
// which should be none.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <map>
#include <new>
#include <numbers>
#include <string>
#include <vector>

#include "platform/rm/d3drm.h"

// The counting operator new below pairs malloc with free; GCC sees the inlined free beside
// new expressions and warns of a mismatch that is not there.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

std::atomic<uint64_t> allocations{0};

}  // namespace

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr int kWidth = 1024, kHeight = 728;

// A latitude/longitude sphere of radius 1 with outward normals, faces clockwise from outside:
// bands * segments * 2 triangles less the degenerate ones at the poles.
IDirect3DRMMesh* MakeSphere(IDirect3DRM* rm, int bands, int segments) {
  std::vector<D3DRMVERTEX> v;
  std::vector<unsigned> f;
  for (int i = 0; i <= bands; ++i) {
    const double theta = std::numbers::pi * i / bands;
    for (int j = 0; j <= segments; ++j) {
      const double phi = 2 * std::numbers::pi * j / segments;
      D3DRMVERTEX x{};
      x.normal = {float(std::sin(theta) * std::cos(phi)), float(std::cos(theta)),
                  float(std::sin(theta) * std::sin(phi))};
      x.position = x.normal;
      v.push_back(x);
    }
  }
  auto at = [segments](int i, int j) { return unsigned(i * (segments + 1) + j); };
  for (int i = 0; i < bands; ++i)
    for (int j = 0; j < segments; ++j) {
      if (i != 0) f.insert(f.end(), {at(i, j), at(i, j + 1), at(i + 1, j + 1)});
      if (i != bands - 1) f.insert(f.end(), {at(i, j), at(i + 1, j + 1), at(i + 1, j)});
    }
  IDirect3DRMMesh* mesh = nullptr;
  rm->CreateMesh(&mesh);
  D3DRMGROUPINDEX g = 0;
  mesh->AddGroup(unsigned(v.size()), unsigned(f.size() / 3), 3, f.data(), &g);
  mesh->SetVertices(g, 0, unsigned(v.size()), v.data());
  return mesh;
}

IDirect3DRMMesh* LoadSphere(IDirect3DRM* rm, const char* file) {
  IDirect3DRMMeshBuilder* builder = nullptr;
  rm->CreateMeshBuilder(&builder);
  const std::string path = std::string(FACETRY_BENCH_DATA_DIR) + "/" + file;
  IDirect3DRMMesh* mesh = nullptr;
  if (SUCCEEDED(builder->Load(path.c_str(), nullptr, D3DRMLOAD_FROMFILE, nullptr, nullptr)))
    builder->CreateMesh(&mesh);
  builder->Release();
  return mesh;
}

// One scene per mesh, made on first use and kept for the program's life.
struct Scene {
  IDirect3DRM* rm = nullptr;
  IDirect3DRMFrame* scene = nullptr;
  IDirect3DRMFrame* camera = nullptr;
  IDirect3DRMDevice* device = nullptr;
  IDirect3DRMViewport* view = nullptr;
  size_t triangles = 0;
};

Scene* GetScene(const std::string& name) {
  static std::map<std::string, Scene> scenes;
  auto found = scenes.find(name);
  if (found != scenes.end()) return found->second.scene ? &found->second : nullptr;
  Scene& s = scenes[name];
  IDirect3DRM* rm = nullptr;
  Direct3DRMCreate(&rm);
  IDirect3DRMMesh* mesh =
      name == "500k" ? MakeSphere(rm, 251, 1000) : LoadSphere(rm, ("sphere_" + name + "_bin.x").c_str());
  if (!mesh) return nullptr;
  for (const auto& g : mesh->Groups()) s.triangles += g.face_indices.size() / 3;
  s.rm = rm;
  rm->CreateFrame(nullptr, &s.scene);
  rm->CreateFrame(s.scene, &s.camera);
  D3DRMBOX box;
  mesh->GetBox(&box);
  s.scene->AddVisual(mesh);
  mesh->Release();
  const float radius = (box.max.y - box.min.y) / 2;
  // The view's half-height at distance d is yf * d / 2 (front 1, field 0.5): put the
  // sphere's outline just inside it.
  const float yf = float(kHeight) / kWidth;
  const float distance = radius / (0.95f * yf * 0.5f);
  s.camera->SetPosition(nullptr, (box.min.x + box.max.x) / 2, (box.min.y + box.max.y) / 2,
                        (box.min.z + box.max.z) / 2 - distance);
  IDirect3DRMLight* light = nullptr;
  rm->CreateLightRGB(D3DRMLIGHT_AMBIENT, 0.3f, 0.3f, 0.3f, &light);
  s.scene->AddLight(light);
  light->Release();
  rm->CreateLightRGB(D3DRMLIGHT_POINT, 0.9f, 0.9f, 0.9f, &light);
  s.camera->AddLight(light);
  light->Release();
  GUID rgb = kRgbDriverGuid;
  rm->CreateDeviceInMemory(&rgb, kWidth, kHeight, &s.device);
  rm->CreateViewport(s.device, s.camera, 0, 0, kWidth, kHeight, &s.view);
  return &s;
}

// threads: the device's setting, 0 for its default of two (1 keeps the pass on one).
void BM_RenderPass(benchmark::State& state, const char* name, D3DRMRENDERQUALITY fill, int threads = 0) {
  Scene* s = GetScene(name);
  if (!s) {
    state.SkipWithError("sphere not available");
    return;
  }
  s->device->SetQuality(D3DRMSHADE_GOURAUD | D3DRMLIGHT_ON | fill);
  s->device->SetRenderThreads(threads);
  s->view->Clear();
  s->view->Render(s->scene);  // warm-up: scratch buffers reach their size
  uint64_t in_passes = 0;
  for (auto _ : state) {
    const uint64_t before = allocations.load(std::memory_order_relaxed);
    s->view->Clear();
    s->view->Render(s->scene);
    in_passes += allocations.load(std::memory_order_relaxed) - before;
    benchmark::DoNotOptimize(s->device->Framebuffer().color.data());
  }
  state.counters["triangles"] = double(s->triangles);
  state.counters["allocs_per_pass"] = double(in_passes) / double(state.iterations());
}

BENCHMARK_CAPTURE(BM_RenderPass, solid_10k, "10k", D3DRMFILL_SOLID)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderPass, solid_100k, "100k", D3DRMFILL_SOLID)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderPass, solid_500k, "500k", D3DRMFILL_SOLID)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderPass, solid_100k_one_thread, "100k", D3DRMFILL_SOLID, 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderPass, solid_500k_one_thread, "500k", D3DRMFILL_SOLID, 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderPass, wireframe_10k, "10k", D3DRMFILL_WIREFRAME)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderPass, wireframe_100k, "100k", D3DRMFILL_WIREFRAME)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderPass, wireframe_500k, "500k", D3DRMFILL_WIREFRAME)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
