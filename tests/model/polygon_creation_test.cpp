// Polygon creation through CreateWire: corners, the rubber band, reuse of existing wires,
// closing into fans of faces, the corner limit, orthographic drawing, and a long random run.
#include <algorithm>
#include <random>

#include "tests/model/drawing_fixture.h"

namespace {

const D3DCOLOR kRed = D3DRMCreateColorRGB(1.0f, 0.1f, 0.1f);
const D3DCOLOR kBlue = D3DRMCreateColorRGB(0.3f, 0.3f, 1.0f);
const char* const kLimit = "The maximum numnber of sides for a polygon is 10";

}  // namespace

class CreationTest : public DrawingTest {
 protected:
  void ExpectClosedState() {
    Polygoni& m = *model;
    EXPECT_EQ(m.time, 0);
    for (int w = 0; w < m.num_wireframes; ++w) {
      EXPECT_EQ(m.wiredata[w].order, -1) << "wire " << w;
      EXPECT_FALSE(m.wiredata[w].callback) << "wire " << w;
      EXPECT_EQ(m.wiredata[w].wireframes->GetColor(), kBlue) << "wire " << w;
    }
    for (const PCorder& entry : sub_div) EXPECT_EQ(entry.wire, nullptr);
    for (int p = 0; p < m.num_points; ++p) EXPECT_TRUE(m.pointdata[p].can_be_selected) << "point " << p;
    ExpectSound();
  }
};

TEST_F(CreationTest, TriangleMakesOneFaceFromThreeWires) {
  Polygoni& m = *model;
  const auto corners = Clockwise(3);
  ClickAt(corners[0][0], corners[0][1], 0);
  ClickAt(corners[1][0], corners[1][1], 0);

  // Mid-drawing: the first band became edge 0 and a new band runs from corner 1.
  ASSERT_EQ(m.num_points, 2);
  ASSERT_EQ(m.num_wireframes, 2);
  EXPECT_EQ(m.time, 2);
  EXPECT_TRUE(m.wiredata[1].callback);
  EXPECT_EQ(m.wiredata[1].wireframes->GetColor(), kRed);
  EXPECT_EQ(sub_div[0].wire, m.wiredata[0].id);
  EXPECT_FALSE(m.pointdata[0].can_be_selected);
  ExpectSound("two corners");

  ClickAt(corners[2][0], corners[2][1], 0);
  EXPECT_TRUE(m.pointdata[0].can_be_selected);
  EXPECT_EQ(ClickOn(m.pointdata[0].id), 0);

  ASSERT_EQ(m.num_faces, 1);
  // Drawn clockwise, so stored as drawn.
  EXPECT_EQ(Corners(0), (std::array<int, 3>{0, 1, 2}));
  EXPECT_EQ(Sides(0), (std::array<int, 3>{0, 1, 2}));
  EXPECT_FALSE(m.facedata[0].backface);
  EXPECT_NEAR(m.facedata[0].normal.z, -1.0f, 1e-5);
  for (int p = 0; p < 3; ++p) EXPECT_EQ(m.pointdata[p].num_connected, 2u);
  EXPECT_TRUE(messages.empty());
  ExpectClosedState();
}

TEST_F(CreationTest, FansCutPolygonsAroundTheFirstCorner) {
  Polygoni& m = *model;
  // Quadrilateral: one diagonal 0-2; the second face (0, 3, 2) runs the back way round in
  // the front view and is stored turned, as (3, 0, 2).
  Polygon(Clockwise(4));
  ASSERT_EQ(m.num_faces, 2);
  ASSERT_EQ(m.num_wireframes, 5);
  EXPECT_EQ(Joining(0, 2), 4);
  EXPECT_EQ(Corners(0), (std::array<int, 3>{0, 1, 2}));
  EXPECT_EQ(Sides(0), (std::array<int, 3>{0, 1, 4}));
  EXPECT_EQ(Corners(1), (std::array<int, 3>{3, 0, 2}));
  EXPECT_EQ(Sides(1), (std::array<int, 3>{4, 3, 2}));
  // The diagonal's bar reaches the far corner: length 20 along its z axis.
  EXPECT_NEAR(m.wiredata[4].beforelength, 20.0f, 1e-4);
  ExpectClosedState();
}

// The corner limit's largest polygon: 7 diagonals and 8 faces, all facing the front camera.
TEST_F(CreationTest, DecagonFansIntoEightFaces) {
  Polygoni& m = *model;
  Polygon(Clockwise(10));
  ASSERT_EQ(m.num_faces, 8);
  EXPECT_EQ(m.num_wireframes, 10 + 7);
  EXPECT_EQ(m.num_created, 8);
  // Edges are wires 0..9 and diagonal j (corner 0 to corner j+1) is wire 9 + j. Turning a
  // face toward the camera swaps corners only, so the sides stay in the order made: the
  // middle faces run (diagonal j, diagonal j-1, edge j).
  for (int k = 2; k <= 8; ++k) EXPECT_EQ(Joining(0, k), 8 + k) << "diagonal to corner " << k;
  EXPECT_EQ(Sides(0), (std::array<int, 3>{0, 1, 10}));
  for (int j = 2; j <= 7; ++j) EXPECT_EQ(Sides(j - 1), (std::array<int, 3>{9 + j, 8 + j, j})) << "face " << j - 1;
  EXPECT_EQ(Sides(7), (std::array<int, 3>{16, 9, 8}));
  for (int f = 0; f < 8; ++f) {
    EXPECT_NEAR(m.facedata[f].normal.z, -1.0f, 1e-5) << "face " << f;
    EXPECT_TRUE(Corners(f)[0] == 0 || Corners(f)[1] == 0) << "face " << f << " is not on corner 0";
  }
  EXPECT_TRUE(messages.empty());
  ExpectClosedState();
}

// A point without a wire goes at the closing click; the last point moves into its slot and
// every point left is shown exactly when it is active (or all points are shown).
TEST_F(CreationTest, ClosingRemovesPointsWithoutWires) {
  Polygoni& m = *model;
  AddPoint(50, 50, 0);
  IDirect3DRMFrame* loose = m.pointdata[0].frames;
  ASSERT_FALSE(loose->Visuals().empty());
  m.points = false;
  Polygon(Clockwise(3));
  ASSERT_EQ(m.num_points, 3);
  EXPECT_TRUE(loose->Visuals().empty());
  for (int p = 0; p < m.num_points; ++p) {
    const PointStuff& pt = m.pointdata[p];
    EXPECT_NE(pt.point.x, 50.0f) << "point " << p;
    EXPECT_EQ(pt.vis, pt.active) << "point " << p;
    EXPECT_EQ(pt.frames->Visuals().size(), pt.active ? 1u : 0u) << "point " << p;
  }
  ExpectClosedState();
}

// A press sweeps away points without wires after placing its corner, so the first corner
// (the newest point) can move into a freed slot mid-drawing; the polygon still closes on it.
TEST_F(CreationTest, FirstCornerMovedByARemovalStillClosesThePolygon) {
  Polygoni& m = *model;
  AddPoint(50, 50, 0);
  const auto corners = Clockwise(3);
  ClickAt(corners[0][0], corners[0][1], 0);
  const IdCell first = m.pointdata[1].id;
  m.RemovePoint(0);
  ASSERT_EQ(*first, 0);
  ClickAt(corners[1][0], corners[1][1], 0);
  ClickAt(corners[2][0], corners[2][1], 0);
  ClickOn(first);
  ASSERT_EQ(m.num_faces, 1);
  EXPECT_EQ(Corners(0), (std::array<int, 3>{0, 1, 2}));
  ExpectClosedState();
}

TEST_F(CreationTest, ElevenCornersAreTheLimit) {
  Polygoni& m = *model;
  for (int k = 0; k < 11; ++k) EXPECT_EQ(ClickAt(static_cast<float>(k), static_cast<float>(k * k % 7), 0), 0);
  EXPECT_EQ(m.time, 11);
  ASSERT_TRUE(messages.empty());

  EXPECT_EQ(ClickAt(50, 50, 0), 1);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind(kLimit, 0), 0u) << messages[0];
  EXPECT_EQ(m.num_points, 11);

  // Not even the first corner closes it; only cancelling does.
  EXPECT_EQ(ClickOn(m.pointdata[0].id), 1);
  EXPECT_EQ(m.num_faces, 0);
  ExpectSound("refused");
  m.Terminate();
  EXPECT_EQ(m.num_points, 0);
  EXPECT_EQ(m.num_wireframes, 0);
  ExpectSound("cancelled");
}

TEST_F(CreationTest, ExistingWiresAreReusedAsEdges) {
  Polygoni& m = *model;
  Polygon({{0, 10}, {10, 0}, {-10, 0}});
  ASSERT_EQ(m.num_wireframes, 3);

  // A second triangle on the edge 0-1 and a new point below it.
  ClickOn(m.pointdata[0].id);
  ClickOn(m.pointdata[1].id);
  EXPECT_EQ(m.num_wireframes, 4) << "the edge 0-1 must be the existing wire, not a new one";
  EXPECT_EQ(m.wiredata[0].order, 0);
  EXPECT_EQ(sub_div[0].wire, m.wiredata[0].id);
  EXPECT_EQ(m.pointdata[0].num_connected, 2u) << "the dropped band must leave corner 0's list";
  ExpectSound("reused");
  ClickAt(5, -10, 0);
  ClickOn(m.pointdata[0].id);

  ASSERT_EQ(m.num_faces, 2);
  EXPECT_EQ(m.num_wireframes, 5);
  EXPECT_EQ(m.pointdata[0].num_connected, 3u);
  const auto sides = Sides(1);
  EXPECT_NE(std::find(sides.begin(), sides.end(), 0), sides.end());
  ExpectClosedState();
}

TEST_F(CreationTest, RubberBandFollowsTheCursor) {
  Polygoni& m = *model;
  ClickAt(0, 0, 0);
  const int band = m.createindex;

  // Free mode: the band points at the cursor with the cursor's distance as its length.
  m.world_frame->SetPosition(m.scene, 0, 4, 3);
  m.WireCallBack(&m.createindex);
  EXPECT_FLOAT_EQ(m.length, 5.0f);
  D3DVECTOR dir, up;
  m.wiredata[band].wireframes->GetOrientation(m.scene, &dir, &up);
  EXPECT_NEAR(dir.y, 0.8f, 1e-5);
  EXPECT_NEAR(dir.z, 0.6f, 1e-5);

  // Orthographic mode: along the largest offset only, and the click lands on the axis.
  m.orthocreate = true;
  m.world_frame->SetPosition(m.scene, 3, 1, 0.5f);
  m.WireCallBack(&m.createindex);
  EXPECT_FLOAT_EQ(m.length, 3.0f);
  m.wiredata[band].wireframes->GetOrientation(m.scene, &dir, &up);
  EXPECT_NEAR(dir.x, 1.0f, 1e-5);

  Hover(-1);
  EXPECT_EQ(m.CreateWire(nullptr), 0);
  ASSERT_EQ(m.num_points, 2);
  EXPECT_NEAR(m.pointdata[1].point.x, 3.0f, 1e-4);
  EXPECT_NEAR(m.pointdata[1].point.y, 0.0f, 1e-4);
  ExpectSound("orthographic");
}

// Seeded random clicks, closings and cancellations; after every step the model must be
// sound, and every corner click on a held point must reuse exactly the wire a plain scan
// over all wires finds.
TEST_F(CreationTest, RandomDrawingKeepsTheModelSound) {
  Polygoni& m = *model;
  std::mt19937 rng(7321);
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  // The first wire below `limit` joining a and b, by a scan over every wire.
  auto scan = [&](int a, int b, int limit) {
    for (int i = 0; i < limit; ++i) {
      const WireStuff& w = m.wiredata[i];
      if (!w.points[0] || !w.points[1]) continue;
      const int p = *w.points[0], q = *w.points[1];
      if ((p == a && q == b) || (p == b && q == a)) return i;
    }
    return -1;
  };

  int closed = 0, reused = 0;
  for (int step = 0; step < 3000; ++step) {
    const int action = pick(10);
    if (action == 0 && m.time > 0) {
      m.Terminate();
    } else if (action <= 2 && m.time >= 3) {
      const int n = m.time;
      const int before = m.num_wireframes, faces = m.num_faces;
      const int expect = scan(*m.wiredata[m.createindex].points[0], m.first_p_index, m.num_wireframes - 1);
      ASSERT_EQ(ClickOn(m.pointdata[m.first_p_index].id), n > 10 ? 1 : 0);
      if (n <= 10) {
        ++closed;
        ASSERT_EQ(m.time, 0);
        ASSERT_EQ(m.num_faces, faces + n - 2);
        ASSERT_EQ(m.num_wireframes, before + (n - 3) - (expect >= 0 ? 1 : 0)) << "step " << step;
      }
    } else if (action <= 6 && m.num_points > 0) {
      const int p = pick(m.num_points);
      Hover(p);
      if (m.selectedpoint < 0 || m.time == 0 || m.time > 10 || p == m.first_p_index) {
        _D3DVECTOR at = m.pointdata[p].point;
        m.CreateWire(&at);
      } else {
        const int before = m.num_wireframes, t = m.time;
        const int expect = scan(*m.wiredata[m.createindex].points[0], p, m.createindex);
        _D3DVECTOR at = m.pointdata[p].point;
        ASSERT_EQ(m.CreateWire(&at), 0);
        if (expect >= 0) {
          ++reused;
          ASSERT_EQ(m.num_wireframes, before) << "step " << step;
          ASSERT_EQ(m.wiredata[expect].order, t - 1) << "step " << step;
        } else {
          ASSERT_EQ(m.num_wireframes, before + 1) << "step " << step;
        }
      }
    } else {
      ClickAt(static_cast<float>(pick(5)), static_cast<float>(pick(5)), static_cast<float>(pick(2)));
    }
    auto violation = m.CheckInvariants();
    ASSERT_FALSE(violation.has_value()) << "step " << step << ": " << *violation;
  }
  EXPECT_GT(closed, 50);
  EXPECT_GT(reused, 20);
  for (const std::string& text : messages) EXPECT_EQ(text.rfind(kLimit, 0), 0u) << text;
}
