// Which way round a face runs in the active view, turning new faces toward the camera,
// and flipping faces by hand.
#include "tests/model/drawing_fixture.h"

namespace {

struct Snapshot {
  std::array<int, 3> corners;
  std::array<int, 3> sides;
  _D3DVECTOR normal;
  bool backface;
};

}  // namespace

class OrientationTest : public DrawingTest {
 protected:
  // A face on three new points in the plane z = 0, stored in the given order, without
  // being turned.
  int RawFace(std::array<float, 2> a, std::array<float, 2> b, std::array<float, 2> c) {
    IdCell pa = AddPoint(a[0], a[1], 0), pb = AddPoint(b[0], b[1], 0), pc = AddPoint(c[0], c[1], 0);
    AddTriangle(pa, pb, pc);
    return model->num_faces - 1;
  }

  std::vector<Snapshot> Faces() {
    std::vector<Snapshot> out;
    for (int f = 0; f < model->num_faces; ++f)
      out.push_back({Corners(f), Sides(f), model->facedata[f].normal, model->facedata[f].backface});
    return out;
  }
};

TEST_F(OrientationTest, BackFaceTestFollowsTheActiveCamera) {
  Polygoni& m = *model;
  // The front camera sits at z = -50, so a scene position p projects to p / 50.
  struct Case {
    std::array<float, 2> a, b, c;
    bool back;
  };
  const Case cases[] = {
      {{0, 50}, {50, -50}, {-50, -50}, false},  // clockwise; corner 0 right above the centroid
      {{0, 50}, {-50, -50}, {50, -50}, true},   // counter-clockwise
      {{0, 0}, {0, 50}, {50, 0}, false},
      {{0, 0}, {50, 0}, {0, 50}, true},
  };
  for (const Case& c : cases) {
    const int f = RawFace(c.a, c.b, c.c);
    EXPECT_EQ(m.IsItBackFace(f), c.back) << c.a[0] << "," << c.a[1];
    EXPECT_EQ(m.facedata[f].backface, c.back);
  }

  // Seen from behind, by the camera of view 3, the first face runs the other way.
  m.view3->SetPosition(nullptr, 0, 0, 50);
  m.view3->SetOrientation(nullptr, 0, 0, -1, 0, 1, 0);
  model_links.active_view = [] { return 3; };
  const int f = RawFace(cases[0].a, cases[0].b, cases[0].c);
  EXPECT_TRUE(m.IsItBackFace(f));
  // Any other view number means view 1.
  model_links.active_view = [] { return 7; };
  EXPECT_FALSE(m.IsItBackFace(f));
}

TEST_F(OrientationTest, NewFacesAreTurnedTowardTheCamera) {
  Polygoni& m = *model;
  // Counter-clockwise on the screen: stored with corners 0 and 1 swapped.
  Polygon({{0, 10}, {-10, -10}, {10, -10}});
  ASSERT_EQ(m.num_faces, 1);
  EXPECT_EQ(Corners(0), (std::array<int, 3>{1, 0, 2}));
  EXPECT_FALSE(m.facedata[0].backface);
  EXPECT_NEAR(m.facedata[0].normal.z, -1.0f, 1e-5);
  ExpectSound();
}

TEST_F(OrientationTest, FlippingTheLastPolygonTurnsExactlyItsFaces) {
  Polygoni& m = *model;
  Polygon(Clockwise(3));
  std::vector<std::array<float, 2>> pentagon = Clockwise(5);
  for (auto& c : pentagon) c[0] += 30;
  Polygon(pentagon);
  ASSERT_EQ(m.num_faces, 4);
  ASSERT_EQ(m.num_created, 3);
  const auto before = Faces();

  m.ChangeLastFace();
  const auto flipped = Faces();
  EXPECT_EQ(flipped[0].corners, before[0].corners);
  EXPECT_FALSE(flipped[0].backface);
  for (int f = 1; f < 4; ++f) {
    EXPECT_EQ(flipped[f].corners[0], before[f].corners[1]) << f;
    EXPECT_EQ(flipped[f].corners[1], before[f].corners[0]) << f;
    EXPECT_EQ(flipped[f].corners[2], before[f].corners[2]) << f;
    EXPECT_TRUE(flipped[f].backface) << f;
    EXPECT_NEAR(flipped[f].normal.z, 1.0f, 1e-5) << f;
    EXPECT_EQ(flipped[f].sides, before[f].sides) << f;
  }

  m.ChangeLastFace();
  const auto restored = Faces();
  for (int f = 0; f < 4; ++f) {
    EXPECT_EQ(restored[f].corners, before[f].corners) << f;
    EXPECT_EQ(restored[f].backface, before[f].backface) << f;
    EXPECT_FLOAT_EQ(restored[f].normal.z, before[f].normal.z) << f;
  }
  ExpectSound();
}

TEST_F(OrientationTest, FlippingAfterDeletionsStaysWithinTheFaces) {
  Polygoni& m = *model;
  Polygon(Clockwise(5));
  ASSERT_EQ(m.num_created, 3);
  m.RemoveFace(2);
  m.RemoveFace(1);
  const auto before = Faces();
  m.ChangeLastFace();
  ASSERT_EQ(m.num_faces, 1);
  EXPECT_TRUE(m.facedata[0].backface);
  EXPECT_EQ(Corners(0)[0], before[0].corners[1]);
}

TEST_F(OrientationTest, FlippingSelectedFacesNeedsAllThreeCorners) {
  Polygoni& m = *model;
  Polygon(Clockwise(4));
  ASSERT_EQ(m.num_faces, 2);
  const auto before = Faces();
  // Face 0 is (0, 1, 2), face 1 holds 3, 0, 2: selecting 0, 1, 2 selects face 0 only.
  for (int p : {0, 1, 2}) m.pointdata[p].active = true;
  m.ChangeSelectedFace();
  EXPECT_TRUE(m.facedata[0].backface);
  EXPECT_EQ(Corners(0), (std::array<int, 3>{1, 0, 2}));
  EXPECT_FALSE(m.facedata[1].backface);
  EXPECT_EQ(Corners(1), before[1].corners);
}

TEST(NormalizeTest, UnitNormalAndDegenerateTriangles) {
  _D3DVECTOR p0{0, 0, 0}, p1{2, 0, 0}, p2{0, 3, 0};
  const _D3DVECTOR n = Normalize(&p1, &p0, &p2);
  EXPECT_TRUE(n.x == 0 && n.y == 0 && n.z == 1.0f) << n.x << "," << n.y << "," << n.z;
  EXPECT_FLOAT_EQ(Normalize(&p2, &p0, &p1).z, -1.0f);
  _D3DVECTOR q{4, 0, 0};
  const _D3DVECTOR line = Normalize(&p1, &p0, &q);
  EXPECT_TRUE(line.x == 0 && line.y == 0 && line.z == 0) << "collinear corners have no normal";
}
