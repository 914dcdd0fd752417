// Deleting, cutting, pasting and undoing in the running editor, with the pointer, the
// keys, the menu commands and the Delete dialog's buttons.
#include "tests/app/pointer_scenario.h"

namespace {

constexpr int kCancelDelete = 2;
constexpr int kFaces = 101;
constexpr int kPoints = 102;

class DeleteUndo : public PointerScenario {
 protected:
  // Two triangles sharing the side 1-2: 0 above it, 3 below.
  void SetUp() override {
    PointerScenario::SetUp();
    DrawTriangle();
    const auto corners = Triangle();
    ClickOnPoint(corners[1], 1);
    // Resting there first lets the hover test let go of corner 1.
    HoverAt(Below());
    ClickAt(Below());
    ClickOnPoint(corners[2], 2);
    ClickOnPoint(corners[1], 1);
    ASSERT_EQ(polygoner.num_faces, 2);
    ASSERT_EQ(polygoner.num_points, 4);
    ASSERT_EQ(polygoner.num_wireframes, 5);
    for (int i = 0; i < 4; ++i) drawn[i] = polygoner.pointdata[i].point;
  }
  Pixel Below() const { return {cx, cy + 120}; }
  void ClickOnPoint(Pixel p, int index) {
    HoverOn(p, index);
    app.Click(p.x, p.y);
    ASSERT_TRUE(app.Turn());
  }
  // A box drag around the lower triangle, in edit mode.
  void SelectLowerTriangle() {
    const Pixel from{cx - 90, cy + 20}, to{cx + 90, cy + 140};
    HoverAt(from);
    Press(from);
    MoveTo(to, MK_LBUTTON);
    Release(to);
    const bool expected[4] = {false, true, true, true};
    for (int i = 0; i < 4; ++i) ASSERT_EQ(polygoner.pointdata[i].active, expected[i]) << i;
  }
  // Presses Delete and answers the dialog with `button`.
  void DeleteAnswering(int button) {
    app.dialogs.clear();
    app.drive = [button](HWND dialog) { EXPECT_TRUE(ClickDlgButton(dialog, button)); };
    app.Key(VK_DELETE);
    ASSERT_TRUE(app.Turn());
    app.Key(VK_DELETE, false);
    ASSERT_EQ(app.dialogs, std::vector<std::string>{"Delete"});
  }
  static void ExpectCounts(int points, int wires, int faces, const char* after) {
    EXPECT_EQ(polygoner.num_points, points) << after;
    EXPECT_EQ(polygoner.num_wireframes, wires) << after;
    EXPECT_EQ(polygoner.num_faces, faces) << after;
    const auto violation = polygoner.CheckInvariants();
    EXPECT_FALSE(violation.has_value()) << after << ": " << *violation;
  }
  void ExpectDrawnMesh(const char* after) {
    ExpectCounts(4, 5, 2, after);
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(polygoner.pointdata[i].point.x, drawn[i].x, 1e-4) << after << " " << i;
      EXPECT_NEAR(polygoner.pointdata[i].point.y, drawn[i].y, 1e-4) << after << " " << i;
      EXPECT_NEAR(polygoner.pointdata[i].point.z, drawn[i].z, 1e-4) << after << " " << i;
    }
  }
  void Undo() {
    ASSERT_FALSE(app.MenuGrayed(283)) << "a snapshot is held";
    app.PostCommand(283);
    ASSERT_TRUE(app.Turn());
    EXPECT_TRUE(app.MenuGrayed(283)) << "one level only";
  }

  D3DVECTOR drawn[4];
};

TEST_F(DeleteUndo, TheDeleteDialogChoosesFacesOrPointsAndUndoBringsTheMeshBack) {
  app.PostCommand(50);
  ASSERT_TRUE(app.Turn());
  app.Key(VK_DELETE);
  ASSERT_TRUE(app.Turn());
  EXPECT_TRUE(app.dialogs.empty()) << "nothing selected, no dialog";

  SelectLowerTriangle();
  DeleteAnswering(kCancelDelete);
  ExpectCounts(4, 5, 2, "cancelled");

  DeleteAnswering(kFaces);
  // The shared side 1-2 and the upper face stay; point 3 and its two wires go.
  ExpectCounts(3, 3, 1, "faces");
  EXPECT_EQ(app.StatusText(0), "Ready");
  Undo();
  ExpectDrawnMesh("undo after faces");
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(polygoner.pointdata[i].active) << "restored points are selected " << i;

  // Point 3 alone: its face goes, and its neighbours 1 and 2, which still bound the upper
  // face, stay.
  app.PostCommand(212);
  ASSERT_TRUE(app.Turn());
  HoverOn(Below(), 3);
  Press(Below());
  Release(Below());
  DeleteAnswering(kPoints);
  ExpectCounts(3, 3, 1, "points");
  Undo();
  ExpectDrawnMesh("undo after points");

  // Every point: points mode takes the whole mesh.
  app.PostCommand(211);
  ASSERT_TRUE(app.Turn());
  DeleteAnswering(kPoints);
  ExpectCounts(0, 0, 0, "all points");
}

TEST_F(DeleteUndo, CutThenPasteBringsTheSameFacesAheadOfTheFrontCamera) {
  Polygoni& m = polygoner;
  app.PostCommand(211);
  ASSERT_TRUE(app.Turn());
  app.PostCommand(207);
  ASSERT_TRUE(app.Turn());
  ExpectCounts(0, 0, 0, "cut");

  app.PostCommand(209);
  ASSERT_TRUE(app.Turn());
  ExpectCounts(4, 5, 2, "paste");
  // The copy's mean lands 30 ahead of the front camera's position, along the scene's z.
  D3DVECTOR camera{0, 0, 0};
  ASSERT_EQ(m.view1->GetPosition(m.scene, &camera), D3DRM_OK);
  D3DVECTOR mean{0, 0, 0};
  for (const D3DVECTOR& p : drawn) mean = {mean.x + p.x / 4, mean.y + p.y / 4, mean.z + p.z / 4};
  for (int i = 0; i < 4; ++i) {
    const D3DVECTOR& p = m.pointdata[i].point;
    EXPECT_NEAR(p.x, drawn[i].x - mean.x + camera.x, 1e-3) << i;
    EXPECT_NEAR(p.y, drawn[i].y - mean.y + camera.y, 1e-3) << i;
    EXPECT_NEAR(p.z, drawn[i].z - mean.z + camera.z + 30, 1e-3) << i;
    EXPECT_TRUE(m.pointdata[i].active) << i;
  }
  // Faces keep their corners, turned by one: the upper face was 0 1 2.
  const std::vector<int> corners{*m.facedata[0].points[0], *m.facedata[0].points[1], *m.facedata[0].points[2]};
  EXPECT_EQ(corners, (std::vector<int>{1, 2, 0}));

  // Paste took a snapshot of the empty mesh first.
  Undo();
  ExpectCounts(0, 0, 0, "undo after paste");
}

TEST_F(DeleteUndo, UndoTakesBackADragAndANewPolygon) {
  Polygoni& m = polygoner;
  app.PostCommand(50);
  ASSERT_TRUE(app.Turn());
  const Pixel top = Triangle()[0];
  HoverOn(top, 0);
  Press(top);
  for (int i = 0; i < 4; ++i) MoveTo({top.x + 40, top.y - 30}, MK_LBUTTON);
  Release({top.x + 40, top.y - 30});
  ASSERT_GT(std::fabs(m.pointdata[0].point.x - drawn[0].x), 1.0f) << "the point moved";
  Undo();
  ExpectDrawnMesh("undo after drag");

  app.PostCommand(225);
  ASSERT_TRUE(app.Turn());
  const Pixel a{cx - 150, cy - 100}, b{cx - 100, cy - 100}, c{cx - 120, cy - 60};
  ClickAt(a);
  ClickAt(b);
  ClickAt(c);
  ClickOnPoint(a, 4);
  ExpectCounts(7, 8, 3, "new polygon");
  Undo();
  ExpectDrawnMesh("undo after a polygon");
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(m.pointdata[i].active) << "create mode selects nothing " << i;
}

}  // namespace
