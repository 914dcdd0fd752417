// Golden images: one tiny scene per feature, compared pixel by pixel (see golden.h).
#include <gtest/gtest.h>

#include "tests/rm/golden.h"
#include "tests/rm/render_fixture.h"

namespace {

class Golden : public RenderScene {
 protected:
  // A frame under the scene placed at (x, y, z), showing `visual`.
  RmRef<IDirect3DRMFrame> Place(IDirect3DRMVisual* visual, float x, float y, float z,
                                IDirect3DRMFrame* parent = nullptr) {
    auto f = Child(parent ? parent : scene.get());
    f->SetPosition(nullptr, x, y, z);
    f->AddVisual(visual);
    return f;
  }

  void StandardLights() {
    Light(scene.get(), D3DRMLIGHT_AMBIENT, 0.2f, 0.2f, 0.2f);
    auto lamp = Child(scene.get());
    lamp->SetPosition(nullptr, -3, 3, 0);
    Light(lamp.get(), D3DRMLIGHT_POINT, 0.9f, 0.9f, 0.9f);
  }

  void ExpectGolden(const char* name) { EXPECT_TRUE(MatchesGolden(name, device->Framebuffer())); }
};

TEST_F(Golden, LitGouraudCube) {
  device->SetQuality(D3DRMRENDER_GOURAUD);
  StandardLights();
  auto cube = Place(Cube(1, 0xFFFF8030).get(), 0, 0, 5);
  cube->AddRotation(D3DRMCOMBINE_BEFORE, 1, 1, 0, 0.6f);
  Draw();
  ExpectGolden("lit_gouraud_cube");
}

TEST_F(Golden, FlatVersusGouraud) {
  device->SetQuality(D3DRMRENDER_GOURAUD);
  StandardLights();
  Place(Sphere(1.2f, 8, 12, 0xFF60A0FF, D3DRMRENDER_FLAT).get(), -1.5f, 0, 6);
  Place(Sphere(1.2f, 8, 12, 0xFF60A0FF, D3DRMRENDER_GOURAUD).get(), 1.5f, 0, 6);
  Draw();
  ExpectGolden("flat_vs_gouraud");
}

TEST_F(Golden, Wireframe) {
  device->SetQuality(D3DRMRENDER_WIREFRAME);
  auto cube = Place(Cube(1, 0xFFFFFF40).get(), 0, 0, 5);
  cube->AddRotation(D3DRMCOMBINE_BEFORE, 1, 1, 0, 0.6f);
  Draw();
  ExpectGolden("wireframe");
}

TEST_F(Golden, Points) {
  device->SetQuality(D3DRMSHADE_FLAT | D3DRMLIGHT_OFF | D3DRMFILL_POINTS);
  Place(Sphere(1.5f, 12, 16, 0xFFFFFFFF).get(), 0, 0, 5);
  Draw();
  ExpectGolden("points");
}

TEST_F(Golden, TexturedQuadRepeats) {
  device->SetQuality(D3DRMSHADE_GOURAUD | D3DRMLIGHT_OFF | D3DRMFILL_SOLID);
  std::vector<uint32_t> checker(16);
  for (int i = 0; i < 16; ++i) checker[i] = ((i / 4 + i % 4) % 2) ? 0xFFE02020 : 0xFFF0F0F0;
  auto texture = Adopt(new IDirect3DRMTexture(4, 4, checker, "checker"));
  auto quad = Quad(1.5f, 0, 0xFFFFFFFF, D3DRMRENDER_UNLITFLAT, 3);
  quad->SetGroupQuality(0, D3DRMSHADE_GOURAUD | D3DRMLIGHT_OFF | D3DRMFILL_SOLID);
  quad->SetGroupTexture(0, texture.get());
  auto tilted = Place(quad.get(), 0, 0, 4);
  tilted->AddRotation(D3DRMCOMBINE_BEFORE, 1, 0, 0, 0.9f);
  Draw();
  ExpectGolden("textured_quad_repeat");
}

// The editor's layout: two views on one device with a grey strip between them, drawn by a
// third viewport that renders a separate frame tree coloured by its frame.
TEST_F(Golden, TwoViewportsWithDivider) {
  device->SetQuality(D3DRMRENDER_GOURAUD);
  StandardLights();
  auto cube = Place(Cube(1, 0xFF40FF80).get(), 0, 0, 0);
  cube->AddRotation(D3DRMCOMBINE_BEFORE, 0, 1, 0, 0.5f);
  camera->SetPosition(nullptr, 0, 0, -5);
  auto side_camera = Child(scene.get());
  side_camera->SetPosition(nullptr, -5, 0, 0);
  side_camera->SetOrientation(nullptr, 1, 0, 0, 0, 1, 0);
  auto front = AddViewport(camera.get(), 0, 0, 77, 120);
  auto side = AddViewport(side_camera.get(), 83, 0, 77, 120);

  IDirect3DRMFrame* raw = nullptr;
  ASSERT_EQ(rm->CreateFrame(nullptr, &raw), D3DRM_OK);
  auto frameframe = Adopt(raw);
  auto divider_camera = Child(frameframe.get());
  auto panel = Place(Quad(100, 0, 0xFFFFFFFF, D3DRMRENDER_UNLITFLAT).get(), 0, 0, 10, frameframe.get());
  panel->SetColorRGB(0.2f, 0.2f, 0.2f);
  panel->SetMaterialMode(D3DRMMATERIAL_FROMFRAME);
  auto divider = AddViewport(divider_camera.get(), 77, 0, 6, 120);

  Draw(scene.get(), front.get());
  Draw(scene.get(), side.get());
  Draw(frameframe.get(), divider.get());
  ExpectGolden("two_viewports_divider");
}

TEST_F(Golden, OrthographicVersusPerspective) {
  device->SetQuality(D3DRMRENDER_GOURAUD);
  StandardLights();
  for (float x : {-1.2f, 1.2f})
    for (float z : {5.0f, 9.0f}) {
      auto cube = Place(Cube(0.5f, z < 6 ? 0xFFFF6060 : 0xFF6060FF).get(), x, z < 6 ? -0.5f : 0.9f, z);
      cube->AddRotation(D3DRMCOMBINE_BEFORE, 0, 1, 0, 0.4f);
    }
  auto perspective = AddViewport(camera.get(), 0, 0, 80, 120);
  auto orthographic = AddViewport(camera.get(), 80, 0, 80, 120);
  ASSERT_EQ(orthographic->SetProjection(D3DRMPROJECT_ORTHOGRAPHIC), D3DRM_OK);
  ASSERT_EQ(orthographic->SetField(3), D3DRM_OK);
  Draw(scene.get(), perspective.get());
  Draw(scene.get(), orthographic.get());
  ExpectGolden("ortho_beside_frustum");
}

// A triangle reaching from behind the camera into the view: cut at the front plane, so its
// lower edge is a straight line inside the view and nothing behind the eye shows.
TEST_F(Golden, NearPlaneClipsATriangleThroughTheCamera) {
  device->SetQuality(D3DRMRENDER_GOURAUD);
  Light(scene.get(), D3DRMLIGHT_AMBIENT, 0.2f, 0.2f, 0.2f);
  auto light = Light(camera.get(), D3DRMLIGHT_POINT, 1, 1, 1);
  light->SetLinearAttenuation(0.3f);
  scene->AddVisual(
      Mesh({{-0.4f, -0.3f, -0.5f, 0, 0, -1}, {0, 0.3f, 3, 0, 0, -1}, {0.4f, -0.3f, -0.5f, 0, 0, -1}},
           {0, 1, 2}, 3, 0xFF40FF40)
          .get());
  Draw();
  ExpectGolden("near_clip");
  // The front plane meets the triangle's sides at y_ndc -0.11: rows below stay empty.
  EXPECT_NE(Pixel(80, 64), 0xFF000000u);
  EXPECT_EQ(Pixel(80, 68), 0xFF000000u);
}

// Two upright quads crossing in an X: each is in front on one side of the crossing.
TEST_F(Golden, DepthOrderOfInterpenetratingQuads) {
  device->SetQuality(D3DRMRENDER_UNLITFLAT);
  scene->AddVisual(Mesh({{-1.5f, -1, 4}, {-1.5f, 1, 4}, {1.5f, 1, 6}, {1.5f, -1, 6}}, {4, 0, 1, 2, 3}, 0,
                        0xFFFF3030, D3DRMRENDER_UNLITFLAT)
                       .get());
  scene->AddVisual(Mesh({{-1.5f, -0.8f, 6}, {-1.5f, 0.8f, 6}, {1.5f, 0.8f, 4}, {1.5f, -0.8f, 4}},
                        {4, 0, 1, 2, 3}, 0, 0xFF3030FF, D3DRMRENDER_UNLITFLAT)
                       .get());
  Draw();
  ExpectGolden("depth_order");
  // Left of the crossing the red quad is nearer, right of it the blue one.
  EXPECT_EQ(Pixel(50, 60), 0xFFFF3030u);
  EXPECT_EQ(Pixel(110, 60), 0xFF3030FFu);
}

}  // namespace
