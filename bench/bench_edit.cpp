// The bulk edits on a sphere of 100k faces with every point and wire displayed: deleting
// half of it in either mode (through the Delete key's path, snapshot included), the undo
// snapshot, cutting and pasting half, undoing a deletion, and one step of the hover test.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/errors.h"
#include "app/globals.h"
#include "model/polygoni.h"

namespace {

// 2 * 250 * 199 + 2 * 250 = 100,000 faces on 50,002 points.
constexpr int kSegments = 250;
constexpr int kRings = 201;

class Sphere {
 public:
  explicit Sphere(int rings = kRings) : rings_(rings) {
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
    m->view1->SetPosition(nullptr, 0, 0, -300);
    m->world_frame->SetPosition(m->scene, 0, 0, -120);
    m->InitPolygoni();
    m->InitPoint();
    m->InitWire();
    Build();
  }

  ~Sphere() {
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

  // Selects the points of the half with z < 0 (the half facing the camera).
  void SelectNearHalf() {
    for (int i = 0; i < m->num_points; ++i) m->pointdata[i].active = m->pointdata[i].point.z < 0;
  }

  std::unique_ptr<Polygoni> m;

 private:
  int Point(double theta, double phi) {
    constexpr double kRadius = 100;
    m->AllocPoint(+1);
    PointStuff& p = m->pointdata[m->num_points - 1];
    p.point = {static_cast<float>(kRadius * std::sin(theta) * std::cos(phi)),
               static_cast<float>(kRadius * std::cos(theta)),
               static_cast<float>(kRadius * std::sin(theta) * std::sin(phi))};
    m->MakePoint(&p.point);
    return m->num_points - 1;
  }

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
    _D3DVECTOR at = m->pointdata[a].point;
    m->MakeWire(&at);
    w.order = -1;
    return m->createindex;
  }

  void Face(int a, int b, int c) {
    const int ab = Wire(a, b), bc = Wire(b, c), ca = Wire(c, a);
    m->AllocFace(+1);
    FaceStuff& f = m->facedata[m->num_faces - 1];
    f.points[0] = m->pointdata[a].id;
    f.points[1] = m->pointdata[b].id;
    f.points[2] = m->pointdata[c].id;
    f.sides[0] = m->wiredata[ab].id;
    f.sides[1] = m->wiredata[bc].id;
    f.sides[2] = m->wiredata[ca].id;
    for (int s : {ab, bc, ca}) m->wiredata[s].face_sides += 1;
    if (!f.face) lpD3DRM->CreateFace(&f.face);
  }

  void Build() {
    constexpr double kPi = 3.14159265358979;
    const int top = Point(0, 0);
    auto ring = [](int r, int s) { return 1 + (r - 1) * kSegments + (s % kSegments); };
    for (int r = 1; r < rings_; ++r)
      for (int s = 0; s < kSegments; ++s) Point(kPi * r / rings_, 2 * kPi * s / kSegments);
    const int bottom = Point(kPi, 0);
    for (int s = 0; s < kSegments; ++s) Face(top, ring(1, s + 1), ring(1, s));
    for (int r = 1; r + 1 < rings_; ++r)
      for (int s = 0; s < kSegments; ++s) {
        Face(ring(r, s), ring(r, s + 1), ring(r + 1, s + 1));
        Face(ring(r, s), ring(r + 1, s + 1), ring(r + 1, s));
      }
    for (int s = 0; s < kSegments; ++s) Face(bottom, ring(rings_ - 1, s), ring(rings_ - 1, s + 1));
    m->UpdateMesh();
  }

  int rings_;
  IDirect3DRMFrame* root_ = nullptr;
};

// Each iteration starts from a fresh sphere, built untimed.
template <class Setup, class Timed>
void Fresh(benchmark::State& state, Setup setup, Timed timed) {
  for (auto _ : state) {
    state.PauseTiming();
    auto sphere = std::make_unique<Sphere>();
    setup(*sphere->m, *sphere);
    state.ResumeTiming();
    timed(*sphere->m);
    state.PauseTiming();
    state.counters["faces_after"] = static_cast<double>(sphere->m->num_faces);
    sphere.reset();
    state.ResumeTiming();
  }
}

void BM_DeleteHalfPoints(benchmark::State& state) {
  Fresh(
      state, [](Polygoni& m, Sphere& s) { s.SelectNearHalf(), m.delete_points = true; },
      [](Polygoni& m) { m.DeleteSelected(true); });
}

void BM_DeleteHalfFaces(benchmark::State& state) {
  Fresh(
      state, [](Polygoni& m, Sphere& s) { s.SelectNearHalf(), m.delete_points = false; },
      [](Polygoni& m) { m.DeleteSelected(true); });
}

void BM_CutHalf(benchmark::State& state) {
  Fresh(
      state, [](Polygoni& m, Sphere& s) { s.SelectNearHalf(), m.snip_mode[0] = cut; },
      [](Polygoni& m) { m.Cut(0, false); });
}

void BM_PasteHalf(benchmark::State& state) {
  Fresh(
      state,
      [](Polygoni& m, Sphere& s) {
        s.SelectNearHalf();
        m.snip_mode[0] = copy;
        m.Cut(0, false);
        m.StoreUndo();
      },
      [](Polygoni& m) { m.Paste(true, true, 0, false); });
}

void BM_RevertWholeSphere(benchmark::State& state) {
  Fresh(
      state,
      [](Polygoni& m, Sphere& s) {
        s.SelectNearHalf();
        m.delete_points = true;
        m.DeleteSelected(true);
      },
      [](Polygoni& m) { m.Revert(); });
}

void BM_StoreUndo(benchmark::State& state) {
  Sphere sphere;
  for (auto _ : state) sphere.m->StoreUndo();
  state.counters["faces"] = static_cast<double>(sphere.m->num_cutfaces[2]);
}

// On twice the rings: 100,002 points.
void BM_HoverStep(benchmark::State& state) {
  Sphere sphere(2 * kRings - 1);
  Polygoni& m = *sphere.m;
  // Away from the sphere on screen, so every step scans all points and captures none.
  m.world_frame->SetPosition(m.scene, 400, 400, -120);
  for (auto _ : state) m.TestForSelected();
  if (m.selectedpoint != -2) state.SkipWithError("a point was captured");
  state.counters["points"] = static_cast<double>(m.num_points);
}

BENCHMARK(BM_DeleteHalfPoints)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeleteHalfFaces)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StoreUndo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutHalf)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PasteHalf)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RevertWholeSphere)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_HoverStep)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
