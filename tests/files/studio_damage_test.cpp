// Truncated and garbled copies of the sample files: each either loads or comes back
// damaged with nothing in it, and nothing is ever allocated beyond what the file can hold.
#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <random>

#include "files/studio.h"
#include "tests/files/studio_bytes.h"

namespace {

using namespace studio_test;

const std::string kDir = FACETRY_SAMPLES_DIR "/3ds/";

const char* const kSamples[] = {
    "assimp_CameraRollAnim.3ds",   "assimp_RotatingCube.3DS", "assimp_cube_with_diffuse_texture.3DS",
    "assimp_cubes_with_alpha.3DS", "assimp_fels.3ds",         "assimp_test1.3ds",
    "irrlicht_room.3ds",
};

bool SameVertex(const D3DVECTOR& a, const D3DVECTOR& b) {
  return std::bit_cast<uint32_t>(a.x) == std::bit_cast<uint32_t>(b.x) &&
         std::bit_cast<uint32_t>(a.y) == std::bit_cast<uint32_t>(b.y) &&
         std::bit_cast<uint32_t>(a.z) == std::bit_cast<uint32_t>(b.z);
}

bool SameFace(const sfaces& a, const sfaces& b) { return a.a == b.a && a.b == b.b && a.c == b.c; }

// What holds for every file, damaged or not.
void ExpectSound(const Studio& s, size_t file_size, const std::string& what) {
  if (s.damaged) {
    EXPECT_TRUE(s.verts.empty() && s.facesl.empty() && s.vertex_count == 0 && s.face_count == 0) << what;
    return;
  }
  EXPECT_EQ(s.verts.size(), s.vertex_count) << what;
  EXPECT_EQ(s.facesl.size(), s.face_count) << what;
  EXPECT_LE(uint64_t{s.vertex_count} * 12, file_size) << what;
  EXPECT_LE(uint64_t{s.face_count} * 8, file_size) << what;
}

// A cut file is read exactly as far as the whole one up to the cut, so what it loads is
// the start of what the whole file loads.
void ExpectStartOf(const Studio& part, const Studio& whole, const std::string& what) {
  if (part.damaged) return;
  ASSERT_LE(part.vertex_count, whole.vertex_count) << what;
  ASSERT_LE(part.face_count, whole.face_count) << what;
  for (unsigned i = 0; i < part.vertex_count; ++i)
    ASSERT_TRUE(SameVertex(part.verts[i], whole.verts[i])) << what;
  for (unsigned i = 0; i < part.face_count; ++i)
    ASSERT_TRUE(SameFace(part.facesl[i], whole.facesl[i])) << what;
}

class StudioBrokenSamples : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::is_directory(kDir)) GTEST_SKIP() << "no sample directory";
  }
};

TEST_F(StudioBrokenSamples, EveryPrefixOfTheSmallestSamplesLoadsItsStartOrIsDamaged) {
  for (const char* name : {"assimp_CameraRollAnim.3ds", "assimp_cube_with_diffuse_texture.3DS"}) {
    const std::string bytes = FileBytes(kDir + name);
    Studio whole;
    Read(&whole, bytes);
    size_t damaged = 0;
    for (size_t n = 0; n <= bytes.size(); ++n) {
      Studio part;
      Read(&part, bytes.substr(0, n));
      const std::string what = std::string(name) + " cut at " + std::to_string(n);
      ExpectSound(part, n, what);
      ExpectStartOf(part, whole, what);
      damaged += part.damaged;
    }
    // Cuts inside the vertex lists (a quarter of these files at least) leave them short.
    EXPECT_GT(damaged, bytes.size() / 4) << name;
  }
}

TEST_F(StudioBrokenSamples, PrefixesOfEverySampleLoadTheirStartOrAreDamaged) {
  for (const char* name : kSamples) {
    const std::string bytes = FileBytes(kDir + name);
    Studio whole;
    Read(&whole, bytes);
    for (size_t k = 0; k <= 96; ++k) {
      const size_t n = bytes.size() * k / 96;
      Studio part;
      Read(&part, bytes.substr(0, n));
      const std::string what = std::string(name) + " cut at " + std::to_string(n);
      ExpectSound(part, n, what);
      ExpectStartOf(part, whole, what);
    }
  }
}

TEST_F(StudioBrokenSamples, CuttingTheKeyframerAwayLosesNothing) {
  // Files whose editor chunk is followed by a keyframer chunk.
  for (const char* name : {"assimp_CameraRollAnim.3ds", "assimp_RotatingCube.3DS", "assimp_test1.3ds"}) {
    const std::string bytes = FileBytes(kDir + name);
    Studio whole;
    Read(&whole, bytes);
    // Find the end of the editor chunk among the main chunk's children.
    size_t at = 6, editor_end = 0;
    while (at + 6 <= bytes.size() && editor_end == 0) {
      const auto byte = [&](size_t i) { return uint32_t{static_cast<unsigned char>(bytes[i])}; };
      const uint32_t id = byte(at) | byte(at + 1) << 8;
      const uint32_t length = byte(at + 2) | byte(at + 3) << 8 | byte(at + 4) << 16 | byte(at + 5) << 24;
      if (id == 0x3D3D) editor_end = at + length;
      at += length;
    }
    ASSERT_GT(editor_end, 0u) << name;
    ASSERT_LT(editor_end, bytes.size()) << name;
    Studio part;
    Read(&part, bytes.substr(0, editor_end));
    EXPECT_FALSE(part.damaged) << name;
    EXPECT_EQ(part.vertex_count, whole.vertex_count) << name;
    EXPECT_EQ(part.face_count, whole.face_count) << name;
  }
}

TEST_F(StudioBrokenSamples, GarbledCopiesLoadOrComeBackDamaged) {
  std::mt19937 random(20261206);
  for (const char* name : kSamples) {
    const std::string bytes = FileBytes(kDir + name);
    ASSERT_FALSE(bytes.empty()) << name;
    std::uniform_int_distribution<size_t> position(0, bytes.size() - 1);
    std::uniform_int_distribution<int> value(0, 255), changes(1, 8);
    for (int copy = 0; copy < 300; ++copy) {
      std::string garbled = bytes;
      for (int k = changes(random); k > 0; --k) garbled[position(random)] = static_cast<char>(value(random));
      Studio s;
      Read(&s, garbled);
      ExpectSound(s, garbled.size(), std::string(name) + " copy " + std::to_string(copy));
    }
  }
}

TEST_F(StudioBrokenSamples, EveryByteOfASampleSetToZeroOrFF) {
  const std::string bytes = FileBytes(kDir + "assimp_cube_with_diffuse_texture.3DS");
  for (size_t i = 0; i < bytes.size(); ++i) {
    for (char v : {'\0', '\xFF'}) {
      std::string garbled = bytes;
      garbled[i] = v;
      Studio s;
      Read(&s, garbled);
      ExpectSound(s, garbled.size(), "byte " + std::to_string(i));
    }
  }
}

}  // namespace
