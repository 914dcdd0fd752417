// The 3DS reader on small files built for each rule: how objects add up, how containers
// count, what is passed over, names, and what makes a file damaged.
#include <gtest/gtest.h>

#include <optional>

#include "files/studio.h"
#include "tests/files/studio_bytes.h"

namespace {

using namespace studio_test;

std::string Mesh(const std::vector<D3DVECTOR>& v, const std::vector<std::array<unsigned, 3>>& f) {
  return Chunk(0x4100, VertexList(v) + FaceList(f));
}

const std::vector<D3DVECTOR> kQuad = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
const std::vector<D3DVECTOR> kTriangle = {{5, 5, 5}, {6, 5, 5}, {5, 6, -5}};

std::string Faces(const Studio& s) {
  std::string text;
  for (const sfaces& f : s.facesl) text += Corners(f) + " ";
  return text;
}

std::string Viewport(uint16_t id, unsigned type, const std::string& camera) {
  std::string body = U16(3) + std::string(10, '\0') + U16(type);
  if (type == 0 || type == 0xFFFF) body += std::string(24, '\0') + camera + std::string(1, '\0');
  return Chunk(id, body);
}

TEST(StudioReader, WhatEachFileLoadsAndWhatMakesItDamaged) {
  const std::string tri = Object("tri", Mesh(kTriangle, {{0, 1, 2}}));
  const std::string editor = Chunk(0x3D3D, tri);
  const std::string vertices = VertexList(kTriangle), faces = FaceList({{0, 1, 2}});
  const auto mesh_length = [&](uint32_t extra) {
    return File(Object(
        "t", ChunkWithLength(0x4100, static_cast<uint32_t>(6 + vertices.size()) + extra, vertices + faces)));
  };
  const std::string long_name(150, 'm');
  const std::string materials =
      Chunk(0xAFFF, Chunk(0xA000, "a" + std::string(1, '\0')) +
                        Chunk(0xA000, long_name + std::string(1, '\0') + Chunk(0xA010, U16(0))));
  struct Case {
    const char* what;
    std::string bytes;
    unsigned vertices = 0, faces = 0;
    std::optional<std::string> name = std::nullopt;  // temp_name, where the case is about it
    unsigned materials = 0;
  };
  const Case cases[] = {
      {"an empty name makes a dummy object that is still read",
       File(Object("", Mesh(kTriangle, {{0, 1, 2}}))), 3, 1, "Default name"},
      {"objects in the keyframer are not read", Chunk(0x4D4D, Chunk(0xB000, tri))},
      // Only a file that starts with the main chunk loads.
      {"no main chunk", editor},
      {"a text file", "xof 0302txt 0032"},
      {"another first id", Chunk(0x4D4E, editor)},
      {"an empty file", ""},
      // An unknown id costs two bytes and the next two are the next id: a reader that took
      // it for a chunk header would lose the list; one that passed an unknown chunk by its
      // length would not find the list inside it.
      {"a bare unknown id", File(Object("t", Chunk(0x4100, U16(0x1234) + vertices))), 3},
      {"an unknown chunk", File(Object("t", Chunk(0x4100, Chunk(0x5555, vertices)))), 3},
      // A known child counts its length plus two: 6 + vertices + 2 reaches the length before
      // the faces, even one byte into them; one byte more and the face list is read though
      // it runs past the end.
      {"mesh length to the faces", mesh_length(0), 3},
      {"mesh length a byte past", mesh_length(1), 3},
      {"mesh length two bytes past", mesh_length(2), 3},
      {"mesh length three bytes past", mesh_length(3), 3, 1},
      {"a skipped chunk (vertex flags) is passed whole",
       File(Object("t", Chunk(0x4100, Chunk(0x4111, VertexList(kQuad)) + vertices))), 3},
      {"lengths past the file's end only end the loops",
       ChunkWithLength(0x4D4D, 0xFFFFFFF0u,
                       ChunkWithLength(0x3D3D, 0xFFFFFF00u, Object("a", Mesh(kQuad, {{0, 1, 2}})) + tri)),
       7, 2},
      // Object names stop after twelve bytes; the mesh after the name is found only when
      // the walk stays aligned.
      {"a short name", File(Object("Box01", Mesh(kTriangle, {}))), 3, 0, "Box01"},
      {"11 bytes and the zero", File(Object("ABCDEFGHIJK", Mesh(kTriangle, {}))), 3, 0, "ABCDEFGHIJK"},
      {"12 bytes, the zero unread: a byte off", File(Object("ABCDEFGHIJKL", Mesh(kTriangle, {}))), 0, 0,
       "ABCDEFGHIJK"},
      {"13 bytes: one id, then the mesh", File(Object("ABCDEFGHIJKLM", Mesh(kTriangle, {}))), 3, 0,
       "ABCDEFGHIJK"},
      {"material names are cut at the buffer's end", File(materials), 0, 0,
       long_name.substr(0, sizeof Studio::temp_name - 1), 2},
      {"the rest of a long name is read and dropped", File(materials + tri), 3, 1, "tri", 2},
      // No terminator: the 0xFF bytes past the end never end a name, the file's end does,
      // and the terminator takes the place of the last byte read.
      {"a material name at the file's end",
       ChunkWithLength(
           0x4D4D, 100,
           ChunkWithLength(0x3D3D, 90, ChunkWithLength(0xAFFF, 80, ChunkWithLength(0xA000, 70, "xyz")))),
       0, 0, "xy", 1},
      {"a camera viewport reads the camera's name",
       File(Object("obj", "") + Chunk(0x7001, Viewport(0x7020, 0, "Cam7"))), 0, 0, "Cam7"},
      {"other viewports read none", File(Object("obj", "") + Chunk(0x7001, Viewport(0x7020, 3, ""))), 0, 0,
       "obj"},
  };
  // Damaged files load nothing, not even the intact objects before the damage.
  const Case damaged[] = {
      {"a vertex count beyond the file",
       File(tri + Object("bad", Chunk(0x4100, Chunk(0x4110, U16(1000) + F32(1) + F32(2) + F32(3)))))},
      {"a face count beyond the file",
       File(Object("bad",
                   Chunk(0x4100, vertices + Chunk(0x4120, U16(50) + U16(0) + U16(1) + U16(2) + U16(0)))))},
      // A vertex list of length 0 sends the mesh loop back to the same list each time.
      {"a list read again and again",
       File(Object("loop", ChunkWithLength(0x4100, 0xFFFFFFFFu,
                                           ChunkWithLength(0x4110, 0, U16(1) + F32(1) + F32(2) + F32(3)))))},
      // A skipped chunk of length 0, met again at every step of a loop two billion steps long.
      {"a chunk that leads back to itself",
       ChunkWithLength(0x4D4D, 0xFFFFFFFFu,
                       ChunkWithLength(0x3D3D, 0xFFFFFFFFu, ChunkWithLength(0x1100, 0, "")))},
  };
  const auto check = [](const Case& c, bool is_damaged) {
    Studio s;
    Read(&s, c.bytes);
    EXPECT_EQ(s.damaged, is_damaged) << c.what;
    EXPECT_EQ(s.vertex_count, c.vertices) << c.what;
    EXPECT_EQ(s.face_count, c.faces) << c.what;
    EXPECT_EQ(s.verts.size(), c.vertices) << c.what;
    EXPECT_EQ(s.facesl.size(), c.faces) << c.what;
    EXPECT_EQ(s.material_count, c.materials) << c.what;
    if (c.name) {
      EXPECT_STREQ(s.temp_name, c.name->c_str()) << c.what;
    }
  };
  for (const Case& c : cases) check(c, false);
  for (const Case& c : damaged) check(c, true);
}

TEST(StudioReader, ObjectsAndReadsAppendWithTheirFacesOffsetUntilAReset) {
  Studio s;
  Read(&s, File(Object("quad", Mesh(kQuad, {{0, 1, 2}, {0, 2, 3}}))));
  // Indices past the vertices are kept as they are, offset like any other.
  Read(&s, File(Object("quad", Mesh(kQuad, {{0, 2, 3}})) + Object("tri", Mesh(kTriangle, {{2, 1, 9}}))));
  EXPECT_FALSE(s.damaged);
  ASSERT_EQ(s.vertex_count, 11u);
  EXPECT_EQ(Faces(s), "0,1,2 0,2,3 4,6,7 10,9,17 ");
  EXPECT_EQ(s.verts[8].x, 5.0f);
  EXPECT_EQ(s.verts[10].z, -5.0f);

  s.Reset();
  EXPECT_TRUE(s.verts.empty() && s.facesl.empty() && s.vertex_count == 0 && s.face_count == 0);
  Read(&s, File(Object("tri", Mesh(kTriangle, {{2, 1, 0}}))));
  EXPECT_EQ(Faces(s), "2,1,0 ");
  ASSERT_EQ(s.verts.size(), 3u);
  EXPECT_EQ(s.verts[0].x, 5.0f);
}

TEST(StudioReader, AnIntactFileAfterADamagedOneLoadsWithoutOffset) {
  Studio s;
  Read(&s,
       File(Object("ok", Mesh(kQuad, {{0, 1, 2}})) + Object("bad", Chunk(0x4100, Chunk(0x4110, U16(9))))));
  ASSERT_TRUE(s.damaged);
  Read(&s, File(Object("tri", Mesh(kTriangle, {{0, 1, 2}}))));
  EXPECT_FALSE(s.damaged);
  EXPECT_EQ(s.vertex_count, 3u);
  EXPECT_EQ(s.verts.size(), 3u);
  EXPECT_EQ(Faces(s), "0,1,2 ");
}

TEST(StudioReader, TheMatrixAfterTheFacesAndTheirGroupsIsKeptAndNotApplied) {
  // Material group, then smoothing groups: what follows the faces is passed by the face
  // list's length.
  const std::string after =
      Chunk(0x4130, "mat" + std::string(1, '\0') + U16(1) + U16(0)) + Chunk(0x4150, U32(1));
  std::string matrix;
  for (int i = 1; i <= 12; ++i) matrix += F32(static_cast<float>(i));
  Studio s;
  Read(&s, File(Object("m", Chunk(0x4100, VertexList(kTriangle) + FaceList({{0, 1, 2}}, after) +
                                              Chunk(0x4160, matrix)))));
  const float expected[4][4] = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}, {10, 11, 12, 1}};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_EQ(s.trans_mat[r][c], expected[r][c]) << r << "," << c;
  EXPECT_EQ(s.face_count, 1u);
  ASSERT_EQ(s.vertex_count, 3u);
  EXPECT_EQ(s.verts[1].x, 6.0f);
}

TEST(StudioReader, AStreamWithoutSizeIsReadFromItsStartWhereverItStands) {
  std::string bytes = File(Object("quad", Mesh(kQuad, {{0, 1, 2}, {0, 2, 3}})));
  FILE* f = fmemopen(bytes.data(), bytes.size(), "rb");
  ASSERT_NE(f, nullptr);
  std::fseek(f, 0, SEEK_END);
  Studio s;
  s.bin3ds = f;
  EXPECT_EQ(s.ReadPrimaryChunk(), 1);
  std::fclose(f);
  EXPECT_EQ(s.vertex_count, 4u);
  EXPECT_EQ(Faces(s), "0,1,2 0,2,3 ");
}

TEST(StudioReader, ViewportsAreCountedThroughResetsAndTheDefinitionStopsAfterTheFourth) {
  std::string views;
  for (int i = 0; i < 6; ++i) views += Viewport(i % 2 ? 0x7012 : 0x7020, 3, "");
  Studio s;
  Read(&s, File(Chunk(0x7001, views)));
  EXPECT_EQ(s.views_read, 4);
  s.Reset();
  EXPECT_EQ(s.views_read, 4);
}

}  // namespace
