// The face display: the three face meshes and their vertex lists, colours and qualities
// per render mode, which cubes and prisms each mode shows, the re-lay of every element,
// and what a rendered face looks like.
#include <cmath>
#include <vector>

#include "tests/model/drawing_fixture.h"
#include "tests/model/solid_view.h"
#include "texture/texture.h"

namespace {

std::vector<D3DRMVERTEX> Vertices(IDirect3DRMMesh* mesh, int group) {
  unsigned count = 0, faces = 0;
  EXPECT_EQ(mesh->GetGroup(group, &count, &faces, nullptr, nullptr, nullptr), D3DRM_OK);
  std::vector<D3DRMVERTEX> v(count);
  if (count) {
    EXPECT_EQ(mesh->GetVertices(group, 0, count, v.data()), D3DRM_OK);
  }
  return v;
}

std::vector<float> Xs(const std::vector<D3DRMVERTEX>& v) {
  std::vector<float> xs;
  for (const D3DRMVERTEX& x : v) xs.push_back(x.position.x);
  return xs;
}

bool OnFrame(IDirect3DRMFrame* frame, IDirect3DRMVisual* visual) {
  for (IDirect3DRMVisual* v : frame->Visuals())
    if (v == visual) return true;
  return false;
}

float WireLength(const WireStuff& w) {
  D3DRMBOX box{};
  w.wiremeshes->GetBox(&box);
  return box.max.z - box.min.z;
}

constexpr COLORREF kDefaultColorRef = 0x004CFFFFu;    // red 255, green 255, blue 76
constexpr D3DCOLOR kDefaultMeshColour = 0xFFFFFF4Cu;  // the same as the layer writes it

}  // namespace

class MeshDisplayTest : public DrawingTest {
 protected:
  void SetUp() override {
    DrawingTest::SetUp();
    rmode = PW;
    move_m = translate;
    mesh_texture = MeshTexture{};
    texture.texloaded = false;
    texture.color = kDefaultColorRef;
  }
  // Other fixtures of this binary do not reset these globals themselves.
  void TearDown() override {
    mesh_texture = MeshTexture{};
    texture.texloaded = false;
    rmode = PW;
    DrawingTest::TearDown();
  }

  // Corners at x = 1, 2, 3 so that a vertex list shows its corner order in its xs.
  IdCell OneFace() {
    a = AddPoint(1, 0, 0);
    b = AddPoint(2, 1, 0);
    c = AddPoint(3, 0, 1);
    return AddTriangle(a, b, c);
  }

  IdCell a = nullptr, b = nullptr, c = nullptr;
};

TEST_F(MeshDisplayTest, OneFaceGivesThreeVerticesPerMeshBackListReversed) {
  Polygoni& m = *model;
  OneFace();
  mesh_texture.tswidth = 100;
  mesh_texture.tsheight = 50;
  FaceStuff& f = m.facedata[0];
  f.tex[0] = {10, 5};
  f.tex[1] = {50, 25};
  f.tex[2] = {100, 0};
  m.DrawPolygons(false, false, false, true);

  const auto solid = Vertices(m.scenemesh, m.group);
  const auto front = Vertices(m.scenewiremesh, m.groupw);
  const auto back = Vertices(m.scenewiremesh2, m.groupw2);
  EXPECT_EQ(Xs(solid), (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(Xs(front), (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(Xs(back), (std::vector<float>{3, 2, 1}));

  // (P1 - P0) x (P2 - P0) = (1, 1, 0) x (2, 0, 1) = (1, -1, -2), normalised, in every vertex.
  const float k = 1.0f / std::sqrt(6.0f);
  EXPECT_NEAR(f.normal.x, k, 1e-6f);
  EXPECT_NEAR(f.normal.z, -2 * k, 1e-6f);
  for (const D3DRMVERTEX& v : back) EXPECT_EQ(v.normal.z, f.normal.z);

  // Pixels over the scaled image size, v measured from the image's top.
  EXPECT_FLOAT_EQ(front[0].tu, 0.1f);
  EXPECT_FLOAT_EQ(front[0].tv, 0.9f);
  EXPECT_TRUE(back[0].tu == 1.0f && back[0].tv == 1.0f);
  EXPECT_EQ(solid[2].color, kDefaultMeshColour);

  // Solid below the outlines: the white front outline is the last thing drawn.
  const auto& visuals = m.sceneframe->Visuals();
  ASSERT_EQ(visuals.size(), 3u);
  EXPECT_TRUE(visuals[0] == m.scenemesh && visuals[1] == m.scenewiremesh2 && visuals[2] == m.scenewiremesh);

  m.DrawPolygons(false, true, false, true);
  EXPECT_EQ(Xs(Vertices(m.scenemesh, m.group)), (std::vector<float>{3, 2, 1}));
  EXPECT_TRUE(m.backp);
}

TEST_F(MeshDisplayTest, ColoursAndQualitiesPerRenderMode) {
  Polygoni& m = *model;
  OneFace();
  struct Case {
    bool textu, back, outline_only;
    D3DCOLOR solid, back_outline;
  };
  // Which modes attach the solid mesh is pinned through the render commands.
  const D3DCOLOR grey2 = D3DRMCreateColorRGB(0.2f, 0.2f, 0.2f);
  const Case cases[] = {
      {true, false, false, kDefaultMeshColour, grey2},                                           // PWM, M
      {true, false, true, kDefaultMeshColour, grey2},                                            // WFP, WF
      {true, true, false, D3DRMCreateColorRGB(0.5f, 0.5f, 0.5f), D3DRMCreateColorRGB(0, 0, 0)},  // BF
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.back ? "back faces" : k.outline_only ? "outlines" : "solid");
    m.DrawPolygons(k.textu, k.back, k.outline_only, true);
    EXPECT_EQ(m.scenemesh->GetGroupColor(m.group), k.solid);
    EXPECT_EQ(m.scenewiremesh->GetGroupColor(m.groupw), D3DRMCreateColorRGB(1, 1, 1));
    EXPECT_EQ(m.scenewiremesh2->GetGroupColor(m.groupw2), k.back_outline);
  }

  // The chosen colour arrives with its red and blue bytes in the layer's places.
  texture.color = 0x00102030u;
  m.DrawPolygons(false, false, false, true);
  EXPECT_EQ(m.scenemesh->GetGroupColor(m.group), 0xFF302010u);
}

TEST_F(MeshDisplayTest, LoadedTextureGoesOnTheSolidMeshWith32Shades) {
  Polygoni& m = *model;
  OneFace();
  auto* tex = new IDirect3DRMTexture(2, 2, std::vector<uint32_t>(4, 0xFF00FF00u), "t");
  mesh_texture.tex = tex;
  texture.texloaded = true;
  m.DrawPolygons(true, false, false, true);
  IDirect3DRMTexture* on = nullptr;
  ASSERT_EQ(m.scenemesh->GetGroupTexture(m.group, &on), D3DRM_OK);
  EXPECT_TRUE(on == tex && tex->GetShades() == 32u);
  if (on) on->Release();
  m.RemovePolygons();
  tex->Release();
}

TEST_F(MeshDisplayTest, UpdateMeshRewritesVerticesAsTheRenderModeWants) {
  Polygoni& m = *model;
  OneFace();
  m.DrawPolygons(false, false, false, true);
  m.pointdata[*a].point.x = 7;

  rmode = PW;  // the solid mesh is not shown: left as it was
  m.UpdateMesh();
  EXPECT_EQ(Xs(Vertices(m.scenemesh, m.group)), (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(Xs(Vertices(m.scenewiremesh, m.groupw)), (std::vector<float>{7, 2, 3}));
  EXPECT_EQ(Xs(Vertices(m.scenewiremesh2, m.groupw2)), (std::vector<float>{3, 2, 7}));

  rmode = BF;
  m.UpdateMesh();
  EXPECT_EQ(Xs(Vertices(m.scenemesh, m.group)), (std::vector<float>{3, 2, 7}));
}

TEST_F(MeshDisplayTest, HidingWiresNeverHidesTheRubberBand) {
  Polygoni& m = *model;
  OneFace();
  ClickAt(5, 5, 0);
  ClickAt(6, 5, 0);
  const int band = m.createindex;
  ASSERT_TRUE(m.wiredata[band].callback);

  m.ChangeVisible(false, false);
  for (int i = 0; i < m.num_wireframes; ++i) EXPECT_EQ(m.wiredata[i].vis, i == band) << "wire " << i;
  for (int i = 0; i < m.num_points; ++i) EXPECT_FALSE(m.pointdata[i].vis);
  EXPECT_TRUE(OnFrame(m.wiredata[band].wireframes, m.wiredata[band].wiremeshes));
  ExpectSound("hidden");

  m.ChangeVisible(true, true);
  for (int i = 0; i < m.num_wireframes; ++i) EXPECT_TRUE(m.wiredata[i].vis);
}

TEST_F(MeshDisplayTest, WithoutAlwaysShowPointsOnlyActivePointsShow) {
  Polygoni& m = *model;
  OneFace();
  m.pointdata[*b].active = true;
  m.points = false;
  m.UpdateActive();
  EXPECT_FALSE(m.pointdata[*a].vis);
  EXPECT_TRUE(m.pointdata[*b].vis);
  ExpectSound("active only");

  m.ChangeVisible(false, false);  // a mode that hides points still shows the selection
  m.UpdateActive();
  EXPECT_TRUE(m.pointdata[*b].vis);

  m.points = true;
  m.UpdateActive();
  for (int i = 0; i < m.num_points; ++i) EXPECT_TRUE(m.pointdata[i].vis);
  ExpectSound("all");
}

TEST_F(MeshDisplayTest, ValidateMeshReLaysFramesAndWiresFromStoredPositions) {
  Polygoni& m = *model;
  OneFace();
  rmode = WF;
  move_m = scale;
  m.pointdata[*a].point = {-3, 4, 0};
  m.pointdata[*c].point = m.pointdata[*b].point;  // wire b-c now has coinciding ends
  m.ValidateMesh();

  for (int i = 0; i < m.num_points; ++i) {
    D3DVECTOR at{};
    m.pointdata[i].frames->GetPosition(m.scene, &at);
    EXPECT_EQ(at.x, m.pointdata[i].point.x);
    EXPECT_FALSE(m.pointdata[i].selected);
  }
  const WireStuff& ab = m.wiredata[*FindWire(a, b)];
  const float expected = std::sqrt(5.0f * 5.0f + 3.0f * 3.0f + 0.01f * 0.01f);  // z offset 0 -> 0.01
  EXPECT_NEAR(WireLength(ab), expected, 1e-3f);
  const WireStuff& bc = m.wiredata[*FindWire(b, c)];
  EXPECT_NEAR(WireLength(bc), std::sqrt(3.0f) * 0.01f, 1e-4f);

  EXPECT_EQ(rmode, WF);
  ExpectSound();
}

TEST_F(MeshDisplayTest, RemovePolygonsTakesTheMeshesAndTheirFrameOut) {
  Polygoni& m = *model;
  OneFace();
  m.DrawPolygons(false, false, false, true);
  const size_t children = m.scene->Children().size();
  m.RemovePolygons();
  EXPECT_EQ(m.scenemesh, nullptr);
  EXPECT_EQ(m.scene->Children().size(), children - 1);
  m.RemovePolygons();  // nothing left to remove
  m.UpdateMesh();      // and nothing to update
}

// A closed triangle rendered through the fixture's front camera on an in-memory device.
class MeshPixelTest : public MeshDisplayTest {
 protected:
  void SetUp() override {
    MeshDisplayTest::SetUp();
    view_.Open(model.get());
    // Corners clockwise as the camera at z = -50 sees them.
    IdCell p0 = AddPoint(-10, -10, 0), p1 = AddPoint(0, 10, 0), p2 = AddPoint(10, -10, 0);
    AddTriangle(p0, p1, p2);
  }
  void TearDown() override {
    view_.Close();
    MeshDisplayTest::TearDown();
  }

  // Whether some pixel of the column through (x, y) near that point has the colour: the
  // outline is one pixel wide, and its row depends on the rasteriser's rounding.
  bool ColourNear(float x, float y, uint32_t colour) {
    for (float dy = -0.6f; dy <= 0.6f; dy += 0.1f)
      if ((view_.PixelAt(x, y + dy, 0) & 0xFFFFFFu) == (colour & 0xFFFFFFu)) return true;
    return false;
  }

  SolidView view_;
};

TEST_F(MeshPixelTest, FrontFaceShowsTheMeshColourWithAWhiteOutline) {
  view_.Render();
  EXPECT_EQ(view_.PixelAt(0, -3, 0) & 0xFFFFFFu, kDefaultMeshColour & 0xFFFFFFu);
  EXPECT_TRUE(ColourNear(0, -10, 0xFFFFFFu)) << "bottom edge";
  EXPECT_FALSE(ColourNear(0, -10, D3DRMCreateColorRGB(0.2f, 0.2f, 0.2f))) << "the back outline faces away";
}

TEST_F(MeshPixelTest, FlippedFaceShowsOnlyTheGreyBackOutline) {
  Polygoni& m = *model;
  std::swap(m.facedata[0].points[0], m.facedata[0].points[1]);
  view_.Render();
  EXPECT_EQ(view_.PixelAt(0, -3, 0), view_.Corner());
  EXPECT_TRUE(ColourNear(0, -10, D3DRMCreateColorRGB(0.2f, 0.2f, 0.2f))) << "bottom edge";
  EXPECT_FALSE(ColourNear(0, -10, 0xFFFFFFu));
}
