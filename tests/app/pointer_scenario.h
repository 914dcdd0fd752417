// A running editor driven by pointer messages only, as a user works it: moves, presses,
// releases, and the render passes in between that carry the gestures out.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "app/globals.h"
#include "model/polygoni.h"
#include "platform/rm/d3drm.h"
#include "tests/app/app_harness.h"
#include "tests/app/editing_reset.h"
#include "views/mouse.h"
#include "views/viewport_data.h"

struct Pixel {
  int x, y;
};

class PointerScenario : public testing::Test {
 protected:
  // The hover test runs on every fourth pass; this many passes let it run twice, once to
  // let go of a point hovered before and once to take the one under the pointer.
  static constexpr int kHoverPasses = 8;

  void SetUp() override {
    ASSERT_NE(app.Start(), nullptr);
    // The first turn lays the views out at the window's size.
    ASSERT_TRUE(app.Turn());
    Remap();
    // The layout warps the pointer onto the cursor; the first update continues from that
    // exact spot, and the ones after it from the pixels the test sends.
    MoveTo({cx, cy});
  }
  void TearDown() override { ResetEditing(); }

  // The active view's mapping and centre pixel.
  void Remap() {
    ASSERT_TRUE(mouse::ActiveMapping(&map));
    cx = static_cast<int>(map.width / 2) + map.ox;
    cy = static_cast<int>(map.height / 2) + map.oy;
  }
  void MoveTo(Pixel p, WPARAM buttons = 0) {
    app.MouseMove(p.x, p.y, buttons);
    ASSERT_TRUE(app.Turn());
  }
  // Rests the pointer at `p` until the hover test has looked there.
  void HoverAt(Pixel p) {
    for (int i = 0; i < kHoverPasses; ++i) MoveTo(p);
  }
  // Rests the pointer at `p` until the hover test holds point `index`: letting go of a
  // point held before and taking the new one are two hover tests, and where the pass
  // count stands decides whether one round of passes holds both.
  void HoverOn(Pixel p, int index) {
    for (int i = 0; i < 3 * kHoverPasses && polygoner.selectedpoint != index; ++i) MoveTo(p);
    ASSERT_EQ(polygoner.selectedpoint, index);
  }
  void Press(Pixel p) {
    app.Post(app.front(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    ASSERT_TRUE(app.Turn());
  }
  void Release(Pixel p) {
    app.Post(app.front(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    ASSERT_TRUE(app.Turn());
  }
  void ClickAt(Pixel p) {
    MoveTo(p);
    app.Click(p.x, p.y);
    ASSERT_TRUE(app.Turn());
  }
  // Corners around the active view's centre, in drawing order.
  std::vector<Pixel> Triangle() const { return {{cx, cy - 60}, {cx + 60, cy + 40}, {cx - 60, cy + 40}}; }
  // Clicks the corners, then closes the polygon on the first corner, which the hover test
  // has captured by then.
  void DrawTriangle() {
    const auto corners = Triangle();
    for (Pixel p : corners) ClickAt(p);
    HoverAt(corners[0]);
    ASSERT_EQ(polygoner.selectedpoint, 0) << "the first corner is hovered";
    app.Click(corners[0].x, corners[0].y);
    ASSERT_TRUE(app.Turn());
    ASSERT_EQ(polygoner.num_faces, 1);
  }
  // Point i in the frame of `camera`.
  static D3DVECTOR Seen(int i, IDirect3DRMFrame* camera) {
    D3DVECTOR p{0, 0, 0};
    EXPECT_EQ(polygoner.pointdata[i].frames->GetPosition(camera, &p), D3DRM_OK);
    return p;
  }

  AppHarness app;
  ViewMapping map;
  int cx = 0, cy = 0;
};
