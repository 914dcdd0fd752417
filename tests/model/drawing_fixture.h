// Drawing polygons the way a user does: clicks through CreateWire at given positions, with
// the point under the cursor captured as the hover test captures it.
#pragma once

#include <array>
#include <cmath>
#include <vector>

#include "tests/model/model_fixture.h"

class DrawingTest : public ModelTest {
 protected:
  void TearDown() override {
    model_links = ModelLinks{};
    ModelTest::TearDown();
  }

  // The hover test: only a point that can be selected is captured.
  void Hover(int p) {
    Polygoni& m = *model;
    for (int i = 0; i < m.num_points; ++i) m.pointdata[i].cursoractive = false;
    m.selectedpoint = -2;
    if (p >= 0 && m.pointdata[p].can_be_selected) {
      m.pointdata[p].cursoractive = true;
      m.selectedpoint = p;
    }
  }

  // A click with nothing under the cursor, at (x, y, z).
  int ClickAt(float x, float y, float z) {
    Hover(-1);
    _D3DVECTOR at{x, y, z};
    return model->CreateWire(&at);
  }

  // A click with point p under the cursor (if the hover test can capture it).
  int ClickOn(IdCell p) {
    const int index = *p;
    Hover(index);
    _D3DVECTOR at = model->pointdata[index].point;
    return model->CreateWire(&at);
  }

  // Corner clicks at the given (x, y) positions in the plane z = 0, then a click on the
  // first corner. Returns the identity cells of the corners in the order drawn.
  std::vector<IdCell> Polygon(const std::vector<std::array<float, 2>>& corners) {
    std::vector<IdCell> cells;
    for (const auto& c : corners) {
      ClickAt(c[0], c[1], 0);
      cells.push_back(model->pointdata[model->num_points - 1].id);
    }
    ClickOn(cells[0]);
    return cells;
  }

  // Corners of a convex polygon of n corners around the origin, clockwise as the front
  // camera sees it (x right, y up).
  static std::vector<std::array<float, 2>> Clockwise(int n, float radius = 10) {
    std::vector<std::array<float, 2>> corners;
    for (int k = 0; k < n; ++k) {
      const double a = 2 * 3.14159265358979 * k / n;
      corners.push_back({static_cast<float>(radius * std::sin(a)), static_cast<float>(radius * std::cos(a))});
    }
    return corners;
  }

  std::array<int, 3> Corners(int f) {
    const FaceStuff& face = model->facedata[f];
    return {*face.points[0], *face.points[1], *face.points[2]};
  }

  std::array<int, 3> Sides(int f) {
    const FaceStuff& face = model->facedata[f];
    return {*face.sides[0], *face.sides[1], *face.sides[2]};
  }

  // The wire joining points a and b (either direction), or -1.
  int Joining(int a, int b) {
    for (int i = 0; i < model->num_wireframes; ++i) {
      const WireStuff& w = model->wiredata[i];
      if (!w.points[0] || !w.points[1]) continue;
      const int p = *w.points[0], q = *w.points[1];
      if ((p == a && q == b) || (p == b && q == a)) return i;
    }
    return -1;
  }
};
