// Drawing in the side and top views: the view under the pointer becomes active and the
// corners lie in its plane, under the pointer.
#include "tests/app/pointer_scenario.h"

namespace {

class ViewDrawing : public PointerScenario {
 protected:
  // Lays the views out with `command`, brings the pointer into the view over client pixel
  // `inside` and draws a triangle there; `camera` is that view's camera frame.
  void DrawIn(int command, Pixel inside, int view, IDirect3DRMFrame* camera) {
    app.Command(command);
    ASSERT_TRUE(app.Turn());
    MoveTo(inside);
    ASSERT_EQ(vp_data.activeview, view);
    Remap();
    MoveTo({cx, cy});
    DrawTriangle();

    const auto corners = Triangle();
    for (int i = 0; i < 3; ++i) {
      const D3DVECTOR p = Seen(i, camera);
      EXPECT_NEAR(p.x, map.PlaneX(static_cast<float>(corners[i].x)), 1e-3) << i;
      EXPECT_NEAR(p.y, map.PlaneY(static_cast<float>(corners[i].y)), 1e-3) << i;
      EXPECT_NEAR(p.z, map.depth, 1e-3) << i;
    }
    EXPECT_FALSE(polygoner.CheckInvariants().has_value());
  }
  // The cursor's scene coordinate along `axis` (0 x, 1 y), which drawing in the side or top
  // view never changes.
  static float CursorAlong(int axis) {
    D3DVECTOR c{0, 0, 0};
    EXPECT_EQ(polygoner.world_frame->GetPosition(polygoner.scene, &c), D3DRM_OK);
    return axis == 0 ? c.x : c.y;
  }
};

TEST_F(ViewDrawing, SideViewOfTwoDrawsInThePlaneOfTheCursorsX) {
  const int w = static_cast<int>(myglobs.dev->GetWidth()), h = static_cast<int>(myglobs.dev->GetHeight());
  DrawIn(232, {3 * w / 4, h / 2}, 2, polygoner.view2);
  const float x = CursorAlong(0);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(polygoner.pointdata[i].point.x, x, 1e-3) << i;
  // The side view shows depth across the screen: the corners spread in z.
  EXPECT_GT(polygoner.pointdata[1].point.z - polygoner.pointdata[2].point.z, 1.0f);
}

TEST_F(ViewDrawing, TopViewOfThreeDrawsInThePlaneOfTheCursorsY) {
  const int w = static_cast<int>(myglobs.dev->GetWidth()), h = static_cast<int>(myglobs.dev->GetHeight());
  DrawIn(233, {3 * w / 4, h / 4}, 3, polygoner.view3);
  const float y = CursorAlong(1);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(polygoner.pointdata[i].point.y, y, 1e-3) << i;
  // Up on the top view's screen is +z in the scene.
  EXPECT_GT(polygoner.pointdata[0].point.z - polygoner.pointdata[1].point.z, 1.0f);
}

}  // namespace
