// The 3DS writer: the exact bytes of the smallest files, and files read back.
#include <gtest/gtest.h>

#include <bit>

#include "files/studio.h"
#include "tests/files/studio_bytes.h"

namespace {

using namespace studio_test;

std::string Bytes(std::initializer_list<unsigned> bytes) {
  std::string s;
  for (unsigned b : bytes) s += static_cast<char>(b);
  return s;
}

const std::string kName = Bytes({'g', 'l', 'o', 'b', 'a', 'l', 'm', 'e', 's', 'h', 0});

// The first `vertices` and `faces` entries are the model.
void Fill(Studio* s, std::vector<D3DVECTOR> v, std::vector<sfaces> f, unsigned vertices, unsigned faces) {
  s->verts = std::move(v);
  s->facesl = std::move(f);
  s->vertex_count = vertices;
  s->face_count = faces;
}

TEST(StudioWriter, AnEmptyModelIsFiftyOneBytes) {
  Studio s;
  long end = -1;
  EXPECT_EQ(Write(&s, &end),
            Bytes({0x4D, 0x4D, 51, 0, 0, 0, 0x3D, 0x3D, 45, 0, 0, 0, 0x00, 0x40, 39, 0, 0, 0}) + kName +
                Bytes({0x00, 0x41, 22, 0, 0, 0,           // mesh
                       0x10, 0x41, 8,  0, 0, 0, 0, 0,     // no vertices
                       0x20, 0x41, 8,  0, 0, 0, 0, 0}));  // no faces
  EXPECT_EQ(end, 0) << "the writer leaves the file at its start";
}

TEST(StudioWriter, OneTriangle) {
  Studio s;
  Fill(&s, {{1, 0, 0}, {0, 1, 0}, {0, 0, -2}}, {{2, 0, 1}}, 3, 1);
  const std::string expected =
      Bytes({0x4D, 0x4D, 95, 0, 0, 0, 0x3D, 0x3D, 89, 0, 0, 0, 0x00, 0x40, 83, 0, 0, 0}) + kName +
      Bytes({0x00, 0x41, 66, 0, 0, 0,  // mesh: 6 + 44 + 16
             0x10, 0x41, 44, 0, 0, 0, 3,    0,    0, 0, 0x80, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0,  // 1, 0, 0
             0,    0,    0,  0, 0, 0, 0x80, 0x3F, 0, 0, 0,    0,                             // 0, 1, 0
             0,    0,    0,  0, 0, 0, 0,    0,    0, 0, 0,    0xC0,                          // 0, 0, -2
             0x20, 0x41, 16, 0, 0, 0, 1,    0,    2, 0, 0,    0,    1, 0, 0, 0});  // a, b, c, flags 0
  EXPECT_EQ(Write(&s), expected);
}

TEST(StudioWriter, OnlyTheCountedEntriesAreWrittenWithTheLowSixteenBitsOfEachIndex) {
  Studio s;
  Fill(&s, {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}}, {{70000, 1, 65535}, {1, 2, 3}}, 3, 1);
  Studio back;
  Read(&back, Write(&s));
  ASSERT_EQ(back.vertex_count, 3u);
  ASSERT_EQ(back.face_count, 1u);
  EXPECT_EQ(back.verts[2].z, 3.0f);
  EXPECT_EQ(back.facesl[0].a, 70000u - 65536u);
  EXPECT_EQ(back.facesl[0].c, 65535u);
}

TEST(StudioWriter, AWrittenFileReadsBackBitForBitAndWritesTheSameBytesAgain) {
  Studio s;
  Fill(&s,
       {{0.1f, -2.5e7f, 3.0e-38f}, {-0.0f, 1.0f / 3.0f, 65504.0f}, {-1.5f, 2.25f, -7.125f}, {1e-45f, 0, 42}},
       {{0, 1, 2}, {3, 2, 1}, {2, 3, 0}}, 4, 3);
  const std::string file = Write(&s);
  Studio back;
  Read(&back, file);
  EXPECT_FALSE(back.damaged);
  ASSERT_EQ(back.vertex_count, 4u);
  ASSERT_EQ(back.face_count, 3u);
  for (size_t i = 0; i < 4; ++i) {
    for (auto axis : {&D3DVECTOR::x, &D3DVECTOR::y, &D3DVECTOR::z})
      EXPECT_EQ(std::bit_cast<uint32_t>(back.verts[i].*axis), std::bit_cast<uint32_t>(s.verts[i].*axis)) << i;
  }
  for (size_t i = 0; i < 3; ++i) {
    for (auto corner : {&sfaces::a, &sfaces::b, &sfaces::c})
      EXPECT_EQ(back.facesl[i].*corner, s.facesl[i].*corner) << i;
  }
  EXPECT_STREQ(back.temp_name, "globalmesh");
  EXPECT_EQ(Write(&back), file);
}

}  // namespace
