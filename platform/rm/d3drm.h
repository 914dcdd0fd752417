// The retained-mode 3D layer: the root object and everything it makes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/rm/face.h"
#include "platform/rm/frame.h"
#include "platform/rm/light.h"
#include "platform/rm/material.h"
#include "platform/rm/mesh.h"
#include "platform/rm/mesh_builder.h"
#include "platform/rm/object.h"
#include "platform/rm/texture.h"
#include "platform/rm/types.h"

// Directories searched, in order, for relative file names; shared by the root object and
// the builders it makes.
struct RmSearchPath {
  std::vector<std::string> dirs;
  // The first existing file among dir/name for each dir, then name itself. Absolute
  // names are returned unchanged. Empty when nothing exists.
  std::string Resolve(const std::string& name) const;
};

class IDirect3DRM : public IDirect3DRMObject {
 public:
  IDirect3DRM();

  HRESULT CreateFrame(IDirect3DRMFrame* parent, IDirect3DRMFrame** frame);
  HRESULT CreateMesh(IDirect3DRMMesh** mesh);
  HRESULT CreateMeshBuilder(IDirect3DRMMeshBuilder** builder);
  HRESULT CreateFace(IDirect3DRMFace** face);
  HRESULT CreateLightRGB(D3DRMLIGHTTYPE type, D3DVALUE r, D3DVALUE g, D3DVALUE b,
                         IDirect3DRMLight** light);
  HRESULT CreateMaterial(D3DVALUE power, IDirect3DRMMaterial** material);
  // Reads an 8-, 24- or 32-bit .bmp; relative names are looked up on the search path.
  HRESULT LoadTexture(const char* name, IDirect3DRMTexture** texture);

  // A list of directories separated by ';'.
  HRESULT SetSearchPath(const char* path);
  HRESULT AddSearchPath(const char* path);
  // size is in/out: the room in path (including the terminator), then the length needed.
  HRESULT GetSearchPath(DWORD* size, char* path);
  HRESULT SetDefaultTextureColors(DWORD colors);
  HRESULT SetDefaultTextureShades(DWORD shades);
  DWORD DefaultTextureColors() const { return texture_colors_; }
  DWORD DefaultTextureShades() const { return texture_shades_; }

 protected:
  ~IDirect3DRM() override = default;

 private:
  std::shared_ptr<RmSearchPath> search_;
  DWORD texture_colors_ = 8;
  DWORD texture_shades_ = 16;
};

HRESULT Direct3DRMCreate(IDirect3DRM** d3drm);
