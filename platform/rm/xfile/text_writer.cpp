// The text encoding, with strict separators: ';' after every value, ',' between array
// elements. Floats are printed in their shortest form that reads back to the same value.
#include <charconv>
#include <string_view>

#include "platform/rm/xfile/templates.h"
#include "platform/rm/xfile/write_plan.h"

namespace xfile {

namespace {

class TextOut {
 public:
  explicit TextOut(std::string* out) : out_(out) {}

  TextOut& operator<<(std::string_view s) {
    out_->append(s);
    return *this;
  }
  TextOut& operator<<(char c) {
    out_->push_back(c);
    return *this;
  }
  TextOut& operator<<(uint32_t v) {
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    out_->append(buf, r.ptr);
    return *this;
  }
  TextOut& operator<<(float v) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    out_->append(buf, r.ptr);
    return *this;
  }
  // The separator after element i of n: ',' between elements, ';' after the last.
  static char After(size_t i, size_t n) { return i + 1 < n ? ',' : ';'; }

 private:
  std::string* out_;
};

// Strings are read back with doubled backslashes collapsed, so every backslash is doubled.
std::string Quoted(const std::string& s) {
  std::string q = "\"";
  for (char c : s) {
    q.push_back(c);
    if (c == '\\') q.push_back('\\');
  }
  q.push_back('"');
  return q;
}

void WriteVectors(TextOut& o, std::string_view indent, const std::vector<D3DVECTOR>& v) {
  o << indent << static_cast<uint32_t>(v.size()) << ";\n";
  for (size_t i = 0; i < v.size(); ++i) {
    o << indent << v[i].x << ';' << v[i].y << ';' << v[i].z << ';' << TextOut::After(i, v.size()) << '\n';
  }
}

void WriteFaces(TextOut& o, std::string_view indent, const MeshData& m, const std::vector<uint32_t>& indices) {
  size_t n = m.face_sizes.size();
  o << indent << static_cast<uint32_t>(n) << ";\n";
  size_t at = 0;
  for (size_t f = 0; f < n; ++f) {
    uint32_t k = m.face_sizes[f];
    o << indent << k << ';';
    for (uint32_t i = 0; i < k; ++i) o << indices[at + i] << TextOut::After(i, k);
    o << TextOut::After(f, n) << '\n';
    at += k;
  }
}

void WriteMaterial(TextOut& o, const MeshMaterial& m, bool texture_name) {
  o << "  Material {\n";
  o << "   " << m.r << ';' << m.g << ';' << m.b << ';' << m.a << ";;\n";
  o << "   " << m.power << ";\n";
  o << "   " << m.sr << ';' << m.sg << ';' << m.sb << ";;\n";
  o << "   " << m.er << ';' << m.eg << ';' << m.eb << ";;\n";
  if (texture_name && !m.texture.empty()) {
    o << "   TextureFilename {\n    " << Quoted(m.texture) << ";\n   }\n";
  }
  o << "  }\n";
}

void WriteMaterialList(TextOut& o, const MeshData& m, bool texture_names) {
  size_t nf = m.face_materials.size();
  o << "\n MeshMaterialList {\n";
  o << "  " << static_cast<uint32_t>(m.materials.size()) << ";\n";
  o << "  " << static_cast<uint32_t>(nf) << ";\n";
  for (size_t f = 0; f < nf; ++f) o << "  " << m.face_materials[f] << TextOut::After(f, nf) << '\n';
  for (const MeshMaterial& material : m.materials) WriteMaterial(o, material, texture_names);
  o << " }\n";
}

void WriteTexcoords(TextOut& o, const MeshData& m) {
  size_t n = m.positions.size();
  o << "\n MeshTextureCoords {\n  " << static_cast<uint32_t>(n) << ";\n";
  for (size_t i = 0; i < n; ++i) {
    o << "  " << m.texcoords[2 * i] << ';' << m.texcoords[2 * i + 1] << ';' << TextOut::After(i, n) << '\n';
  }
  o << " }\n";
}

void WriteVertexColors(TextOut& o, const MeshData& m) {
  size_t n = m.vertex_colors.size();
  o << "\n MeshVertexColors {\n  " << static_cast<uint32_t>(n) << ";\n";
  for (size_t i = 0; i < n; ++i) {
    D3DCOLOR c = m.vertex_colors[i];
    auto channel = [c](int shift) { return static_cast<float>((c >> shift) & 0xFF) / 255.0f; };
    o << "  " << static_cast<uint32_t>(i) << ';' << channel(16) << ';' << channel(8) << ';' << channel(0) << ';'
      << channel(24) << ";;" << TextOut::After(i, n) << '\n';
  }
  o << " }\n";
}

}  // namespace

void WriteText(const MeshData& mesh, const WritePlan& plan, std::string* out) {
  // About 40 bytes per vertex line and 20 per face line.
  out->reserve(out->size() + 64 * mesh.positions.size() + 24 * mesh.face_indices.size() + 4096);
  TextOut o(out);
  o << "xof 0302txt 0032\n";
  if (plan.templates) o << StandardTemplateText() << '\n';
  o << "Header {\n 1;\n 0;\n 1;\n}\n\nMesh {\n";
  WriteVectors(o, " ", mesh.positions);
  WriteFaces(o, " ", mesh, mesh.face_indices);
  if (plan.materials) WriteMaterialList(o, mesh, plan.texture_names);
  if (plan.normals) {
    o << "\n MeshNormals {\n";
    WriteVectors(o, "  ", mesh.normals);
    WriteFaces(o, "  ", mesh, mesh.normal_indices);
    o << " }\n";
  }
  if (plan.texcoords) WriteTexcoords(o, mesh);
  if (plan.vertex_colors) WriteVertexColors(o, mesh);
  o << "}\n";
}

}  // namespace xfile
