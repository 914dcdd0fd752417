// The 3DS writer: one editor section holding one mesh object named "globalmesh", the
// smallest file 3DS readers accept.
#include <algorithm>
#include <bit>

#include "files/studio.h"

namespace {

constexpr char kObjectName[] = "globalmesh";  // written with its terminating zero

}  // namespace

void Studio::WriteChar(uint8_t c) {
  if (bin3ds) std::fputc(c, bin3ds);
}

void Studio::WriteInt(int v) {
  WriteChar(static_cast<uint8_t>(v & 0xFF));
  WriteChar(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void Studio::WriteLong(uint32_t v) {
  WriteInt(static_cast<int>(v & 0xFFFF));
  WriteInt(static_cast<int>(v >> 16));
}

// Every chunk is written with a length of 0 and given its length once its content is
// complete, so nothing has to be measured in advance.
void Studio::PatchChunkLength(long start) {
  const long end = std::ftell(bin3ds);
  std::fseek(bin3ds, start + 2, SEEK_SET);
  WriteLong(static_cast<uint32_t>(end - start));
  std::fseek(bin3ds, end, SEEK_SET);
}

int Studio::WritePrimaryChunk() {
  if (!bin3ds) return 0;
  WriteMainChunk();
  std::fseek(bin3ds, 0, SEEK_END);
  std::fseek(bin3ds, 0, SEEK_SET);
  return 0;
}

uint32_t Studio::WriteMainChunk() {
  if (!bin3ds) return 0;
  std::fseek(bin3ds, 0, SEEK_SET);
  WriteInt(0x4D4D);
  std::fseek(bin3ds, 2, SEEK_SET);
  WriteLong(0);
  WriteEditChunk();
  return 0;
}

uint32_t Studio::WriteEditChunk() {
  if (!bin3ds) return 0;
  constexpr long kMainStart = 0;
  const long edit_start = std::ftell(bin3ds);
  WriteInt(0x3D3D);
  WriteLong(0);

  const long object_start = std::ftell(bin3ds);
  WriteInt(0x4000);
  WriteLong(0);
  for (char c : kObjectName) WriteChar(static_cast<uint8_t>(c));

  const long mesh_start = std::ftell(bin3ds);
  WriteInt(0x4100);
  WriteLong(0);

  // The counts are 16-bit: callers refuse larger models before writing. Entries the
  // arrays do not hold are not written.
  const long vertices_start = std::ftell(bin3ds);
  WriteInt(0x4110);
  WriteLong(0);
  WriteInt(static_cast<int>(vertex_count & 0xFFFF));
  const size_t nv = std::min<size_t>(vertex_count, verts.size());
  for (size_t i = 0; i < nv; ++i) {
    WriteLong(std::bit_cast<uint32_t>(verts[i].x));
    WriteLong(std::bit_cast<uint32_t>(verts[i].y));
    WriteLong(std::bit_cast<uint32_t>(verts[i].z));
  }
  PatchChunkLength(vertices_start);

  const long faces_start = std::ftell(bin3ds);
  WriteInt(0x4120);
  WriteLong(0);
  WriteInt(static_cast<int>(face_count & 0xFFFF));
  const size_t nf = std::min<size_t>(face_count, facesl.size());
  for (size_t i = 0; i < nf; ++i) {
    WriteInt(static_cast<int>(facesl[i].a & 0xFFFF));
    WriteInt(static_cast<int>(facesl[i].b & 0xFFFF));
    WriteInt(static_cast<int>(facesl[i].c & 0xFFFF));
    WriteInt(0);  // flags
  }
  PatchChunkLength(faces_start);

  PatchChunkLength(mesh_start);
  PatchChunkLength(object_start);
  PatchChunkLength(edit_start);
  PatchChunkLength(kMainStart);
  return static_cast<uint32_t>(std::ftell(bin3ds));
}
