// The .x reader, all three encodings (the header picks one), then the mesh builder on
// what it accepted: a mesh the reader passes must be one the builder can use.
#include <cstdint>
#include <cstdlib>

#include "platform/rm/d3drm.h"
#include "platform/rm/mesh_builder.h"
#include "platform/rm/xfile/xfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MeshData mesh;
  if (FAILED(xfile::Read(data, size, &mesh))) return 0;
  IDirect3DRM* rm = nullptr;
  if (Direct3DRMCreate(&rm) != D3DRM_OK) std::abort();
  IDirect3DRMMeshBuilder* builder = nullptr;
  rm->CreateMeshBuilder(&builder);
  // No texture is looked for: only the bytes given are read.
  const auto no_texture = [](const char*, void*, IDirect3DRMTexture**) -> HRESULT { return D3DRMERR_NOTFOUND; };
  D3DRMLOADMEMORY memory{data, static_cast<DWORD>(size)};
  if (builder->Load(&memory, nullptr, D3DRMLOAD_FROMMEMORY, no_texture, nullptr) != D3DRM_OK) std::abort();
  IDirect3DRMMesh* built = nullptr;
  if (builder->CreateMesh(&built) != D3DRM_OK) std::abort();
  built->Release();
  builder->Release();
  rm->Release();
  return 0;
}
