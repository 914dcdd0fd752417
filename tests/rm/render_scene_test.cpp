// Scene rendering: culling, lights, material modes, quality capping, visuals.
#include <gtest/gtest.h>

#include "platform/rm/render/draw_mesh.h"
#include "tests/rm/render_fixture.h"

namespace {

using Culling = RenderScene;

// Clockwise on the screen is the front, and a mirroring frame turns it around.
TEST_F(Culling, AMirroringFrameTurnsTheFrontAround) {
  auto frame = Child(scene.get());
  frame->AddVisual(
      Mesh({{-1, -1, 0}, {0, 1, 0}, {1, -1, 0}}, {0, 1, 2}, 3, 0xFF00FF00, D3DRMRENDER_UNLITFLAT).get());
  frame->SetPosition(nullptr, 0, 0, 4);
  frame->AddScale(D3DRMCOMBINE_BEFORE, -1, 1, 1);
  Draw();
  EXPECT_EQ(CountNonBlack(), 0u);
}

using Lighting = RenderScene;

TEST_F(Lighting, AmbientAndAttenuatedPointLightAdd) {
  device->SetQuality(D3DRMRENDER_FLAT);
  auto ambient = Light(scene.get(), D3DRMLIGHT_AMBIENT, 0.2f, 0.2f, 0.2f);
  auto lamp = Child(scene.get());  // at the eye, straight in front of the quad
  auto point = Light(lamp.get(), D3DRMLIGHT_POINT, 0.6f, 0.6f, 0.6f);
  scene->AddVisual(Quad(0.5f, 4, 0xFFFFFFFF, D3DRMRENDER_FLAT).get());
  Draw();
  EXPECT_NEAR(Red(Pixel(80, 60)), (0.2 + 0.6) * 255, 1.5);
  point->SetConstantAttenuation(2);
  Draw();
  EXPECT_NEAR(Red(Pixel(80, 60)), (0.2 + 0.3) * 255, 1.5);
  // A light behind the surface adds nothing.
  lamp->SetPosition(nullptr, 0, 0, 8);
  Draw();
  EXPECT_NEAR(Red(Pixel(80, 60)), 0.2 * 255, 1.5);
}

TEST_F(Lighting, DirectionalLightShinesAlongItsFrameZ) {
  device->SetQuality(D3DRMRENDER_GOURAUD);
  auto sun = Child(scene.get());
  Light(sun.get(), D3DRMLIGHT_DIRECTIONAL, 1, 1, 1);
  scene->AddVisual(Quad(0.5f, 4, 0xFFFFFFFF, D3DRMRENDER_GOURAUD).get());
  sun->SetOrientation(nullptr, 0, 0, 1, 0, 1, 0);  // shining into the quad's face
  Draw();
  EXPECT_EQ(Red(Pixel(80, 60)), 255);
  sun->SetOrientation(nullptr, 0, 0, -1, 0, 1, 0);
  Draw();
  EXPECT_EQ(Red(Pixel(80, 60)), 0);
}

using MaterialMode = RenderScene;

TEST_F(MaterialMode, FrameColourReplacesGroupColoursDownTheTree) {
  auto holder = Child(scene.get());
  auto inner = Child(holder.get());
  inner->AddVisual(Quad(1, 4, 0xFF0000FF, D3DRMRENDER_UNLITFLAT).get());
  holder->SetColor(0xFF00FF00);
  inner->SetColor(0xFFFF0000);
  scene->SetMaterialMode(D3DRMMATERIAL_FROMPARENT);
  struct Case {
    D3DRMMATERIALMODE holder, inner;
    uint32_t expected;
  } cases[] = {
      {D3DRMMATERIAL_FROMMESH, D3DRMMATERIAL_FROMMESH, 0xFF0000FF},
      {D3DRMMATERIAL_FROMMESH, D3DRMMATERIAL_FROMFRAME, 0xFFFF0000},
      {D3DRMMATERIAL_FROMFRAME, D3DRMMATERIAL_FROMPARENT, 0xFF00FF00},
      {D3DRMMATERIAL_FROMPARENT, D3DRMMATERIAL_FROMPARENT, 0xFF0000FF},  // the root: from mesh
  };
  for (const Case& c : cases) {
    holder->SetMaterialMode(c.holder);
    inner->SetMaterialMode(c.inner);
    Draw();
    EXPECT_EQ(Pixel(80, 60), c.expected) << c.holder << " " << c.inner;
    // Rendering the inner frame alone resolves "from parent" through its ancestors too.
    Draw(inner.get());
    EXPECT_EQ(Pixel(80, 60), c.expected) << c.holder << " " << c.inner << " alone";
  }
}

using Quality = RenderScene;

TEST_F(Quality, DeviceAndGroupQualityCapEachOther) {
  EXPECT_EQ(render::EffectiveQuality(D3DRMSHADE_GOURAUD | D3DRMLIGHT_ON | D3DRMFILL_POINTS, D3DRMRENDER_FLAT),
            D3DRMSHADE_FLAT | D3DRMLIGHT_ON | D3DRMFILL_POINTS);
  // A wireframe device draws a solid group as outlines: the middle stays empty.
  device->SetQuality(D3DRMRENDER_WIREFRAME);
  scene->AddVisual(Quad(1, 4, 0xFFFFFFFF, D3DRMRENDER_GOURAUD).get());
  Draw();
  EXPECT_EQ(Pixel(60, 40), 0xFF000000u);
  EXPECT_EQ(Pixel(40, 60), 0xFFFFFFFFu);  // the left edge
}

using Visuals = RenderScene;

TEST_F(Visuals, BuildersAndFramesShownAsVisualsDraw) {
  IDirect3DRMMeshBuilder* b = nullptr;
  ASSERT_EQ(rm->CreateMeshBuilder(&b), D3DRM_OK);
  auto builder = Adopt(b);
  const D3DVECTOR corners[] = {{-1, -1, 4}, {-1, 1, 4}, {1, 1, 4}, {1, -1, 4}};
  const DWORD faces[] = {4, 0, 1, 2, 3, 0};
  ASSERT_EQ(builder->AddFaces(4, corners, 0, nullptr, faces, nullptr), D3DRM_OK);
  builder->SetColor(0xFFFFFF00);
  builder->SetQuality(D3DRMRENDER_UNLITFLAT);
  auto holder = Child(scene.get());
  holder->AddVisual(builder.get());
  Draw();
  EXPECT_EQ(Pixel(80, 60), 0xFFFFFF00u);
  const size_t covered = CountNonBlack();

  // The same frame shown again, shifted, by a frame that uses it as a visual; and a frame
  // that shows itself stops after a bounded nesting.
  auto shower = Child(scene.get());
  shower->SetPosition(nullptr, 1.5f, 0, 0);
  shower->AddVisual(holder.get());
  shower->AddVisual(shower.get());
  Draw();
  EXPECT_GT(CountNonBlack(), covered);
  shower->DeleteVisual(shower.get());
}

using SharedCorners = RenderScene;

// A flat mesh that repeats each corner per face draws exactly as the same mesh with every
// corner once, also after its vertices change between passes.
TEST_F(SharedCorners, RepeatedCornersDrawLikeSharedOnesAfterEveryChange) {
  device->SetQuality(D3DRMRENDER_FLAT);
  auto lamp = Child(scene.get());
  lamp->SetPosition(nullptr, -2, 3, 0);
  Light(lamp.get(), D3DRMLIGHT_POINT, 0.8f, 0.8f, 0.8f);
  auto repeated = Cube(1, 0xFFFFFFFF, D3DRMRENDER_FLAT);
  // Corner i of the same cube is at x = +1 when bit 0 is set, y with bit 1, z with bit 2;
  // the triangles are Cube()'s, in its order.
  auto shared = Mesh(
      {{-1, -1, -1}, {1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {-1, -1, 1}, {1, -1, 1}, {-1, 1, 1}, {1, 1, 1}},
      {0, 2, 3, 0, 3, 1, 5, 7, 6, 5, 6, 4, 4, 6, 2, 4, 2, 0,
       1, 3, 7, 1, 7, 5, 2, 6, 7, 2, 7, 3, 4, 0, 1, 4, 1, 5},
      3, 0xFFFFFFFF, D3DRMRENDER_FLAT);
  auto frame = Child(scene.get());
  frame->SetPosition(nullptr, 0, 0, 5);
  frame->SetOrientation(nullptr, 0.5f, -0.6f, 1, 0, 1, 0.2f);
  auto image = [&](IDirect3DRMMesh* mesh) {
    frame->AddVisual(mesh);
    Draw();
    frame->DeleteVisual(mesh);
    return device->Framebuffer().color;
  };
  const auto before = image(repeated.get());
  EXPECT_EQ(before, image(shared.get()));
  EXPECT_GT(CountNonBlack(), 500u);
  repeated->Translate(0.3f, -0.2f, 0.5f);
  shared->Translate(0.3f, -0.2f, 0.5f);
  const auto after = image(repeated.get());
  EXPECT_EQ(after, image(shared.get()));
  EXPECT_NE(after, before);
}

}  // namespace
