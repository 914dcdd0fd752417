// The 3DS reader on real files written by other programs, and on truncated and garbled
// copies of them: each copy either loads or comes back damaged with nothing in it, and
// nothing is ever allocated beyond what the file can hold.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "files/studio.h"
#include "tests/files/studio_bytes.h"

namespace {

using namespace studio_test;

const std::string kDir = FACETRY_SAMPLES_DIR "/3ds/";

struct Sample {
  const char* file;
  unsigned vertices, faces, materials;
};

// Vertices and faces as the files store them, summed over their objects.
constexpr Sample kSamples[] = {
    {"assimp_CameraRollAnim.3ds", 26, 12, 0},
    {"assimp_RotatingCube.3DS", 26, 12, 0},
    {"assimp_cube_with_diffuse_texture.3DS", 32, 12, 1},
    {"assimp_cubes_with_alpha.3DS", 130, 60, 5},
    {"assimp_fels.3ds", 386, 768, 1},
    {"assimp_test1.3ds", 288, 108, 3},
    {"irrlicht_room.3ds", 116, 156, 1},
};

// Whether a's vertices and faces are, bit for bit, the first of b's.
bool StartOf(const Studio& a, const Studio& b) {
  const auto same = [](const auto& x, const auto& y) {
    return x.size() <= y.size() &&
           (x.empty() || std::memcmp(x.data(), y.data(), x.size() * sizeof x[0]) == 0);
  };
  return same(a.verts, b.verts) && same(a.facesl, b.facesl);
}

class StudioSamples : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::is_directory(kDir)) GTEST_SKIP() << "no sample directory";
  }
  static void ReadSample(const char* name, Studio* s) { Read(s, FileBytes(kDir + name)); }
};

TEST_F(StudioSamples, EverySampleLoadsWithItsCounts) {
  for (const Sample& sample : kSamples) {
    Studio s;
    ReadSample(sample.file, &s);
    EXPECT_FALSE(s.damaged) << sample.file;
    EXPECT_EQ(s.vertex_count, sample.vertices) << sample.file;
    EXPECT_EQ(s.face_count, sample.faces) << sample.file;
    EXPECT_EQ(s.verts.size(), sample.vertices) << sample.file;
    EXPECT_EQ(s.facesl.size(), sample.faces) << sample.file;
    EXPECT_EQ(s.material_count, sample.materials) << sample.file;
    for (const sfaces& f : s.facesl) ASSERT_LT(std::max({f.a, f.b, f.c}), sample.vertices) << sample.file;
  }
  Studio empty;
  ReadSample("assimp_invalid_empty.3ds", &empty);
  EXPECT_EQ(empty.vertex_count + empty.face_count, 0u);
}

TEST_F(StudioSamples, ValuesLandWhereTheFileHasThem) {
  Studio fels, nine, room;
  ReadSample("assimp_fels.3ds", &fels);
  ReadSample("assimp_test1.3ds", &nine);
  ReadSample("irrlicht_room.3ds", &room);
  ASSERT_EQ(fels.vertex_count, 386u);
  ASSERT_EQ(nine.face_count, 108u);
  ASSERT_EQ(room.face_count, 156u);
  EXPECT_FLOAT_EQ(fels.verts[0].x, -1.8445243f);
  EXPECT_FLOAT_EQ(fels.verts[0].y, -0.34385636f);
  EXPECT_FLOAT_EQ(fels.verts[0].z, 1.6222606f);
  EXPECT_FLOAT_EQ(fels.verts[385].y, -2.8582618f);
  EXPECT_EQ(Corners(fels.facesl[0]), "64,182,183");
  // The last of nine objects: its faces are offset by the 256 vertices before it.
  EXPECT_EQ(Corners(nine.facesl[107]), "285,286,287");
  EXPECT_FLOAT_EQ(nine.verts[287].x, 9.8508501f);
  // Four objects of 14 vertices before the last one's 74 (42 + 71, 42 + 44, 42 + 13); face
  // flags 0x407 are dropped.
  EXPECT_EQ(Corners(room.facesl[155]), "113,86,55");
  EXPECT_FLOAT_EQ(room.verts[0].y, 194.233f);
}

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

TEST_F(StudioSamples, CutCopiesLoadTheStartOfTheWholeOrAreDamaged) {
  // Every cut of the two smallest files, 97 cuts of the others.
  for (const Sample& sample : kSamples) {
    const std::string bytes = FileBytes(kDir + sample.file);
    Studio whole;
    Read(&whole, bytes);
    const size_t step = bytes.size() < 2000 ? 1 : bytes.size() / 96;
    size_t cuts = 0, damaged = 0;
    for (size_t n = 0; n <= bytes.size(); n += step, ++cuts) {
      Studio part;
      Read(&part, bytes.substr(0, n));
      const std::string what = std::string(sample.file) + " cut at " + std::to_string(n);
      ExpectSound(part, n, what);
      // A cut file is read exactly as far as the whole one up to the cut.
      EXPECT_TRUE(StartOf(part, whole)) << what;
      damaged += part.damaged;
    }
    // Cuts inside the vertex lists (a quarter of the smallest files at least) leave them short.
    EXPECT_TRUE(step > 1 || damaged > cuts / 4) << sample.file;
  }
}

TEST_F(StudioSamples, CuttingTheKeyframerAwayLosesNothing) {
  // Files whose editor chunk is followed by a keyframer chunk.
  for (const char* name : {"assimp_CameraRollAnim.3ds", "assimp_RotatingCube.3DS", "assimp_test1.3ds"}) {
    const std::string bytes = FileBytes(kDir + name);
    Studio whole;
    Read(&whole, bytes);
    const auto le = [&](size_t i, int n) {
      uint32_t v = 0;
      while (n-- > 0) v = v << 8 | static_cast<unsigned char>(bytes[i + n]);
      return v;
    };
    // The main chunk's children, up to the end of the editor chunk.
    size_t editor_end = 6;
    for (uint32_t id = 0; id != 0x3D3D && editor_end + 6 <= bytes.size(); editor_end += le(editor_end + 2, 4))
      id = le(editor_end, 2);
    ASSERT_LT(editor_end, bytes.size()) << name;
    Studio part;
    Read(&part, bytes.substr(0, editor_end));
    EXPECT_FALSE(part.damaged) << name;
    EXPECT_EQ(part.vertex_count, whole.vertex_count) << name;
    EXPECT_EQ(part.face_count, whole.face_count) << name;
  }
}

TEST_F(StudioSamples, GarbledCopiesLoadOrComeBackDamaged) {
  std::mt19937 random(20261206);
  for (const Sample& sample : kSamples) {
    const std::string bytes = FileBytes(kDir + sample.file);
    ASSERT_FALSE(bytes.empty()) << sample.file;
    std::uniform_int_distribution<size_t> position(0, bytes.size() - 1);
    std::uniform_int_distribution<int> value(0, 255), changes(1, 8);
    for (int copy = 0; copy < 300; ++copy) {
      std::string garbled = bytes;
      for (int k = changes(random); k > 0; --k) garbled[position(random)] = static_cast<char>(value(random));
      Studio s;
      Read(&s, garbled);
      ExpectSound(s, garbled.size(), std::string(sample.file) + " copy " + std::to_string(copy));
    }
  }
  // And every byte of one sample set to 0 and to 0xFF.
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
