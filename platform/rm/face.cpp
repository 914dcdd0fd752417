#include "platform/rm/face.h"

#include "platform/rm/mesh_data.h"

IDirect3DRMFace::IDirect3DRMFace() = default;

IDirect3DRMFace::IDirect3DRMFace(std::shared_ptr<const MeshData> data, size_t face, size_t first)
    : data_(std::move(data)), face_(face), first_(first) {
  // A builder face shows the colour of its material.
  if (data_ && data_->face_materials.size() == data_->FaceCount() && face_ < data_->face_materials.size() &&
      data_->face_materials[face_] < data_->materials.size()) {
    const MeshMaterial& m = data_->materials[data_->face_materials[face_]];
    color_ = D3DRMCreateColorRGBA(m.r, m.g, m.b, m.a);
  }
}

IDirect3DRMFace::~IDirect3DRMFace() = default;

HRESULT IDirect3DRMFace::AddVertex(D3DVALUE x, D3DVALUE y, D3DVALUE z) {
  if (data_) return D3DRMERR_BADOBJECT;
  own_.push_back({x, y, z});
  return D3DRM_OK;
}

int IDirect3DRMFace::GetVertexCount() const {
  if (data_) return face_ < data_->face_sizes.size() ? static_cast<int>(data_->face_sizes[face_]) : 0;
  return static_cast<int>(own_.size());
}

int IDirect3DRMFace::GetVertexIndex(DWORD which) const {
  if (which >= static_cast<DWORD>(GetVertexCount())) return -1;
  if (data_) return static_cast<int>(data_->face_indices[first_ + which]);
  return static_cast<int>(which);
}

HRESULT IDirect3DRMFace::GetVertex(DWORD which, D3DVECTOR* position, D3DVECTOR* normal) const {
  if (which >= static_cast<DWORD>(GetVertexCount())) return D3DRMERR_BADVALUE;
  if (!data_) {
    if (position) *position = own_[which];
    if (normal) GetNormal(normal);
    return D3DRM_OK;
  }
  if (position) *position = data_->positions[data_->face_indices[first_ + which]];
  if (normal) {
    if (data_->normal_indices.size() == data_->face_indices.size())
      *normal = data_->normals[data_->normal_indices[first_ + which]];
    else
      GetNormal(normal);
  }
  return D3DRM_OK;
}

HRESULT IDirect3DRMFace::GetVertices(DWORD* count, D3DVECTOR* positions, D3DVECTOR* normals) const {
  if (!count) return D3DRMERR_BADVALUE;
  const auto n = static_cast<DWORD>(GetVertexCount());
  if ((positions || normals) && *count < n) {
    *count = n;
    return D3DRMERR_BADVALUE;
  }
  for (DWORD k = 0; k < n && (positions || normals); ++k)
    GetVertex(k, positions ? positions + k : nullptr, normals ? normals + k : nullptr);
  *count = n;
  return D3DRM_OK;
}

HRESULT IDirect3DRMFace::GetNormal(D3DVECTOR* normal) const {
  if (!normal) return D3DRMERR_BADVALUE;
  const auto n = static_cast<size_t>(GetVertexCount());
  if (data_) {
    const uint32_t* corners = data_->face_indices.data() + first_;
    *normal = NormalizedOrZero(PolygonAreaNormal(n, [&](size_t k) { return data_->positions[corners[k]]; }));
  } else {
    *normal = NormalizedOrZero(PolygonAreaNormal(n, [&](size_t k) { return own_[k]; }));
  }
  return D3DRM_OK;
}

HRESULT IDirect3DRMFace::GetTextureCoordinates(DWORD which, D3DVALUE* u, D3DVALUE* v) const {
  if (!u || !v || which >= static_cast<DWORD>(GetVertexCount())) return D3DRMERR_BADVALUE;
  *u = *v = 0;
  if (data_) {
    const size_t index = data_->face_indices[first_ + which];
    if (data_->texcoords.size() == data_->positions.size() * 2) {
      *u = data_->texcoords[2 * index];
      *v = data_->texcoords[2 * index + 1];
    }
  }
  return D3DRM_OK;
}

HRESULT IDirect3DRMFace::SetColor(D3DCOLOR color) {
  color_ = color;
  return D3DRM_OK;
}

HRESULT IDirect3DRMFace::SetColorRGB(D3DVALUE r, D3DVALUE g, D3DVALUE b) {
  color_ = D3DRMCreateColorRGB(r, g, b);
  return D3DRM_OK;
}

IDirect3DRMFaceArray::IDirect3DRMFaceArray(std::vector<IDirect3DRMFace*> faces) : faces_(std::move(faces)) {}

IDirect3DRMFaceArray::~IDirect3DRMFaceArray() {
  for (IDirect3DRMFace* f : faces_)
    if (f) f->Release();
}

HRESULT IDirect3DRMFaceArray::GetElement(DWORD index, IDirect3DRMFace** face) {
  if (!face || index >= faces_.size()) return D3DRMERR_BADVALUE;
  *face = faces_[index];
  (*face)->AddRef();
  return D3DRM_OK;
}
