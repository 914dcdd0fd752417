// The face display of the mesh model: the vertex rewrite every move and flip runs
// (UpdateMesh) and the full rebuild of the three face meshes (DrawPolygons), on grids of
// 10k and 100k faces. Points carry no display objects here; only the face meshes count.
#include <benchmark/benchmark.h>

#include <memory>

#include "model/polygoni.h"

namespace {

// A model with `faces` triangles over a square grid of points (two triangles a cell).
struct GridModel {
  explicit GridModel(int faces) {
    Direct3DRMCreate(&lpD3DRM);
    model = std::make_unique<Polygoni>();
    lpD3DRM->CreateFrame(nullptr, &root);
    lpD3DRM->CreateFrame(root, &model->scene);
    model->InitPolygoni();
    int side = 1;
    while (2 * side * side < faces) ++side;
    const int row = side + 1;
    for (int y = 0; y <= side; ++y)
      for (int x = 0; x <= side; ++x) {
        model->AllocPoint(+1);
        model->pointdata[model->num_points - 1].point = {float(x), float(y), float((x * y) % 7)};
      }
    for (int f = 0; f < faces; ++f) {
      const int cell = f / 2, cx = cell % side, cy = cell / side;
      const int p00 = cy * row + cx, p10 = p00 + 1, p01 = p00 + row, p11 = p01 + 1;
      const int corners[2][3] = {{p00, p01, p11}, {p00, p11, p10}};
      model->AllocFace(+1);
      FaceStuff& face = model->facedata[model->num_faces - 1];
      for (int k = 0; k < 3; ++k) {
        face.points[k] = model->pointdata[corners[f % 2][k]].id;
        face.tex[k] = {cx * 4, cy * 4};
      }
    }
    mesh_texture.tswidth = mesh_texture.tsheight = 256;
  }
  ~GridModel() {
    model.reset();
    root->Release();
    lpD3DRM->Release();
    lpD3DRM = nullptr;
  }

  std::unique_ptr<Polygoni> model;
  IDirect3DRMFrame* root = nullptr;
};

void BM_UpdateMesh(benchmark::State& state) {
  GridModel grid(static_cast<int>(state.range(0)));
  rmode = M;
  grid.model->DrawPolygons(false, false, false, true);
  for (auto _ : state) {
    grid.model->UpdateMesh();
    benchmark::ClobberMemory();
  }
  rmode = PW;
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_UpdateMesh)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_DrawPolygons(benchmark::State& state) {
  GridModel grid(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    grid.model->DrawPolygons(false, false, false, true);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DrawPolygons)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
