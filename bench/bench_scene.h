// A model for the model benchmarks, set up as the editor sets it up (root object, scene,
// cursor and model frames, three cameras, the point and wire templates), with helpers that
// add points, wires and faces directly instead of by clicks.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/errors.h"
#include "model/polygoni.h"
#include "tests/model/model_setup.h"

class BenchModel {
 public:
  // The front camera stands at `camera_z` on the scene's z axis.
  explicit BenchModel(float camera_z) {
    SetMsgSink([](const std::string&, const std::string& text) { std::fprintf(stderr, "%s", text.c_str()); });
    if (Direct3DRMCreate(&lpD3DRM) != D3DRM_OK) std::abort();
    lpD3DRM->CreateFrame(nullptr, &root_);
    m.reset(new Polygoni);
    InitModel(m.get(), root_, camera_z);
  }
  ~BenchModel() {
    DropModel(&m);
    root_->Release();
    lpD3DRM->Release();
    lpD3DRM = nullptr;
    SetMsgSink(nullptr);
  }
  BenchModel(const BenchModel&) = delete;
  BenchModel& operator=(const BenchModel&) = delete;

  // A displayed point; returns its index.
  int Point(_D3DVECTOR at) {
    m->AllocPoint(+1);
    PointStuff& p = m->pointdata[m->num_points - 1];
    p.point = at;
    m->MakePoint(&p.point);
    return m->num_points - 1;
  }

  // The wire joining a and b, made when there is none (found through a's list); with
  // `displayed` it gets its frame and prism.
  int Wire(int a, int b, bool displayed) {
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
    if (displayed) {
      _D3DVECTOR at = m->pointdata[a].point;
      m->MakeWire(&at);
    } else {
      w.vis = false;
    }
    w.order = -1;
    return m->createindex;
  }

  // The face a, b, c with sides a-b, b-c, c-a.
  void Face(int a, int b, int c, bool displayed_wires) {
    const int sides[3] = {Wire(a, b, displayed_wires), Wire(b, c, displayed_wires), Wire(c, a, displayed_wires)};
    m->AllocFace(+1);
    FaceStuff& f = m->facedata[m->num_faces - 1];
    const int corners[3] = {a, b, c};
    for (int k = 0; k < 3; ++k) {
      f.points[k] = m->pointdata[corners[k]].id;
      f.sides[k] = m->wiredata[sides[k]].id;
      m->wiredata[sides[k]].face_sides += 1;
    }
    if (!f.face) lpD3DRM->CreateFace(&f.face);
  }

  std::unique_ptr<Polygoni> m;

 private:
  IDirect3DRMFrame* root_ = nullptr;
};
