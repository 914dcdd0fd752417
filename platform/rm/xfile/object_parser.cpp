#include "platform/rm/xfile/object_parser.h"

#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/rm/xfile/templates.h"

namespace xfile {

namespace {

// Real files nest a handful of frames; anything deeper is damage or an attack on the stack.
constexpr int kMaxDepth = 64;

enum class Context { kTop, kFrame, kMesh, kMaterialList, kMaterial, kOther };

// Where a child object lands: the frame, mesh or material being read around it.
struct Parent {
  Context context = Context::kTop;
  int frame = -1;
  size_t mesh = 0;
  MeshMaterial* material = nullptr;
};

uint8_t ColorByte(float c) {
  c = std::clamp(c, 0.0f, 1.0f);
  return static_cast<uint8_t>(std::lround(c * 255.0f));
}

D3DCOLOR PackColor(const float rgba[4]) {
  return (D3DCOLOR{ColorByte(rgba[3])} << 24) | (D3DCOLOR{ColorByte(rgba[0])} << 16) |
         (D3DCOLOR{ColorByte(rgba[1])} << 8) | D3DCOLOR{ColorByte(rgba[2])};
}

// Some writers double every backslash of a path.
std::string CollapseBackslashes(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    out.push_back(s[i]);
    if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == '\\') ++i;
  }
  return out;
}

// Room for `n` elements, on large pages where the system gives them on request: the
// first write to a fresh small page costs about as much as reading the values that fill
// it, while a large page is cleared in one go. Only whole large pages inside the
// allocation are marked, and the advice changes nothing but speed.
template <typename T>
void ReserveLarge(std::vector<T>* v, size_t n) {
  v->reserve(n);
#ifdef MADV_HUGEPAGE
  constexpr uintptr_t kLargePage = uintptr_t{2} << 20;
  const uintptr_t begin = reinterpret_cast<uintptr_t>(v->data());
  const uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
  const uintptr_t last = (begin + n * sizeof(T)) & ~(kLargePage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

float* FloatsOf(std::vector<D3DVECTOR>& v) {
  static_assert(sizeof(D3DVECTOR) == 3 * sizeof(float));
  return reinterpret_cast<float*>(v.data());
}

class ObjectParser {
 public:
  ObjectParser(Lexer& lexer, Scene& scene)
      : lex_(lexer), scene_(scene), material_slots_left_(lexer.Remaining() / lexer.MinValueBytes()) {}

  bool ParseBody() {
    Token t;
    for (;;) {
      if (!lex_.Next(&t)) return false;
      switch (t.kind) {
        case TokenKind::kEnd: return true;
        case TokenKind::kComma:
        case TokenKind::kSemicolon: break;
        case TokenKind::kName:
        case TokenKind::kKeyword:
          if (KeywordOf(t) == Keyword::kTemplate) {
            // Declarations only matter where they would change a layout the reader
            // relies on; skipped objects need none.
            Template declared;
            if (!ParseTemplate(lex_, &declared) || !KeepsStandardLayout(declared)) return false;
          } else if (t.kind != TokenKind::kName || !ParseObject(t.text, Parent{}, 1)) {
            return false;
          }
          break;
        default: return false;
      }
    }
  }

 private:
  // After the type name: an optional object name, the brace, an optional GUID.
  bool ParseObject(std::string_view type, const Parent& parent, int depth) {
    if (depth > kMaxDepth) return false;
    Token t;
    if (!lex_.Next(&t)) return false;
    std::string_view name;
    if (t.kind == TokenKind::kName) {
      name = t.text;
      if (!lex_.Next(&t)) return false;
    }
    if (t.kind != TokenKind::kOBrace) return false;
    GUID guid{};
    bool has_guid = lex_.TryGuid(&guid);

    Context c = parent.context;
    bool in_scene = c == Context::kTop || c == Context::kFrame;
    if (in_scene && EqualNoCase(type, "Mesh")) return ParseMesh(parent.frame, depth);
    if (in_scene && EqualNoCase(type, "Frame")) return ParseFrame(parent.frame, depth);
    if (in_scene && EqualNoCase(type, "Material")) {
      NamedMaterial named{std::string(name), has_guid, guid, {}};
      if (!ParseMaterial(&named.material, depth)) return false;
      scene_.materials.push_back(std::move(named));
      return true;
    }
    if (c == Context::kFrame && EqualNoCase(type, "FrameTransformMatrix")) {
      return lex_.ReadFloats(scene_.frames[static_cast<size_t>(parent.frame)].matrix, 16) &&
             ParseChildren(Parent{Context::kOther}, depth);
    }
    if (c == Context::kMesh) {
      if (EqualNoCase(type, "MeshNormals")) return ParseNormals(parent.mesh, depth);
      if (EqualNoCase(type, "MeshTextureCoords")) return ParseTextureCoords(parent.mesh, depth);
      if (EqualNoCase(type, "MeshVertexColors")) return ParseVertexColors(parent.mesh, depth);
      if (EqualNoCase(type, "MeshMaterialList")) return ParseMaterialList(parent.mesh, depth);
    }
    if (c == Context::kMaterialList && EqualNoCase(type, "Material")) {
      MaterialSlot slot;
      if (!ParseMaterial(&slot.material, depth)) return false;
      scene_.meshes[parent.mesh].slots.push_back(std::move(slot));
      return true;
    }
    if (c == Context::kMaterial && EqualNoCase(type, "TextureFilename")) {
      std::string file;
      if (!lex_.ReadString(&file)) return false;
      parent.material->texture = lex_.IsText() ? CollapseBackslashes(file) : std::move(file);
      return ParseChildren(Parent{Context::kOther}, depth);
    }
    return SkipBody();
  }

  // Child objects and references up to the closing brace. Values beyond what the
  // template asked for are tolerated and dropped.
  bool ParseChildren(const Parent& parent, int depth) {
    Token t;
    for (;;) {
      if (!lex_.Next(&t)) return false;
      switch (t.kind) {
        case TokenKind::kCBrace: return true;
        case TokenKind::kComma:
        case TokenKind::kSemicolon:
        case TokenKind::kNumber:
        case TokenKind::kString:
        case TokenKind::kGuid: break;
        case TokenKind::kOBrace:
          if (!ParseReference(parent)) return false;
          break;
        case TokenKind::kName:
          if (!ParseObject(t.text, parent, depth + 1)) return false;
          break;
        default: return false;
      }
    }
  }

  // `{ name }`, `{ <guid> }` or `{ name <guid> }`; only material lists use them.
  bool ParseReference(const Parent& parent) {
    MaterialSlot slot;
    slot.is_reference = true;
    Token t;
    bool any = false;
    for (;;) {
      if (!lex_.Next(&t)) return false;
      if (t.kind == TokenKind::kCBrace) break;
      if (t.kind == TokenKind::kName && slot.reference_name.empty()) {
        slot.reference_name.assign(t.text);
      } else if (t.kind == TokenKind::kGuid && !slot.reference_has_guid) {
        slot.reference_has_guid = true;
        slot.reference_guid = t.guid;
      } else {
        return false;
      }
      any = true;
    }
    if (!any) return false;
    if (parent.context == Context::kMaterialList) scene_.meshes[parent.mesh].slots.push_back(std::move(slot));
    return true;
  }

  bool SkipBody() {
    Token t;
    for (size_t open = 1; open > 0;) {
      if (!lex_.Next(&t) || t.kind == TokenKind::kEnd) return false;
      if (t.kind == TokenKind::kOBrace) ++open;
      if (t.kind == TokenKind::kCBrace) --open;
    }
    return true;
  }

  // A per-vertex or per-corner object whose data stops short at its closing brace (some
  // exporters write only the counts and put the data elsewhere) is dropped; any other
  // shortfall is damage.
  bool DropIfClosed() {
    Token t;
    return lex_.AtCloseBrace() && lex_.Next(&t) && t.kind == TokenKind::kCBrace;
  }

  bool ParseFrame(int parent_frame, int depth) {
    SceneFrame frame;
    frame.parent = parent_frame;
    scene_.frames.push_back(frame);
    Parent p{Context::kFrame, static_cast<int>(scene_.frames.size() - 1)};
    return ParseChildren(p, depth);
  }

  bool ParseMesh(int frame, int depth) {
    MeshData data;
    uint32_t nv, nf;
    if (!lex_.ReadUInt(&nv) || !lex_.CouldHold(nv, 3)) return false;
    ReserveLarge(&data.positions, nv);
    data.positions.resize(nv);
    if (!lex_.ReadFloats(FloatsOf(data.positions), size_t{nv} * 3)) return false;
    if (!lex_.ReadUInt(&nf) || !lex_.CouldHold(nf, 2)) return false;
    ReserveLarge(&data.face_sizes, nf);
    data.face_sizes.resize(nf);
    ReserveLarge(&data.face_indices, std::min(size_t{nf} * 3, lex_.Remaining() / lex_.MinValueBytes()));
    for (uint32_t f = 0; f < nf; ++f) {
      uint32_t k;
      if (!lex_.ReadUInt(&k) || k == 0 || !lex_.CouldHold(k, 1)) return false;
      size_t at = data.face_indices.size();
      data.face_indices.resize(at + k);
      uint32_t* corners = data.face_indices.data() + at;
      if (!lex_.ReadUInts(corners, k)) return false;
      for (uint32_t i = 0; i < k; ++i) {
        if (corners[i] >= nv) return false;
      }
      data.face_sizes[f] = k;
    }
    size_t index = scene_.meshes.size();
    scene_.meshes.emplace_back();
    scene_.meshes[index].data = std::move(data);
    scene_.meshes[index].frame = frame;
    Parent p{Context::kMesh, frame, index};
    return ParseChildren(p, depth);
  }

  bool ParseNormals(size_t mesh_index, int depth) {
    MeshData& mesh = scene_.meshes[mesh_index].data;
    if (!mesh.normal_indices.empty()) return SkipBody();
    uint32_t nn, nfn;
    if (!lex_.ReadUInt(&nn)) return DropIfClosed();
    if (!lex_.CouldHold(nn, 3)) return DropIfClosed();
    std::vector<D3DVECTOR> normals;
    ReserveLarge(&normals, nn);
    normals.resize(nn);
    if (!lex_.ReadFloats(FloatsOf(normals), size_t{nn} * 3) || !lex_.ReadUInt(&nfn)) return DropIfClosed();
    // Normal faces pair with the mesh's faces one to one, corner for corner. Normals that
    // do not fit their mesh are dropped and the mesh kept: the mesh is sound without them.
    if (nfn == 0) return ParseChildren(Parent{Context::kOther}, depth);
    if (nfn != mesh.face_sizes.size()) return SkipBody();
    std::vector<uint32_t> indices;
    ReserveLarge(&indices, mesh.face_indices.size());
    indices.resize(mesh.face_indices.size());
    size_t at = 0;
    for (uint32_t f = 0; f < nfn; ++f) {
      uint32_t k;
      if (!lex_.ReadUInt(&k)) return DropIfClosed();
      if (k != mesh.face_sizes[f]) return SkipBody();
      if (!lex_.ReadUInts(indices.data() + at, k)) return DropIfClosed();
      for (uint32_t i = 0; i < k; ++i) {
        if (indices[at + i] >= nn) return SkipBody();
      }
      at += k;
    }
    if (!ParseChildren(Parent{Context::kOther}, depth)) return false;
    mesh.normals = std::move(normals);
    mesh.normal_indices = std::move(indices);
    return true;
  }

  bool ParseTextureCoords(size_t mesh_index, int depth) {
    MeshData& mesh = scene_.meshes[mesh_index].data;
    if (!mesh.texcoords.empty()) return SkipBody();
    uint32_t n;
    if (!lex_.ReadUInt(&n)) return DropIfClosed();
    if (!lex_.CouldHold(n, 2)) return DropIfClosed();
    std::vector<float> uv(size_t{n} * 2);
    if (!lex_.ReadFloats(uv.data(), uv.size())) return DropIfClosed();
    if (!ParseChildren(Parent{Context::kOther}, depth)) return false;
    // One pair per vertex; a short list leaves the rest at 0, extra pairs name no vertex.
    uv.resize(mesh.positions.size() * 2, 0.0f);
    mesh.texcoords = std::move(uv);
    return true;
  }

  bool ParseVertexColors(size_t mesh_index, int depth) {
    MeshData& mesh = scene_.meshes[mesh_index].data;
    if (!mesh.vertex_colors.empty()) return SkipBody();
    uint32_t n;
    if (!lex_.ReadUInt(&n)) return DropIfClosed();
    if (!lex_.CouldHold(n, 5)) return DropIfClosed();
    std::vector<D3DCOLOR> colors(mesh.positions.size(), 0xFFFFFFFFu);
    for (uint32_t i = 0; i < n; ++i) {
      uint32_t vertex;
      float rgba[4];
      if (!lex_.ReadUInt(&vertex) || !lex_.ReadFloats(rgba, 4)) return DropIfClosed();
      if (vertex >= colors.size()) return false;
      colors[vertex] = PackColor(rgba);
    }
    if (!ParseChildren(Parent{Context::kOther}, depth)) return false;
    mesh.vertex_colors = std::move(colors);
    return true;
  }

  bool ParseMaterialList(size_t mesh_index, int depth) {
    SceneMesh& scene_mesh = scene_.meshes[mesh_index];
    if (scene_mesh.has_material_list) return SkipBody();
    uint32_t nm, ni;
    if (!lex_.ReadUInt(&nm) || !lex_.ReadUInt(&ni) || !lex_.CouldHold(ni, 1)) return false;
    // The list's materials are allocated, white ones padding what it does not give, so the
    // count must be backed: by what follows it, and all lists together by the whole body.
    if (!lex_.CouldHold(nm, 1) || nm > material_slots_left_) return false;
    material_slots_left_ -= nm;
    std::vector<uint32_t> indices(ni);
    if (!lex_.ReadUInts(indices.data(), ni)) return false;
    for (uint32_t m : indices) {
      if (m >= nm) return false;
    }
    // Fewer indices than faces: the last one holds for the remaining faces.
    size_t nf = scene_mesh.data.face_sizes.size();
    uint32_t fill = indices.empty() ? 0 : indices.back();
    indices.resize(nf, fill);
    scene_mesh.slots.clear();
    if (!ParseChildren(Parent{Context::kMaterialList, -1, mesh_index}, depth)) return false;
    SceneMesh& again = scene_.meshes[mesh_index];
    if (nm == 0) {
      again.slots.clear();
      return true;
    }
    if (again.slots.size() > nm) again.slots.resize(nm);
    again.has_material_list = true;
    again.material_count = nm;
    again.data.face_materials = std::move(indices);
    return true;
  }

  // faceColor, then power, specular and emissive colours; old writers leave out the
  // trailing ones, which then keep their defaults.
  bool ParseMaterial(MeshMaterial* m, int depth) {
    float face[4];
    if (!lex_.ReadFloats(face, 4)) return false;
    m->r = face[0];
    m->g = face[1];
    m->b = face[2];
    m->a = face[3];
    if (lex_.AtFloat() && !lex_.ReadFloat(&m->power)) return false;
    float rgb[3];
    if (lex_.AtFloat()) {
      if (!lex_.ReadFloats(rgb, 3)) return false;
      m->sr = rgb[0];
      m->sg = rgb[1];
      m->sb = rgb[2];
    }
    if (lex_.AtFloat()) {
      if (!lex_.ReadFloats(rgb, 3)) return false;
      m->er = rgb[0];
      m->eg = rgb[1];
      m->eb = rgb[2];
    }
    Parent p{Context::kMaterial};
    p.material = m;
    return ParseChildren(p, depth);
  }

  Lexer& lex_;
  Scene& scene_;
  size_t material_slots_left_;  // values the body could hold, less the materials counted so far
};

}  // namespace

bool ParseBody(Lexer& lexer, Scene* scene) {
  ObjectParser parser(lexer, *scene);
  return parser.ParseBody();
}

}  // namespace xfile
