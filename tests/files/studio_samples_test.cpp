// The 3DS reader on real files written by other programs.
#include <gtest/gtest.h>

#include <filesystem>

#include "files/studio.h"
#include "tests/files/studio_bytes.h"

namespace {

using namespace studio_test;

const std::string kDir = FACETRY_SAMPLES_DIR "/3ds/";

struct Sample {
  const char* file;
  unsigned vertices;
  unsigned faces;
  unsigned materials;
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

class StudioSamples : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::is_directory(kDir)) GTEST_SKIP() << "no sample directory";
  }

  static void ReadSample(const char* name, Studio* s) {
    FILE* f = std::fopen((kDir + name).c_str(), "rb");
    ASSERT_NE(f, nullptr) << name;
    s->bin3ds = f;
    s->ReadPrimaryChunk();
    s->bin3ds = nullptr;
    std::fclose(f);
  }
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
    for (const sfaces& f : s.facesl) {
      ASSERT_LT(std::max({f.a, f.b, f.c}), sample.vertices) << sample.file;
    }
  }
}

TEST_F(StudioSamples, TheEmptySampleLoadsNothing) {
  Studio s;
  ReadSample("assimp_invalid_empty.3ds", &s);
  EXPECT_EQ(s.vertex_count, 0u);
  EXPECT_EQ(s.face_count, 0u);
}

TEST_F(StudioSamples, ValuesLandWhereTheFileHasThem) {
  Studio fels;
  ReadSample("assimp_fels.3ds", &fels);
  ASSERT_EQ(fels.vertex_count, 386u);
  EXPECT_FLOAT_EQ(fels.verts[0].x, -1.8445243f);
  EXPECT_FLOAT_EQ(fels.verts[0].y, -0.34385636f);
  EXPECT_FLOAT_EQ(fels.verts[0].z, 1.6222606f);
  EXPECT_FLOAT_EQ(fels.verts[385].y, -2.8582618f);
  EXPECT_EQ(fels.facesl[0].a, 64u);
  EXPECT_EQ(fels.facesl[0].b, 182u);
  EXPECT_EQ(fels.facesl[0].c, 183u);

  // The last of nine objects: its faces are offset by the 256 vertices before it.
  Studio nine;
  ReadSample("assimp_test1.3ds", &nine);
  ASSERT_EQ(nine.face_count, 108u);
  EXPECT_EQ(nine.facesl[107].a, 256u + 29u);
  EXPECT_EQ(nine.facesl[107].b, 256u + 30u);
  EXPECT_EQ(nine.facesl[107].c, 256u + 31u);
  EXPECT_FLOAT_EQ(nine.verts[287].x, 9.8508501f);

  // Four objects of 14 vertices before the last one's 74; face flags 0x407 are dropped.
  Studio room;
  ReadSample("irrlicht_room.3ds", &room);
  ASSERT_EQ(room.face_count, 156u);
  EXPECT_EQ(room.facesl[155].a, 42u + 71u);
  EXPECT_EQ(room.facesl[155].b, 42u + 44u);
  EXPECT_EQ(room.facesl[155].c, 42u + 13u);
  EXPECT_FLOAT_EQ(room.verts[0].y, 194.233f);
}

TEST_F(StudioSamples, ASampleWrittenAndReadBackKeepsItsGeometry) {
  Studio original;
  ReadSample("irrlicht_room.3ds", &original);
  Studio back;
  Read(&back, Write(&original));
  ASSERT_EQ(back.vertex_count, original.vertex_count);
  ASSERT_EQ(back.face_count, original.face_count);
  for (unsigned i = 0; i < back.vertex_count; ++i) {
    EXPECT_EQ(back.verts[i].x, original.verts[i].x);
    EXPECT_EQ(back.verts[i].y, original.verts[i].y);
    EXPECT_EQ(back.verts[i].z, original.verts[i].z);
  }
  for (unsigned i = 0; i < back.face_count; ++i) {
    EXPECT_EQ(back.facesl[i].a, original.facesl[i].a);
    EXPECT_EQ(back.facesl[i].b, original.facesl[i].b);
    EXPECT_EQ(back.facesl[i].c, original.facesl[i].c);
  }
}

}  // namespace
