// The retained-mode 3D layer: the root object and everything it makes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/rm/ddraw.h"
#include "platform/rm/device.h"
#include "platform/rm/face.h"
#include "platform/rm/frame.h"
#include "platform/rm/light.h"
#include "platform/rm/material.h"
#include "platform/rm/mesh.h"
#include "platform/rm/mesh_builder.h"
#include "platform/rm/object.h"
#include "platform/rm/texture.h"
#include "platform/rm/types.h"
#include "platform/rm/viewport.h"

// Directories searched, in order, for relative file names; shared by the root object and
// the builders it makes.
struct RmSearchPath {
  std::vector<std::string> dirs;
  // The first existing file among dir/name for each dir, then name itself. Absolute
  // names are returned unchanged. Empty when nothing exists.
  std::string Resolve(const std::string& name) const;
};

// Reads a whole file: D3DRMERR_FILENOTFOUND when it cannot be opened, D3DRMERR_BADFILE
// when reading fails.
HRESULT RmReadFile(const std::string& path, std::vector<unsigned char>* bytes);
// Loads a .bmp found on the search path as a texture named `name`:
// D3DRMERR_FILENOTFOUND, or D3DRMERR_BADFILE for a file that does not decode.
HRESULT RmLoadTexture(const RmSearchPath& search, const char* name, IDirect3DRMTexture** texture);

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
  // A device of width x height presenting to the clipper's window. A null or unknown
  // driver GUID takes the default driver.
  HRESULT CreateDeviceFromClipper(IDirectDrawClipper* clipper, GUID* driver, int width, int height,
                                  IDirect3DRMDevice** device);
  // A device that renders to memory only.
  HRESULT CreateDeviceInMemory(GUID* driver, int width, int height, IDirect3DRMDevice** device);
  // A viewport on the device's rectangle (x, y, width, height) seen through `camera`.
  HRESULT CreateViewport(IDirect3DRMDevice* device, IDirect3DRMFrame* camera, DWORD x, DWORD y,
                         DWORD width, DWORD height, IDirect3DRMViewport** viewport);

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
