// Editing in the running editor: moving the whole model with Translate All, picking and
// dragging a point, selecting with a box, and the selection and display commands.
#include "model/selection_box.h"
#include "tests/app/pointer_scenario.h"

namespace {

class EditGestures : public PointerScenario {
 protected:
  void SetUp() override {
    PointerScenario::SetUp();
    DrawTriangle();
  }
  static void ExpectActive(bool a0, bool a1, bool a2, const char* after) {
    const bool expected[3] = {a0, a1, a2};
    for (int i = 0; i < 3; ++i) {
      const PointStuff& p = polygoner.pointdata[i];
      EXPECT_EQ(p.active, expected[i]) << after << " " << i;
      EXPECT_FALSE(p.selected) << after << " " << i;
      const D3DCOLOR shown =
          expected[i] ? D3DRMCreateColorRGB(1.0f, 1.0f, 1.0f) : D3DRMCreateColorRGB(0.3f, 0.7f, 0.3f);
      EXPECT_EQ(p.frames->GetColor(), shown) << after << " " << i;
    }
  }
  // One pixel of pointer motion in the front view's plane at the cursor's distance.
  float Unit() const { return map.PlaneX(1.0f) - map.PlaneX(0.0f); }
  static D3DVECTOR ModelFrame() {
    D3DVECTOR p{0, 0, 0};
    EXPECT_EQ(polygoner.world_frame2->GetPosition(polygoner.scene, &p), D3DRM_OK);
    return p;
  }
};

TEST_F(EditGestures, TranslateAllInTheSideViewMovesTheModelBetweenTwoClicks) {
  app.Command(50);
  app.Command(263);
  app.Command(232);
  ASSERT_TRUE(app.Turn());
  MoveTo({3 * static_cast<int>(myglobs.dev->GetWidth()) / 4, cy});
  ASSERT_EQ(vp_data.activeview, 2);
  Remap();
  const Pixel centre{cx, cy};
  HoverAt(centre);

  app.Command(265);
  EXPECT_EQ(move_m, translatecam);
  EXPECT_TRUE(app.MenuChecked(265) && app.ButtonChecked(265));
  EXPECT_FALSE(app.MenuChecked(263) || app.ButtonChecked(263));

  Polygoni& m = polygoner;
  const D3DVECTOR frame_before = ModelFrame();
  D3DVECTOR before[3];
  for (int i = 0; i < 3; ++i) before[i] = m.pointdata[i].point;
  app.Click(centre.x, centre.y);
  ASSERT_TRUE(app.Turn());
  ASSERT_TRUE(m.movethecamera);
  EXPECT_EQ(move_m, translate);
  // The move pulls the pointer back to the centre after each pass, as the system's own
  // pointer-move message would then report.
  MoveTo({cx + 40, cy});
  MoveTo(centre);
  MoveTo(centre);
  // Right on the side view's screen is +z in the scene.
  const float dz = 40 * Unit();
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(m.pointdata[i].point.x, before[i].x, 1e-3) << i;
    EXPECT_NEAR(m.pointdata[i].point.z, before[i].z + dz, 1e-3) << i;
  }
  const D3DVECTOR frame_after = ModelFrame();
  EXPECT_NEAR(frame_after.x, frame_before.x, 1e-3);
  EXPECT_NEAR(frame_after.z, frame_before.z + dz, 1e-3) << "the model frame moves with the points";

  app.Click(centre.x, centre.y);
  ASSERT_TRUE(app.Turn());
  EXPECT_FALSE(m.movethecamera || m.translatecam);
  EXPECT_EQ(move_m, rotate) << "back to the transform in force before Translate All";
  EXPECT_FALSE(app.MenuChecked(265) || app.ButtonChecked(265));
  EXPECT_TRUE(app.ButtonChecked(263));
  EXPECT_FALSE(app.MenuChecked(263)) << "the menu mark goes, the button stays pressed";
  EXPECT_NEAR(m.pointdata[0].point.z, before[0].z + dz, 1e-3) << "nothing moves once the move ends";

  // Center Mesh puts the model frame, unturned, and the cursor on the front camera's axis.
  app.Command(286);
  D3DVECTOR at{0, 0, 0}, cursor{0, 0, 0}, dir{0, 0, 0}, up{0, 0, 0};
  m.world_frame2->GetPosition(m.view1, &at);
  m.world_frame->GetPosition(m.view1, &cursor);
  m.world_frame2->GetOrientation(m.scene, &dir, &up);
  EXPECT_NEAR(at.x, 0.0f, 1e-4);
  EXPECT_NEAR(at.y, 0.0f, 1e-4);
  EXPECT_NEAR(cursor.z, at.z, 1e-4);
  EXPECT_NEAR(dir.z, 1.0f, 1e-5);
  EXPECT_FALSE(m.CheckInvariants().has_value());
}

TEST_F(EditGestures, PickedPointFollowsTheDragAlone) {
  app.Command(50);
  Polygoni& m = polygoner;
  const Pixel corner = Triangle()[1];
  HoverAt(corner);
  ASSERT_EQ(m.selectedpoint, 1);
  const D3DVECTOR other = m.pointdata[2].point;

  Press(corner);
  EXPECT_TRUE(m.move_selected);
  EXPECT_TRUE(m.pointdata[1].active && m.pointdata[1].selected);
  EXPECT_FALSE(m.pointdata[0].active || m.pointdata[2].active);

  const Pixel target{corner.x + 30, corner.y - 20};
  for (int i = 0; i < 4; ++i) MoveTo(target, MK_LBUTTON);
  Release(target);
  EXPECT_FALSE(m.move_selected || m.pointdata[1].selected);
  EXPECT_TRUE(m.pointdata[1].active) << "the dragged point stays selected";

  const D3DVECTOR p = Seen(1, polygoner.view1);
  // The pointer is warped onto the point after each step, to a whole pixel.
  EXPECT_NEAR(p.x, map.PlaneX(static_cast<float>(target.x)), 1.5f * Unit());
  EXPECT_NEAR(p.y, map.PlaneY(static_cast<float>(target.y)), 1.5f * Unit());
  EXPECT_NEAR(p.z, 30.0f, 1e-3);
  EXPECT_EQ(m.pointdata[2].point.x, other.x);
  EXPECT_EQ(m.pointdata[2].point.y, other.y);
  EXPECT_FALSE(m.CheckInvariants().has_value());
}

TEST_F(EditGestures, BoxDragSelectsThePointsInsideAndIsPutAwayOnRelease) {
  app.Command(50);
  Polygoni& m = polygoner;
  // Around the two lower corners, clear of the upper one.
  const Pixel from{cx - 80, cy + 20}, to{cx + 80, cy + 60};
  HoverAt(from);
  Press(from);
  EXPECT_TRUE(m.makebox && inspace);
  MoveTo(to, MK_LBUTTON);
  EXPECT_TRUE(m.pointdata[1].active && m.pointdata[2].active);
  EXPECT_FALSE(m.pointdata[0].active);
  Release(to);
  EXPECT_FALSE(m.makebox || inspace);
  EXPECT_TRUE(m.pointdata[1].active && m.pointdata[2].active && !m.pointdata[0].active);
  EXPECT_EQ(m.pointdata[1].frames->GetColor(), D3DRMCreateColorRGB(1.0f, 1.0f, 1.0f));
  EXPECT_EQ(m.pointdata[0].frames->GetColor(), D3DRMCreateColorRGB(0.3f, 0.7f, 0.3f));
  D3DVECTOR bar{0, 0, 0};
  ASSERT_NE(selectionbox.frames[0], nullptr);
  selectionbox.frames[0]->GetPosition(polygoner.view1, &bar);
  EXPECT_EQ(bar.z, -1000.0f) << "the box is parked out of sight";
}


TEST_F(EditGestures, SelectionCommandsSwitchToEditModeAndDisplayTogglesKeepTheirMarks) {
  app.Command(211);
  EXPECT_EQ(the_mode, edit) << "Select All first switches to edit mode";
  EXPECT_TRUE(app.MenuChecked(50) && app.ButtonChecked(262));
  ExpectActive(true, true, true, "select all");

  // A click on a hovered point makes it the only one; Toggle Select then inverts each.
  const Pixel corner = Triangle()[1];
  HoverAt(corner);
  Press(corner);
  Release(corner);
  app.Command(113);
  ExpectActive(true, false, true, "toggle");
  app.Command(212);
  ExpectActive(false, false, false, "unselect all");

  for (bool on : {true, false}) {
    app.Command(285);
    EXPECT_EQ(polygoner.points, on);
    EXPECT_EQ(app.MenuChecked(285) && app.ButtonChecked(285), on);
    EXPECT_EQ(app.MenuChecked(285) || app.ButtonChecked(285), on);
    app.Command(267);
    EXPECT_EQ(polygoner.orthocreate, on);
    EXPECT_EQ(app.MenuChecked(267) && app.ButtonChecked(267), on);
    EXPECT_EQ(app.MenuChecked(267) || app.ButtonChecked(267), on);
  }
}

}  // namespace
