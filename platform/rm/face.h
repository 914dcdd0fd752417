// Faces: a polygon of corners, either standing alone (positions of its own) or read from
// a mesh builder (indices into the builder's vertices and normals).
#pragma once

#include <memory>
#include <vector>

#include "platform/rm/mesh_data.h"
#include "platform/rm/object.h"

class IDirect3DRMTexture;
class IDirect3DRMMaterial;

class IDirect3DRMFace : public IDirect3DRMObject {
 public:
  IDirect3DRMFace();
  // A face of a builder: corner k is face_indices[first + k] of `data`, which the face
  // shares with the builder, so it stays valid after the builder is released.
  IDirect3DRMFace(std::shared_ptr<const MeshData> data, size_t face, size_t first);

  // Standalone faces only: appends a corner at the given position.
  HRESULT AddVertex(D3DVALUE x, D3DVALUE y, D3DVALUE z);
  int GetVertexCount() const;
  // Index of the corner's vertex in its builder (for a standalone face, the corner).
  int GetVertexIndex(DWORD which) const;
  HRESULT GetVertex(DWORD which, D3DVECTOR* position, D3DVECTOR* normal) const;
  // count is in/out: room, then corners. positions or normals may be null.
  HRESULT GetVertices(DWORD* count, D3DVECTOR* positions, D3DVECTOR* normals) const;
  HRESULT GetNormal(D3DVECTOR* normal) const;
  HRESULT GetTextureCoordinates(DWORD which, D3DVALUE* u, D3DVALUE* v) const;
  HRESULT SetColor(D3DCOLOR color);
  HRESULT SetColorRGB(D3DVALUE r, D3DVALUE g, D3DVALUE b);
  D3DCOLOR GetColor() const { return color_; }

 protected:
  ~IDirect3DRMFace() override;

 private:
  std::shared_ptr<const MeshData> data_;  // builder faces
  size_t face_ = 0, first_ = 0;
  std::vector<D3DVECTOR> own_;  // standalone faces
  D3DCOLOR color_ = 0xffffffffu;
};

class IDirect3DRMFaceArray : public IDirect3DRMObject {
 public:
  explicit IDirect3DRMFaceArray(std::vector<IDirect3DRMFace*> faces);  // takes the references
  DWORD GetSize() const { return static_cast<DWORD>(faces_.size()); }
  HRESULT GetElement(DWORD index, IDirect3DRMFace** face);  // AddRefs

 protected:
  ~IDirect3DRMFaceArray() override;

 private:
  std::vector<IDirect3DRMFace*> faces_;
};
