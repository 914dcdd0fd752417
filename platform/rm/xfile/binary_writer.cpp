// The binary encoding, as the common writers lay it out: consecutive integer members
// merged into one integer list, 32-bit float lists, unnamed child objects.
#include <bit>
#include <cstring>
#include <string_view>

#include "platform/rm/xfile/templates.h"
#include "platform/rm/xfile/write_plan.h"

namespace xfile {

namespace {

enum : uint16_t {
  kName = 1,
  kString = 2,
  kInteger = 3,
  kGuid = 5,
  kIntegerList = 6,
  kFloatList = 7,
  kOBrace = 10,
  kCBrace = 11,
  kOBracket = 14,
  kCBracket = 15,
  kDot = 18,
  kComma = 19,
  kSemicolon = 20,
  kTemplate = 31,
  kArray = 52,
};

class BinaryOut {
 public:
  explicit BinaryOut(std::string* out) : out_(out) {}

  void Word(uint16_t v) {
    char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    out_->append(b, 2);
  }
  void Dword(uint32_t v) {
    char b[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                 static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
    out_->append(b, 4);
  }
  void Name(std::string_view s) {
    Word(kName);
    Dword(static_cast<uint32_t>(s.size()));
    out_->append(s);
  }
  void String(std::string_view s) {
    Word(kString);
    Dword(static_cast<uint32_t>(s.size()));
    out_->append(s);
    Word(kSemicolon);
  }
  void Guid(const GUID& g) {
    Word(kGuid);
    Dword(g.Data1);
    Word(g.Data2);
    Word(g.Data3);
    out_->append(reinterpret_cast<const char*>(g.Data4), 8);
  }
  void Integers(const std::vector<uint32_t>& v) {
    Word(kIntegerList);
    Dword(static_cast<uint32_t>(v.size()));
    for (uint32_t x : v) Dword(x);
  }
  void Floats(const float* v, size_t n) {
    Word(kFloatList);
    Dword(static_cast<uint32_t>(n));
    for (size_t i = 0; i < n; ++i) Dword(std::bit_cast<uint32_t>(v[i]));
  }
  void Open(std::string_view type) {
    Name(type);
    Word(kOBrace);
  }
  void Close() { Word(kCBrace); }

 private:
  std::string* out_;
};

// The face list as one integer list: the count, then each face's size and corners.
std::vector<uint32_t> FaceList(const MeshData& m, const std::vector<uint32_t>& indices) {
  std::vector<uint32_t> list;
  list.reserve(1 + m.face_sizes.size() + indices.size());
  list.push_back(static_cast<uint32_t>(m.face_sizes.size()));
  size_t at = 0;
  for (uint32_t k : m.face_sizes) {
    list.push_back(k);
    list.insert(list.end(), indices.begin() + static_cast<ptrdiff_t>(at),
                indices.begin() + static_cast<ptrdiff_t>(at + k));
    at += k;
  }
  return list;
}

void WriteVectors(BinaryOut& o, const std::vector<D3DVECTOR>& v) {
  o.Integers({static_cast<uint32_t>(v.size())});
  o.Floats(reinterpret_cast<const float*>(v.data()), v.size() * 3);
}

uint16_t TokenOfKeyword(Keyword k) {
  switch (k) {
    case Keyword::kWord: return 40;
    case Keyword::kDword: return 41;
    case Keyword::kFloat: return 42;
    case Keyword::kDouble: return 43;
    case Keyword::kChar: return 44;
    case Keyword::kUchar: return 45;
    case Keyword::kSword: return 46;
    case Keyword::kSdword: return 47;
    case Keyword::kVoid: return 48;
    case Keyword::kString: return 49;
    case Keyword::kUnicode: return 50;
    default: return 51;  // CSTRING; the standard set uses none of the rest
  }
}

void WriteTemplate(BinaryOut& o, const Template& t) {
  o.Word(kTemplate);
  o.Name(t.name);
  o.Word(kOBrace);
  o.Guid(t.guid);
  for (const TemplateMember& m : t.members) {
    if (m.is_array) o.Word(kArray);
    if (m.type == Keyword::kNone) {
      o.Name(m.type_name);
    } else {
      o.Word(TokenOfKeyword(m.type));
    }
    if (!m.name.empty()) o.Name(m.name);
    for (const TemplateMember::Dim& d : m.dims) {
      o.Word(kOBracket);
      if (d.ref.empty()) {
        o.Word(kInteger);
        o.Dword(d.size);
      } else {
        o.Name(d.ref);
      }
      o.Word(kCBracket);
    }
    o.Word(kSemicolon);
  }
  if (t.restriction == Template::Restriction::kOpen) {
    o.Word(kOBracket);
    for (int i = 0; i < 3; ++i) o.Word(kDot);
    o.Word(kCBracket);
  } else if (t.restriction == Template::Restriction::kRestricted) {
    o.Word(kOBracket);
    for (size_t i = 0; i < t.allowed.size(); ++i) {
      if (i > 0) o.Word(kComma);
      o.Name(t.allowed[i]);
    }
    o.Word(kCBracket);
  }
  o.Word(kCBrace);
}

void WriteMaterialList(BinaryOut& o, const MeshData& m, bool texture_names) {
  o.Open("MeshMaterialList");
  std::vector<uint32_t> head;
  head.reserve(2 + m.face_materials.size());
  head.push_back(static_cast<uint32_t>(m.materials.size()));
  head.push_back(static_cast<uint32_t>(m.face_materials.size()));
  head.insert(head.end(), m.face_materials.begin(), m.face_materials.end());
  o.Integers(head);
  for (const MeshMaterial& mat : m.materials) {
    o.Open("Material");
    const float values[11] = {mat.r, mat.g, mat.b, mat.a, mat.power, mat.sr, mat.sg, mat.sb, mat.er, mat.eg, mat.eb};
    o.Floats(values, 11);
    if (texture_names && !mat.texture.empty()) {
      o.Open("TextureFilename");
      o.String(mat.texture);
      o.Close();
    }
    o.Close();
  }
  o.Close();
}

void WriteVertexColors(BinaryOut& o, const MeshData& m) {
  o.Open("MeshVertexColors");
  o.Integers({static_cast<uint32_t>(m.vertex_colors.size())});
  for (size_t i = 0; i < m.vertex_colors.size(); ++i) {
    D3DCOLOR c = m.vertex_colors[i];
    auto channel = [c](int shift) { return static_cast<float>((c >> shift) & 0xFF) / 255.0f; };
    const float rgba[4] = {channel(16), channel(8), channel(0), channel(24)};
    o.Integers({static_cast<uint32_t>(i)});
    o.Floats(rgba, 4);
  }
  o.Close();
}

}  // namespace

void WriteBinary(const MeshData& mesh, const WritePlan& plan, std::string* out) {
  out->reserve(out->size() + 16 + 24 * mesh.positions.size() * (plan.normals ? 2 : 1) +
               12 * mesh.face_indices.size() + 1024);
  out->append("xof 0302bin 0032");
  BinaryOut o(out);
  if (plan.templates) {
    for (const Template& t : StandardTemplates().all()) WriteTemplate(o, t);
  }
  o.Open("Header");
  o.Integers({1, 0, 1});
  o.Close();
  o.Open("Mesh");
  WriteVectors(o, mesh.positions);
  o.Integers(FaceList(mesh, mesh.face_indices));
  if (plan.materials) WriteMaterialList(o, mesh, plan.texture_names);
  if (plan.normals) {
    o.Open("MeshNormals");
    WriteVectors(o, mesh.normals);
    o.Integers(FaceList(mesh, mesh.normal_indices));
    o.Close();
  }
  if (plan.texcoords) {
    o.Open("MeshTextureCoords");
    o.Integers({static_cast<uint32_t>(mesh.positions.size())});
    o.Floats(mesh.texcoords.data(), mesh.texcoords.size());
    o.Close();
  }
  if (plan.vertex_colors) WriteVertexColors(o, mesh);
  o.Close();
}

}  // namespace xfile
