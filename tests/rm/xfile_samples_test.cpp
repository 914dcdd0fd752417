// Real .x files written by other programs: counts, values, rejections, and damaged copies.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/rm/xfile/xfile.h"

namespace {

const std::string kDir = FACETRY_SAMPLES_DIR "/x/";

std::vector<unsigned char> Load(const std::string& name) {
  std::ifstream f(kDir + name, std::ios::binary);
  return std::vector<unsigned char>((std::istreambuf_iterator<char>(f)), {});
}

HRESULT ReadBytes(const std::vector<unsigned char>& bytes, MeshData* out) {
  return xfile::Read(bytes.data(), bytes.size(), out);
}

// Something a failed read must leave exactly as it was.
MeshData Sentinel() {
  MeshData m;
  m.positions = {{7, 8, 9}};
  m.face_sizes = {1};
  m.face_indices = {0};
  return m;
}

bool SameAsSentinel(const MeshData& m) {
  MeshData s = Sentinel();
  return m.positions.size() == 1 && m.positions[0].x == 7 && m.face_sizes == s.face_sizes &&
         m.face_indices == s.face_indices && m.normals.empty() && m.texcoords.empty() && m.materials.empty();
}

class XFileSamples : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::is_directory(kDir)) GTEST_SKIP() << "no sample directory";
  }
};

struct Counts {
  const char* file;
  size_t vertices;
  size_t faces;
};

constexpr Counts kLoadable[] = {
    {"assimp_fromtruespace_bin32.x", 4132, 6656},
    {"assimp_kwxport_test_cubewithvcolors.x", 24, 12},
    {"assimp_malformed_skinweights_oob.x", 24, 12},
    {"assimp_test.x", 24, 12},
    {"assimp_test_cube_binary.x", 24, 12},
    {"assimp_test_cube_compressed.x", 24, 12},
    {"assimp_test_cube_text.x", 24, 12},
    {"dxsdk_lobby_skybox.x", 24, 12},
    {"dxsdk_skysphere.x", 2280, 760},
    {"dxsdk_tiger.x", 303, 599},
};

constexpr const char* kRejected[] = {"assimp_OV_GetNextToken.x", "assimp_invalid_empty.x"};

TEST_F(XFileSamples, EverySampleLoadsWithItsCounts) {
  for (const Counts& c : kLoadable) {
    MeshData m;
    ASSERT_EQ(ReadBytes(Load(c.file), &m), D3DRM_OK) << c.file;
    EXPECT_EQ(m.positions.size(), c.vertices) << c.file;
    EXPECT_EQ(m.face_sizes.size(), c.faces) << c.file;
    size_t corners = 0;
    for (uint32_t k : m.face_sizes) corners += k;
    EXPECT_EQ(corners, m.face_indices.size()) << c.file;
    if (!m.texcoords.empty()) {
      EXPECT_EQ(m.texcoords.size(), 2 * m.positions.size()) << c.file;
    }
    if (!m.materials.empty()) {
      EXPECT_EQ(m.face_materials.size(), m.face_sizes.size()) << c.file;
    }
  }
}

TEST_F(XFileSamples, DamagedSamplesAreRejectedAndChangeNothing) {
  for (const char* name : kRejected) {
    MeshData m = Sentinel();
    EXPECT_EQ(ReadBytes(Load(name), &m), D3DRMERR_BADFILE) << name;
    EXPECT_TRUE(SameAsSentinel(m)) << name;
  }
}

TEST_F(XFileSamples, TextCubeIsPlacedByBothFrames) {
  MeshData m;
  ASSERT_EQ(ReadBytes(Load("assimp_test_cube_text.x"), &m), D3DRM_OK);
  // The root frame swaps y and z: the file's (-1, -1, 1) lands at (-1, 1, -1), and the
  // first normal (0, -1, 0) turns to (0, 0, -1).
  EXPECT_FLOAT_EQ(m.positions[0].x, -1);
  EXPECT_FLOAT_EQ(m.positions[0].y, 1);
  EXPECT_FLOAT_EQ(m.positions[0].z, -1);
  ASSERT_EQ(m.normals.size(), 24u);
  EXPECT_NEAR(m.normals[0].y, 0, 1e-6);
  EXPECT_NEAR(m.normals[0].z, -1, 1e-6);
  // The material list refers to the top-level Material by name.
  ASSERT_EQ(m.materials.size(), 1u);
  EXPECT_NEAR(m.materials[0].r, 0.639216, 1e-6);
  EXPECT_NEAR(m.materials[0].power, 96.07843, 1e-4);
}

TEST_F(XFileSamples, CompressedCubeEqualsBinaryCube) {
  MeshData bin, zip;
  ASSERT_EQ(ReadBytes(Load("assimp_test_cube_binary.x"), &bin), D3DRM_OK);
  ASSERT_EQ(ReadBytes(Load("assimp_test_cube_compressed.x"), &zip), D3DRM_OK);
  ASSERT_EQ(bin.positions.size(), zip.positions.size());
  for (size_t i = 0; i < bin.positions.size(); ++i) {
    const D3DVECTOR &a = bin.positions[i], &b = zip.positions[i];
    EXPECT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z) << "position " << i;
  }
  EXPECT_EQ(bin.face_indices, zip.face_indices);
  EXPECT_EQ(bin.normal_indices, zip.normal_indices);
  EXPECT_EQ(bin.texcoords, zip.texcoords);
  ASSERT_EQ(zip.materials.size(), 1u);
  EXPECT_EQ(bin.materials[0].power, zip.materials[0].power);
}

TEST_F(XFileSamples, TigerHasOneMaterialForAllFacesAndThreeQuads) {
  MeshData m;
  ASSERT_EQ(ReadBytes(Load("dxsdk_tiger.x"), &m), D3DRM_OK);
  ASSERT_EQ(m.face_materials.size(), 599u);
  for (uint32_t f : m.face_materials) EXPECT_EQ(f, 0u);
  ASSERT_EQ(m.materials.size(), 1u);
  EXPECT_EQ(m.materials[0].texture, "tiger.bmp");
  EXPECT_EQ(std::count(m.face_sizes.begin(), m.face_sizes.end(), 4u), 3);
  EXPECT_TRUE(m.normals.empty());
  ASSERT_EQ(m.texcoords.size(), 2u * 303);
  EXPECT_FLOAT_EQ(m.texcoords[1], -0.544059f);
}

// Every prefix and many garbled copies of a file either load or fail cleanly, leaving the
// output alone.
TEST_F(XFileSamples, TruncatedAndGarbledCopiesLoadOrFailCleanly) {
  std::mt19937 rng(1234);
  auto check = [](const std::vector<unsigned char>& bytes, size_t size, const std::string& what) {
    MeshData m = Sentinel();
    const HRESULT r = xfile::Read(bytes.data(), size, &m);
    ASSERT_TRUE(r == D3DRM_OK || r == D3DRMERR_BADFILE) << what;
    ASSERT_TRUE(r == D3DRM_OK || SameAsSentinel(m)) << what;
  };
  for (const Counts& c : kLoadable) {
    const std::vector<unsigned char> original = Load(c.file);
    const size_t step = original.size() < 1500 ? 1 : original.size() / 1500;
    for (size_t cut = 0; cut < original.size(); cut += step)
      check(original, cut, std::string(c.file) + " cut " + std::to_string(cut));
    for (int round = 0; round < 300; ++round) {
      std::vector<unsigned char> bytes = original;
      // Past the header, so the body is what gets damaged.
      for (int i = 0, flips = 1 + static_cast<int>(rng() % 8); i < flips; ++i)
        bytes[16 + rng() % (bytes.size() - 16)] = static_cast<unsigned char>(rng());
      check(bytes, bytes.size(), std::string(c.file) + " round " + std::to_string(round));
    }
  }
}

}  // namespace
