// Meshes and standalone faces of the retained-mode layer.
#include <gtest/gtest.h>

#include <vector>

#include "platform/rm/d3drm.h"

namespace {

D3DRMVERTEX Vertex(D3DVALUE x, D3DVALUE y, D3DVALUE z) {
  D3DRMVERTEX v{};
  v.position = {x, y, z};
  v.normal = {0, 0, -1};
  return v;
}

class MeshTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Direct3DRMCreate(&rm_), D3DRM_OK);
    ASSERT_EQ(rm_->CreateMesh(&mesh_), D3DRM_OK);
  }
  void TearDown() override {
    mesh_->Release();
    rm_->Release();
  }
  // Two triangles over four vertices.
  D3DRMGROUPINDEX AddQuad(D3DVALUE x0, D3DVALUE y0, D3DVALUE side) {
    const unsigned faces[] = {0, 1, 2, 0, 2, 3};
    D3DRMGROUPINDEX id = -1;
    EXPECT_EQ(mesh_->AddGroup(4, 2, 3, faces, &id), D3DRM_OK);
    const D3DRMVERTEX v[] = {Vertex(x0, y0, 0), Vertex(x0, y0 + side, 0), Vertex(x0 + side, y0 + side, 0),
                             Vertex(x0 + side, y0, 0)};
    EXPECT_EQ(mesh_->SetVertices(id, 0, 4, v), D3DRM_OK);
    return id;
  }
  IDirect3DRM* rm_ = nullptr;
  IDirect3DRMMesh* mesh_ = nullptr;
};

TEST_F(MeshTest, GroupIdsCountUpAndEachGroupKeepsItsColourAndQuality) {
  EXPECT_EQ(AddQuad(0, 0, 1), 0);
  EXPECT_EQ(AddQuad(2, 0, 1), 1);
  EXPECT_EQ(AddQuad(4, 0, 1), 2);
  EXPECT_EQ(mesh_->SetGroupColorRGB(0, 0.6f, 0.6f, 0.6f), D3DRM_OK);
  EXPECT_EQ(mesh_->SetGroupColor(2, 0xff102030u), D3DRM_OK);
  EXPECT_EQ(mesh_->SetGroupQuality(1, D3DRMRENDER_WIREFRAME), D3DRM_OK);
  EXPECT_EQ(mesh_->SetGroupQuality(2, D3DRMRENDER_FLAT), D3DRM_OK);
  EXPECT_EQ(mesh_->GetGroupColor(0), 0xff999999u);
  EXPECT_EQ(mesh_->GetGroupColor(1), 0xffffffffu);
  EXPECT_EQ(mesh_->GetGroupColor(2), 0xff102030u);
  EXPECT_EQ(mesh_->GetGroupQuality(0), D3DRMRENDER_GOURAUD);
  EXPECT_EQ(mesh_->GetGroupQuality(1), D3DRMRENDER_WIREFRAME);
  EXPECT_EQ(mesh_->GetGroupQuality(2), D3DRMRENDER_FLAT);
  EXPECT_EQ(mesh_->SetGroupColor(3, 0), D3DRMERR_NOTFOUND);
  EXPECT_EQ(mesh_->SetGroupQuality(-1, D3DRMRENDER_FLAT), D3DRMERR_NOTFOUND);
  EXPECT_EQ(mesh_->SetGroupQuality(0, 0x1000), D3DRMERR_BADVALUE);
}

TEST_F(MeshTest, BadGroupDataIsRefusedAndLeavesTheMeshUnchanged) {
  AddQuad(0, 0, 1);
  const uint64_t generation = mesh_->Generation();
  const unsigned out_of_range[] = {0, 1, 4};
  const unsigned too_short_face[] = {2, 0, 1};
  const unsigned second_face_bad[] = {3, 0, 1, 2, 3, 0, 1, 9};
  D3DRMGROUPINDEX id = 77;
  EXPECT_EQ(mesh_->AddGroup(4, 1, 3, out_of_range, &id), D3DRMERR_BADVALUE);
  EXPECT_EQ(mesh_->AddGroup(4, 1, 0, too_short_face, &id), D3DRMERR_BADVALUE);
  EXPECT_EQ(mesh_->AddGroup(4, 2, 0, second_face_bad, &id), D3DRMERR_BADVALUE);
  EXPECT_EQ(mesh_->AddGroup(4, 1, 3, nullptr, &id), D3DRMERR_BADVALUE);
  EXPECT_EQ(id, 77);
  EXPECT_EQ(mesh_->GetGroupCount(), 1u);
  EXPECT_EQ(mesh_->Generation(), generation);
  // An empty group is fine: the face display of a model with no faces is one.
  EXPECT_EQ(mesh_->AddGroup(0, 0, 3, nullptr, &id), D3DRM_OK);
  EXPECT_EQ(id, 1);
  EXPECT_EQ(mesh_->SetVertices(id, 0, 0, nullptr), D3DRM_OK);
}

TEST_F(MeshTest, ScalesAccumulateAndTheBoxCoversEveryGroup) {
  D3DRMBOX box;
  AddQuad(0, 0, 1);
  AddQuad(-2, 3, 1);
  ASSERT_EQ(mesh_->GetBox(&box), D3DRM_OK);
  EXPECT_FLOAT_EQ(box.min.x, -2);
  EXPECT_FLOAT_EQ(box.min.y, 0);
  EXPECT_FLOAT_EQ(box.max.x, 1);
  EXPECT_FLOAT_EQ(box.max.y, 4);

  // A copy shares the vertices but neither the scales nor later changes.
  IDirect3DRMMesh* copy = nullptr;
  ASSERT_EQ(mesh_->Clone(&copy), D3DRM_OK);
  ASSERT_EQ(mesh_->Scale(0.5f, 2, 1), D3DRM_OK);
  ASSERT_EQ(mesh_->Scale(0.5f, 2, 1), D3DRM_OK);
  D3DRMVERTEX moved{};
  moved.position = {9, 9, 9};
  ASSERT_EQ(copy->SetVertices(0, 0, 1, &moved), D3DRM_OK);
  ASSERT_EQ(copy->GetBox(&box), D3DRM_OK);
  EXPECT_FLOAT_EQ(box.max.y, 9);
  EXPECT_FLOAT_EQ(box.min.x, -2);
  copy->Release();
  ASSERT_EQ(mesh_->GetBox(&box), D3DRM_OK);
  EXPECT_FLOAT_EQ(box.min.x, -0.5f);
  EXPECT_FLOAT_EQ(box.max.x, 0.25f);
  EXPECT_FLOAT_EQ(box.max.y, 16);
  ASSERT_EQ(mesh_->Scale(1, 1, 1 / 4.0f), D3DRM_OK);
  D3DRMVERTEX v;
  ASSERT_EQ(mesh_->GetVertices(1, 2, 1, &v), D3DRM_OK);
  EXPECT_FLOAT_EQ(v.position.x, -0.25f);
  EXPECT_FLOAT_EQ(v.position.y, 16);
  EXPECT_FLOAT_EQ(v.normal.z, -1);  // a normal along z stays unit length under any scale
}

TEST_F(MeshTest, StandaloneFaceKeepsItsCornersAndFacesTheViewerWhenClockwise) {
  IDirect3DRMFace* face = nullptr;
  ASSERT_EQ(rm_->CreateFace(&face), D3DRM_OK);
  // Clockwise as seen looking along +z (x right, y up).
  face->AddVertex(0, 0, 5);
  face->AddVertex(0, 2, 5);
  face->AddVertex(2, 0, 5);
  EXPECT_EQ(face->GetVertexCount(), 3);
  D3DVECTOR p, n;
  ASSERT_EQ(face->GetVertex(1, &p, &n), D3DRM_OK);
  EXPECT_FLOAT_EQ(p.y, 2);
  EXPECT_FLOAT_EQ(p.z, 5);
  ASSERT_EQ(face->GetNormal(&n), D3DRM_OK);
  EXPECT_FLOAT_EQ(n.x, 0);
  EXPECT_FLOAT_EQ(n.z, -1);
  EXPECT_EQ(face->GetVertex(3, &p, nullptr), D3DRMERR_BADVALUE);
  face->Release();
}

}  // namespace
