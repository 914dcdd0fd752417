// Small 3DS files built in memory, and the reader and writer run on them through real
// files.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "files/studio.h"

namespace studio_test {

std::string U16(unsigned v);
std::string U32(uint32_t v);
std::string F32(float f);
// A chunk whose length field says `length`, whatever the body holds; without it, the true one.
std::string ChunkWithLength(uint16_t id, uint32_t length, const std::string& body);
std::string Chunk(uint16_t id, const std::string& body);
std::string VertexList(const std::vector<D3DVECTOR>& vertices);
// `after` goes inside the face list, after the faces (material groups, smoothing).
std::string FaceList(const std::vector<std::array<unsigned, 3>>& faces, const std::string& after = "");
std::string Object(const std::string& name, const std::string& body);
// 0x4D4D > 0x3D3D > editor_body.
std::string File(const std::string& editor_body);

void Read(Studio* s, const std::string& bytes);
// The bytes written, and in *end_position where the writer left the file.
std::string Write(Studio* s, long* end_position = nullptr);
std::string FileBytes(const std::string& path);
// "a,b,c"
std::string Corners(const sfaces& f);

}  // namespace studio_test
