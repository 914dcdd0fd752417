// Closing a ten-corner polygon in a large model: the click on the first corner makes the
// closing edge, seven diagonals and eight faces, turns them toward the camera, refreshes
// the face meshes and walks the model for orphaned points. The corner clicks before it are
// not timed. The model is a grid of quads, two faces each, built directly.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/errors.h"
#include "model/polygoni.h"

namespace {

// A model of about `faces` faces on an n x n grid of points at z = 0, seen by a front
// camera, with every point displayed; the wires of the grid carry no display objects.
class Scene {
 public:
  explicit Scene(int faces) {
    SetMsgSink([](const std::string&, const std::string& text) { std::fprintf(stderr, "%s", text.c_str()); });
    if (Direct3DRMCreate(&lpD3DRM) != D3DRM_OK) std::abort();
    lpD3DRM->CreateFrame(nullptr, &root_);
    m.reset(new Polygoni);
    lpD3DRM->CreateFrame(root_, &m->scene);
    lpD3DRM->CreateFrame(m->scene, &m->world_frame);
    lpD3DRM->CreateFrame(m->scene, &m->world_frame2);
    lpD3DRM->CreateFrame(root_, &m->view1);
    lpD3DRM->CreateFrame(root_, &m->view2);
    lpD3DRM->CreateFrame(root_, &m->view3);
    m->view1->SetPosition(nullptr, 0, 0, -500);
    m->InitPolygoni();
    m->InitPoint();
    m->InitWire();

    const int n = static_cast<int>(std::ceil(std::sqrt(faces / 2.0))) + 1;
    for (int y = 0; y < n; ++y) {
      for (int x = 0; x < n; ++x) {
        m->AllocPoint(+1);
        PointStuff& p = m->pointdata[m->num_points - 1];
        p.point = {static_cast<float>(x), static_cast<float>(y), 0};
        m->MakePoint(&p.point);
      }
    }
    auto at = [n](int x, int y) { return y * n + x; };
    for (int y = 0; y + 1 < n && m->num_faces < faces; ++y) {
      for (int x = 0; x + 1 < n && m->num_faces < faces; ++x) {
        const int a = at(x, y), b = at(x + 1, y), c = at(x + 1, y + 1), d = at(x, y + 1);
        // Each quad adds its bottom and left edges and a diagonal; the top row and right
        // column edges are added once, by the quads that own them.
        const int ab = Wire(a, b), da = Wire(d, a), ac = Wire(a, c);
        const int bc = Wire(b, c), cd = Wire(c, d);
        Face(a, c, b, ac, bc, ab);
        Face(a, d, c, da, cd, ac);
      }
    }
  }

  ~Scene() {
    IDirect3DRMFrame* cursor = m->world_frame;
    IDirect3DRMFrame* frame2 = m->world_frame2;
    m.reset();
    cursor->Release();
    frame2->Release();
    root_->Release();
    lpD3DRM->Release();
    lpD3DRM = nullptr;
    SetMsgSink(nullptr);
  }

  // Ten corner clicks on a circle away from the grid; the closing click is left to the
  // caller, with the first corner under the cursor.
  void DrawDecagon(float cx) {
    for (int k = 0; k < 10; ++k) {
      const double a = 2 * 3.14159265358979 * k / 10;
      _D3DVECTOR at{static_cast<float>(cx + 5 * std::sin(a)), static_cast<float>(-20 + 5 * std::cos(a)), 0};
      m->selectedpoint = -2;
      m->CreateWire(&at);
    }
    m->selectedpoint = m->first_p_index;
    m->pointdata[m->first_p_index].cursoractive = true;
  }

  std::unique_ptr<Polygoni> m;

 private:
  // A wire between a and b unless one exists already (found through a's list).
  int Wire(int a, int b) {
    const PointStuff& pa = m->pointdata[a];
    for (uint32_t k = 0; k < pa.num_connected; ++k) {
      const WireStuff& w = m->wiredata[*pa.connectedwire[k]];
      if ((*w.points[0] == a && *w.points[1] == b) || (*w.points[0] == b && *w.points[1] == a))
        return *pa.connectedwire[k];
    }
    m->createindex = m->num_wireframes;
    m->AllocWire(+1);
    m->SetPointData(m->createindex, a, nullptr, false);
    m->SetPointData(m->createindex, b, nullptr, false);
    WireStuff& w = m->wiredata[m->createindex];
    w.points[0] = m->pointdata[a].id;
    w.points[1] = m->pointdata[b].id;
    w.order = -1;
    w.vis = false;
    return m->createindex;
  }

  void Face(int a, int b, int c, int s0, int s1, int s2) {
    m->AllocFace(+1);
    FaceStuff& f = m->facedata[m->num_faces - 1];
    f.points[0] = m->pointdata[a].id;
    f.points[1] = m->pointdata[b].id;
    f.points[2] = m->pointdata[c].id;
    f.sides[0] = m->wiredata[s0].id;
    f.sides[1] = m->wiredata[s1].id;
    f.sides[2] = m->wiredata[s2].id;
    for (int s : {s0, s1, s2}) m->wiredata[s].face_sides += 1;
  }

  IDirect3DRMFrame* root_ = nullptr;
};

void BM_CloseDecagon(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)));
  float cx = -20;
  for (auto _ : state) {
    state.PauseTiming();
    scene.DrawDecagon(cx);
    cx -= 12;
    state.ResumeTiming();
    scene.m->CreateWire(nullptr);
  }
  if (scene.m->time != 0) state.SkipWithError("the polygon did not close");
  state.counters["faces"] = static_cast<double>(scene.m->num_faces);
}
BENCHMARK(BM_CloseDecagon)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
