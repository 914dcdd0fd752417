#include "platform/rm/xfile/templates.h"

#include <array>
#include <unordered_set>

#include "platform/rm/xfile/text_lexer.h"

namespace xfile {

namespace {

constexpr std::string_view kStandardText = R"(template Header {
 <3D82AB43-62DA-11cf-AB39-0020AF71E433>
 WORD major;
 WORD minor;
 DWORD flags;
}

template Vector {
 <3D82AB5E-62DA-11cf-AB39-0020AF71E433>
 FLOAT x;
 FLOAT y;
 FLOAT z;
}

template Coords2d {
 <F6F23F44-7686-11cf-8F52-0040333594A3>
 FLOAT u;
 FLOAT v;
}

template Matrix4x4 {
 <F6F23F45-7686-11cf-8F52-0040333594A3>
 array FLOAT matrix[16];
}

template ColorRGBA {
 <35FF44E0-6C7C-11cf-8F52-0040333594A3>
 FLOAT red;
 FLOAT green;
 FLOAT blue;
 FLOAT alpha;
}

template ColorRGB {
 <D3E16E81-7835-11cf-8F52-0040333594A3>
 FLOAT red;
 FLOAT green;
 FLOAT blue;
}

template IndexedColor {
 <1630B820-7842-11cf-8F52-0040333594A3>
 DWORD index;
 ColorRGBA indexColor;
}

template Boolean {
 <4885AE61-78E8-11cf-8F52-0040333594A3>
 WORD truefalse;
}

template Boolean2d {
 <4885AE63-78E8-11cf-8F52-0040333594A3>
 Boolean u;
 Boolean v;
}

template MaterialWrap {
 <4885AE60-78E8-11cf-8F52-0040333594A3>
 Boolean u;
 Boolean v;
}

template TextureFilename {
 <A42790E1-7810-11cf-8F52-0040333594A3>
 STRING filename;
}

template Material {
 <3D82AB4D-62DA-11cf-AB39-0020AF71E433>
 ColorRGBA faceColor;
 FLOAT power;
 ColorRGB specularColor;
 ColorRGB emissiveColor;
 [...]
}

template MeshFace {
 <3D82AB5F-62DA-11cf-AB39-0020AF71E433>
 DWORD nFaceVertexIndices;
 array DWORD faceVertexIndices[nFaceVertexIndices];
}

template MeshFaceWraps {
 <4885AE62-78E8-11cf-8F52-0040333594A3>
 DWORD nFaceWrapValues;
 Boolean2d faceWrapValues;
}

template MeshTextureCoords {
 <F6F23F40-7686-11cf-8F52-0040333594A3>
 DWORD nTextureCoords;
 array Coords2d textureCoords[nTextureCoords];
}

template MeshMaterialList {
 <F6F23F42-7686-11cf-8F52-0040333594A3>
 DWORD nMaterials;
 DWORD nFaceIndexes;
 array DWORD faceIndexes[nFaceIndexes];
 [Material]
}

template MeshNormals {
 <F6F23F43-7686-11cf-8F52-0040333594A3>
 DWORD nNormals;
 array Vector normals[nNormals];
 DWORD nFaceNormals;
 array MeshFace faceNormals[nFaceNormals];
}

template MeshVertexColors {
 <1630B821-7842-11cf-8F52-0040333594A3>
 DWORD nVertexColors;
 array IndexedColor vertexColors[nVertexColors];
}

template Mesh {
 <3D82AB44-62DA-11cf-AB39-0020AF71E433>
 DWORD nVertices;
 array Vector vertices[nVertices];
 DWORD nFaces;
 array MeshFace faces[nFaces];
 [...]
}

template FrameTransformMatrix {
 <F6F23F41-7686-11cf-8F52-0040333594A3>
 Matrix4x4 frameMatrix;
}

template Frame {
 <3D82AB46-62DA-11cf-AB39-0020AF71E433>
 [...]
}
)";

// The templates whose data the reader takes apart with fixed layouts.
constexpr std::array<std::string_view, 15> kInterpreted = {
    "Vector",           "Coords2d",          "Matrix4x4",       "ColorRGBA",
    "ColorRGB",         "IndexedColor",      "TextureFilename", "Material",
    "MeshFace",         "MeshTextureCoords", "MeshMaterialList", "MeshNormals",
    "MeshVertexColors", "Mesh",              "FrameTransformMatrix",
};

bool IsPrimitive(Keyword k) {
  return k != Keyword::kNone && k != Keyword::kTemplate && k != Keyword::kArray;
}

// What a value of a primitive type is, as far as reading it goes.
int ValueClass(Keyword k) {
  switch (k) {
    case Keyword::kWord:
    case Keyword::kDword:
    case Keyword::kChar:
    case Keyword::kUchar:
    case Keyword::kSword:
    case Keyword::kSdword:
    case Keyword::kUlonglong: return 1;
    case Keyword::kFloat:
    case Keyword::kDouble: return 2;
    case Keyword::kString:
    case Keyword::kCstring:
    case Keyword::kUnicode: return 3;
    default: return 4 + static_cast<int>(k);
  }
}

int MemberIndex(const std::vector<TemplateMember>& members, std::string_view name) {
  for (size_t i = 0; i < members.size(); ++i) {
    if (EqualNoCase(members[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

bool Expect(Lexer& lexer, TokenKind kind) {
  Token t;
  return lexer.Next(&t) && t.kind == kind;
}

// Member names compare without case; folded, they key a hash set, so a declaration of
// many members that size arrays by earlier ones costs one lookup per dimension.
std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

using MemberNames = std::unordered_set<std::string>;

bool ParseDims(Lexer& lexer, const MemberNames& earlier, TemplateMember* member) {
  Token t;
  if (!lexer.Next(&t) || t.kind != TokenKind::kOBracket) return false;
  for (;;) {
    TemplateMember::Dim dim;
    if (!lexer.Next(&t)) return false;
    if (t.kind == TokenKind::kNumber && t.is_integer) {
      dim.size = t.integer;
    } else if (t.kind == TokenKind::kName) {
      if (!earlier.contains(Folded(t.text))) return false;
      dim.ref.assign(t.text);
    } else {
      return false;
    }
    if (!Expect(lexer, TokenKind::kCBracket)) return false;
    member->dims.push_back(std::move(dim));
    if (!lexer.Next(&t)) return false;
    if (t.kind == TokenKind::kSemicolon) return true;
    if (t.kind != TokenKind::kOBracket) return false;
  }
}

bool ParseRestriction(Lexer& lexer, Template* out) {
  Token t;
  int dots = 0;
  out->restriction = Template::Restriction::kRestricted;
  for (;;) {
    if (!lexer.Next(&t)) return false;
    switch (t.kind) {
      case TokenKind::kCBracket:
        if (dots != 0 && dots != 3) return false;
        if (dots == 3) out->restriction = Template::Restriction::kOpen;
        return true;
      case TokenKind::kDot:
        if (++dots > 3 || !out->allowed.empty()) return false;
        break;
      case TokenKind::kName:
        if (dots != 0) return false;
        out->allowed.emplace_back(t.text);
        break;
      case TokenKind::kGuid:
      case TokenKind::kComma: break;
      default: return false;
    }
  }
}

// Member type and name of a non-array member, then its ';'.
bool ParsePlainMember(Lexer& lexer, const Token& type, TemplateMember* member) {
  member->type = KeywordOf(type);
  if (member->type == Keyword::kNone) member->type_name.assign(type.text);
  Token t;
  if (!lexer.Next(&t)) return false;
  if (t.kind == TokenKind::kName) {
    member->name.assign(t.text);
    if (!lexer.Next(&t)) return false;
  }
  return t.kind == TokenKind::kSemicolon;
}

bool ParseArrayMember(Lexer& lexer, const MemberNames& earlier, TemplateMember* member) {
  Token type, name;
  if (!lexer.Next(&type) || !lexer.Next(&name) || name.kind != TokenKind::kName) return false;
  Keyword k = KeywordOf(type);
  if (IsPrimitive(k)) {
    member->type = k;
  } else if (type.kind == TokenKind::kName && k == Keyword::kNone) {
    member->type_name.assign(type.text);
  } else {
    return false;
  }
  member->is_array = true;
  member->name.assign(name.text);
  return ParseDims(lexer, earlier, member);
}

}  // namespace

const Template* TemplateTable::Find(std::string_view name) const {
  for (const Template& t : templates_) {
    if (EqualNoCase(t.name, name)) return &t;
  }
  return nullptr;
}

void TemplateTable::Add(Template t) {
  for (Template& existing : templates_) {
    if (EqualNoCase(existing.name, t.name)) {
      existing = std::move(t);
      return;
    }
  }
  templates_.push_back(std::move(t));
}

std::string_view StandardTemplateText() { return kStandardText; }

const TemplateTable& StandardTemplates() {
  static const TemplateTable table = [] {
    TemplateTable t;
    TextLexer lexer(kStandardText.data(), kStandardText.data() + kStandardText.size());
    Token token;
    while (lexer.Next(&token) && token.kind != TokenKind::kEnd) {
      Template parsed;
      if (KeywordOf(token) == Keyword::kTemplate && ParseTemplate(lexer, &parsed)) t.Add(std::move(parsed));
    }
    return t;
  }();
  return table;
}

bool ParseTemplate(Lexer& lexer, Template* out) {
  Token t;
  if (!lexer.Next(&t) || t.kind != TokenKind::kName) return false;
  out->name.assign(t.text);
  if (!Expect(lexer, TokenKind::kOBrace)) return false;
  lexer.TryGuid(&out->guid);
  MemberNames names;
  for (;;) {
    if (!lexer.Next(&t)) return false;
    if (t.kind == TokenKind::kCBrace) return true;
    if (t.kind == TokenKind::kOBracket) {
      return ParseRestriction(lexer, out) && Expect(lexer, TokenKind::kCBrace);
    }
    TemplateMember member;
    Keyword k = KeywordOf(t);
    if (k == Keyword::kArray) {
      if (!ParseArrayMember(lexer, names, &member)) return false;
    } else if (IsPrimitive(k) || (t.kind == TokenKind::kName && k == Keyword::kNone)) {
      if (!ParsePlainMember(lexer, t, &member)) return false;
    } else {
      return false;
    }
    if (!member.name.empty()) names.insert(Folded(member.name));
    out->members.push_back(std::move(member));
  }
}

bool KeepsStandardLayout(const Template& t) {
  bool interpreted = false;
  for (std::string_view name : kInterpreted) interpreted = interpreted || EqualNoCase(name, t.name);
  if (!interpreted) return true;
  const Template* standard = StandardTemplates().Find(t.name);
  if (!standard || standard->members.size() != t.members.size()) return false;
  for (size_t i = 0; i < t.members.size(); ++i) {
    const TemplateMember& a = t.members[i];
    const TemplateMember& b = standard->members[i];
    if (a.is_array != b.is_array || a.dims.size() != b.dims.size()) return false;
    if ((a.type == Keyword::kNone) != (b.type == Keyword::kNone)) return false;
    if (a.type == Keyword::kNone ? !EqualNoCase(a.type_name, b.type_name)
                                 : ValueClass(a.type) != ValueClass(b.type))
      return false;
    for (size_t d = 0; d < a.dims.size(); ++d) {
      if (a.dims[d].ref.empty() != b.dims[d].ref.empty()) return false;
      if (a.dims[d].ref.empty() ? a.dims[d].size != b.dims[d].size
                                : MemberIndex(t.members, a.dims[d].ref) !=
                                      MemberIndex(standard->members, b.dims[d].ref))
        return false;
    }
  }
  return true;
}

}  // namespace xfile
