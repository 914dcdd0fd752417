// A pass drawn in two row bands on two threads must give the picture one thread gives, to
// the byte, in every fill, for viewports anywhere on the device.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/rm/render_fixture.h"

namespace {

class RenderBands : public RenderScene {
 protected:
  RmRef<IDirect3DRMFrame> Place(IDirect3DRMVisual* visual, float x, float y, float z) {
    auto f = Child(scene.get());
    f->SetPosition(nullptr, x, y, z);
    f->AddVisual(visual);
    return f;
  }

  struct Planes {
    std::vector<uint32_t> color;
    std::vector<float> depth;
  };

  Planes DrawWith(int threads, IDirect3DRMViewport* vp) {
    EXPECT_EQ(device->SetRenderThreads(threads), D3DRM_OK);
    device->Framebuffer().Clear(0xFF000000u, 1.0f);
    Draw(scene.get(), vp);
    return Planes{device->Framebuffer().color, device->Framebuffer().depth};
  }

  // Rows [y0, y1) holding at least one drawn pixel.
  bool DrawnIn(const Planes& p, int y0, int y1) const {
    const int w = device->GetWidth();
    for (int y = y0; y < y1; ++y)
      for (int x = 0; x < w; ++x)
        if (p.depth[size_t(y) * w + x] != 1.0f) return true;
    return false;
  }
};

TEST_F(RenderBands, TwoThreadsDrawTheSameBytesAsOne) {
  Light(scene.get(), D3DRMLIGHT_AMBIENT, 0.2f, 0.2f, 0.2f);
  auto lamp = Child(scene.get());
  lamp->SetPosition(nullptr, -3, 3, 0);
  Light(lamp.get(), D3DRMLIGHT_POINT, 0.9f, 0.9f, 0.9f);

  // Large enough that its vertex loop is split between the threads and its corners are
  // placed at drawing time.
  Place(Sphere(1.5f, 100, 100, 0xFFFF8030).get(), 0.3f, 0.2f, 6);
  Place(Sphere(1.0f, 8, 12, 0xFF60A0FF, D3DRMRENDER_FLAT).get(), -2.3f, 0.6f, 7);
  std::vector<uint32_t> checker(16);
  for (int i = 0; i < 16; ++i) checker[i] = ((i / 4 + i % 4) % 2) ? 0xFFE02020 : 0xFFF0F0F0;
  auto texture = Adopt(new IDirect3DRMTexture(4, 4, checker, "checker"));
  auto quad = Quad(1.2f, 0, 0xFFFFFFFF, D3DRMRENDER_GOURAUD, 3);
  quad->SetGroupTexture(0, texture.get());
  Place(quad.get(), 2.2f, -0.9f, 5)->AddRotation(D3DRMCOMBINE_BEFORE, 1, 0, 0, 0.9f);
  // Camera space at z = 2 in the 160 x 120 view: device x = 80 + 80 x, y = 60 - 80 y. The
  // bands meet at row 60, so y = -0.00625 puts a horizontal edge and a corner exactly on
  // the centres of the first row of the lower band. Both windings, one of each pair faces.
  const float c = -0.00625f;
  scene->AddVisual(
      Mesh({{-0.5f, c, 2}, {0.5f, c, 2}, {0, -0.4f, 2}, {0.25f, c, 2}, {0.1f, 0.3f, 2}, {0.6f, 0.2f, 2}},
           {0, 1, 2, 0, 2, 1, 3, 4, 5, 3, 5, 4}, 3, 0xFF40FF40, D3DRMRENDER_UNLITFLAT)
          .get());

  auto partial = AddViewport(camera.get(), 23, 17, 101, 77);
  const struct {
    const char* name;
    D3DRMRENDERQUALITY quality;
  } fills[] = {{"gouraud", D3DRMRENDER_GOURAUD},
               {"wireframe", D3DRMSHADE_GOURAUD | D3DRMLIGHT_ON | D3DRMFILL_WIREFRAME},
               {"points", D3DRMSHADE_FLAT | D3DRMLIGHT_ON | D3DRMFILL_POINTS}};
  for (const auto& fill : fills) {
    for (IDirect3DRMViewport* vp : {view.get(), partial.get()}) {
      SCOPED_TRACE(std::string(fill.name) + (vp == view.get() ? ", whole device" : ", partial viewport"));
      ASSERT_EQ(device->SetQuality(fill.quality), D3DRM_OK);
      const Planes one = DrawWith(1, vp);
      const Planes two = DrawWith(2, vp);
      // Both bands of the viewport hold part of the picture, so neither thread's share is
      // compared empty against empty.
      const int top = vp == view.get() ? 0 : 17, height = vp == view.get() ? 120 : 77;
      EXPECT_TRUE(DrawnIn(one, top, top + height / 2));
      EXPECT_TRUE(DrawnIn(one, top + height / 2, top + height));
      ASSERT_EQ(one.color.size(), two.color.size());
      size_t differ = 0, first = 0;
      for (size_t i = 0; i < one.color.size(); ++i)
        if (one.color[i] != two.color[i] || std::memcmp(&one.depth[i], &two.depth[i], sizeof(float)) != 0)
          if (differ++ == 0) first = i;
      EXPECT_EQ(differ, 0u) << "first at x " << first % 160 << ", y " << first / 160;
    }
  }
  // The edge on the band boundary is drawn, flat green, on row 60.
  ASSERT_EQ(device->SetQuality(D3DRMRENDER_GOURAUD), D3DRM_OK);
  DrawWith(2, view.get());
  EXPECT_EQ(Pixel(80, 60), 0xFF40FF40u);
  EXPECT_NE(Pixel(80, 59), 0xFF40FF40u);

  // Elements smaller than a pixel are dropped whole when no pixel centre lies between their
  // corners; one around the centre of pixel (80, 30), 0.4 pixels across, must still draw it.
  scene->AddVisual(Mesh({{0.00375f, 0.36625f, 2}, {0.00625f, 0.37125f, 2}, {0.00875f, 0.36625f, 2}},
                        {0, 1, 2, 0, 2, 1}, 3, 0xFFFF00FF, D3DRMRENDER_UNLITFLAT)
                       .get());
  DrawWith(2, view.get());
  EXPECT_EQ(Pixel(80, 30), 0xFFFF00FFu);
  EXPECT_NE(Pixel(81, 30), 0xFFFF00FFu);
}

}  // namespace
