// Removing points, wires and faces with compaction, taking wires off a point's list, and
// cancelling the polygon under construction.
#include "tests/model/drawing_fixture.h"

// Points and wires follow the same rule; the random-edit test holds all three chains to it.
TEST_F(ModelTest, RemovingTheFirstOfThreeFacesMovesTheLastIntoItsSlot) {
  Polygoni& m = *model;
  IdCell a = AddPoint(0, 0, 0);
  IdCell b = AddPoint(1, 0, 0);
  IdCell c = AddPoint(2, 0, 0);
  IdCell d = AddPoint(3, 0, 0);
  AddTriangle(b, c, d);
  AddTriangle(a, b, c);
  AddTriangle(a, c, d);
  IdCell first_face = m.facedata[0].id;
  IdCell last_face = m.facedata[2].id;

  m.RemoveFace(0);
  EXPECT_EQ(m.num_faces, 2);
  EXPECT_EQ(*last_face, 0);
  EXPECT_EQ(m.facedata[0].points[0], a);
  EXPECT_EQ(*first_face, 2) << "the removed record waits in the tail with its own cell";
  EXPECT_EQ(*m.facedata[1].points[0], 0);
  ExpectSound();
}

TEST_F(ModelTest, RemovingAWireDetachesItsPrismAndLowersCreateIndex) {
  Polygoni& m = *model;
  IdCell a = AddPoint(0, 0, 0);
  IdCell b = AddPoint(0, 1, 0);
  IdCell c = AddPoint(0, 2, 0);
  IdCell ab = AddWire(a, b);
  AddWire(b, c);
  m.createindex = 7;  // removal lowers it on every call, whatever it names
  IDirect3DRMFrame* frame = m.wiredata[*ab].wireframes;
  m.RemoveConnectedWire(*a, *ab);
  m.RemoveConnectedWire(*b, *ab);
  m.RemoveWire(*ab);
  EXPECT_EQ(m.createindex, 6);
  EXPECT_TRUE(frame->Visuals().empty());
  EXPECT_EQ(*m.wiredata[0].points[1], *c);
  EXPECT_EQ(m.wiredata[1].wireframes, frame) << "the removed slot keeps its frame";
  ExpectSound();
}

TEST_F(ModelTest, TakingAWireOffAPointsList) {
  Polygoni& m = *model;
  IdCell hub = AddPoint(0, 0, 0);
  IdCell w0 = AddWire(hub, AddPoint(1, 0, 0));
  IdCell w1 = AddWire(hub, AddPoint(2, 0, 0));
  IdCell w2 = AddWire(hub, AddPoint(3, 0, 0));
  PointStuff& p = m.pointdata[*hub];

  m.RemoveConnectedWire(*hub, *w0);  // the last entry fills the hole
  ASSERT_EQ(p.num_connected, 2u);
  EXPECT_EQ(p.connectedwire[0], w2);
  EXPECT_EQ(p.connectedwire[1], w1);

  m.RemoveConnectedWire(*hub, *w0);  // not listed: reported, list unchanged
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "TERMINAL ERROR: DELETE ERROR 01\r\n");
  EXPECT_EQ(p.num_connected, 2u);
  m.RemoveConnectedWire(*hub, *w1);
  m.RemoveConnectedWire(*hub, *w2);
  EXPECT_EQ(p.num_connected, 0u);
}

TEST_F(DrawingTest, TerminateRemovesWhatTheOpenPolygonLaid) {
  Polygoni& m = *model;
  IdCell a = AddPoint(0, 0, 0);
  IdCell b = AddPoint(1, 0, 0);
  IdCell c = AddPoint(0, 1, 0);
  AddTriangle(a, b, c);

  ClickAt(5, 5, 0);
  ClickAt(6, 5, 0);
  ClickAt(6, 6, 0);
  ASSERT_EQ(m.time, 3);
  ASSERT_EQ(m.num_points, 6);
  ASSERT_EQ(m.num_wireframes, 6);
  ExpectSound("while drawing");

  m.Terminate();
  EXPECT_TRUE(messages.empty()) << messages[0];
  EXPECT_EQ(m.time, 0);
  EXPECT_EQ(m.num_points, 3);
  EXPECT_EQ(m.num_wireframes, 3);
  for (int i = 0; i < m.num_points; ++i) EXPECT_TRUE(m.pointdata[i].can_be_selected);
  for (int i = 0; i < m.num_wireframes; ++i) EXPECT_EQ(m.wiredata[i].order, -1);
  EXPECT_EQ(PointXs(), (std::vector<float>{0, 1, 0}));
  ExpectSound("after cancelling");

  // The slots of the cancelled elements serve the next polygon.
  ClickAt(9, 9, 9);
  EXPECT_EQ(m.num_points, 4);
  EXPECT_EQ(m.pointdata[3].frames->Visuals().size(), 1u);
  ExpectSound("next polygon");
}

TEST_F(DrawingTest, TerminateKeepsAnExistingCornerThePolygonStartedFrom) {
  Polygoni& m = *model;
  IdCell a = AddPoint(0, 0, 0);
  IdCell b = AddPoint(1, 0, 0);
  IdCell c = AddPoint(0, 1, 0);
  AddTriangle(a, b, c);

  // The first click lands on the held corner b instead of making a point.
  ClickOn(b);
  ClickAt(3, 3, 0);
  ASSERT_EQ(m.pointdata[*b].num_connected, 3u);

  m.Terminate();
  EXPECT_EQ(m.num_points, 3);
  EXPECT_EQ(*b, 1);
  ExpectSound();
}
