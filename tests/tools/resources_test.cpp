// The embedded MESH resources load through the mesh builder with the geometry the editor
// relies on, closed and wound to face outward.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <ostream>
#include <string>
#include <tuple>

#include "platform/resource.h"
#include "platform/rm/d3drm.h"

namespace {

struct Expected {
  int id;
  const char* file;
  int vertices;
  int faces;
  D3DRMBOX box;
  D3DVECTOR centre;    // inside the solid: every face must look away from it
  int mesh_vertices;   // of the single group, or -1 when it depends on normal splitting
};

void PrintTo(const Expected& e, std::ostream* os) { *os << e.file; }

const float kSin80 = static_cast<float>(std::sin(80.0 * std::numbers::pi / 180.0));

const Expected kResources[] = {
    {2, "cursor3D3.x", 108, 98, {{-30, -30 * kSin80, -30}, {30, 30 * kSin80, 30}}, {0, 0, 0}, 108},
    {3, "point.x", 8, 12, {{-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}}, {0, 0, 0}, -1},
    {4, "cursor3D.x", 108, 24, {{-50, -50, -50}, {50, 50, 50}}, {0, 0, 0}, 108},
    {5, "bar.x", 8, 12, {{-0.865f, -0.499f, 0.001f}, {0.867f, 1.001f, 1.001f}}, {0.001f, 0.001f, 0.501f}, -1},
    {6, "wire2.x", 24, 8, {{-0.866f, -0.5f, 0}, {0.866f, 1, 1}}, {0, 0, 0.5f}, 24},
};

class BuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    IDirect3DRM* raw = nullptr;
    ASSERT_EQ(Direct3DRMCreate(&raw), D3DRM_OK);
    rm = RmRef<IDirect3DRM>(raw, false);
    IDirect3DRMMeshBuilder* b = nullptr;
    ASSERT_EQ(rm->CreateMeshBuilder(&b), D3DRM_OK);
    builder = RmRef<IDirect3DRMMeshBuilder>(b, false);
  }
  HRESULT LoadResource(int id, const char* type = "MESH") {
    D3DRMLOADRESOURCE res{nullptr, MAKEINTRESOURCEA(id), type};
    return builder->Load(&res, nullptr, D3DRMLOAD_FROMRESOURCE, nullptr, nullptr);
  }
  RmRef<IDirect3DRM> rm;
  RmRef<IDirect3DRMMeshBuilder> builder;
};

class ResourceMeshes : public BuilderTest, public ::testing::WithParamInterface<Expected> {};

D3DVECTOR Sub(D3DVECTOR a, D3DVECTOR b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(D3DVECTOR a, D3DVECTOR b) { return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z; }

TEST_P(ResourceMeshes, LoadWithTheirCountsAndBox) {
  const Expected& e = GetParam();
  ASSERT_EQ(LoadResource(e.id), D3DRM_OK) << e.file;
  EXPECT_EQ(builder->GetVertexCount(), e.vertices);
  EXPECT_EQ(builder->GetFaceCount(), e.faces);
  D3DRMBOX box{};
  ASSERT_EQ(builder->GetBox(&box), D3DRM_OK);
  const float tol = 1e-4f * std::max(1.0f, e.box.max.x);
  const float got[] = {box.min.x, box.min.y, box.min.z, box.max.x, box.max.y, box.max.z};
  const float want[] = {e.box.min.x, e.box.min.y, e.box.min.z, e.box.max.x, e.box.max.y, e.box.max.z};
  for (int k = 0; k < 6; ++k) EXPECT_NEAR(got[k], want[k], tol) << "box coordinate " << k;

  // One white material of power 20.
  const MeshData& d = builder->Data();
  ASSERT_EQ(d.materials.size(), 1u);
  const MeshMaterial& white = d.materials[0];
  EXPECT_TRUE(white.r == 1 && white.g == 1 && white.b == 1 && white.power == 20) << white.power;

  IDirect3DRMMesh* raw = nullptr;
  ASSERT_EQ(builder->CreateMesh(&raw), D3DRM_OK);
  RmRef<IDirect3DRMMesh> mesh(raw, false);
  ASSERT_EQ(mesh->GetGroupCount(), 1u);
  unsigned vcount = 0, fcount = 0;
  ASSERT_EQ(mesh->GetGroup(0, &vcount, &fcount, nullptr, nullptr, nullptr), D3DRM_OK);
  if (e.mesh_vertices >= 0) {
    EXPECT_EQ(static_cast<int>(vcount), e.mesh_vertices);
  }
  EXPECT_EQ(fcount, d.TriangleCount());
}

TEST_P(ResourceMeshes, AreClosedAndFaceOutward) {
  const Expected& e = GetParam();
  ASSERT_EQ(LoadResource(e.id), D3DRM_OK) << e.file;
  const MeshData& d = builder->Data();
  ASSERT_EQ(d.normal_indices.size(), d.face_indices.size()) << "the file's normals are missing";

  // Every edge, keyed by its end positions, is crossed once in each direction: the solid
  // is closed and its faces agree on their winding.
  using Key = std::tuple<float, float, float, float, float, float>;
  std::map<Key, int> edges;
  size_t first = 0;
  for (size_t f = 0; f < d.FaceCount(); ++f) {
    const uint32_t n = d.face_sizes[f];
    const uint32_t* corners = &d.face_indices[first];
    const D3DVECTOR normal = PolygonAreaNormal(n, [&](size_t k) { return d.positions[corners[k]]; });
    D3DVECTOR centroid{0, 0, 0};
    for (uint32_t k = 0; k < n; ++k) {
      const D3DVECTOR& p = d.positions[corners[k]];
      const D3DVECTOR& q = d.positions[corners[(k + 1) % n]];
      centroid = {centroid.x + p.x / n, centroid.y + p.y / n, centroid.z + p.z / n};
      ++edges[{p.x, p.y, p.z, q.x, q.y, q.z}];
      --edges[{q.x, q.y, q.z, p.x, p.y, p.z}];
      // The stored normals lean the same way as the winding, so lighting agrees with it.
      EXPECT_GT(Dot(d.normals[d.normal_indices[first + k]], normal), 0)
          << e.file << " face " << f << " corner " << k;
    }
    EXPECT_GT(Dot(normal, Sub(centroid, e.centre)), 0) << e.file << " face " << f << " faces inward";
    first += n;
  }
  for (const auto& [edge, balance] : edges) EXPECT_EQ(balance, 0) << e.file << " has an open or misturned edge";
}

INSTANTIATE_TEST_SUITE_P(Embedded, ResourceMeshes, ::testing::ValuesIn(kResources),
                         [](const ::testing::TestParamInfo<Expected>& p) {
                           return "Mesh" + std::to_string(p.param.id);
                         });

TEST_F(BuilderTest, MissingResourceFailsAndChangesNothing) {
  ASSERT_EQ(LoadResource(3), D3DRM_OK);
  EXPECT_TRUE(FAILED(LoadResource(7)));
  EXPECT_TRUE(FAILED(LoadResource(2, "BITMAP")));
  EXPECT_EQ(builder->GetVertexCount(), 8);
  EXPECT_EQ(builder->GetFaceCount(), 12);
}

}  // namespace
