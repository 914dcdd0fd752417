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

IDirect3DRMMesh::~IDirect3DRMMesh() {
  for (Group& g : groups_) {
    ReleaseIfSet(g.texture);
    ReleaseIfSet(g.material);
  }
}

HRESULT IDirect3DRMMesh::Clone(IDirect3DRMMesh** copy) const {
  if (!copy) return D3DRMERR_BADVALUE;
  auto* made = new IDirect3DRMMesh;
  made->groups_ = groups_;
  for (Group& g : made->groups_) {
    if (g.texture) g.texture->AddRef();
    if (g.material) g.material->AddRef();
  }
  made->generation_ = generation_;
  *copy = made;
  return D3DRM_OK;
}

IDirect3DRMMesh::Group* IDirect3DRMMesh::FindGroup(D3DRMGROUPINDEX id) {
  if (id < 0 || static_cast<size_t>(id) >= groups_.size()) return nullptr;
  return &groups_[static_cast<size_t>(id)];
}

HRESULT IDirect3DRMMesh::AddGroup(unsigned vCount, unsigned fCount, unsigned vPerFace, const unsigned* fData,
                                  D3DRMGROUPINDEX* id) {
  if (!id) return D3DRMERR_BADVALUE;
  if (fCount > 0 && !fData) return D3DRMERR_BADVALUE;
  if (vCount > kMaxGroupEntries || groups_.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max()))
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
    groups_.push_back(std::move(g));
  } catch (const std::bad_alloc&) {
    return D3DRMERR_BADALLOC;
  }
  *id = static_cast<D3DRMGROUPINDEX>(groups_.size() - 1);
  ++generation_;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::SetVertices(D3DRMGROUPINDEX id, unsigned index, unsigned count,
                                     const D3DRMVERTEX* values) {
  Group* g = FindGroup(id);
  if (!g) return D3DRMERR_NOTFOUND;
  if (count > 0 && !values) return D3DRMERR_BADVALUE;
  if (uint64_t{index} + count > g->vertices.size()) return D3DRMERR_BADVALUE;
  std::copy(values, values + count, g->vertices.begin() + index);
  ++generation_;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::GetVertexStorage(D3DRMGROUPINDEX id, unsigned index, unsigned count,
                                          D3DRMVERTEX** values) {
  Group* g = FindGroup(id);
  if (!g) return D3DRMERR_NOTFOUND;
  if (!values) return D3DRMERR_BADVALUE;
  if (uint64_t{index} + count > g->vertices.size()) return D3DRMERR_BADVALUE;
  *values = g->vertices.data() + index;
  ++generation_;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::GetVertices(D3DRMGROUPINDEX id, unsigned index, unsigned count,
                                     D3DRMVERTEX* values) {
  Group* g = FindGroup(id);
  if (!g) return D3DRMERR_NOTFOUND;
  if (count > 0 && !values) return D3DRMERR_BADVALUE;
  if (uint64_t{index} + count > g->vertices.size()) return D3DRMERR_BADVALUE;
  std::copy(g->vertices.begin() + index, g->vertices.begin() + index + count, values);
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::GetGroup(D3DRMGROUPINDEX id, unsigned* vCount, unsigned* fCount, unsigned* vPerFace,
                                  DWORD* fDataSize, unsigned* fData) {
  Group* g = FindGroup(id);
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
  Group* g = FindGroup(id);
  if (!g) return D3DRMERR_NOTFOUND;
  g->color = color;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::SetGroupColorRGB(D3DRMGROUPINDEX id, D3DVALUE r, D3DVALUE g, D3DVALUE b) {
  return SetGroupColor(id, D3DRMCreateColorRGB(r, g, b));
}

D3DCOLOR IDirect3DRMMesh::GetGroupColor(D3DRMGROUPINDEX id) {
  Group* g = FindGroup(id);
  return g ? g->color : 0;
}

HRESULT IDirect3DRMMesh::SetGroupQuality(D3DRMGROUPINDEX id, D3DRMRENDERQUALITY quality) {
  Group* g = FindGroup(id);
  if (!g) return D3DRMERR_NOTFOUND;
  if (quality & ~(D3DRMSHADE_MASK | D3DRMLIGHT_MASK | D3DRMFILL_MASK)) return D3DRMERR_BADVALUE;
  g->quality = quality;
  return D3DRM_OK;
}

D3DRMRENDERQUALITY IDirect3DRMMesh::GetGroupQuality(D3DRMGROUPINDEX id) {
  Group* g = FindGroup(id);
  return g ? g->quality : 0;
}

HRESULT IDirect3DRMMesh::SetGroupTexture(D3DRMGROUPINDEX id, IDirect3DRMTexture* texture) {
  Group* g = FindGroup(id);
  if (!g) return D3DRMERR_NOTFOUND;
  if (texture) texture->AddRef();
  ReleaseIfSet(g->texture);
  g->texture = texture;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::GetGroupTexture(D3DRMGROUPINDEX id, IDirect3DRMTexture** texture) {
  if (!texture) return D3DRMERR_BADVALUE;
  Group* g = FindGroup(id);
  if (!g) return D3DRMERR_NOTFOUND;
  *texture = g->texture;
  if (g->texture) g->texture->AddRef();
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::SetGroupMaterial(D3DRMGROUPINDEX id, IDirect3DRMMaterial* material) {
  Group* g = FindGroup(id);
  if (!g) return D3DRMERR_NOTFOUND;
  if (material) material->AddRef();
  ReleaseIfSet(g->material);
  g->material = material;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::GetGroupMaterial(D3DRMGROUPINDEX id, IDirect3DRMMaterial** material) {
  if (!material) return D3DRMERR_BADVALUE;
  Group* g = FindGroup(id);
  if (!g) return D3DRMERR_NOTFOUND;
  *material = g->material;
  if (g->material) g->material->AddRef();
  return D3DRM_OK;
}

// Normals follow the inverse transpose of the scale, so lighting stays right after a
// non-uniform scale; a zero factor flattens the mesh and leaves the normals alone.
HRESULT IDirect3DRMMesh::Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) {
  const bool fix_normals = sx != 0 && sy != 0 && sz != 0 && !(sx == sy && sy == sz && sx > 0);
  for (Group& g : groups_) {
    for (D3DRMVERTEX& v : g.vertices) {
      v.position.x *= sx;
      v.position.y *= sy;
      v.position.z *= sz;
      if (fix_normals) v.normal = NormalizedOrZero({v.normal.x / sx, v.normal.y / sy, v.normal.z / sz});
    }
  }
  ++generation_;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMesh::Translate(D3DVALUE tx, D3DVALUE ty, D3DVALUE tz) {
  for (Group& g : groups_) {
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
  for (const Group& g : groups_) {
    for (const D3DRMVERTEX& v : g.vertices) {
      const D3DVECTOR& p = v.position;
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
