// The 3DS reader on small files built for each rule: how objects add up, how containers
// count, what is passed over, names, and what makes a file damaged.
#include <gtest/gtest.h>

#include <cstring>

#include "files/studio.h"
#include "tests/files/studio_bytes.h"

namespace {

using namespace studio_test;

std::string Mesh(const std::vector<D3DVECTOR>& v, const std::vector<std::array<unsigned, 3>>& f) {
  return Chunk(0x4100, VertexList(v) + FaceList(f));
}

const std::vector<D3DVECTOR> kQuad = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
const std::vector<D3DVECTOR> kTriangle = {{5, 5, 5}, {6, 5, 5}, {5, 6, -5}};

void ExpectFace(const sfaces& f, uint32_t a, uint32_t b, uint32_t c) {
  EXPECT_EQ(f.a, a);
  EXPECT_EQ(f.b, b);
  EXPECT_EQ(f.c, c);
}

void ExpectEmpty(const Studio& s) {
  EXPECT_TRUE(s.verts.empty());
  EXPECT_TRUE(s.facesl.empty());
  EXPECT_EQ(s.vertex_count, 0u);
  EXPECT_EQ(s.face_count, 0u);
}

// ---- objects and their lists ------------------------------------------------------------

TEST(StudioObjects, TheSecondObjectsFacesAreOffsetByTheFirstObjectsVertices) {
  Studio s;
  Read(&s, File(Object("quad", Mesh(kQuad, {{0, 1, 2}, {0, 2, 3}})) +
                Object("tri", Mesh(kTriangle, {{0, 1, 2}}))));
  EXPECT_FALSE(s.damaged);
  ASSERT_EQ(s.vertex_count, 7u);
  ASSERT_EQ(s.face_count, 3u);
  ASSERT_EQ(s.verts.size(), 7u);
  ASSERT_EQ(s.facesl.size(), 3u);
  ExpectFace(s.facesl[0], 0, 1, 2);
  ExpectFace(s.facesl[1], 0, 2, 3);
  ExpectFace(s.facesl[2], 4, 5, 6);
  EXPECT_EQ(s.verts[4].x, 5.0f);
  EXPECT_EQ(s.verts[6].z, -5.0f);
  EXPECT_EQ(s.numb_vertices, 3u);
  EXPECT_EQ(s.numb_faces, 1u);
  EXPECT_EQ(s.object_offset, 7u);
  EXPECT_EQ(s.current_vertex, 7u);
  EXPECT_EQ(s.current_face, 3u);
}

TEST(StudioObjects, ReadsWithoutResetAppendAndResetClears) {
  Studio s;
  Read(&s, File(Object("quad", Mesh(kQuad, {{0, 1, 2}}))));
  Read(&s, File(Object("tri", Mesh(kTriangle, {{2, 1, 0}}))));
  ASSERT_EQ(s.vertex_count, 7u);
  ASSERT_EQ(s.face_count, 2u);
  ExpectFace(s.facesl[1], 6, 5, 4);
  EXPECT_EQ(s.verts[0].x, 0.0f);
  EXPECT_EQ(s.verts[5].x, 6.0f);

  s.Reset();
  ExpectEmpty(s);
  EXPECT_EQ(s.current_vertex, 0u);
  EXPECT_EQ(s.current_face, 0u);
  EXPECT_EQ(s.object_offset, 0u);
  Read(&s, File(Object("tri", Mesh(kTriangle, {{2, 1, 0}}))));
  ASSERT_EQ(s.face_count, 1u);
  ExpectFace(s.facesl[0], 2, 1, 0);
}

TEST(StudioObjects, FaceIndicesPastTheVerticesAreKept) {
  Studio s;
  Read(&s, File(Object("tri", Mesh(kTriangle, {{0, 1, 9}}))));
  EXPECT_FALSE(s.damaged);
  ASSERT_EQ(s.face_count, 1u);
  ExpectFace(s.facesl[0], 0, 1, 9);
}

TEST(StudioObjects, AnEmptyNameMakesADummyObjectThatIsStillRead) {
  Studio s;
  Read(&s, File(Object("", Mesh(kTriangle, {{0, 1, 2}}))));
  EXPECT_EQ(s.vertex_count, 3u);
  EXPECT_STREQ(s.temp_name, "Default name");
}

TEST(StudioObjects, TheMatrixIsKeptAndNotApplied) {
  std::string matrix;
  for (int i = 1; i <= 12; ++i) matrix += F32(static_cast<float>(i));
  Studio s;
  Read(&s, File(Object("m", Chunk(0x4100, VertexList(kTriangle) + Chunk(0x4160, matrix)))));
  const float expected[4][4] = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}, {10, 11, 12, 1}};
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) EXPECT_EQ(s.trans_mat[r][c], expected[r][c]) << r << "," << c;
  }
  ASSERT_EQ(s.vertex_count, 3u);
  EXPECT_EQ(s.verts[1].x, 6.0f);
}

TEST(StudioObjects, WhatFollowsTheFacesIsPassedByTheFaceListsLength) {
  // Material group, then smoothing groups; the matrix after the face list is still found.
  const std::string groups = Chunk(0x4130, "mat" + std::string(1, '\0') + U16(1) + U16(0));
  const std::string smoothing = Chunk(0x4150, U32(1));
  std::string matrix;
  for (int i = 0; i < 12; ++i) matrix += F32(2.5f);
  Studio s;
  Read(&s, File(Object("t", Chunk(0x4100, VertexList(kTriangle) + FaceList({{0, 1, 2}}, groups + smoothing) +
                                              Chunk(0x4160, matrix)))));
  EXPECT_EQ(s.face_count, 1u);
  EXPECT_EQ(s.trans_mat[3][2], 2.5f);
}

TEST(StudioObjects, ObjectsInTheKeyframerAreNotRead) {
  Studio s;
  Read(&s, Chunk(0x4D4D, Chunk(0xB000, Object("kf", Mesh(kTriangle, {{0, 1, 2}})))));
  ExpectEmpty(s);
  EXPECT_FALSE(s.damaged);
}

// ---- the start of the file --------------------------------------------------------------

TEST(StudioFile, AFileNotStartingWithTheMainChunkLoadsNothing) {
  const std::string body = Chunk(0x3D3D, Object("tri", Mesh(kTriangle, {{0, 1, 2}})));
  for (const std::string& bytes :
       {body, std::string("xof 0302txt 0032"), Chunk(0x4D4E, body), std::string()}) {
    Studio s;
    Read(&s, bytes);
    ExpectEmpty(s);
    EXPECT_FALSE(s.damaged);
  }
}

TEST(StudioFile, AStreamThatCannotTellItsSizeReadsTheSame) {
  std::string bytes = File(Object("quad", Mesh(kQuad, {{0, 1, 2}, {0, 2, 3}})));
  FILE* f = fmemopen(bytes.data(), bytes.size(), "rb");
  ASSERT_NE(f, nullptr);
  Studio s;
  s.bin3ds = f;
  EXPECT_EQ(s.ReadPrimaryChunk(), 1);
  std::fclose(f);
  EXPECT_EQ(s.vertex_count, 4u);
  ASSERT_EQ(s.face_count, 2u);
  ExpectFace(s.facesl[1], 0, 2, 3);
}

TEST(StudioFile, TheReadStartsAtTheFilesStartWhereverTheStreamIs) {
  Studio s;
  FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  const std::string bytes = File(Object("tri", Mesh(kTriangle, {{0, 1, 2}})));
  std::fwrite(bytes.data(), 1, bytes.size(), f);  // left at the end
  s.bin3ds = f;
  s.ReadPrimaryChunk();
  std::fclose(f);
  EXPECT_EQ(s.vertex_count, 3u);
}

// ---- how containers count ---------------------------------------------------------------

TEST(StudioContainers, AnUnknownIdCostsTwoBytesAndTheNextTwoAreTheNextId) {
  // A bare id with no header before the vertex list: a reader that took it for a chunk
  // header would lose the list.
  Studio s;
  Read(&s, File(Object("t", Chunk(0x4100, U16(0x1234) + VertexList(kTriangle)))));
  EXPECT_EQ(s.vertex_count, 3u);
}

TEST(StudioContainers, AnUnknownChunkIsWalkedTwoBytesAtATime) {
  // A complete vertex list inside an unknown chunk: a reader that passed the unknown chunk
  // by its length would not find it; this one walks into it.
  Studio s;
  Read(&s, File(Object("t", Chunk(0x4100, Chunk(0x5555, VertexList(kTriangle))))));
  EXPECT_EQ(s.vertex_count, 3u);
}

TEST(StudioContainers, AKnownChildCountsItsLengthPlusTwo) {
  const std::string vertices = VertexList(kTriangle);
  const std::string faces = FaceList({{0, 1, 2}});
  const uint32_t first = static_cast<uint32_t>(6 + vertices.size());
  // 6 + vertices + 2 reaches the length before the faces: they are not read, not even
  // when the length reaches one byte into them.
  for (uint32_t length : {first, first + 1, first + 2}) {
    Studio s;
    Read(&s, File(Object("t", ChunkWithLength(0x4100, length, vertices + faces))));
    EXPECT_EQ(s.vertex_count, 3u) << length;
    EXPECT_EQ(s.face_count, 0u) << length;
  }
  // One byte more and the next id is read: the face list, though it runs past the end.
  Studio s;
  Read(&s, File(Object("t", ChunkWithLength(0x4100, first + 3, vertices + faces))));
  EXPECT_EQ(s.face_count, 1u);
}

TEST(StudioContainers, SkippedChunksArePassedWhole) {
  // 0x4111 (vertex flags) is skipped by its length: a vertex list inside it is not read.
  Studio s;
  Read(&s, File(Object("t", Chunk(0x4100, Chunk(0x4111, VertexList(kQuad)) + VertexList(kTriangle)))));
  EXPECT_EQ(s.vertex_count, 3u);
  EXPECT_EQ(s.verts[0].x, 5.0f);
}

TEST(StudioContainers, ThePastTheEndBytesOnlyEndTheLoops) {
  // Lengths larger than the file: everything the file does hold is read.
  const std::string objects =
      Object("a", Mesh(kQuad, {{0, 1, 2}})) + Object("b", Mesh(kTriangle, {{0, 1, 2}}));
  Studio s;
  Read(&s, ChunkWithLength(0x4D4D, 0xFFFFFFF0u, ChunkWithLength(0x3D3D, 0xFFFFFF00u, objects)));
  EXPECT_FALSE(s.damaged);
  EXPECT_EQ(s.vertex_count, 7u);
  EXPECT_EQ(s.face_count, 2u);
}

// ---- names ------------------------------------------------------------------------------

TEST(StudioNames, ObjectNamesStopAfterTwelveBytes) {
  struct Case {
    const char* name;
    const char* stored;
    unsigned vertices;  // the mesh after the name is found only when the walk stays aligned
  };
  const Case cases[] = {
      {"Box01", "Box01", 3},
      {"ABCDEFGHIJK", "ABCDEFGHIJK", 3},    // 11 bytes and the zero: 12 in all
      {"ABCDEFGHIJKL", "ABCDEFGHIJK", 0},   // the zero is left unread, so the walk is a byte off
      {"ABCDEFGHIJKLM", "ABCDEFGHIJK", 3},  // two left unread: one id, then the mesh
  };
  for (const Case& c : cases) {
    Studio s;
    Read(&s, File(Object(c.name, Mesh(kTriangle, {}))));
    EXPECT_STREQ(s.temp_name, c.stored) << c.name;
    EXPECT_EQ(s.vertex_count, c.vertices) << c.name;
  }
}

TEST(StudioNames, MaterialNamesAreStoredUpToTheBuffersEnd) {
  const std::string long_name(150, 'm');
  const std::string materials =
      Chunk(0xAFFF, Chunk(0xA000, "a" + std::string(1, '\0')) +
                        Chunk(0xA000, long_name + std::string(1, '\0') + Chunk(0xA010, U16(0))));
  Studio s;
  Read(&s, File(materials));
  EXPECT_EQ(std::strlen(s.temp_name), sizeof s.temp_name - 1);
  EXPECT_EQ(std::string(s.temp_name), long_name.substr(0, sizeof s.temp_name - 1));
  EXPECT_EQ(s.material_count, 2u);

  // The rest of the long name is read and dropped: an object after it still loads.
  Studio t;
  Read(&t, File(materials + Object("after", Mesh(kTriangle, {{0, 1, 2}}))));
  EXPECT_EQ(t.vertex_count, 3u);
  EXPECT_STREQ(t.temp_name, "after");
}

TEST(StudioNames, AMaterialNameAtTheFilesEndEndsThere) {
  // No terminator: the 0xFF bytes past the end never end a name, the file's end does, and
  // the terminator takes the place of the last byte read as at any other stop.
  Studio s;
  Read(&s, ChunkWithLength(
               0x4D4D, 100,
               ChunkWithLength(0x3D3D, 90, ChunkWithLength(0xAFFF, 80, ChunkWithLength(0xA000, 70, "xyz")))));
  EXPECT_FALSE(s.damaged);
  EXPECT_STREQ(s.temp_name, "xy");
  EXPECT_EQ(s.material_count, 1u);
}

// ---- viewports --------------------------------------------------------------------------

std::string Viewport(uint16_t id, unsigned type, const std::string& camera) {
  std::string body = U16(3);
  for (int i = 0; i < 5; ++i) body += U16(0);
  body += U16(type);
  if (type == 0 || type == 0xFFFF) {
    for (int i = 0; i < 12; ++i) body += U16(0);
    body += camera + std::string(1, '\0');
  }
  return Chunk(id, body);
}

TEST(StudioViews, ViewportsAreCountedAndTheDefinitionStopsAfterTheFourth) {
  std::string views;
  for (int i = 0; i < 6; ++i) views += Viewport(i % 2 ? 0x7012 : 0x7020, 3, "");
  Studio s;
  Read(&s, File(Chunk(0x7001, views)));
  EXPECT_EQ(s.views_read, 4);
  s.Reset();
  EXPECT_EQ(s.views_read, 4);
}

TEST(StudioViews, ACameraViewportReadsTheCamerasName) {
  Studio s;
  Read(&s, File(Object("obj", "") + Chunk(0x7001, Viewport(0x7020, 0, "Cam7"))));
  EXPECT_STREQ(s.temp_name, "Cam7");
  Studio t;
  Read(&t, File(Object("obj", "") + Chunk(0x7001, Viewport(0x7020, 3, ""))));
  EXPECT_STREQ(t.temp_name, "obj");
}

// ---- damaged files ----------------------------------------------------------------------

TEST(StudioDamagedLists, AVertexCountBeyondTheFileEmptiesEverything) {
  const std::string short_list = Chunk(0x4110, U16(1000) + F32(1) + F32(2) + F32(3));
  Studio s;
  Read(&s, File(Object("ok", Mesh(kQuad, {{0, 1, 2}})) + Object("bad", Chunk(0x4100, short_list))));
  EXPECT_TRUE(s.damaged);
  ExpectEmpty(s);
  EXPECT_EQ(s.object_offset, 0u);
  EXPECT_EQ(s.current_vertex, 0u);
}

TEST(StudioDamagedLists, AFaceCountBeyondTheFileEmptiesEverything) {
  const std::string short_list = Chunk(0x4120, U16(50) + U16(0) + U16(1) + U16(2) + U16(0));
  Studio s;
  Read(&s, File(Object("bad", Chunk(0x4100, VertexList(kTriangle) + short_list))));
  EXPECT_TRUE(s.damaged);
  ExpectEmpty(s);
}

TEST(StudioDamagedLists, AListReadAgainAndAgainStopsAtWhatTheFileCanHold) {
  // A vertex list of length 0 sends the mesh loop back to the same list each time.
  const std::string again = ChunkWithLength(0x4110, 0, U16(1) + F32(1) + F32(2) + F32(3));
  Studio s;
  Read(&s, File(Object("loop", ChunkWithLength(0x4100, 0xFFFFFFFFu, again))));
  EXPECT_TRUE(s.damaged);
  ExpectEmpty(s);
}

TEST(StudioDamagedLists, AChunkThatLeadsBackToItselfEndsTheRead) {
  // A skipped chunk of length 0 is met again at every step of a loop two billion steps
  // long.
  Studio s;
  Read(&s, ChunkWithLength(0x4D4D, 0xFFFFFFFFu,
                           ChunkWithLength(0x3D3D, 0xFFFFFFFFu, ChunkWithLength(0x1100, 0, ""))));
  EXPECT_TRUE(s.damaged);
  ExpectEmpty(s);
}

TEST(StudioDamagedLists, AnIntactFileAfterADamagedOneIsNotDamaged) {
  Studio s;
  Read(&s, File(Object("bad", Chunk(0x4100, Chunk(0x4110, U16(9))))));
  EXPECT_TRUE(s.damaged);
  Read(&s, File(Object("tri", Mesh(kTriangle, {{0, 1, 2}}))));
  EXPECT_FALSE(s.damaged);
  EXPECT_EQ(s.vertex_count, 3u);
}

}  // namespace
