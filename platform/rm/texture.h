// Textures: a decoded image (32-bit 0xAARRGGBB pixels, top row first) and its settings.
#pragma once

#include <string>
#include <vector>

#include "platform/rm/object.h"

class IDirect3DRMTexture : public IDirect3DRMVisual {
 public:
  IDirect3DRMTexture(int width, int height, std::vector<uint32_t> pixels, std::string name);
  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::vector<uint32_t>& Pixels() const { return pixels_; }
  const std::string& GetName() const { return name_; }
  // Bits per pixel of the source file (8, 24 or 32).
  int SourceBits() const { return source_bits_; }
  void SetSourceBits(int bits) { source_bits_ = bits; }
  HRESULT SetShades(DWORD shades);
  DWORD GetShades() const { return shades_; }
  HRESULT SetColors(DWORD colors);
  DWORD GetColors() const { return colors_; }

 private:
  int width_, height_;
  std::vector<uint32_t> pixels_;
  std::string name_;
  int source_bits_ = 24;
  DWORD shades_ = 16;
  DWORD colors_ = 8;
};

// Decodes an uncompressed Windows bitmap of 8, 24 or 32 bits per pixel. Returns
// D3DRM_OK, or D3DRMERR_BADFILE for a damaged or unsupported file (the outputs are then
// untouched). Pixels come out top row first.
HRESULT DecodeBmp(const unsigned char* data, size_t size, int* width, int* height,
                  std::vector<uint32_t>* pixels, int* bits);
