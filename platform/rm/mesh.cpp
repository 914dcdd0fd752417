#include "platform/rm/mesh.h"

#include <algorithm>
#include <limits>
#include <new>

#include "platform/rm/material.h"
#include "platform/rm/mesh_data.h"
#include "platform/rm/texture.h"

namespace {

// Keeps a face-data walk inside what any real mesh needs, so a wrong count is refused
// instead of becoming a huge allocation.
constexpr uint64_t kMaxGroupEntries = uint64_t{1} << 28;

void ReleaseIfSet(IDirect3DRMObject* o) {
  if (o) o->Release();
}

}  // namespace

IDirect3DRMMesh::GroupSet::GroupSet(const GroupSet& other) : groups(other.groups) {
  for (Group& g : groups) {
    if (g.texture) g.texture->AddRef();
    if (g.material) g.material->AddRef();
  }
}

IDirect3DRMMesh::GroupSet::~GroupSet() {
  for (Group& g : groups) {
    ReleaseIfSet(g.texture);
    ReleaseIfSet(g.material);
  }
}

IDirect3DRMMesh::~IDirect3DRMMesh() = default;

HRESULT IDirect3DRMMesh::Clone(IDirect3DRMMesh** copy) const {
  if (!copy) return D3DRMERR_BADVALUE;
  auto* made = new IDirect3DRMMesh;
  made->set_ = set_;
  made->scale_ = scale_;
  made->generation_ = generation_;
  *copy = made;
  return D3DRM_OK;
}

const IDirect3DRMMesh::Group* IDirect3DRMMesh::FindGroup(D3DRMGROUPINDEX id) const {
  if (id < 0 || static_cast<size_t>(id) >= set_->groups.size()) return nullptr;
  return &set_->groups[static_cast<size_t>(id)];
}

std::vector<IDirect3DRMMesh::Group>& IDirect3DRMMesh::OwnGroups() {
  if (set_.use_count() > 1) set_ = std::make_shared<GroupSet>(*set_);
  return set_->groups;
}

IDirect3DRMMesh::Group* IDirect3DRMMesh::OwnGroup(D3DRMGROUPINDEX id) {
  if (!FindGroup(id)) return nullptr;
  return &OwnGroups()[static_cast<size_t>(id)];
}

// Normals follow the inverse transpose of the scale, so lighting stays right after a
// non-uniform one.
D3DRMVERTEX IDirect3DRMMesh::ScaledVertex(const D3DRMVERTEX& v) const {
  D3DRMVERTEX out = v;
  const D3DVECTOR& k = scale_;
  out.position = {v.position.x * k.x, v.position.y * k.y, v.position.z * k.z};
  if (!(k.x == k.y && k.y == k.z && k.x > 0))
    out.normal = NormalizedOrZero({v.normal.x / k.x, v.normal.y / k.y, v.normal.z / k.z});
  return out;
}

void IDirect3DRMMesh::Bake() {
  if (!Scaled()) return;
  for (Group& g : OwnGroups())
    for (D3DRMVERTEX& v : g.vertices) v = ScaledVertex(v);
  scale_ = {1, 1, 1};
  ++generation_;
}

HRESULT IDirect3DRMMesh::AddGroup(unsigned vCount, unsigned fCount, unsigned vPerFace, const unsigned* fData,
                                  D3DRMGROUPINDEX* id) {
  if (!id) return D3DRMERR_BADVALUE;
  if (fCount > 0 && !fData) return D3DRMERR_BADVALUE;
  if (vCount > kMaxGroupEntries || set_->groups.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max()))
    return D3DRMERR_BADVALUE;
  if (vPerFace > 0 && vPerFace < 3) return D3DRMERR_BADVALUE;

  // Check everything before building, so a refused group leaves the mesh as it was.
  uint64_t corners = 0, read = 0;
  for (unsigned f = 0; f < fCount; ++f) {
    uint64_t n = vPerFace;
    if (vPerFace == 0) n = fData[read++];
    if (n < 3 || n > kMaxGroupEntries - read) return D3DRMERR_BADVALUE;
    for (uint64_t k = 0; k < n; ++k)
      if (fData[read + k] >= vCount) return D3DRMERR_BADVALUE;
    read += n;
    corners += n;
    if (read > kMaxGroupEntries) return D3DRMERR_BADVALUE;
  }

  try {
    Group g;
    g.vertices.assign(vCount, D3DRMVERTEX{});
    g.vertex_per_face = vPerFace;
    if (vPerFace > 0) {
      // Faces of one size: the index data is already the layout kept here.
      g.face_sizes.assign(fCount, vPerFace);
      g.face_indices.assign(fData, fData + corners);
    } else {
      g.face_sizes.reserve(fCount);
      g.face_indices.reserve(corners);
      read = 0;
      for (unsigned f = 0; f < fCount; ++f) {
        const unsigned n = fData[read++];
        g.face_sizes.push_back(n);
        g.face_indices.insert(g.face_indices.end(), fData + read, fData + read + n);
        read += n;
      }
    }
    // The new group starts unscaled, so what is pending goes into the old ones first.
    Bake();
    OwnGroups().push_back(std::move(g));
  } catch (const std::bad_alloc&) {
    return D3DRMERR_BADALLOC;
  }
  *id = static_cast<D3DRMGROUPINDEX>(set_->groups.size() - 1);
  ++generation_;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::SetVertices(D3DRMGROUPINDEX id, unsigned index, unsigned count,
                                     const D3DRMVERTEX* values) {
  const Group* found = FindGroup(id);
  if (!found) return D3DRMERR_NOTFOUND;
  if (count > 0 && !values) return D3DRMERR_BADVALUE;
  if (uint64_t{index} + count > found->vertices.size()) return D3DRMERR_BADVALUE;
  Bake();
  Group* g = OwnGroup(id);
  std::copy(values, values + count, g->vertices.begin() + index);
  ++generation_;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::GetVertexStorage(D3DRMGROUPINDEX id, unsigned index, unsigned count,
                                          D3DRMVERTEX** values) {
  const Group* found = FindGroup(id);
  if (!found) return D3DRMERR_NOTFOUND;
  if (!values) return D3DRMERR_BADVALUE;
  if (uint64_t{index} + count > found->vertices.size()) return D3DRMERR_BADVALUE;
  Bake();
  Group* g = OwnGroup(id);
  *values = g->vertices.data() + index;
  ++generation_;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::GetVertices(D3DRMGROUPINDEX id, unsigned index, unsigned count,
                                     D3DRMVERTEX* values) {
  const Group* g = FindGroup(id);
  if (!g) return D3DRMERR_NOTFOUND;
  if (count > 0 && !values) return D3DRMERR_BADVALUE;
  if (uint64_t{index} + count > g->vertices.size()) return D3DRMERR_BADVALUE;
  for (unsigned i = 0; i < count; ++i) values[i] = ScaledVertex(g->vertices[index + i]);
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::GetGroup(D3DRMGROUPINDEX id, unsigned* vCount, unsigned* fCount, unsigned* vPerFace,
                                  DWORD* fDataSize, unsigned* fData) {
  const Group* g = FindGroup(id);
  if (!g) return D3DRMERR_NOTFOUND;
  const size_t needed = g->face_indices.size() + (g->vertex_per_face ? 0 : g->face_sizes.size());
  if (fData) {
    if (!fDataSize || *fDataSize < needed) {
      if (fDataSize) *fDataSize = static_cast<DWORD>(needed);
      return D3DRMERR_BADVALUE;
    }
    size_t out = 0, first = 0;
    for (uint32_t n : g->face_sizes) {
      if (!g->vertex_per_face) fData[out++] = n;
      for (uint32_t k = 0; k < n; ++k) fData[out++] = g->face_indices[first + k];
      first += n;
    }
  }
  if (fDataSize) *fDataSize = static_cast<DWORD>(needed);
  if (vCount) *vCount = static_cast<unsigned>(g->vertices.size());
  if (fCount) *fCount = static_cast<unsigned>(g->face_sizes.size());
  if (vPerFace) *vPerFace = g->vertex_per_face;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::SetGroupColor(D3DRMGROUPINDEX id, D3DCOLOR color) {
  Group* g = OwnGroup(id);
  if (!g) return D3DRMERR_NOTFOUND;
  g->color = color;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::SetGroupColorRGB(D3DRMGROUPINDEX id, D3DVALUE r, D3DVALUE g, D3DVALUE b) {
  return SetGroupColor(id, D3DRMCreateColorRGB(r, g, b));
}

D3DCOLOR IDirect3DRMMesh::GetGroupColor(D3DRMGROUPINDEX id) {
  const Group* g = FindGroup(id);
  return g ? g->color : 0;
}

HRESULT IDirect3DRMMesh::SetGroupQuality(D3DRMGROUPINDEX id, D3DRMRENDERQUALITY quality) {
  Group* g = OwnGroup(id);
  if (!g) return D3DRMERR_NOTFOUND;
  if (quality & ~(D3DRMSHADE_MASK | D3DRMLIGHT_MASK | D3DRMFILL_MASK)) return D3DRMERR_BADVALUE;
  g->quality = quality;
  return D3DRM_OK;
}

D3DRMRENDERQUALITY IDirect3DRMMesh::GetGroupQuality(D3DRMGROUPINDEX id) {
  const Group* g = FindGroup(id);
  return g ? g->quality : 0;
}

HRESULT IDirect3DRMMesh::SetGroupTexture(D3DRMGROUPINDEX id, IDirect3DRMTexture* texture) {
  Group* g = OwnGroup(id);
  if (!g) return D3DRMERR_NOTFOUND;
  if (texture) texture->AddRef();
  ReleaseIfSet(g->texture);
  g->texture = texture;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::GetGroupTexture(D3DRMGROUPINDEX id, IDirect3DRMTexture** texture) {
  if (!texture) return D3DRMERR_BADVALUE;
  const Group* g = FindGroup(id);
  if (!g) return D3DRMERR_NOTFOUND;
  *texture = g->texture;
  if (g->texture) g->texture->AddRef();
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::SetGroupMaterial(D3DRMGROUPINDEX id, IDirect3DRMMaterial* material) {
  Group* g = OwnGroup(id);
  if (!g) return D3DRMERR_NOTFOUND;
  if (material) material->AddRef();
  ReleaseIfSet(g->material);
  g->material = material;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::GetGroupMaterial(D3DRMGROUPINDEX id, IDirect3DRMMaterial** material) {
  if (!material) return D3DRMERR_BADVALUE;
  const Group* g = FindGroup(id);
  if (!g) return D3DRMERR_NOTFOUND;
  *material = g->material;
  if (g->material) g->material->AddRef();
  return D3DRM_OK;
}

// A zero factor flattens the mesh for good and leaves the normals alone, so it is written
// into the vertices at once; any other factor waits in scale_.
HRESULT IDirect3DRMMesh::Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) {
  if (sx != 0 && sy != 0 && sz != 0) {
    scale_ = {scale_.x * sx, scale_.y * sy, scale_.z * sz};
    return D3DRM_OK;
  }
  Bake();
  for (Group& g : OwnGroups()) {
    for (D3DRMVERTEX& v : g.vertices) {
      v.position.x *= sx;
      v.position.y *= sy;
      v.position.z *= sz;
    }
  }
  ++generation_;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::Translate(D3DVALUE tx, D3DVALUE ty, D3DVALUE tz) {
  Bake();
  for (Group& g : OwnGroups()) {
    for (D3DRMVERTEX& v : g.vertices) {
      v.position.x += tx;
      v.position.y += ty;
      v.position.z += tz;
    }
  }
  ++generation_;
  return D3DRM_OK;
}

// A mesh without vertices has the zero box: callers treat any failure as fatal, and an
// empty mesh is a normal state (a model with no faces yet).
HRESULT IDirect3DRMMesh::GetBox(D3DRMBOX* box) {
  if (!box) return D3DRMERR_BADVALUE;
  bool any = false;
  D3DRMBOX b{{0, 0, 0}, {0, 0, 0}};
  for (const Group& g : set_->groups) {
    for (const D3DRMVERTEX& v : g.vertices) {
      const D3DVECTOR p{v.position.x * scale_.x, v.position.y * scale_.y, v.position.z * scale_.z};
      if (!any) {
        b.min = b.max = p;
        any = true;
        continue;
      }
      b.min.x = std::min(b.min.x, p.x);
      b.min.y = std::min(b.min.y, p.y);
      b.min.z = std::min(b.min.z, p.z);
      b.max.x = std::max(b.max.x, p.x);
      b.max.y = std::max(b.max.y, p.y);
      b.max.z = std::max(b.max.z, p.z);
    }
  }
  *box = b;
  return D3DRM_OK;
}
