// Hover capture and release, the rubber-band box, and one step of a move of the selected
// points. The box works on the editor's one model, so the scene here is built around it.
#include <cmath>

#include "model/selection_box.h"
#include "tests/model/model_fixture.h"
#include "views/mouse.h"

namespace {

class SelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMsgSink([this](const std::string&, const std::string& text) { messages.push_back(text); });
    ASSERT_EQ(Direct3DRMCreate(&lpD3DRM), D3DRM_OK);
    ASSERT_EQ(lpD3DRM->CreateFrame(nullptr, &root_), D3DRM_OK);
    InitModel(&m, root_);
    the_mode = create;
    edit_mode = no;
    rmode = PW;
    move_m = translate;
    model_links.move_pointer = [this](_D3DVECTOR* at) { pointer.push_back(*at); };
    ASSERT_TRUE(messages.empty()) << messages[0];
  }

  void TearDown() override {
    for (int i = 0; i < kBoxEdges; ++i) {
      if (selectionbox.meshes[i]) selectionbox.meshes[i]->Release();
      if (selectionbox.frames[i]) selectionbox.frames[i]->Release();
    }
    selectionbox = SelectionBox();
    model_links = ModelLinks{};
    IDirect3DRMFrame* cursor = m.world_frame;
    IDirect3DRMFrame* frame2 = m.world_frame2;
    // A fresh model for the next test of this process.
    std::destroy_at(&polygoner);
    std::construct_at(&polygoner);
    cursor->Release();
    frame2->Release();
    root_->Release();
    lpD3DRM->Release();
    lpD3DRM = nullptr;
    SetMsgSink(nullptr);
  }

  int AddPoint(float x, float y, float z, bool selectable = true) {
    m.AllocPoint(+1);
    PointStuff& p = m.pointdata[m.num_points - 1];
    p.point = {x, y, z};
    p.can_be_selected = selectable;
    m.MakePoint(&p.point);
    return m.num_points - 1;
  }

  int AddWire(int a, int b) {
    m.createindex = m.num_wireframes;
    m.AllocWire(+1);
    m.SetPointData(m.createindex, a, nullptr, false);
    m.SetPointData(m.createindex, b, nullptr, false);
    WireStuff& w = m.wiredata[m.createindex];
    w.points[0] = m.pointdata[a].id;
    w.points[1] = m.pointdata[b].id;
    m.MakeWire(&m.pointdata[a].point);
    return m.createindex;
  }

  void PutCursor(float x, float y, float z) { m.world_frame->SetPosition(m.scene, x, y, z); }

  D3DVECTOR InView1(IDirect3DRMFrame* frame) {
    D3DVECTOR v{0, 0, 0};
    frame->GetPosition(m.view1, &v);
    return v;
  }

  // The far end of an edge's bar, which the bar's length scales.
  D3DVECTOR BarEnd(int edge) {
    D3DRMBOX box{};
    selectionbox.meshes[edge]->GetBox(&box);
    return box.max;
  }

  Polygoni& m = polygoner;
  std::vector<std::string> messages;
  std::vector<_D3DVECTOR> pointer;

 private:
  IDirect3DRMFrame* root_ = nullptr;
};

constexpr D3DCOLOR kWhite = 0xffffffff;

D3DCOLOR Rgb(float r, float g, float b) { return D3DRMCreateColorRGB(r, g, b); }

// Points two units in front of the front camera, so a projection offset q needs x = 2q and
// the window's bounds are hit exactly.
TEST_F(SelectionTest, HoverCapturesEveryPointInTheWindowAndTheLastOneKeepsTheCursor) {
  constexpr float kZ = -48;  // depth 2 in the front camera
  const int on_edge = AddPoint(2 * 0.009f, 0, kZ);
  const int right = AddPoint(2 * 0.008f, 0, kZ);
  const int left = AddPoint(-2 * 0.008f, 2 * 0.008f, kZ);
  const int unselectable = AddPoint(0, 0, kZ, false);
  PutCursor(0, 0, kZ);

  m.makebox = true;
  m.TestForSelected();
  EXPECT_EQ(m.selectedpoint, -2) << "no capture while a box is dragged";
  m.makebox = false;

  m.TestForSelected();
  // The window is measured from where the cursor was before the scan, not from the point
  // the previous capture moved it onto (left is 0.016 away from right).
  EXPECT_EQ(m.selectedpoint, left);
  EXPECT_EQ(selected_index, left);
  EXPECT_FALSE(m.pointdata[on_edge].cursoractive);
  EXPECT_FALSE(m.pointdata[unselectable].cursoractive);
  EXPECT_TRUE(m.pointdata[right].cursoractive && m.pointdata[right].active);
  EXPECT_EQ(m.pointdata[left].frames->GetColor(), Rgb(0, 1, 1));
  EXPECT_EQ(m.world_frame->GetColor(), kWhite);
  EXPECT_FLOAT_EQ(InView1(m.world_frame).x, -2 * 0.008f);
  ASSERT_EQ(pointer.size(), 2u);
  EXPECT_FLOAT_EQ(pointer[1].x, -2 * 0.008f);
  EXPECT_FLOAT_EQ(pointer[1].z, 2.0f);
}

TEST_F(SelectionTest, HoveredPointIsReleasedOnlyOnceTheCursorIsHalfAWindowAway) {
  const int p = AddPoint(0, 0, 0);  // depth 50
  PutCursor(0.1f, 0, 0);            // projection 0.002 away
  m.TestForSelected();
  ASSERT_EQ(m.selectedpoint, p);

  PutCursor(0.2f, 0, 0);  // 0.004: still held
  m.TestForSelected();
  EXPECT_EQ(m.selectedpoint, p);
  PutCursor(0.3f, 0, 0);  // 0.006: let go
  m.TestForSelected();
  EXPECT_EQ(m.selectedpoint, -2);
  EXPECT_FALSE(m.pointdata[p].active) << "outside point editing the capture was only a highlight";
  EXPECT_EQ(m.pointdata[p].frames->GetColor(), Rgb(0.3f, 0.7f, 0.3f));
  EXPECT_EQ(m.world_frame->GetColor(), Rgb(0.6f, 0.6f, 0.6f));
}

// A box in front of the camera at depth 50 (scene z = 0) with the cursor at that depth.
TEST_F(SelectionTest, FlatBoxTestsTheScreenRectangleUntilItTurnsDeepForTheRestOfTheDrag) {
  selectionbox.lpD3DRM = lpD3DRM;
  selectionbox.InitSelectionBox();
  const int inside = AddPoint(4, 4, 0);
  const int border = AddPoint(5, 0, 0);    // on the rectangle's edge in projection
  const int nearer = AddPoint(0, 0, -20);  // depth 30: inside on the screen only
  const int outside = AddPoint(20, 0, 0);
  m.pointdata[outside].active = true;
  PutCursor(5, 5, 0);
  selectionbox.UL = {-5, -5, 50};
  selectionbox.latch = true;

  m.shift = true;
  selectionbox.SetLR(5, 5, 51);
  EXPECT_TRUE(selectionbox.latch);
  selectionbox.ConstructBox();
  EXPECT_TRUE(m.pointdata[inside].active);
  EXPECT_TRUE(m.pointdata[nearer].active);
  EXPECT_FALSE(m.pointdata[border].active);
  EXPECT_TRUE(m.pointdata[outside].active) << "Shift keeps what lies outside";
  EXPECT_EQ(m.pointdata[inside].frames->GetColor(), kWhite);

  m.shift = false;
  selectionbox.SetLR(5, 5, 52);
  EXPECT_FALSE(selectionbox.latch);
  selectionbox.ConstructBox();
  EXPECT_TRUE(m.pointdata[border].active) << "the 3D test includes its bounds";
  EXPECT_FALSE(m.pointdata[nearer].active);
  EXPECT_FALSE(m.pointdata[outside].active);
  EXPECT_EQ(m.pointdata[outside].frames->GetColor(), Rgb(0.3f, 0.7f, 0.3f));

  // Back to a flat depth extent: the box stays deep, so the nearer point stays out.
  selectionbox.SetLR(5, 5, 50.5f);
  selectionbox.ConstructBox();
  EXPECT_FALSE(selectionbox.latch);
  EXPECT_FALSE(m.pointdata[nearer].active);
  EXPECT_TRUE(m.pointdata[border].active);
  EXPECT_TRUE(m.pointdata[inside].active);

  selectionbox.Release();
  EXPECT_FLOAT_EQ(InView1(selectionbox.frames[7]).z, -1000.0f);
}

TEST_F(SelectionTest, BoxBarsStartParkedThenTakeTheExtentOfTheirAxisWithZeroAsTwoThousandths) {
  selectionbox.lpD3DRM = lpD3DRM;
  selectionbox.InitSelectionBox();
  EXPECT_TRUE(messages.empty()) << messages[0];
  // Parked under the front camera, each bar of length 1.0 along +z.
  for (int i = 0; i < kBoxEdges; ++i) ASSERT_FLOAT_EQ(InView1(selectionbox.frames[i]).z, -1000.0f);
  EXPECT_NEAR(BarEnd(4).z, 1.001f, 1e-5);

  PutCursor(0, 0, 0);
  selectionbox.UL = {1, 2, 40};
  selectionbox.latch = true;
  selectionbox.SetLR(1, -4, 40);
  selectionbox.ConstructBox();
  // Edges 1, 4, 8, 11 run along x, 2, 5, 7, 10 along y, 0, 3, 6, 9 along z.
  EXPECT_FLOAT_EQ(selectionbox.prescale[0], 0.002f);
  EXPECT_FLOAT_EQ(selectionbox.prescale[7], 6.0f);
  EXPECT_NEAR(BarEnd(4).z, 0.002f * 1.001f, 1e-6);

  // The mesh scale accumulates, so a later length replaces the earlier one.
  selectionbox.SetLR(4, -4, 40);
  selectionbox.ConstructBox();
  EXPECT_NEAR(BarEnd(4).z, 3.0f * 1.001f, 1e-4);
  EXPECT_NEAR(BarEnd(7).z, 6.0f * 1.001f, 1e-4);
  // Edge 0 starts at UL, edge 3 at LR, edge 5 runs from LR back up towards UL.
  EXPECT_TRUE(InView1(selectionbox.frames[3]).x == 4 && InView1(selectionbox.frames[3]).y == -4);
  D3DVECTOR dir{0, 0, 0}, up{0, 0, 0};
  selectionbox.frames[5]->GetOrientation(m.view1, &dir, &up);
  EXPECT_NEAR(dir.y, 1.0f, 1e-5);
}

TEST_F(SelectionTest, MoveWaitsInTheDeadZoneThenTranslatesByTheActiveViewsMapping) {
  const int p = AddPoint(1, 2, 3);
  m.pointdata[p].selected = m.pointdata[p].active = true;
  m.selectedpoint = p;
  model_links.active_view = [] { return 2; };
  PutCursor(0, 0, 0);
  m.stickpos = {0, 0, 0};
  m.movelatch = false;
  m.changed = false;

  PutCursor(0.04f, -0.04f, 0.04f);
  mouser.rdifference = {1, 2, 3};
  m.MoveSelectedPoints();
  EXPECT_TRUE(m.mundo);
  EXPECT_TRUE(m.readytopaste[2]) << "the press's undo snapshot";
  EXPECT_FALSE(m.movelatch);
  EXPECT_FALSE(m.changed);
  EXPECT_FLOAT_EQ(m.pointdata[p].point.x, 1);
  m.readytopaste[2] = false;
  m.MoveSelectedPoints();
  EXPECT_FALSE(m.readytopaste[2]) << "one snapshot per press, however long the rest";

  PutCursor(0, 0.06f, 0);
  m.MoveSelectedPoints();
  EXPECT_FALSE(m.mundo);
  EXPECT_TRUE(m.movelatch);
  EXPECT_TRUE(m.changed);
  // The side view shows the scene's -z as its x: (Rx, Ry, Rz) moves by (-Rz, Ry, Rx).
  const _D3DVECTOR moved = m.pointdata[p].point;
  EXPECT_EQ((std::vector<float>{moved.x, moved.y, moved.z}), (std::vector<float>{-2, 4, 4}));
  // The cursor rides on the hovered point and this step's displacement is used up.
  D3DVECTOR cursor{0, 0, 0};
  m.world_frame->GetPosition(m.scene, &cursor);
  EXPECT_FLOAT_EQ(cursor.z, 4);
  EXPECT_FLOAT_EQ(mouser.rdifference.x, 0);
  EXPECT_EQ(pointer.size(), 1u);
}

TEST_F(SelectionTest, RotateTurnsPointTwoTenthsRadianPerUnitAndScaleMinusTwoCollapses) {
  const int p = AddPoint(10, 0, 0);
  const int q = AddPoint(5, 7, 9);
  m.movelatch = true;

  m.pointdata[p].selected = true;
  move_m = rotate;
  mouser.rdifference = {1, 0, 0};  // front view: turns about y
  m.MoveSelectedPoints();
  EXPECT_NEAR(m.pointdata[p].point.x, 10 * std::cos(0.2f), 1e-4);
  EXPECT_NEAR(m.pointdata[p].point.z, 10 * std::sin(0.2f), 1e-4);
  EXPECT_FLOAT_EQ(m.pointdata[q].point.x, 5) << "unselected points stay";

  m.pointdata[p].selected = false;
  m.pointdata[q].selected = true;
  m.center_mov = {1, 1, 1};
  move_m = scale;
  mouser.rdifference = {2, 0, -2};  // front view: d = (-2, 0, -2)
  m.MoveSelectedPoints();
  const _D3DVECTOR scaled = m.pointdata[q].point;
  EXPECT_EQ((std::vector<float>{scaled.x, scaled.y, scaled.z}), (std::vector<float>{1, 7, 1}));
}

TEST_F(SelectionTest, WiresAreReLaidOnlyWhenShownAndCoincidentEndsGetAShortLength) {
  const int a = AddPoint(3, 3, 3);
  const int b = AddPoint(3, 3, 3);
  const int w = AddWire(a, b);
  for (int i : {a, b}) m.pointdata[i].selected = true;
  m.movelatch = true;
  mouser.rdifference = {0, 0, 0};

  rmode = WF;
  m.MoveSelectedPoints();
  EXPECT_FLOAT_EQ(m.wiredata[w].beforelength, 1.0f);

  rmode = PW;
  m.MoveSelectedPoints();
  EXPECT_NEAR(m.wiredata[w].beforelength, 0.01f * std::sqrt(3.0f), 1e-6);
}

}  // namespace
