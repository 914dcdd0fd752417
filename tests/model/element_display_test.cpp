// Each point's display objects, wire attachment to points, the selection centre and the
// scene error report. A wire's prism is checked with slot reuse in element_storage_test.
#include "tests/model/model_fixture.h"

TEST_F(ModelTest, PointGetsAGreenCubeOnAFrameAtItsPosition) {
  Polygoni& m = *model;
  AddPoint(1, -2, 3);
  const PointStuff& p = m.pointdata[0];
  ASSERT_NE(p.frames, nullptr);
  ASSERT_EQ(p.frames->Visuals().size(), 1u);
  EXPECT_EQ(p.frames->Visuals()[0], p.meshes);
  EXPECT_EQ(p.frames->GetColor(), D3DRMCreateColorRGB(0.3f, 0.7f, 0.3f));
  D3DVECTOR at{};
  p.frames->GetPosition(m.scene, &at);
  EXPECT_TRUE(at.x == 1 && at.z == 3);
  D3DRMBOX box{};
  p.meshes->GetBox(&box);
  EXPECT_NEAR(box.max.x - box.min.x, 0.25f, 1e-5f);
}

TEST_F(ModelTest, AttachingWiresGrowsThePointListByOneInOrder) {
  Polygoni& m = *model;
  m.createindex = 0;
  m.AllocWire(+1);
  _D3DVECTOR at{1, 1, 1};
  m.selectedpoint = -2;
  m.SetPointData(0, -2, &at, true);
  ASSERT_EQ(m.num_points, 1);
  PointStuff& p = m.pointdata[0];
  EXPECT_EQ(m.wiredata[0].points[0], p.id) << "a new point with nothing held starts the rubber band";
  EXPECT_EQ(p.num_connected, 1u);
  EXPECT_FALSE(p.can_be_selected);

  m.createindex = 1;
  m.AllocWire(+1);
  m.AllocWire(+1);
  p.active = p.selected = true;
  m.SetPointData(1, 0, nullptr, false);
  m.SetPointData(2, 0, nullptr, false);
  ASSERT_EQ(p.num_connected, 3u);
  EXPECT_EQ(p.connectedwire[0], m.wiredata[0].id);
  EXPECT_EQ(p.connectedwire[2], m.wiredata[2].id);
  EXPECT_FALSE(p.active || p.selected) << "attaching a wire deselects the point";
  EXPECT_EQ(m.wiredata[1].points[0], nullptr) << "an existing point is not made a wire end";

  m.AllocConnectedWire(0);
  EXPECT_EQ(p.num_connected, 4u);
  EXPECT_EQ(p.connectedwire[3], nullptr);
}

TEST_F(ModelTest, CenterAveragesOnlyTheSelectedPoints) {
  Polygoni& m = *model;
  EXPECT_FLOAT_EQ(m.GetCenter().x, 0) << "nothing selected gives the origin";
  AddPoint(2, 0, 0);
  AddPoint(4, 6, 0);
  AddPoint(100, 100, 100);
  m.pointdata[0].selected = m.pointdata[1].selected = true;
  _D3DVECTOR c = m.GetCenter();
  EXPECT_FLOAT_EQ(c.x, 3);
  EXPECT_FLOAT_EQ(c.y, 3);
}

TEST_F(ModelTest, SceneErrorShowsTwoBoxesAndSetsQuit) {
  model->generic_error();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "An error occurred while building the scene.\n\r\n");
  EXPECT_TRUE(model->quit);
}

TEST_F(ModelTest, MissingRootObjectIsReportedNotDereferenced) {
  IDirect3DRM* root = lpD3DRM;
  lpD3DRM = nullptr;
  model->InitPoint();
  lpD3DRM = root;
  EXPECT_TRUE(model->quit);
  EXPECT_EQ(messages.size(), 2u);
}
