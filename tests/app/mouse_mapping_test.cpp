// The pointer mapping: plane positions of pointer pixels and back, the active view under
// the pointer, depth mode, and the cursor's per-pass update at the nearest distance.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/app/pointer_scenario.h"

TEST(ViewMapping, PlanePositionsAreExactBothWays) {
  const ViewMapping map{1.0f, 400, 300, 30.0f, 0, 0};
  // 40 pixels right of centre and 30 above it; screen y grows downwards.
  EXPECT_NEAR(map.PlaneX(240), 3.0f, 1e-5);
  EXPECT_NEAR(map.PlaneY(120), 2.25f, 1e-5);
  // The half-extent at depth D is xf * D / (2F).
  EXPECT_NEAR(map.PlaneX(400), 15.0f, 1e-4);
  // And back again.
  EXPECT_NEAR(map.ScreenX(3.0f, 30.0f), 240.0f, 1e-3);

  // A tall viewport scales x instead, and an offset viewport shifts its centre.
  const ViewMapping tall{2.0f, 300, 400, 30.0f, 305, 0};
  EXPECT_FLOAT_EQ(tall.Xf(), 0.75f);
  EXPECT_NEAR(tall.PlaneX(305 + 190), 40 * 0.75f * 30 / (2.0f * 300), 1e-5);
}

class PointerTest : public PointerScenario {
 protected:
  D3DVECTOR Cursor() {
    D3DVECTOR p{0, 0, 0};
    EXPECT_EQ(polygoner.world_frame->GetPosition(myglobs.camera1, &p), D3DRM_OK);
    return p;
  }
  void Pointer(int x, int y) { MoveTo({x, y}); }
  void TwoViews() {
    app.Command(232);
    ASSERT_TRUE(app.Turn());
    ASSERT_EQ(vp_data.arrangement, frontside_v);
  }
};

TEST_F(PointerTest, CursorFollowsThePointerInTheFrontPlane) {
  // After a warp onto the view's centre the pointer stands on the truncated pixel, yet the
  // next update continues from the exact centre.
  D3DVECTOR centre{0, 0, 30};
  const POINT middle = mouser.MoveTo(&centre, false);
  EXPECT_EQ(middle.x, static_cast<int>(map.width / 2.0f));
  Pointer(middle.x, middle.y);
  D3DVECTOR p = Cursor();
  EXPECT_TRUE(std::fabs(p.x) < 1e-4f && std::fabs(p.y) < 1e-4f) << p.x << "," << p.y;

  Pointer(cx + 40, cy - 30);
  p = Cursor();
  EXPECT_NEAR(p.x, map.PlaneX(static_cast<float>(cx + 40)), 1e-4);
  EXPECT_NEAR(p.y, map.PlaneY(static_cast<float>(cy - 30)), 1e-4);
}

TEST_F(PointerTest, HalfTheDeviceWidthStillBelongsToTheFrontView) {
  TwoViews();
  const int dw = myglobs.dev->GetWidth() / 2;
  myglobs.mouse_x = dw;
  myglobs.mouse_y = cy;
  mouser.GetDisplacement();
  EXPECT_EQ(vp_data.activeview, 1);

  myglobs.mouse_x = dw + 1;
  mouser.GetDisplacement();
  EXPECT_EQ(vp_data.activeview, 2);
  EXPECT_EQ(vp_data.cview, myglobs.view2);
}

TEST_F(PointerTest, MovingASelectionKeepsTheActiveView) {
  TwoViews();
  polygoner.move_selected = true;
  myglobs.mouse_x = myglobs.dev->GetWidth() / 2 + 40;
  myglobs.mouse_y = cy;
  mouser.GetDisplacement();
  polygoner.move_selected = false;
  EXPECT_EQ(vp_data.activeview, 1);
  EXPECT_EQ(vp_data.cview, myglobs.view1);
}

TEST_F(PointerTest, DepthModeTurnsVerticalMotionIntoDistance) {
  Pointer(cx, cy);
  Pointer(cx, cy);
  app.Post(app.front(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(cx, cy));
  Pointer(cx, cy);
  ASSERT_TRUE(mouser.reverse);
  const D3DVECTOR start = Cursor();

  // The pointer was warped onto the cursor; a real pointer moves on from there.
  const int row = mouser.pre_mouse_mov_y;
  // Sideways: only x changes.
  Pointer(cx + 20, row);
  D3DVECTOR p = Cursor();
  EXPECT_NEAR(p.x, map.PlaneX(static_cast<float>(cx + 20)), 1e-4);
  EXPECT_NEAR(p.y, start.y, 1e-4);

  // Down: nearer by the plane height of the motion; x and y stay.
  const D3DVECTOR before = p;
  Pointer(cx + 20, mouser.pre_mouse_mov_y + 10);
  p = Cursor();
  const float step = 10 * map.Yf() * 30.0f / (map.front * static_cast<float>(map.height));
  EXPECT_NEAR(p.x, before.x, 1e-4);
  EXPECT_NEAR(p.z, before.z - step, 1e-4);

  // Releasing the button goes back to the plane mapping at the new distance.
  app.Post(app.front(), WM_RBUTTONUP, 0, MAKELPARAM(cx + 20, row + 10));
  Pointer(cx, cy);
  EXPECT_FALSE(mouser.reverse);
  p = Cursor();
  EXPECT_NEAR(p.x, 0.0f, 1e-4);
  EXPECT_NEAR(p.z, before.z - step, 1e-4);
}

TEST_F(PointerTest, CursorAtTheNearestDistanceCreepsAwayAndEndsDrags) {
  Pointer(cx, cy);
  ASSERT_EQ(polygoner.world_frame->SetPosition(myglobs.camera1, 0, 0, 5.0f), D3DRM_OK);
  vp_data.distance1 = 5.0f;
  polygoner.makebox = true;
  polygoner.move_selected = true;
  ASSERT_TRUE(app.Turn());
  const D3DVECTOR p = Cursor();
  EXPECT_NEAR(p.z, 5.05f, 1e-5);
  EXPECT_FALSE(polygoner.makebox);

  // Just beyond the limit the cursor follows the pointer at its distance.
  ASSERT_EQ(polygoner.world_frame->SetPosition(myglobs.camera1, 0, 0, 5.01f), D3DRM_OK);
  vp_data.distance1 = 5.01f;
  polygoner.makebox = true;
  ASSERT_TRUE(app.Turn());
  EXPECT_NEAR(Cursor().z, 5.01f, 1e-5);
  EXPECT_TRUE(polygoner.makebox);
  polygoner.makebox = false;
}


// Where the side and top viewports sit in the view window, taken from the window itself:
// both start 5 pixels right of half its width; the side view of three starts at half its
// height. A pointer 40 pixels right of and 30 above a viewport's centre puts the cursor
// there in that view's camera plane.
TEST_F(PointerTest, SideAndTopViewportsAreFoundFromTheWindowsHalves) {
  app.Command(233);
  ASSERT_TRUE(app.Turn());
  RECT client;
  ASSERT_TRUE(GetClientRect(app.front(), &client));
  const int cw2 = client.right / 2, ch2 = client.bottom / 2;
  struct Case {
    int view;
    IDirect3DRMViewport* viewport;
    IDirect3DRMFrame* camera;
    int ox, oy;
  };
  for (const Case& c : {Case{2, myglobs.view2, myglobs.camera2, cw2 + 5, ch2},
                        Case{3, myglobs.view3, myglobs.camera3, cw2 + 5, 0}}) {
    const auto w = static_cast<float>(c.viewport->GetWidth()), h = static_cast<float>(c.viewport->GetHeight());
    const Pixel target{c.ox + static_cast<int>(w / 2) + 40, c.oy + static_cast<int>(h / 2) - 30};
    // The first move enters the view and warps the pointer onto the cursor there.
    Pointer(target.x, target.y);
    Pointer(target.x, target.y);
    ASSERT_EQ(vp_data.activeview, c.view);
    D3DVECTOR p{0, 0, 0};
    ASSERT_EQ(polygoner.world_frame->GetPosition(c.camera, &p), D3DRM_OK);
    const float xf = w > h ? 1.0f : w / h, yf = w > h ? h / w : 1.0f;
    const float unit = *vp_data.depth / c.viewport->GetFront();
    const float x = (static_cast<float>(target.x - c.ox) - w / 2) * xf * unit / w;
    const float y = (h / 2 - static_cast<float>(target.y - c.oy)) * yf * unit / h;
    EXPECT_NEAR(p.x, x, 1e-3) << "view " << c.view;
    EXPECT_NEAR(p.y, y, 1e-3) << "view " << c.view;
  }
}
