#include "platform/rm/texture.h"

#include <utility>

IDirect3DRMTexture::IDirect3DRMTexture(int width, int height, std::vector<uint32_t> pixels, std::string name)
    : width_(width), height_(height), pixels_(std::move(pixels)), name_(std::move(name)) {}

// Kept for the application to read back; a true-colour renderer has no use for them, but
// zero would mean "no colours at all" and is refused.
HRESULT IDirect3DRMTexture::SetShades(DWORD shades) {
  if (shades == 0) return D3DRMERR_BADVALUE;
  shades_ = shades;
  return D3DRM_OK;
}

HRESULT IDirect3DRMTexture::SetColors(DWORD colors) {
  if (colors == 0) return D3DRMERR_BADVALUE;
  colors_ = colors;
  return D3DRM_OK;
}
