// A sphere put straight into the running editor's model, as drawing would leave it.
#pragma once

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "model/polygoni.h"

// Puts a sphere of 2 * segments * (rings - 1) faces around the 3D cursor into the editor's
// model the way drawing would leave it: a displayed point per corner, a displayed wire per
// edge, faces wound outward.
class SphereModel {
 public:
  SphereModel(int rings, int segments, float radius) {
    Polygoni& m = polygoner;
    if (!m.point_init) m.InitPoint();
    if (!m.wire_init) m.InitWire();
    D3DVECTOR c{0, 0, 0};
    m.world_frame->GetPosition(m.scene, &c);
    const double pi = 3.14159265358979;
    AddPoint({c.x, c.y + radius, c.z});
    for (int r = 1; r < rings; ++r) {
      const double theta = pi * r / rings;
      for (int s = 0; s < segments; ++s) {
        const double phi = 2 * pi * s / segments;
        AddPoint({c.x + static_cast<float>(radius * std::sin(theta) * std::cos(phi)),
                  c.y + static_cast<float>(radius * std::cos(theta)),
                  c.z + static_cast<float>(radius * std::sin(theta) * std::sin(phi))});
      }
    }
    const int bottom = m.num_points;
    AddPoint({c.x, c.y - radius, c.z});
    auto at = [segments](int r, int s) { return 1 + (r - 1) * segments + (s % segments); };
    for (int s = 0; s < segments; ++s) {
      Face(0, at(1, s + 1), at(1, s));
      Face(bottom, at(rings - 1, s), at(rings - 1, s + 1));
      for (int r = 1; r + 1 < rings; ++r) {
        Face(at(r, s), at(r, s + 1), at(r + 1, s + 1));
        Face(at(r, s), at(r + 1, s + 1), at(r + 1, s));
      }
    }
    m.createindex = -1;
    // Lays every wire between its ends, as after an edit.
    m.ValidateMesh();
  }

 private:
  void AddPoint(D3DVECTOR at) {
    Polygoni& m = polygoner;
    m.AllocPoint(+1);
    PointStuff& p = m.pointdata[m.num_points - 1];
    p.point = at;
    m.MakePoint(&p.point);
  }

  int Wire(int a, int b) {
    const auto key = std::minmax(a, b);
    if (auto found = wires_.find(key); found != wires_.end()) return found->second;
    Polygoni& m = polygoner;
    m.createindex = m.num_wireframes;
    m.AllocWire(+1);
    m.SetPointData(m.createindex, a, nullptr, false);
    m.SetPointData(m.createindex, b, nullptr, false);
    WireStuff& w = m.wiredata[m.createindex];
    w.points[0] = m.pointdata[a].id;
    w.points[1] = m.pointdata[b].id;
    w.order = -1;
    m.MakeWire(&m.pointdata[a].point);
    wires_[key] = m.createindex;
    return m.createindex;
  }

  void Face(int a, int b, int c) {
    Polygoni& m = polygoner;
    const int ab = Wire(a, b), bc = Wire(b, c), ca = Wire(c, a);
    m.AllocFace(+1);
    FaceStuff& f = m.facedata[m.num_faces - 1];
    const int corners[3] = {a, b, c};
    const int sides[3] = {ab, bc, ca};
    for (int k = 0; k < 3; ++k) {
      f.points[k] = m.pointdata[corners[k]].id;
      f.sides[k] = m.wiredata[sides[k]].id;
    }
    f.normal = Normalize(&m.pointdata[b].point, &m.pointdata[a].point, &m.pointdata[c].point);
  }

  std::map<std::pair<int, int>, int> wires_;
};
