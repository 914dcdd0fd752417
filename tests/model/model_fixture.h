// A model set up as the editor sets it up: a root object, the scene frame, three camera
// frames and the cursor frame, an initialised Polygoni, and captured message boxes.
// Helpers build finished elements directly; clicks go through DrawingTest.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/errors.h"
#include "model/polygoni.h"
#include "tests/model/model_setup.h"

class ModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMsgSink([this](const std::string&, const std::string& text) { messages.push_back(text); });
    ASSERT_EQ(Direct3DRMCreate(&lpD3DRM), D3DRM_OK);
    IDirect3DRMFrame* root = nullptr;
    ASSERT_EQ(lpD3DRM->CreateFrame(nullptr, &root), D3DRM_OK);
    root_ = root;
    model = MakeModel(root);
    ASSERT_TRUE(messages.empty()) << messages[0];
  }

  void TearDown() override {
    DropModel(&model);
    root_->Release();
    lpD3DRM->Release();
    lpD3DRM = nullptr;
    SetMsgSink(nullptr);
  }

  static std::unique_ptr<Polygoni> MakeModel(IDirect3DRMFrame* root) {
    auto m = std::make_unique<Polygoni>();
    InitModel(m.get(), root);
    return m;
  }
  // The model's invariant check, as a test assertion.
  void ExpectSound(const char* where = "") {
    auto violation = model->CheckInvariants();
    EXPECT_FALSE(violation.has_value()) << where << ": " << *violation;
  }

  // A new point at (x, y, z) with its frame and cube; returns its identity cell.
  IdCell AddPoint(float x, float y, float z) {
    Polygoni& m = *model;
    m.AllocPoint(+1);
    PointStuff& p = m.pointdata[m.num_points - 1];
    p.point = {x, y, z};
    m.MakePoint(&p.point);
    return p.id;
  }

  // A wire from a to b, listed by both ends, as a finished polygon edge.
  IdCell AddWire(IdCell a, IdCell b) {
    Polygoni& m = *model;
    m.createindex = m.num_wireframes;
    m.AllocWire(+1);
    m.SetPointData(m.createindex, *a, nullptr, false);
    m.SetPointData(m.createindex, *b, nullptr, false);
    WireStuff& w = m.wiredata[m.createindex];
    w.points[0] = a;
    w.points[1] = b;
    m.MakeWire(&m.pointdata[*a].point);
    w.order = -1;
    return w.id;
  }

  // The wire joining a and b, or null.
  IdCell FindWire(IdCell a, IdCell b) {
    for (int i = 0; i < model->num_wireframes; ++i) {
      WireStuff& w = model->wiredata[i];
      if ((w.points[0] == a && w.points[1] == b) || (w.points[0] == b && w.points[1] == a)) return w.id;
    }
    return nullptr;
  }

  // A face on three points, sharing wires that already join them.
  IdCell AddTriangle(IdCell a, IdCell b, IdCell c) {
    IdCell ab = FindWire(a, b) ? FindWire(a, b) : AddWire(a, b);
    IdCell bc = FindWire(b, c) ? FindWire(b, c) : AddWire(b, c);
    IdCell ca = FindWire(c, a) ? FindWire(c, a) : AddWire(c, a);
    model->AllocFace(+1);
    FaceStuff& f = model->facedata[model->num_faces - 1];
    f.points[0] = a;
    f.points[1] = b;
    f.points[2] = c;
    f.sides[0] = ab;
    f.sides[1] = bc;
    f.sides[2] = ca;
    for (IdCell side : f.sides) model->wiredata[*side].face_sides += 1;
    f.backface = false;
    return f.id;
  }

  // Positions of the live points in index order.
  std::vector<float> PointXs() {
    std::vector<float> xs;
    for (int i = 0; i < model->num_points; ++i) xs.push_back(model->pointdata[i].point.x);
    return xs;
  }

  std::unique_ptr<Polygoni> model;
  std::vector<std::string> messages;

 private:
  IDirect3DRMFrame* root_ = nullptr;
};
