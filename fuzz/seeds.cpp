#include "fuzz/seeds.h"

#include <cstdio>
#include <cstdlib>

#include "files/studio.h"
#include "platform/rm/xfile/xfile.h"

namespace {

// A unit cube of quads with normals, texture coordinates, two materials (one textured)
// and a vertex colour: every block the .x reader interprets.
MeshData Cube() {
  MeshData m;
  m.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
  m.face_sizes = {4, 4, 4, 4, 4, 3};
  m.face_indices = {0, 3, 2, 1, 4, 5, 6, 7, 0, 1, 5, 4, 2, 3, 7, 6, 1, 2, 6, 5, 0, 4, 7};
  m.normals = {{0, 0, -1}, {0, 0, 1}, {0, -1, 0}, {0, 1, 0}, {1, 0, 0}, {-1, 0, 0}};
  for (uint32_t f = 0; f < 6; ++f)
    for (uint32_t k = 0; k < m.face_sizes[f]; ++k) m.normal_indices.push_back(f);
  for (size_t i = 0; i < m.positions.size(); ++i) {
    m.texcoords.push_back(m.positions[i].x);
    m.texcoords.push_back(m.positions[i].y);
  }
  m.vertex_colors.assign(m.positions.size(), 0xFFFFFFFFu);
  m.vertex_colors[2] = 0xFF336699u;
  m.materials.resize(2);
  m.materials[1].r = 0.5f;
  m.materials[1].texture = "cube.bmp";
  m.face_materials = {0, 0, 1, 1, 0, 1};
  return m;
}

std::string XFile(D3DRMXOFFORMAT format, D3DRMSAVEOPTIONS options) {
  std::string out;
  if (FAILED(xfile::Write(Cube(), format, options, &out))) std::abort();
  return out;
}

void XSeeds(std::vector<FuzzSeed>* seeds) {
  constexpr D3DRMSAVEOPTIONS kAll = D3DRMXOFSAVE_NORMALS | D3DRMXOFSAVE_TEXTURECOORDINATES |
                                    D3DRMXOFSAVE_MATERIALS | D3DRMXOFSAVE_TEXTURENAMES;
  seeds->push_back({"cube_text.x", XFile(D3DRMXOF_TEXT, kAll)});
  seeds->push_back({"cube_binary.x", XFile(D3DRMXOF_BINARY, kAll)});
  seeds->push_back({"cube_compressed.x", XFile(D3DRMXOF_COMPRESSED, kAll)});
  seeds->push_back({"cube_plain.x", XFile(D3DRMXOF_TEXT, 0)});
  // Frames, a declared template, a named material and a reference to it.
  seeds->push_back({"frames.x",
                    "xof 0302txt 0032\n"
                    "template Extra { <11111111-2222-3333-4444-555555555555> DWORD n; array FLOAT v[n]; }\n"
                    "Material Red { 1.0;0.0;0.0;1.0;; 5.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }\n"
                    "Frame A { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 2,3,4,1;; }\n"
                    " Frame B { Extra { 2; 1.0, 2.0; }\n"
                    "  Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
                    "   MeshMaterialList { 1; 1; 0;; { Red } }\n"
                    "   MeshNormals { 1; 0;0;1;; 1; 3;0,0,0;; } } } }\n"});
}

std::string StudioFile(const std::vector<D3DVECTOR>& verts, const std::vector<sfaces>& faces) {
  Studio s;
  s.verts = verts;
  s.facesl = faces;
  s.vertex_count = static_cast<unsigned>(verts.size());
  s.face_count = static_cast<unsigned>(faces.size());
  char* bytes = nullptr;
  size_t size = 0;
  s.bin3ds = open_memstream(&bytes, &size);
  if (!s.bin3ds) std::abort();
  s.WritePrimaryChunk();
  std::fseek(s.bin3ds, 0, SEEK_END);
  std::fclose(s.bin3ds);
  std::string out(bytes, size);
  std::free(bytes);
  return out;
}

void StudioSeeds(std::vector<FuzzSeed>* seeds) {
  seeds->push_back({"triangle.3ds", StudioFile({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}})});
  seeds->push_back({"quad.3ds", StudioFile({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 2, 3}})});
}

std::string Le(uint32_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

// A w x h bitmap of `bits` per pixel, bottom-up, with a full palette for 8 bits.
std::string Bitmap(int w, int h, int bits, uint32_t compression = 0) {
  const uint32_t stride = (static_cast<uint32_t>(w) * bits + 31) / 32 * 4;
  const uint32_t palette = bits == 8 ? 256 * 4 : compression == 3 ? 12 : 0;
  const uint32_t offset = 14 + 40 + palette;
  std::string b = "BM" + Le(offset + stride * h, 4) + Le(0, 4) + Le(offset, 4);
  b += Le(40, 4) + Le(w, 4) + Le(h, 4) + Le(1, 2) + Le(bits, 2) + Le(compression, 4);
  b += Le(stride * h, 4) + Le(2835, 4) + Le(2835, 4) + Le(0, 4) + Le(0, 4);
  if (bits == 8)
    for (uint32_t i = 0; i < 256; ++i) b += Le(i * 0x010101u, 4);
  if (compression == 3) b += Le(0xff0000, 4) + Le(0xff00, 4) + Le(0xff, 4);
  for (uint32_t i = 0; i < stride * static_cast<uint32_t>(h); ++i) b += static_cast<char>(i * 37);
  return b;
}

void BmpSeeds(std::vector<FuzzSeed>* seeds) {
  seeds->push_back({"grey8.bmp", Bitmap(3, 2, 8)});
  seeds->push_back({"rgb24.bmp", Bitmap(3, 2, 24)});
  seeds->push_back({"rgb32.bmp", Bitmap(2, 2, 32)});
  seeds->push_back({"masks32.bmp", Bitmap(2, 1, 32, 3)});
}

}  // namespace

std::vector<FuzzSeed> GeneratedSeeds(std::string_view target) {
  std::vector<FuzzSeed> seeds;
  if (target == "xfile" || target == "open") XSeeds(&seeds);
  if (target == "studio" || target == "open") StudioSeeds(&seeds);
  if (target == "bmp") BmpSeeds(&seeds);
  return seeds;
}
