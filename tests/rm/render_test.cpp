// Devices, viewports and the projection: creation rules, settings, world <-> screen.
#include <gtest/gtest.h>

#include "tests/rm/render_fixture.h"

namespace {

using ViewportTransform = RenderScene;

// The projection the editor's mouse mapping inverts: px = F x W / (xf z) + W/2 and
// py = H/2 - F y H / (yf z) at the default field, so the half-width at depth D is xf D / 2F.
TEST_F(ViewportTransform, PerspectiveLandsWhereTheMouseMappingExpects) {
  Make(400, 300, &kRgbDriverGuid);
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

TEST_F(ViewportTransform, FieldFrontOffsetAndTallViewports) {
  Make(400, 300, &kRgbDriverGuid);
  // A tall viewport at (250, 20): the height spans the field, xf = W / H.
  auto tall = AddViewport(camera.get(), 250, 20, 100, 200);
  ASSERT_EQ(tall->SetFront(2), D3DRM_OK);
  ASSERT_EQ(tall->SetField(0.25f), D3DRM_OK);
  // Half-extent at depth D: xf D f / F = 0.5 * 10 * 0.25 / 2 across, 10 * 0.25 / 2 upward.
  const D3DVECTOR corner{0.625f, 1.25f, 10};
  D3DRMVECTOR4D s;
  ASSERT_EQ(tall->Transform(&s, &corner), D3DRM_OK);
  EXPECT_NEAR(s.x / s.w, 350, 1e-3);
  EXPECT_NEAR(s.y / s.w, 20, 1e-3);
}

TEST_F(ViewportTransform, OrthographicIgnoresDepthForPosition) {
  Make(400, 300, &kRgbDriverGuid);
  ASSERT_EQ(view->SetProjection(D3DRMPROJECT_ORTHOGRAPHIC), D3DRM_OK);
  for (float z : {2.0f, 50.0f}) {
    const D3DVECTOR corner{0.5f, 0.375f, z};  // x / (f xf), y / (f yf) = 1
    D3DRMVECTOR4D s;
    ASSERT_EQ(view->Transform(&s, &corner), D3DRM_OK);
    EXPECT_FLOAT_EQ(s.w, 1);
    EXPECT_NEAR(s.x, 400, 1e-3);
    EXPECT_NEAR(s.y, 0, 1e-3);
    EXPECT_NEAR(s.z, (z - 1) / 99, 1e-6);
  }
}

TEST_F(ViewportTransform, InverseTransformUndoesTransform) {
  Make(320, 200, &kRgbDriverGuid);
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

TEST_F(DeviceAndViewport, CreationChecksItsArguments) {
  IDirect3DRMDevice* d = nullptr;
  EXPECT_EQ(rm->CreateDeviceInMemory(nullptr, 0, 10, &d), D3DRMERR_BADVALUE);
  EXPECT_EQ(d, nullptr);
  EXPECT_EQ(rm->CreateDeviceFromClipper(nullptr, nullptr, 10, 10, &d), D3DRMERR_BADOBJECT);
  IDirect3DRMViewport* v = nullptr;
  EXPECT_EQ(rm->CreateViewport(device.get(), nullptr, 0, 0, 10, 10, &v), D3DRMERR_BADOBJECT);
  EXPECT_EQ(rm->CreateViewport(device.get(), camera.get(), 100, 0, 61, 10, &v), D3DRMERR_BADVALUE);
  EXPECT_EQ(rm->CreateViewport(device.get(), camera.get(), 0, 0, 160, 0, &v), D3DRMERR_BADVALUE);
  EXPECT_EQ(rm->CreateViewport(device.get(), camera.get(), 0xFFFFFFF0u, 0, 32, 10, &v), D3DRMERR_BADVALUE);
  EXPECT_EQ(v, nullptr);
  EXPECT_EQ(view->GetWidth(), 160u);
  EXPECT_EQ(view->GetHeight(), 120u);
  EXPECT_EQ(view->GetX(), 0);
}

TEST_F(DeviceAndViewport, DriversGiveTheirColourModels) {
  IDirectDrawClipper* c = nullptr;
  ASSERT_EQ(DirectDrawCreateClipper(0, &c, nullptr), DD_OK);
  auto clipper = Adopt(c);
  GUID rgb = kRgbDriverGuid, ramp = kRampDriverGuid;
  struct Case {
    GUID* guid;
    D3DCOLORMODEL model;
  } cases[] = {{&rgb, D3DCOLOR_RGB}, {&ramp, D3DCOLOR_MONO}, {nullptr, D3DCOLOR_MONO}};
  for (const Case& k : cases) {
    IDirect3DRMDevice* d = nullptr;
    ASSERT_EQ(rm->CreateDeviceFromClipper(clipper.get(), k.guid, 64, 48, &d), D3DRM_OK);
    EXPECT_EQ(d->GetColorModel(), k.model);
    EXPECT_EQ(d->GetWidth(), 64);
    EXPECT_EQ(d->GetHeight(), 48);
    d->Release();
  }
}

TEST_F(DeviceAndViewport, SettingsAreKeptAndCheckedAsGiven) {
  EXPECT_EQ(device->SetQuality(D3DRMRENDER_WIREFRAME), D3DRM_OK);
  EXPECT_EQ(device->GetQuality(), D3DRMRENDER_WIREFRAME);
  EXPECT_EQ(device->SetQuality(0x89), D3DRM_OK);
  EXPECT_EQ(device->GetQuality(), D3DRMRENDER_GOURAUD);
  EXPECT_EQ(device->SetQuality(D3DRMFILL_MASK), D3DRMERR_BADVALUE);
  EXPECT_EQ(device->SetQuality(D3DRMRENDER_GOURAUD | 0x1000), D3DRMERR_BADVALUE);
  EXPECT_EQ(device->GetQuality(), D3DRMRENDER_GOURAUD);
  EXPECT_EQ(device->SetDither(0), D3DRM_OK);
  EXPECT_EQ(device->GetDither(), 0);
  EXPECT_EQ(device->SetShades(256), D3DRM_OK);
  EXPECT_EQ(device->GetShades(), 256u);
  EXPECT_EQ(device->SetShades(0), D3DRMERR_BADVALUE);
  EXPECT_EQ(device->SetTextureQuality(D3DRMTEXTURE_LINEAR), D3DRM_OK);
  EXPECT_EQ(device->GetTextureQuality(), D3DRMTEXTURE_LINEAR);
  EXPECT_EQ(device->SetTextureQuality(7), D3DRMERR_BADVALUE);

  // The planes stay ordered: front > 0 and front < back.
  EXPECT_EQ(view->SetFront(0), D3DRMERR_BADVALUE);
  EXPECT_EQ(view->SetBack(0.5f), D3DRMERR_BADVALUE);
  EXPECT_EQ(view->SetBack(5000), D3DRM_OK);
  EXPECT_EQ(view->SetFront(4999), D3DRM_OK);
  EXPECT_EQ(view->SetFront(5000), D3DRMERR_BADVALUE);
  EXPECT_EQ(view->GetFront(), 4999);
  EXPECT_EQ(view->SetField(0), D3DRMERR_BADVALUE);
}

struct Presented {
  HWND window = nullptr;
  const uint32_t* pixels = nullptr;
  int width = 0, height = 0, count = 0;
};
Presented presented;

void RecordPresent(HWND window, const uint32_t* pixels, int width, int height) {
  presented = {window, pixels, width, height, presented.count + 1};
}

TEST_F(DeviceAndViewport, WindowDevicesPresentOnUpdateAndPaint) {
  presented = {};
  SetRmPresentHook(RecordPresent);
  IDirectDrawClipper* c = nullptr;
  ASSERT_EQ(DirectDrawCreateClipper(0, &c, nullptr), DD_OK);
  auto clipper = Adopt(c);
  HWND window = reinterpret_cast<HWND>(0x1234);
  clipper->SetHWnd(0, window);
  IDirect3DRMDevice* d = nullptr;
  ASSERT_EQ(rm->CreateDeviceFromClipper(clipper.get(), nullptr, 32, 24, &d), D3DRM_OK);
  auto win = Adopt(d);
  ASSERT_EQ(win->Update(), D3DRM_OK);
  EXPECT_EQ(presented.count, 1);
  EXPECT_EQ(presented.window, window);
  EXPECT_EQ(presented.pixels, win->Framebuffer().color.data());
  EXPECT_EQ(presented.width, 32);
  EXPECT_EQ(presented.height, 24);
  EXPECT_EQ(win->HandlePaint(nullptr), D3DRM_OK);
  EXPECT_EQ(presented.count, 2);
  EXPECT_EQ(win->HandleActivate(1), D3DRM_OK);
  // A memory device keeps its image.
  EXPECT_EQ(device->Update(), D3DRM_OK);
  EXPECT_EQ(presented.count, 2);
  SetRmPresentHook(nullptr);
}

// Viewports on one device each clear and draw only inside their own rectangle.
TEST_F(DeviceAndViewport, ViewportsStayInsideTheirRectangles) {
  raster::Framebuffer& fb = device->Framebuffer();
  fb.Clear(0xFF123456u, 0.5f);
  auto inner = AddViewport(camera.get(), 40, 30, 80, 60);
  ASSERT_EQ(inner->Clear(), D3DRM_OK);
  EXPECT_EQ(Pixel(39, 30), 0xFF123456u);
  EXPECT_EQ(Pixel(40, 30), 0xFF000000u);
  EXPECT_EQ(fb.depth[30 * 160 + 40], 1.0f);
  EXPECT_EQ(fb.depth[29 * 160 + 40], 0.5f);
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
