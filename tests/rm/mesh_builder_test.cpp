// The mesh builder: faces in and out, meshes made from it, load and save.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/resource.h"
#include "platform/rm/d3drm.h"

namespace {

namespace fs = std::filesystem;

// A directory of its own for each test, removed afterwards.
struct TempDir {
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "facetry-builder-XXXXXX").string();
    if (const char* made = mkdtemp(pattern.data())) path = made;
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  fs::path path;
};

long FileCount(const fs::path& dir) {
  return std::distance(fs::directory_iterator(dir), fs::directory_iterator());
}

void WriteBytes(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class BuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Direct3DRMCreate(&rm_), D3DRM_OK);
    ASSERT_EQ(rm_->CreateMeshBuilder(&builder_), D3DRM_OK);
  }
  void TearDown() override {
    if (builder_) builder_->Release();
    rm_->Release();
  }
  // A unit quad clockwise as seen looking along +z, and a triangle on its left edge.
  void AddQuadAndTriangle() {
    const D3DVECTOR v[] = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {-1, 0.5f, 0}};
    const DWORD data[] = {4, 0, 1, 2, 3, 3, 0, 4, 1, 0};
    ASSERT_EQ(builder_->AddFaces(5, v, 0, nullptr, data, nullptr), D3DRM_OK);
  }
  static std::vector<D3DVECTOR> Positions(IDirect3DRMMeshBuilder* builder) {
    DWORD count = DWORD(builder->GetVertexCount());
    std::vector<D3DVECTOR> v(count);
    EXPECT_EQ(builder->GetVertices(&count, v.data(), nullptr, nullptr, nullptr, nullptr), D3DRM_OK);
    return v;
  }
  IDirect3DRMMesh* MakeMesh() {
    IDirect3DRMMesh* mesh = nullptr;
    EXPECT_EQ(builder_->CreateMesh(&mesh), D3DRM_OK);
    return mesh;
  }
  std::vector<D3DRMVERTEX> GroupVertices(IDirect3DRMMesh* mesh, D3DRMGROUPINDEX g) {
    unsigned count = 0;
    mesh->GetGroup(g, &count, nullptr, nullptr, nullptr, nullptr);
    std::vector<D3DRMVERTEX> v(count);
    EXPECT_EQ(mesh->GetVertices(g, 0, count, v.data()), D3DRM_OK);
    return v;
  }
  std::vector<unsigned> GroupFaces(IDirect3DRMMesh* mesh, D3DRMGROUPINDEX g) {
    DWORD size = 0;
    mesh->GetGroup(g, nullptr, nullptr, nullptr, &size, nullptr);
    std::vector<unsigned> f(size);
    EXPECT_EQ(mesh->GetGroup(g, nullptr, nullptr, nullptr, &size, f.data()), D3DRM_OK);
    return f;
  }
  IDirect3DRM* rm_ = nullptr;
  IDirect3DRMMeshBuilder* builder_ = nullptr;
};

TEST_F(BuilderTest, FacesComeBackAsVerticesAndFaceData) {
  AddQuadAndTriangle();
  EXPECT_EQ(builder_->GetVertexCount(), 5);
  EXPECT_EQ(builder_->GetFaceCount(), 2);

  DWORD vcount = 4, ncount = 5, fsize = 100;
  D3DVECTOR v[5], n[5];
  DWORD f[100];
  EXPECT_EQ(builder_->GetVertices(&vcount, v, &ncount, n, &fsize, f), D3DRMERR_BADVALUE);
  EXPECT_EQ(vcount, 5u);
  ASSERT_EQ(builder_->GetVertices(&vcount, v, &ncount, n, &fsize, f), D3DRM_OK);
  EXPECT_FLOAT_EQ(v[4].x, -1);
  // Without normals of its own each corner's normal index is its vertex index.
  EXPECT_EQ(std::vector<DWORD>(f, f + fsize),
            (std::vector<DWORD>{4, 0, 0, 1, 1, 2, 2, 3, 3, 3, 0, 0, 4, 4, 1, 1, 0}));
  EXPECT_EQ(ncount, 5u);
  EXPECT_FLOAT_EQ(n[2].z, -1);
}

TEST_F(BuilderTest, BadFaceDataIsRefusedAndChangesNothing) {
  AddQuadAndTriangle();
  const D3DVECTOR v[] = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}};
  const DWORD index_past_end[] = {3, 0, 1, 2, 3, 0, 1, 3, 0};
  const DWORD two_corners[] = {2, 0, 1, 0};
  const D3DVECTOR n[] = {{0, 0, -1}};
  const DWORD normal_past_end[] = {3, 0, 0, 1, 1, 2, 0, 0};
  EXPECT_EQ(builder_->AddFaces(3, v, 0, nullptr, index_past_end, nullptr), D3DRMERR_BADVALUE);
  EXPECT_EQ(builder_->AddFaces(3, v, 0, nullptr, two_corners, nullptr), D3DRMERR_BADVALUE);
  EXPECT_EQ(builder_->AddFaces(3, v, 1, n, normal_past_end, nullptr), D3DRMERR_BADVALUE);
  EXPECT_EQ(builder_->GetVertexCount(), 5);
  EXPECT_EQ(builder_->GetFaceCount(), 2);
}

TEST_F(BuilderTest, FacesKeepTheirGeometryAfterTheBuilderChangesOrGoes) {
  AddQuadAndTriangle();
  IDirect3DRMFaceArray* faces = nullptr;
  ASSERT_EQ(builder_->GetFaces(&faces), D3DRM_OK);
  ASSERT_EQ(builder_->Scale(2, 2, 2), D3DRM_OK);
  EXPECT_FLOAT_EQ(Positions(builder_)[2].x, 2);
  builder_->Release();
  builder_ = nullptr;

  IDirect3DRMFace* face = nullptr;
  ASSERT_EQ(faces->GetElement(0, &face), D3DRM_OK);
  faces->Release();
  D3DVECTOR p, n;
  ASSERT_EQ(face->GetVertex(2, &p, &n), D3DRM_OK);
  EXPECT_TRUE(p.x == 1 && p.y == 1) << p.x << "," << p.y;
  ASSERT_EQ(face->GetNormal(&n), D3DRM_OK);
  EXPECT_FLOAT_EQ(n.z, -1);
  face->Release();
}

TEST_F(BuilderTest, SplitNormalsGiveOneVertexPerVertexAndNormalPair) {
  // Two quads folded along the shared edge 1-2, each with its own normal.
  const D3DVECTOR v[] = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {1, 1, 1}, {1, 0, 1}};
  const D3DVECTOR n[] = {{0, 0, -1}, {1, 0, 0}};
  const DWORD data[] = {4, 0, 0, 1, 0, 2, 0, 3, 0, 4, 3, 1, 2, 1, 4, 1, 5, 1, 0};
  ASSERT_EQ(builder_->AddFaces(6, v, 2, n, data, nullptr), D3DRM_OK);
  IDirect3DRMMesh* mesh = MakeMesh();
  const std::vector<D3DRMVERTEX> group = GroupVertices(mesh, 0);
  ASSERT_EQ(group.size(), 8u);
  // Order of first use: the first quad's corners, then the second's.
  EXPECT_TRUE(group[3].position.x == 1 && group[3].normal.z == -1);
  EXPECT_TRUE(group[4].position.z == 0 && group[4].normal.x == 1);
  EXPECT_EQ(GroupFaces(mesh, 0), (std::vector<unsigned>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}));
  mesh->Release();
}

TEST_F(BuilderTest, EachMaterialBecomesAGroupWithItsColourAndTexture) {
  IDirect3DRMMesh* source = nullptr;
  ASSERT_EQ(rm_->CreateMesh(&source), D3DRM_OK);
  const unsigned tri[] = {0, 1, 2};
  D3DRMVERTEX v[3] = {};
  v[1].position = {0, 1, 0};
  v[2].position = {1, 0, 0};
  D3DRMGROUPINDEX red = -1, green = -1;
  ASSERT_EQ(source->AddGroup(3, 1, 3, tri, &red), D3DRM_OK);
  ASSERT_EQ(source->AddGroup(3, 1, 3, tri, &green), D3DRM_OK);
  source->SetVertices(red, 0, 3, v);
  v[0].position = {5, 5, 5};
  source->SetVertices(green, 0, 3, v);
  source->SetGroupColor(red, 0xffff0000u);
  source->SetGroupColor(green, 0xff00ff00u);
  auto* texture = new IDirect3DRMTexture(1, 1, {0xff0000ffu}, "blue.bmp");
  source->SetGroupTexture(green, texture);
  ASSERT_EQ(builder_->AddMesh(source), D3DRM_OK);
  source->Release();
  EXPECT_EQ(builder_->GetVertexCount(), 6);

  IDirect3DRMMesh* mesh = MakeMesh();
  ASSERT_EQ(mesh->GetGroupCount(), 2u);
  EXPECT_EQ(mesh->GetGroupColor(0), 0xffff0000u);
  EXPECT_EQ(mesh->GetGroupColor(1), 0xff00ff00u);
  IDirect3DRMTexture* got = nullptr;
  ASSERT_EQ(mesh->GetGroupTexture(0, &got), D3DRM_OK);
  EXPECT_EQ(got, nullptr);
  ASSERT_EQ(mesh->GetGroupTexture(1, &got), D3DRM_OK);
  EXPECT_EQ(got, texture);
  got->Release();
  // Each group has just the vertices its faces use.
  const std::vector<D3DRMVERTEX> second = GroupVertices(mesh, 1);
  ASSERT_EQ(second.size(), 3u);
  EXPECT_FLOAT_EQ(second[0].position.x, 5);
  mesh->Release();
  builder_->Release();
  builder_ = nullptr;
  EXPECT_EQ(texture->RefCount(), 1u);
  texture->Release();
}

TEST_F(BuilderTest, QualityColourAndScaleReachTheMesh) {
  AddQuadAndTriangle();
  ASSERT_EQ(builder_->SetQuality(D3DRMRENDER_FLAT), D3DRM_OK);
  ASSERT_EQ(builder_->SetColorRGB(0.3f, 0.7f, 0.3f), D3DRM_OK);
  ASSERT_EQ(builder_->Scale(0.25f, 0.25f, 0.25f), D3DRM_OK);

  IDirect3DRMMesh* first = MakeMesh();
  IDirect3DRMMesh* second = MakeMesh();
  EXPECT_EQ(second->GetGroupQuality(0), D3DRMRENDER_FLAT);
  EXPECT_EQ(second->GetGroupColor(0), 0xff4db34du);
  // Meshes are independent copies: scaling one leaves the other alone.
  first->Scale(0.01f, 0.01f, 0.01f);
  D3DRMBOX box;
  second->GetBox(&box);
  EXPECT_TRUE(box.min.x == -0.25f && box.max.y == 0.25f) << box.min.x << "," << box.max.y;
  first->Release();
  second->Release();
}

// A small text file: a unit quad and a triangle, the triangle in a red material.
constexpr char kTextX[] =
    "xof 0302txt 0032\n"
    "Mesh {\n"
    " 5;\n"
    " 0.0;0.0;0.0;, 0.0;1.0;0.0;, 1.0;1.0;0.0;, 1.0;0.0;0.0;, -1.0;0.5;0.0;;\n"
    " 2;\n"
    " 4;0,1,2,3;, 3;0,4,1;;\n"
    " MeshMaterialList {\n"
    "  2; 2; 0, 1;;\n"
    "  Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }\n"
    "  Material { 1.0;0.0;0.0;1.0;; 5.0; 1.0;1.0;1.0;; 0.0;0.0;0.0;; }\n"
    " }\n"
    "}\n";

HRESULT LoadFromMemory(IDirect3DRMMeshBuilder* builder, const std::string& bytes) {
  D3DRMLOADMEMORY memory{bytes.data(), static_cast<DWORD>(bytes.size())};
  return builder->Load(&memory, nullptr, D3DRMLOAD_FROMMEMORY, nullptr, nullptr);
}

TEST_F(BuilderTest, LoadsFromMemoryAndAFailedLoadLeavesTheBuilderAsItWas) {
  ASSERT_EQ(LoadFromMemory(builder_, kTextX), D3DRM_OK);
  IDirect3DRMMesh* mesh = MakeMesh();
  ASSERT_EQ(mesh->GetGroupCount(), 2u);
  EXPECT_EQ(mesh->GetGroupColor(1), 0xffff0000u);
  EXPECT_EQ(GroupFaces(mesh, 0), (std::vector<unsigned>{0, 1, 2, 0, 2, 3}));
  mesh->Release();

  EXPECT_EQ(builder_->Load("no-such-file.x", nullptr, D3DRMLOAD_FROMFILE, nullptr, nullptr),
            D3DRMERR_FILENOTFOUND);
  EXPECT_EQ(LoadFromMemory(builder_, "not a mesh file at all"), D3DRMERR_BADFILE);
  D3DRMLOADRESOURCE missing{nullptr, "#999", "MESH"};
  EXPECT_EQ(builder_->Load(&missing, nullptr, D3DRMLOAD_FROMRESOURCE, nullptr, nullptr), D3DRMERR_NOTFOUND);
  EXPECT_EQ(builder_->GetFaceCount(), 2);
  ASSERT_EQ(builder_->GetVertexCount(), 5);
  EXPECT_FLOAT_EQ(Positions(builder_)[4].x, -1);
}

TEST_F(BuilderTest, SavedFileLoadsBackWithTheSamePositions) {
  TempDir tmp;
  AddQuadAndTriangle();
  const fs::path target = tmp.path / "saved.x";
  WriteBytes(target, "old");
  ASSERT_EQ(builder_->Save(target.c_str(), D3DRMXOF_TEXT, D3DRMXOFSAVE_ALL), D3DRM_OK);
  EXPECT_EQ(FileCount(tmp.path), 1);

  IDirect3DRMMeshBuilder* loaded = nullptr;
  ASSERT_EQ(rm_->CreateMeshBuilder(&loaded), D3DRM_OK);
  ASSERT_EQ(loaded->Load(target.c_str(), nullptr, D3DRMLOAD_FROMFILE, nullptr, nullptr), D3DRM_OK);
  ASSERT_EQ(loaded->GetVertexCount(), 5);
  const D3DVECTOR v = Positions(loaded)[4];
  EXPECT_TRUE(v.x == -1 && v.y == 0.5f) << v.x << "," << v.y;
  loaded->Release();
}

TEST_F(BuilderTest, AFailedSaveLeavesWhatWasThere) {
  TempDir tmp;
  AddQuadAndTriangle();
  // The temporary name beside this one is longer than a file name may be.
  const fs::path long_name = tmp.path / (std::string(250, 'm') + ".x");
  WriteBytes(long_name, "old bytes");
  EXPECT_EQ(builder_->Save(long_name.c_str(), D3DRMXOF_BINARY, D3DRMXOFSAVE_ALL), D3DRMERR_BADFILE);
  EXPECT_EQ(ReadBytes(long_name), "old bytes");

  // A directory in the way: the rename fails and the temporary file is removed.
  const fs::path dir = tmp.path / "dir.x";
  fs::create_directories(dir);
  WriteBytes(dir / "inside", "kept");
  EXPECT_EQ(builder_->Save(dir.c_str(), D3DRMXOF_BINARY, D3DRMXOFSAVE_ALL), D3DRMERR_BADFILE);
  EXPECT_EQ(ReadBytes(dir / "inside"), "kept");
  EXPECT_EQ(builder_->Save((tmp.path / "missing" / "a.x").c_str(), D3DRMXOF_TEXT, 0), D3DRMERR_BADFILE);
  EXPECT_EQ(FileCount(tmp.path), 2);
}

}  // namespace
