// Viewports and the projection: world <-> screen, drawing inside their rectangles, and the
// lights a pass gathers.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/rm/light.h"
#include "platform/rm/render/lighting.h"
#include "tests/rm/render_fixture.h"

namespace {

using ViewportTransform = RenderScene;

// The projection the editor's mouse mapping inverts: px = F x W / (xf z) + W/2 and
// py = H/2 - F y H / (yf z) at the default field, so the half-width at depth D is xf D / 2F.
TEST_F(ViewportTransform, PerspectiveLandsWhereTheMouseMappingExpects) {
  Make(400, 300);
  struct Case {
    D3DVECTOR p;
    float px, py;
  } cases[] = {
      {{15, 11.25f, 30}, 400, 0},  // the top-right corner at depth 30
      {{3, 2.25f, 30}, 240, 120},
      {{-15, -11.25f, 30}, 0, 300},
      {{0, 0, 7}, 200, 150},
  };
  for (const Case& c : cases) {
    D3DRMVECTOR4D s;
    ASSERT_EQ(view->Transform(&s, &c.p), D3DRM_OK);
    EXPECT_FLOAT_EQ(s.w, c.p.z);
    EXPECT_NEAR(s.x / s.w, c.px, 1e-3);
    EXPECT_NEAR(s.y / s.w, c.py, 1e-3);
  }
  // Depth runs from 0 on the front plane to 1 on the back plane.
  D3DRMVECTOR4D s;
  const D3DVECTOR on_front{0, 0, 1}, on_back{0, 0, 100};
  view->Transform(&s, &on_front);
  EXPECT_NEAR(s.z / s.w, 0, 1e-6);
  view->Transform(&s, &on_back);
  EXPECT_NEAR(s.z / s.w, 1, 1e-6);
}

TEST_F(ViewportTransform, InverseTransformUndoesTransform) {
  Make(320, 200);
  camera->SetPosition(nullptr, 3, -2, -8);
  camera->AddRotation(D3DRMCOMBINE_BEFORE, 0.3f, 1, 0.2f, 0.7f);
  auto offset = AddViewport(camera.get(), 40, 30, 200, 150);
  for (auto projection : {D3DRMPROJECT_PERSPECTIVE, D3DRMPROJECT_ORTHOGRAPHIC}) {
    ASSERT_EQ(offset->SetProjection(projection), D3DRM_OK);
    for (const D3DVECTOR& p : {D3DVECTOR{0, 0, 0}, D3DVECTOR{4, 5, -6}, D3DVECTOR{-2.5f, 1, 3}}) {
      D3DRMVECTOR4D s;
      D3DVECTOR back;
      ASSERT_EQ(offset->Transform(&s, &p), D3DRM_OK);
      ASSERT_EQ(offset->InverseTransform(&back, &s), D3DRM_OK);
      EXPECT_NEAR(back.x, p.x, 1e-3);
      EXPECT_NEAR(back.y, p.y, 1e-3);
      EXPECT_NEAR(back.z, p.z, 1e-3);
    }
  }
  // A homogeneous point with w = 0 names no point.
  const D3DRMVECTOR4D at_infinity{1, 1, 1, 0};
  D3DVECTOR out;
  EXPECT_EQ(offset->InverseTransform(&out, &at_infinity), D3DRMERR_BADVALUE);
}

// A corner drawn as a point lands on the pixel Transform names, in every projection and
// on an offset viewport.
TEST_F(ViewportTransform, AgreesWithWhereTheRasteriserPutsAVertex) {
  auto offset = AddViewport(camera.get(), 30, 20, 100, 80);
  device->SetQuality(D3DRMSHADE_FLAT | D3DRMLIGHT_OFF | D3DRMFILL_POINTS);
  const D3DVECTOR corner{0.43f, 0.31f, 4.2f};
  auto tri = Mesh({{corner.x, corner.y, corner.z}, {0.9f, -0.2f, 4.2f}, {-0.7f, -0.5f, 4.2f}}, {0, 1, 2}, 3,
                  0xFFFFFFFF, D3DRMRENDER_UNLITFLAT);
  scene->AddVisual(tri.get());
  for (auto projection : {D3DRMPROJECT_PERSPECTIVE, D3DRMPROJECT_ORTHOGRAPHIC}) {
    offset->SetProjection(projection);
    Draw(nullptr, offset.get());
    D3DRMVECTOR4D s;
    ASSERT_EQ(offset->Transform(&s, &corner), D3DRM_OK);
    const int px = int(std::floor(s.x / s.w)), py = int(std::floor(s.y / s.w));
    bool found = false;
    for (int y = py - 1; y <= py + 1; ++y)
      for (int x = px - 1; x <= px + 1; ++x) found |= Pixel(x, y) == 0xFFFFFFFF;
    EXPECT_TRUE(found) << "projection " << projection << " at " << px << "," << py;
  }
}

using DeviceAndViewport = RenderScene;

// Viewports on one device each clear and draw only inside their own rectangle.
TEST_F(DeviceAndViewport, ViewportsStayInsideTheirRectangles) {
  raster::Framebuffer& fb = device->Framebuffer();
  fb.Clear(0xFF123456u, 0.5f);
  auto inner = AddViewport(camera.get(), 40, 30, 80, 60);
  ASSERT_EQ(inner->Clear(), D3DRM_OK);
  EXPECT_EQ(Pixel(39, 30), 0xFF123456u);
  EXPECT_EQ(Pixel(40, 30), 0xFF000000u);
  EXPECT_EQ(fb.depth[30 * 160 + 40], 1.0f);
  // A quad far larger than the view fills the rectangle and nothing else.
  scene->AddVisual(Quad(50, 5, 0xFFFF0000, D3DRMRENDER_UNLITFLAT).get());
  ASSERT_EQ(inner->Render(scene.get()), D3DRM_OK);
  EXPECT_EQ(Pixel(40, 30), 0xFFFF0000u);
  EXPECT_EQ(Pixel(119, 89), 0xFFFF0000u);
  EXPECT_EQ(Pixel(120, 89), 0xFF123456u);
  EXPECT_EQ(Pixel(119, 90), 0xFF123456u);
  EXPECT_EQ(Pixel(0, 0), 0xFF123456u);
}

}  // namespace

// Lights are found through the frames that carry them, not by a walk over every frame; they
// must come out as the walk met them (the sums of light depend on the order), placed by
// every frame above them, and only from below the rendered root.
TEST(GatherLights, FindsLightsBelowTheRootInWalkOrderAndPlacesThem) {
  auto* scene = new IDirect3DRMFrame();
  auto* outside = new IDirect3DRMFrame();
  IDirect3DRMFrame* frames[4];
  for (IDirect3DRMFrame*& f : frames) f = new IDirect3DRMFrame();
  scene->AddChild(frames[0]);
  scene->AddChild(frames[1]);
  frames[0]->AddChild(frames[2]);
  frames[0]->AddChild(frames[3]);
  frames[0]->SetPosition(nullptr, 10, 0, 0);
  frames[2]->SetPosition(nullptr, 0, 5, 0);
  const float reds_of[4] = {1, 2, 3, 4};  // told apart by their red
  for (int k = 0; k < 4; ++k) {
    auto* light = new IDirect3DRMLight(D3DRMLIGHT_POINT, D3DRMCreateColorRGB(reds_of[k] / 8, 0, 0));
    frames[k]->AddLight(light);
    light->Release();
  }
  auto* stray = new IDirect3DRMLight(D3DRMLIGHT_POINT, D3DRMCreateColorRGB(1, 1, 1));
  outside->AddLight(stray);
  stray->Release();
  render::SceneLights lights;
  render::GatherLights(scene, false, &lights);
  std::vector<long> reds;
  for (const render::WorldLight& l : lights.lights) reds.push_back(std::lround(l.r * 8));
  // The walk takes each frame's children last to first.
  EXPECT_EQ(reds, (std::vector<long>{2, 1, 4, 3}));
  ASSERT_EQ(lights.lights.size(), 4u);
  EXPECT_EQ(lights.lights[3].px, 10.0f);
  EXPECT_EQ(lights.lights[3].py, 5.0f);
  for (IDirect3DRMFrame* f : frames) f->Release();
  outside->Release();
  scene->Release();
}
