#include "tests/files/studio_bytes.h"

#include <bit>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace studio_test {

std::string U16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
std::string U32(uint32_t v) { return U16(v & 0xFFFF) + U16(v >> 16); }
std::string F32(float f) { return U32(std::bit_cast<uint32_t>(f)); }

std::string ChunkWithLength(uint16_t id, uint32_t length, const std::string& body) {
  return U16(id) + U32(length) + body;
}
std::string Chunk(uint16_t id, const std::string& body) {
  return ChunkWithLength(id, static_cast<uint32_t>(body.size() + 6), body);
}

std::string VertexList(const std::vector<D3DVECTOR>& vertices) {
  std::string body = U16(static_cast<unsigned>(vertices.size()));
  for (const D3DVECTOR& v : vertices) body += F32(v.x) + F32(v.y) + F32(v.z);
  return Chunk(0x4110, body);
}

std::string FaceList(const std::vector<std::array<unsigned, 3>>& faces, const std::string& after) {
  std::string body = U16(static_cast<unsigned>(faces.size()));
  for (const auto& f : faces) body += U16(f[0]) + U16(f[1]) + U16(f[2]) + U16(0);
  return Chunk(0x4120, body + after);
}

std::string Object(const std::string& name, const std::string& body) {
  return Chunk(0x4000, name + std::string(1, '\0') + body);
}
std::string File(const std::string& editor_body) { return Chunk(0x4D4D, Chunk(0x3D3D, editor_body)); }

void Read(Studio* s, const std::string& bytes) {
  FILE* f = std::tmpfile();
  if (!f) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  s->bin3ds = f;
  s->ReadPrimaryChunk();
  s->bin3ds = nullptr;
  std::fclose(f);
}

std::string Write(Studio* s, long* end_position) {
  FILE* f = std::tmpfile();
  if (!f) return {};
  s->bin3ds = f;
  s->WritePrimaryChunk();
  s->bin3ds = nullptr;
  if (end_position) *end_position = std::ftell(f);
  std::fseek(f, 0, SEEK_END);
  std::string bytes(static_cast<size_t>(std::ftell(f)), '\0');
  std::rewind(f);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
  std::fclose(f);
  return bytes;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Corners(const sfaces& f) {
  return std::to_string(f.a) + "," + std::to_string(f.b) + "," + std::to_string(f.c);
}

}  // namespace studio_test
