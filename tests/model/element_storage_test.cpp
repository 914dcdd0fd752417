// Chains of 300-record groups: growth and shrinkage at the boundaries, slot reuse with
// the display objects a slot holds, and identity cells across compaction.

#include <set>

#include "tests/model/model_fixture.h"

namespace {

// Runs the same boundary walk on any of the three chains.
template <class Keeper>
void WalkBoundary(Polygoni& m, Keeper& keeper, int& count, void (Polygoni::*alloc)(int)) {
  for (int i = 0; i < 300; ++i) (m.*alloc)(+1);
  (m.*alloc)(+1);  // the 301st element opens a second group
  ASSERT_EQ(count, 301);
  EXPECT_EQ(keeper.num_groups, 2u);
  EXPECT_EQ(keeper.inlastgroup, 1);
  ASSERT_NE(keeper.first_ptr, keeper.last_ptr);
  EXPECT_EQ(keeper.last_ptr->first_element, 300u);
  EXPECT_EQ(&keeper[300], &keeper.last_ptr->data[0]);
  EXPECT_EQ(&keeper[299], &keeper.first_ptr->data[299]);

  (m.*alloc)(-1);  // back to 300: the second group goes
  EXPECT_EQ(count, 300);
  EXPECT_EQ(keeper.num_groups, 1u);
  EXPECT_EQ(keeper.inlastgroup, 300);
  EXPECT_EQ(keeper.first_ptr->next_ptr, nullptr);

  for (int i = 0; i < 300; ++i) (m.*alloc)(-1);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(keeper.num_groups, 1u);
  EXPECT_EQ(keeper.inlastgroup, 0);

  (m.*alloc)(-1);  // dropping from empty changes nothing
  EXPECT_EQ(count, 0);
}

}  // namespace

TEST_F(ModelTest, ChainsGrowAndShrinkAtTheGroupBoundary) {
  Polygoni& m = *model;
  WalkBoundary(m, m.wiredata, m.num_wireframes, &Polygoni::AllocWire);
  WalkBoundary(m, m.pointdata, m.num_points, &Polygoni::AllocPoint);
  WalkBoundary(m, m.facedata, m.num_faces, &Polygoni::AllocFace);
}

TEST_F(ModelTest, IndexOutsideTheSlotsIsFatal) {
  EXPECT_DEATH(model->wiredata[300], "WireKeeper: index 300");
  EXPECT_DEATH(model->pointdata[-1], "PointKeeper: index -1");
  EXPECT_DEATH(model->RemoveFace(0), "RemoveFace: index 0");
}

TEST_F(ModelTest, ReusedPointSlotKeepsFrameButStartsClean) {
  Polygoni& m = *model;
  IdCell a = AddPoint(1, 2, 3);
  IdCell b = AddPoint(4, 5, 6);
  AddWire(a, b);
  IDirect3DRMFrame* frame = m.pointdata[1].frames;
  ASSERT_NE(frame, nullptr);
  m.pointdata[1].active = true;

  // Dropped without taking its wire off first: the reused slot must not inherit the list.
  m.RemovePoint(1);
  EXPECT_TRUE(frame->Visuals().empty());
  IdCell c = AddPoint(7, 8, 9);
  EXPECT_EQ(*c, 1);
  PointStuff& p = m.pointdata[1];
  EXPECT_EQ(p.frames, frame);
  EXPECT_EQ(p.num_connected, 0u);
  EXPECT_TRUE(p.active) << "selection state stays with the slot";
  ASSERT_EQ(frame->Visuals().size(), 1u);
  D3DVECTOR at{};
  frame->GetPosition(m.scene, &at);
  EXPECT_FLOAT_EQ(at.x, 7);
}

TEST_F(ModelTest, ReusedWireSlotIsScaledBackToLengthOne) {
  Polygoni& m = *model;
  IdCell a = AddPoint(0, 0, 0);
  IdCell b = AddPoint(0, 0, 4);
  AddWire(a, b);
  WireStuff& w = m.wiredata[0];
  IDirect3DRMFrame* frame = w.wireframes;
  IDirect3DRMMesh* prism = w.wiremeshes;
  prism->Scale(1, 1, 4);  // stretched to the wire's length, as the rubber band does
  w.beforelength = 4;

  m.RemoveConnectedWire(*a, 0);
  m.RemoveConnectedWire(*b, 0);
  m.RemoveWire(0);
  m.createindex = m.num_wireframes;
  m.AllocWire(+1);
  EXPECT_EQ(m.wiredata[0].beforelength, 4.0f) << "a fresh slot entry keeps its stretch until displayed";
  _D3DVECTOR at{1, 1, 1};
  m.MakeWire(&at);
  WireStuff& again = m.wiredata[0];
  EXPECT_EQ(again.wireframes, frame);
  EXPECT_EQ(again.beforelength, 1.0f);
  D3DVECTOR pos{};
  frame->GetPosition(m.scene, &pos);
  EXPECT_TRUE(pos.x == 1 && pos.z == 1) << "laid at the position given";
  D3DRMBOX box{};
  prism->GetBox(&box);
  EXPECT_NEAR(box.max.z - box.min.z, 1.0f, 1e-5f);
  EXPECT_EQ(frame->GetColor(), D3DRMCreateColorRGB(1.0f, 0.1f, 0.1f));
}

TEST_F(ModelTest, DroppedGroupTakesItsFramesOutOfTheScene) {
  Polygoni& m = *model;
  const size_t before = m.scene->Children().size();
  for (int i = 0; i < 301; ++i) AddPoint(static_cast<float>(i), 0, 0);
  EXPECT_EQ(m.scene->Children().size(), before + 301);
  m.RemovePoint(300);
  EXPECT_EQ(m.scene->Children().size(), before + 300);
  m.RemovePoint(0);  // below a group boundary the slot keeps its frame for reuse
  EXPECT_EQ(m.scene->Children().size(), before + 300);
  ExpectSound();
}

TEST_F(ModelTest, ReferencesFollowAnElementMovedByCompaction) {
  Polygoni& m = *model;
  IdCell p0 = AddPoint(0, 0, 0);
  IdCell p1 = AddPoint(1, 0, 0);
  IdCell p2 = AddPoint(2, 0, 0);
  IdCell w = AddWire(p1, p2);
  m.RemoveConnectedWire(*p1, *w);
  m.RemoveConnectedWire(*p2, *w);
  m.RemoveWire(*w);
  IdCell keep = AddWire(p0, p2);
  (void)p1;

  // Point 1 is free of wires; removing it moves point 2 into its slot.
  m.RemovePoint(1);
  EXPECT_EQ(*p2, 1);
  EXPECT_EQ(*m.wiredata[*keep].points[1], 1);
  EXPECT_FLOAT_EQ(m.pointdata[1].point.x, 2);
  ExpectSound();

  // Removing the last element only drops it: the cell of the survivor is untouched.
  m.RemoveConnectedWire(*p0, *keep);
  m.RemoveConnectedWire(*p2, *keep);
  m.RemoveWire(*keep);
  m.RemovePoint(1);
  EXPECT_EQ(*p0, 0);
  EXPECT_EQ(m.num_points, 1);
  ExpectSound();
}

TEST_F(ModelTest, IdentityCellsStayDistinctThroughGrowthAndReuse) {
  Polygoni& m = *model;
  for (int i = 0; i < 5000; ++i) m.AllocPoint(+1);  // more cells than one block of the pool
  for (int i = 0; i < 700; ++i) m.AllocPoint(-1);   // dropped groups hand their cells back
  IdCell old_cell = m.pointdata[4300].id;
  m.AllocPoint(+1);
  EXPECT_NE(m.pointdata[4300].id, old_cell) << "a left-over reference would name the new point";
  for (int i = 0; i < 699; ++i) m.AllocPoint(+1);

  std::set<IdCell> cells;
  for (int i = 0; i < m.pointdata.Slots(); ++i) {
    IdCell c = m.pointdata[i].id;
    EXPECT_TRUE(cells.insert(c).second) << "slot " << i << " shares its cell";
    if (i < m.num_points) {
      EXPECT_EQ(*c, i);
    }
  }
  ExpectSound();
}
