// A closed mesh drawn as a user draws it: a cube's six quads clicked through CreateWire,
// each from a camera facing that side, the later quads reusing the corners and edges of the
// earlier ones. Then the cube is rendered from the front and from behind.
#include <array>

#include "tests/model/drawing_fixture.h"
#include "tests/model/solid_view.h"
#include "texture/texture.h"

namespace {

constexpr float kHalf = 5;      // the cube spans -5 .. 5 on every axis
constexpr float kDistance = 50;  // cameras stand this far from its centre
constexpr COLORREF kBlueish = 0x00C08040u;  // red 0x40, green 0x80, blue 0xC0
constexpr uint32_t kBlueishRgb = 0x4080C0u;

// Corner c of the cube: bit 0 picks x, bit 1 y, bit 2 z (clear -5, set +5).
_D3DVECTOR CubeCorner(int c) {
  return {c & 1 ? kHalf : -kHalf, c & 2 ? kHalf : -kHalf, c & 4 ? kHalf : -kHalf};
}

struct Side {
  _D3DVECTOR outward;
  std::array<int, 4> corners;  // around the side, in no particular turning sense
};

// Front (-z) and back first, then the four sides between them, which find every corner and
// half of their edges already there; the last one finds all four edges.
constexpr Side kSides[6] = {
    {{0, 0, -1}, {0, 1, 3, 2}}, {{0, 0, 1}, {4, 5, 7, 6}}, {{-1, 0, 0}, {0, 2, 6, 4}},
    {{1, 0, 0}, {1, 3, 7, 5}},  {{0, -1, 0}, {0, 1, 5, 4}}, {{0, 1, 0}, {2, 3, 7, 6}},
};

}  // namespace

class CubeScenarioTest : public DrawingTest {
 protected:
  void SetUp() override {
    DrawingTest::SetUp();
    rmode = PW;
    texture.texloaded = false;
    saved_colour_ = texture.color;
    texture.color = kBlueish;
    view_.Open(model.get());
  }
  void TearDown() override {
    view_.Close();
    texture.color = saved_colour_;
    DrawingTest::TearDown();
  }

  // Puts the active camera (view 1) on the outward side of the cube, looking at its centre.
  void FaceCamera(const _D3DVECTOR& outward) {
    IDirect3DRMFrame* camera = model->view1;
    ASSERT_EQ(camera->SetPosition(nullptr, kDistance * outward.x, kDistance * outward.y, kDistance * outward.z),
              D3DRM_OK);
    const bool vertical = outward.y != 0;
    ASSERT_EQ(camera->SetOrientation(nullptr, -outward.x, -outward.y, -outward.z, 0, vertical ? 0 : 1,
                                     vertical ? 1 : 0),
              D3DRM_OK);
  }

  // One quad: a click on each corner (on the point already there, if any), then on the
  // first corner again.
  void DrawQuad(const Side& side, std::array<IdCell, 8>* corner) {
    FaceCamera(side.outward);
    for (int c : side.corners) {
      if ((*corner)[c]) {
        ClickOn((*corner)[c]);
      } else {
        const _D3DVECTOR at = CubeCorner(c);
        ClickAt(at.x, at.y, at.z);
        (*corner)[c] = model->pointdata[model->num_points - 1].id;
      }
    }
    ClickOn((*corner)[side.corners[0]]);
    ASSERT_EQ(model->time, 0) << "the quad did not close";
  }

  // Points of the side facing the camera at z, off both diagonals of its quad (the outlines
  // run there), must show the mesh colour; the image's corner shows the background.
  void ExpectSolidSideAt(float z, const char* view) {
    view_.Render();
    const uint32_t background = view_.Corner() & 0xFFFFFFu;
    ASSERT_NE(background, kBlueishRgb);
    const float d = kHalf / 2;
    const std::array<std::array<float, 2>, 4> samples = {{{d, 0}, {-d, 0}, {0, d}, {0, -d}}};
    for (const auto& at : samples)
      EXPECT_EQ(view_.PixelAt(at[0], at[1], z) & 0xFFFFFFu, kBlueishRgb) << view << " at (" << at[0] << ", " << at[1] << ")";
  }

  SolidView view_;
  COLORREF saved_colour_ = 0;
};

TEST_F(CubeScenarioTest, SixQuadsOnSharedCornersMakeAClosedCubeThatLooksSolidFromBothSides) {
  Polygoni& m = *model;
  std::array<IdCell, 8> corner{};
  for (const Side& side : kSides) {
    DrawQuad(side, &corner);
    ExpectSound("after a quad");
  }
  EXPECT_EQ(m.num_points, 8);
  EXPECT_EQ(m.num_wireframes, 18) << "12 edges, each drawn once, and one diagonal a side";
  EXPECT_EQ(m.num_faces, 12);
  EXPECT_TRUE(messages.empty()) << messages[0];

  // Every face was turned toward the camera it was drawn under, so all face outward.
  m.UpdateMesh();
  for (int f = 0; f < m.num_faces; ++f) {
    _D3DVECTOR centre{0, 0, 0};
    for (IdCell c : m.facedata[f].points) {
      centre.x += m.pointdata[*c].point.x;
      centre.y += m.pointdata[*c].point.y;
      centre.z += m.pointdata[*c].point.z;
    }
    const _D3DVECTOR& n = m.facedata[f].normal;
    EXPECT_GT(n.x * centre.x + n.y * centre.y + n.z * centre.z, 0) << "face " << f << " faces inward";
  }

  FaceCamera({0, 0, -1});
  ExpectSolidSideAt(-kHalf, "front");
  // Turned around the cube: a side drawn facing inward would be culled and let the
  // background through.
  FaceCamera({0, 0, 1});
  ExpectSolidSideAt(kHalf, "behind");
  ExpectSound("after rendering");
}
