#include "platform/rm/mesh_builder.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <map>
#include <new>
#include <unordered_map>

#include "platform/resource.h"
#include "platform/rm/d3drm.h"
#include "platform/rm/face.h"
#include "platform/rm/file_replace.h"
#include "platform/rm/material.h"
#include "platform/rm/mesh.h"
#include "platform/rm/texture.h"
#include "platform/rm/xfile/xfile.h"

namespace {

constexpr D3DCOLOR kWhite = 0xffffffffu;
constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();
// Bounds the walk over caller-supplied face data, which carries no length of its own.
constexpr size_t kMaxAddedFaces = size_t{1} << 26;

void ReleaseIfSet(IDirect3DRMObject* o) {
  if (o) o->Release();
}

bool HasNormals(const MeshData& d) {
  return !d.normals.empty() && d.normal_indices.size() == d.face_indices.size();
}

bool HasFaceMaterials(const MeshData& d) {
  return !d.materials.empty() && d.face_materials.size() == d.FaceCount();
}

// What every member relies on: array lengths agree and every index is in range. Data
// from a file is checked once here rather than at every use.
bool IsConsistent(const MeshData& d) {
  size_t corners = 0;
  for (uint32_t n : d.face_sizes) {
    if (n == 0) return false;
    corners += n;
  }
  if (corners != d.face_indices.size()) return false;
  for (uint32_t i : d.face_indices)
    if (i >= d.positions.size()) return false;
  if (!d.normal_indices.empty()) {
    if (d.normal_indices.size() != d.face_indices.size()) return false;
    for (uint32_t i : d.normal_indices)
      if (i >= d.normals.size()) return false;
  }
  if (!d.texcoords.empty() && d.texcoords.size() != d.positions.size() * 2) return false;
  if (!d.vertex_colors.empty() && d.vertex_colors.size() != d.positions.size()) return false;
  if (!d.face_materials.empty()) {
    if (d.face_materials.size() != d.FaceCount()) return false;
    for (uint32_t m : d.face_materials)
      if (m >= d.materials.size()) return false;
  }
  return true;
}

MeshMaterial MaterialOfColor(D3DCOLOR c) {
  MeshMaterial m;
  m.r = D3DRMColorGetRed(c);
  m.g = D3DRMColorGetGreen(c);
  m.b = D3DRMColorGetBlue(c);
  m.a = D3DRMColorGetAlpha(c);
  return m;
}

bool EndsWithBmp(const std::string& name) {
  return name.size() >= 4 && strcasecmp(name.c_str() + name.size() - 4, ".bmp") == 0;
}

void ScalePoints(std::vector<D3DVECTOR>& points, D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) {
  for (D3DVECTOR& p : points) {
    p.x *= sx;
    p.y *= sy;
    p.z *= sz;
  }
}

// Normals follow the inverse transpose of a scale, so lighting stays right after a
// non-uniform one; a zero factor flattens the geometry and leaves them alone.
void ScaleNormals(std::vector<D3DVECTOR>& normals, D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) {
  if (sx == 0 || sy == 0 || sz == 0 || (sx == sy && sy == sz && sx > 0)) return;
  for (D3DVECTOR& n : normals) n = NormalizedOrZero({n.x / sx, n.y / sy, n.z / sz});
}


}  // namespace

IDirect3DRMMeshBuilder::IDirect3DRMMeshBuilder(std::shared_ptr<RmSearchPath> search)
    : search_(search ? std::move(search) : std::make_shared<RmSearchPath>()),
      data_(std::make_shared<MeshData>()) {}

IDirect3DRMMeshBuilder::~IDirect3DRMMeshBuilder() {
  ReleaseIfSet(material_);
  ReleaseIfSet(texture_);
  ReleaseTextures();
}

void IDirect3DRMMeshBuilder::ReleaseTextures() {
  for (IDirect3DRMTexture* t : textures_) ReleaseIfSet(t);
  textures_.clear();
}

MeshData& IDirect3DRMMeshBuilder::Mutable() {
  if (data_.use_count() > 1) data_ = std::make_shared<MeshData>(*data_);
  return *data_;
}

// Both sides are given face materials when either has them (the side without gets one
// of the builder's colour), so the materials simply concatenate and textures_ stays one
// entry per material.
void IDirect3DRMMeshBuilder::AppendData(const MeshData& add_in,
                                        std::vector<IDirect3DRMTexture*> add_textures) {
  MeshData& d = Mutable();
  MeshData add = add_in;
  add_textures.resize(add.materials.size(), nullptr);
  for (IDirect3DRMTexture* t : add_textures)
    if (t) t->AddRef();

  const bool d_materials = HasFaceMaterials(d), add_materials = HasFaceMaterials(add);
  if (d_materials && !add_materials && add.FaceCount() > 0) {
    for (IDirect3DRMTexture* t : add_textures) ReleaseIfSet(t);
    add.materials.assign(1, MaterialOfColor(color_));
    add.face_materials.assign(add.FaceCount(), 0);
    add_textures.assign(1, nullptr);
  } else if (!d_materials && add_materials && d.FaceCount() > 0) {
    ReleaseTextures();
    d.materials.assign(1, MaterialOfColor(color_));
    d.face_materials.assign(d.FaceCount(), 0);
    textures_.assign(1, nullptr);
  }

  const bool d_empty = d.positions.empty() && d.face_sizes.empty();
  const bool add_contributes = !(add.positions.empty() && add.face_sizes.empty());
  d.Append(add);
  if (d_empty && add_contributes) {
    // Append took `add` whole, unused materials included.
    ReleaseTextures();
    textures_ = std::move(add_textures);
  } else if (add_contributes && HasFaceMaterials(add)) {
    textures_.insert(textures_.end(), add_textures.begin(), add_textures.end());
  } else {
    for (IDirect3DRMTexture* t : add_textures) ReleaseIfSet(t);
  }
}

HRESULT IDirect3DRMMeshBuilder::Load(const void* source, const void* /*name*/, D3DRMLOADOPTIONS options,
                                     D3DRMLOADTEXTURECALLBACK cb, void* arg) {
  if (!source) return D3DRMERR_BADVALUE;
  static const unsigned char kNothing[1] = {0};
  std::vector<unsigned char> file_bytes;
  const unsigned char* bytes = kNothing;
  size_t size = 0;
  RmSearchPath texture_search = *search_;
  switch (options & 3) {
    case D3DRMLOAD_FROMFILE: {
      const std::string path = search_->Resolve(static_cast<const char*>(source));
      if (path.empty()) return D3DRMERR_FILENOTFOUND;
      if (HRESULT r = RmReadFile(path, &file_bytes); FAILED(r)) return r;
      if (!file_bytes.empty()) bytes = file_bytes.data();
      size = file_bytes.size();
      // Textures named by a file are looked for beside it too.
      const std::string dir = std::filesystem::path(path).parent_path().string();
      if (!dir.empty()) texture_search.dirs.push_back(dir);
      break;
    }
    case D3DRMLOAD_FROMRESOURCE: {
      const auto* res = static_cast<const D3DRMLOADRESOURCE*>(source);
      const ResourceBytes found = FindResourceBytes(res->lpType, res->lpName);
      if (!found.data) return D3DRMERR_NOTFOUND;
      bytes = found.data;
      size = found.size;
      break;
    }
    case D3DRMLOAD_FROMMEMORY: {
      const auto* mem = static_cast<const D3DRMLOADMEMORY*>(source);
      if (!mem->lpMemory && mem->dSize > 0) return D3DRMERR_BADVALUE;
      if (mem->lpMemory) bytes = static_cast<const unsigned char*>(mem->lpMemory);
      size = mem->dSize;
      break;
    }
    default:
      return D3DRMERR_BADVALUE;
  }

  auto fresh = std::make_shared<MeshData>();
  if (HRESULT r = xfile::Read(bytes, size, fresh.get()); FAILED(r)) return r;
  if (!IsConsistent(*fresh)) return D3DRMERR_BADFILE;

  std::vector<IDirect3DRMTexture*> textures(fresh->materials.size(), nullptr);
  std::map<std::string, IDirect3DRMTexture*> by_name;
  for (size_t i = 0; i < fresh->materials.size(); ++i) {
    const std::string& name = fresh->materials[i].texture;
    if (name.empty()) continue;
    IDirect3DRMTexture* t = nullptr;
    if (auto it = by_name.find(name); it != by_name.end()) {
      t = it->second;
      if (t) t->AddRef();
    } else {
      if (cb) {
        if (FAILED(cb(name.c_str(), arg, &t))) t = nullptr;
      } else if (EndsWithBmp(name)) {
        if (FAILED(RmLoadTexture(texture_search, name.c_str(), &t))) t = nullptr;
      }
      by_name[name] = t;
    }
    textures[i] = t;
  }

  // Everything succeeded: only now is the old content replaced.
  ReleaseTextures();
  ReleaseIfSet(material_);
  material_ = nullptr;
  ReleaseIfSet(texture_);
  texture_ = nullptr;
  color_ = kWhite;
  data_ = std::move(fresh);
  textures_ = std::move(textures);
  return D3DRM_OK;
}

HRESULT IDirect3DRMMeshBuilder::Save(const char* filename, D3DRMXOFFORMAT format, D3DRMSAVEOPTIONS options) {
  if (!filename || !*filename) return D3DRMERR_BADVALUE;
  // The compressed encoding is a size optimisation; plain binary is a valid answer to it.
  if (format == D3DRMXOF_COMPRESSED) format = D3DRMXOF_BINARY;
  if (format != D3DRMXOF_BINARY && format != D3DRMXOF_TEXT) return D3DRMERR_BADVALUE;
  std::string out;
  if (HRESULT r = xfile::Write(*data_, format, options, &out); FAILED(r)) return r;
  return WriteFileReplacing(filename, out);
}

HRESULT IDirect3DRMMeshBuilder::AddMesh(IDirect3DRMMesh* mesh) {
  if (!mesh) return D3DRMERR_BADVALUE;
  MeshData add;
  std::vector<IDirect3DRMTexture*> textures;
  for (const IDirect3DRMMesh::Group& g : mesh->Groups()) {
    const auto base = static_cast<uint32_t>(add.positions.size());
    for (const D3DRMVERTEX& stored : g.vertices) {
      const D3DRMVERTEX v = mesh->ScaledVertex(stored);
      add.positions.push_back(v.position);
      add.normals.push_back(v.normal);
      add.texcoords.push_back(v.tu);
      add.texcoords.push_back(v.tv);
    }
    MeshMaterial m = MaterialOfColor(g.color);
    if (g.material) {
      m.power = g.material->GetPower();
      g.material->GetSpecular(&m.sr, &m.sg, &m.sb);
      g.material->GetEmissive(&m.er, &m.eg, &m.eb);
    }
    if (g.texture) m.texture = g.texture->GetName();
    const auto material = static_cast<uint32_t>(add.materials.size());
    add.materials.push_back(m);
    textures.push_back(g.texture);
    size_t first = 0;
    for (uint32_t n : g.face_sizes) {
      add.face_sizes.push_back(n);
      for (uint32_t k = 0; k < n; ++k) add.face_indices.push_back(base + g.face_indices[first + k]);
      add.face_materials.push_back(material);
      first += n;
    }
  }
  add.normal_indices = add.face_indices;
  AppendData(add, std::move(textures));
  return D3DRM_OK;
}

HRESULT IDirect3DRMMeshBuilder::AddMeshBuilder(IDirect3DRMMeshBuilder* other) {
  if (!other) return D3DRMERR_BADVALUE;
  // A copy, so adding a builder to itself reads what was there before.
  const MeshData add = other->Data();
  AppendData(add, other->textures_);
  return D3DRM_OK;
}

HRESULT IDirect3DRMMeshBuilder::AddFace(IDirect3DRMFace* face) {
  if (!face) return D3DRMERR_BADVALUE;
  const int n = face->GetVertexCount();
  if (n < 3) return D3DRMERR_BADVALUE;
  MeshData add;
  const bool with_texcoords = !data_->texcoords.empty();
  for (int k = 0; k < n; ++k) {
    D3DVECTOR p, normal;
    face->GetVertex(static_cast<DWORD>(k), &p, &normal);
    add.positions.push_back(p);
    add.normals.push_back(normal);
    add.face_indices.push_back(static_cast<uint32_t>(k));
    if (with_texcoords) {
      D3DVALUE u = 0, v = 0;
      face->GetTextureCoordinates(static_cast<DWORD>(k), &u, &v);
      add.texcoords.push_back(u);
      add.texcoords.push_back(v);
    }
  }
  add.face_sizes.push_back(static_cast<uint32_t>(n));
  add.normal_indices = add.face_indices;
  if (face->GetColor() != kWhite || HasFaceMaterials(*data_)) {
    add.materials.push_back(MaterialOfColor(face->GetColor()));
    add.face_materials.push_back(0);
  }
  AppendData(add, {});
  return D3DRM_OK;
}

int IDirect3DRMMeshBuilder::AddVertex(D3DVALUE x, D3DVALUE y, D3DVALUE z) {
  MeshData& d = Mutable();
  d.positions.push_back({x, y, z});
  if (!d.texcoords.empty()) d.texcoords.insert(d.texcoords.end(), {0.0f, 0.0f});
  if (!d.vertex_colors.empty()) d.vertex_colors.push_back(kWhite);
  return static_cast<int>(d.positions.size() - 1);
}

int IDirect3DRMMeshBuilder::AddNormal(D3DVALUE x, D3DVALUE y, D3DVALUE z) {
  MeshData& d = Mutable();
  d.normals.push_back({x, y, z});
  return static_cast<int>(d.normals.size() - 1);
}

// Indices in `data` refer to the arrays passed in, whose entries are appended to the
// builder's; every face is checked before anything is added.
HRESULT IDirect3DRMMeshBuilder::AddFaces(DWORD vcount, const D3DVECTOR* vertices, DWORD ncount,
                                         const D3DVECTOR* normals, const DWORD* data,
                                         IDirect3DRMFaceArray** faces) {
  if (!data || (vcount > 0 && !vertices) || (ncount > 0 && !normals)) return D3DRMERR_BADVALUE;
  MeshData add;
  size_t pos = 0;
  for (DWORD n = data[pos++]; n != 0; n = data[pos++]) {
    if (n < 3 || n > vcount || add.face_sizes.size() >= kMaxAddedFaces) return D3DRMERR_BADVALUE;
    for (DWORD k = 0; k < n; ++k) {
      const DWORD v = data[pos++];
      if (v >= vcount) return D3DRMERR_BADVALUE;
      add.face_indices.push_back(v);
      if (ncount > 0) {
        const DWORD nn = data[pos++];
        if (nn >= ncount) return D3DRMERR_BADVALUE;
        add.normal_indices.push_back(nn);
      }
    }
    add.face_sizes.push_back(n);
  }
  add.positions.assign(vertices, vertices + vcount);
  if (ncount > 0) add.normals.assign(normals, normals + ncount);

  const size_t first_face = data_->FaceCount();
  AppendData(add, {});
  if (faces) {
    std::shared_ptr<const MeshData> shared = data_;
    size_t first = 0;
    for (size_t f = 0; f < first_face; ++f) first += shared->face_sizes[f];
    std::vector<IDirect3DRMFace*> made;
    for (size_t f = first_face; f < shared->FaceCount(); ++f) {
      made.push_back(new IDirect3DRMFace(shared, f, first));
      first += shared->face_sizes[f];
    }
    *faces = new IDirect3DRMFaceArray(std::move(made));
  }
  return D3DRM_OK;
}

HRESULT IDirect3DRMMeshBuilder::CreateMesh(IDirect3DRMMesh** mesh) {
  if (!mesh) return D3DRMERR_BADVALUE;
  MeshData with_normals;
  const MeshData* src = data_.get();
  if (!HasNormals(*src)) {
    with_normals = *src;
    with_normals.GenerateNormals();
    src = &with_normals;
  }
  const MeshData& d = *src;
  const bool use_materials = HasFaceMaterials(d);
  const bool has_texcoords = d.texcoords.size() == d.positions.size() * 2;
  const bool has_colors = d.vertex_colors.size() == d.positions.size();

  // Groups in order of the first face that uses each material.
  std::vector<uint32_t> group_of_material(use_materials ? d.materials.size() : 1, kNone);
  std::vector<uint32_t> group_material;
  std::vector<uint32_t> face_group(d.FaceCount(), kNone);
  for (size_t f = 0; f < d.FaceCount(); ++f) {
    if (d.face_sizes[f] < 3) continue;
    const uint32_t m = use_materials ? d.face_materials[f] : 0;
    if (group_of_material[m] == kNone) {
      group_of_material[m] = static_cast<uint32_t>(group_material.size());
      group_material.push_back(m);
    }
    face_group[f] = group_of_material[m];
  }
  const size_t groups = group_material.size();

  // Shared vertices are possible when no position is used with two different normals.
  std::vector<uint32_t> normal_of(d.positions.size(), kNone);
  bool shared = true;
  for (size_t c = 0; c < d.face_indices.size() && shared; ++c) {
    uint32_t& n = normal_of[d.face_indices[c]];
    if (n == kNone) n = d.normal_indices[c];
    shared = n == d.normal_indices[c];
  }

  struct Build {
    std::vector<D3DRMVERTEX> vertices;
    std::vector<unsigned> indices;
    std::vector<uint32_t> local;                   // position index -> group vertex, shared layout
    std::unordered_map<uint64_t, uint32_t> pairs;  // (position, normal) -> group vertex, split layout
  };
  std::vector<Build> build(groups);
  auto color_of = [&](uint32_t g) {
    if (!use_materials) return color_;
    const MeshMaterial& m = d.materials[group_material[g]];
    return D3DRMCreateColorRGBA(m.r, m.g, m.b, m.a);
  };
  auto make_vertex = [&](uint32_t v, uint32_t n, D3DCOLOR group_color) {
    D3DRMVERTEX out{};
    out.position = d.positions[v];
    out.normal = n == kNone ? D3DVECTOR{0, 0, 0} : d.normals[n];
    if (has_texcoords) {
      out.tu = d.texcoords[2 * v];
      out.tv = d.texcoords[2 * v + 1];
    }
    out.color = has_colors ? d.vertex_colors[v] : group_color;
    return out;
  };

  if (shared) {
    if (groups == 1) {
      // One group: the builder's vertices as they are, so callers can address them by index.
      Build& b = build[0];
      b.local.resize(d.positions.size());
      for (uint32_t v = 0; v < d.positions.size(); ++v) {
        b.local[v] = v;
        b.vertices.push_back(make_vertex(v, normal_of[v], color_of(0)));
      }
    } else {
      std::vector<std::vector<bool>> used(groups, std::vector<bool>(d.positions.size(), false));
      size_t first = 0;
      for (size_t f = 0; f < d.FaceCount(); ++f) {
        if (face_group[f] != kNone)
          for (uint32_t k = 0; k < d.face_sizes[f]; ++k)
            used[face_group[f]][d.face_indices[first + k]] = true;
        first += d.face_sizes[f];
      }
      for (uint32_t g = 0; g < groups; ++g) {
        Build& b = build[g];
        b.local.assign(d.positions.size(), kNone);
        for (uint32_t v = 0; v < d.positions.size(); ++v) {
          if (!used[g][v]) continue;
          b.local[v] = static_cast<uint32_t>(b.vertices.size());
          b.vertices.push_back(make_vertex(v, normal_of[v], color_of(g)));
        }
      }
    }
  }

  size_t first = 0;
  std::vector<unsigned> corners;
  for (size_t f = 0; f < d.FaceCount(); ++f) {
    const uint32_t n = d.face_sizes[f];
    const uint32_t g = face_group[f];
    if (g != kNone) {
      Build& b = build[g];
      corners.clear();
      for (uint32_t k = 0; k < n; ++k) {
        const uint32_t v = d.face_indices[first + k];
        if (shared) {
          corners.push_back(b.local[v]);
          continue;
        }
        const uint32_t nn = d.normal_indices[first + k];
        const uint64_t key = (uint64_t{v} << 32) | nn;
        auto [it, inserted] = b.pairs.try_emplace(key, static_cast<uint32_t>(b.vertices.size()));
        if (inserted) b.vertices.push_back(make_vertex(v, nn, color_of(g)));
        corners.push_back(it->second);
      }
      // A fan from the first corner.
      for (uint32_t k = 1; k + 1 < n; ++k)
        b.indices.insert(b.indices.end(), {corners[0], corners[k], corners[k + 1]});
    }
    first += n;
  }

  auto* m = new IDirect3DRMMesh();
  for (uint32_t g = 0; g < groups; ++g) {
    Build& b = build[g];
    D3DRMGROUPINDEX id = 0;
    const auto vcount = static_cast<unsigned>(b.vertices.size());
    HRESULT r = m->AddGroup(vcount, static_cast<unsigned>(b.indices.size() / 3), 3, b.indices.data(), &id);
    if (SUCCEEDED(r)) r = m->SetVertices(id, 0, vcount, b.vertices.data());
    if (FAILED(r)) {
      m->Release();
      return r;
    }
    m->SetGroupColor(id, color_of(g));
    m->SetGroupQuality(id, quality_);
    IDirect3DRMTexture* texture = texture_;
    if (!texture && use_materials) texture = textures_[group_material[g]];
    m->SetGroupTexture(id, texture);
    if (material_) {
      m->SetGroupMaterial(id, material_);
    } else if (use_materials) {
      const MeshMaterial& mm = d.materials[group_material[g]];
      auto* made = new IDirect3DRMMaterial(mm.power);
      made->SetSpecular(mm.sr, mm.sg, mm.sb);
      made->SetEmissive(mm.er, mm.eg, mm.eb);
      m->SetGroupMaterial(id, made);
      made->Release();
    }
  }
  *mesh = m;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMeshBuilder::Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) {
  MeshData& d = Mutable();
  ScalePoints(d.positions, sx, sy, sz);
  ScaleNormals(d.normals, sx, sy, sz);
  return D3DRM_OK;
}

HRESULT IDirect3DRMMeshBuilder::Translate(D3DVALUE tx, D3DVALUE ty, D3DVALUE tz) {
  for (D3DVECTOR& p : Mutable().positions) {
    p.x += tx;
    p.y += ty;
    p.z += tz;
  }
  return D3DRM_OK;
}

HRESULT IDirect3DRMMeshBuilder::SetQuality(D3DRMRENDERQUALITY quality) {
  if (quality & ~(D3DRMSHADE_MASK | D3DRMLIGHT_MASK | D3DRMFILL_MASK)) return D3DRMERR_BADVALUE;
  quality_ = quality;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMeshBuilder::SetMaterial(IDirect3DRMMaterial* material) {
  if (material) material->AddRef();
  ReleaseIfSet(material_);
  material_ = material;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMeshBuilder::SetColorRGB(D3DVALUE r, D3DVALUE g, D3DVALUE b) {
  return SetColor(D3DRMCreateColorRGB(r, g, b));
}

// The colour is for all faces, so it also replaces the face colour of every material.
HRESULT IDirect3DRMMeshBuilder::SetColor(D3DCOLOR color) {
  color_ = color;
  if (!data_->materials.empty()) {
    const MeshMaterial c = MaterialOfColor(color);
    for (MeshMaterial& m : Mutable().materials) {
      m.r = c.r;
      m.g = c.g;
      m.b = c.b;
      m.a = c.a;
    }
  }
  return D3DRM_OK;
}

HRESULT IDirect3DRMMeshBuilder::SetTexture(IDirect3DRMTexture* texture) {
  if (texture) texture->AddRef();
  ReleaseIfSet(texture_);
  texture_ = texture;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMeshBuilder::SetTextureCoordinates(DWORD index, D3DVALUE u, D3DVALUE v) {
  if (index >= data_->positions.size()) return D3DRMERR_BADVALUE;
  MeshData& d = Mutable();
  if (d.texcoords.size() != d.positions.size() * 2) d.texcoords.assign(d.positions.size() * 2, 0.0f);
  d.texcoords[2 * index] = u;
  d.texcoords[2 * index + 1] = v;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMeshBuilder::GetTextureCoordinates(DWORD index, D3DVALUE* u, D3DVALUE* v) {
  if (!u || !v || index >= data_->positions.size()) return D3DRMERR_BADVALUE;
  const bool present = data_->texcoords.size() == data_->positions.size() * 2;
  *u = present ? data_->texcoords[2 * index] : 0.0f;
  *v = present ? data_->texcoords[2 * index + 1] : 0.0f;
  return D3DRM_OK;
}

int IDirect3DRMMeshBuilder::GetVertexCount() const { return static_cast<int>(data_->positions.size()); }

int IDirect3DRMMeshBuilder::GetFaceCount() const { return static_cast<int>(data_->FaceCount()); }

// Without normals of its own the builder reports generated ones, one per vertex, and
// each corner's normal index is then its vertex index.
HRESULT IDirect3DRMMeshBuilder::GetVertices(DWORD* vcount, D3DVECTOR* vertices, DWORD* ncount,
                                            D3DVECTOR* normals, DWORD* face_data_size, DWORD* face_data) {
  if ((vertices && !vcount) || (normals && !ncount) || (face_data && !face_data_size))
    return D3DRMERR_BADVALUE;
  MeshData generated;
  const MeshData* src = data_.get();
  const bool need_normals = normals || ncount || face_data;
  if (need_normals && !HasNormals(*src)) {
    generated.positions = src->positions;
    generated.face_sizes = src->face_sizes;
    generated.face_indices = src->face_indices;
    generated.GenerateNormals();
  }
  const MeshData& d = *data_;
  const std::vector<D3DVECTOR>& normal_list = HasNormals(d) ? d.normals : generated.normals;
  const std::vector<uint32_t>& normal_index = HasNormals(d) ? d.normal_indices : d.face_indices;

  const auto v_needed = static_cast<DWORD>(d.positions.size());
  const auto n_needed = static_cast<DWORD>(normal_list.size());
  const auto f_needed = static_cast<DWORD>(d.FaceCount() + 2 * d.face_indices.size() + 1);
  const bool too_small = (vertices && *vcount < v_needed) || (normals && *ncount < n_needed) ||
                         (face_data && *face_data_size < f_needed);
  if (vcount) *vcount = v_needed;
  if (ncount) *ncount = n_needed;
  if (face_data_size) *face_data_size = f_needed;
  if (too_small) return D3DRMERR_BADVALUE;

  if (vertices) std::copy(d.positions.begin(), d.positions.end(), vertices);
  if (normals) std::copy(normal_list.begin(), normal_list.end(), normals);
  if (face_data) {
    size_t out = 0, first = 0;
    for (uint32_t n : d.face_sizes) {
      face_data[out++] = n;
      for (uint32_t k = 0; k < n; ++k) {
        face_data[out++] = d.face_indices[first + k];
        face_data[out++] = normal_index[first + k];
      }
      first += n;
    }
    face_data[out] = 0;
  }
  return D3DRM_OK;
}

HRESULT IDirect3DRMMeshBuilder::GetFaces(IDirect3DRMFaceArray** faces) {
  if (!faces) return D3DRMERR_BADVALUE;
  std::shared_ptr<const MeshData> shared = data_;
  std::vector<IDirect3DRMFace*> made;
  made.reserve(shared->FaceCount());
  size_t first = 0;
  for (size_t f = 0; f < shared->FaceCount(); ++f) {
    made.push_back(new IDirect3DRMFace(shared, f, first));
    first += shared->face_sizes[f];
  }
  *faces = new IDirect3DRMFaceArray(std::move(made));
  return D3DRM_OK;
}

// An empty builder has the zero box, as an empty mesh does.
HRESULT IDirect3DRMMeshBuilder::GetBox(D3DRMBOX* box) {
  if (!box) return D3DRMERR_BADVALUE;
  D3DRMBOX b{{0, 0, 0}, {0, 0, 0}};
  const std::vector<D3DVECTOR>& p = data_->positions;
  if (!p.empty()) b.min = b.max = p[0];
  for (const D3DVECTOR& v : p) {
    b.min.x = std::min(b.min.x, v.x);
    b.min.y = std::min(b.min.y, v.y);
    b.min.z = std::min(b.min.z, v.z);
    b.max.x = std::max(b.max.x, v.x);
    b.max.y = std::max(b.max.y, v.y);
    b.max.z = std::max(b.max.z, v.z);
  }
  *box = b;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMeshBuilder::GenerateNormals() {
  Mutable().GenerateNormals();
  return D3DRM_OK;
}
