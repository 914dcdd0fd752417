#include <cstring>

#include "platform/rm/texture.h"

namespace {

constexpr uint64_t kFileHeaderSize = 14;
constexpr int64_t kMaxSide = 16384;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

uint32_t U16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint32_t U32(const unsigned char* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
int32_t I32(const unsigned char* p) { return static_cast<int32_t>(U32(p)); }

uint32_t Opaque(uint32_t b, uint32_t g, uint32_t r) { return 0xff000000u | (r << 16) | (g << 8) | b; }

}  // namespace

// Every offset and size below is computed in 64 bits and checked against the bytes the
// file holds before anything is read, so a damaged header can neither overrun the input
// nor ask for an allocation larger than four bytes per byte of pixel data present.
HRESULT DecodeBmp(const unsigned char* data, size_t size, int* width, int* height,
                  std::vector<uint32_t>* pixels, int* bits) {
  if (!width || !height || !pixels || !bits) return D3DRMERR_BADVALUE;
  const uint64_t file_size = size;
  if (!data || file_size < kFileHeaderSize + 40 || data[0] != 'B' || data[1] != 'M') return D3DRMERR_BADFILE;
  const uint64_t pixel_offset = U32(data + 10);
  const uint64_t info_size = U32(data + 14);
  // The plain header and its later, longer versions share the first 40 bytes.
  if (info_size < 40 || info_size > 124 || kFileHeaderSize + info_size > file_size) return D3DRMERR_BADFILE;
  const unsigned char* info = data + kFileHeaderSize;
  const int64_t w = I32(info + 4);
  const int64_t h_signed = I32(info + 8);
  const uint32_t planes = U16(info + 12);
  const uint32_t bit_count = U16(info + 14);
  const uint32_t compression = U32(info + 16);
  const uint32_t colors_used = U32(info + 32);
  const bool top_down = h_signed < 0;
  const int64_t h = top_down ? -h_signed : h_signed;
  if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide || planes != 1) return D3DRMERR_BADFILE;
  if (bit_count != 8 && bit_count != 24 && bit_count != 32) return D3DRMERR_BADFILE;

  if (compression == kBiBitfields) {
    // Only the ordinary 8-8-8 layout of 32-bit pixels; the masks sit in the longer
    // headers, or right after the plain one.
    if (bit_count != 32) return D3DRMERR_BADFILE;
    const uint64_t masks_at = kFileHeaderSize + 40;
    if (masks_at + 12 > file_size) return D3DRMERR_BADFILE;
    if (U32(data + masks_at) != 0x00ff0000u || U32(data + masks_at + 4) != 0x0000ff00u ||
        U32(data + masks_at + 8) != 0x000000ffu)
      return D3DRMERR_BADFILE;
  } else if (compression != kBiRgb) {
    return D3DRMERR_BADFILE;
  }

  uint32_t palette[256];
  uint64_t palette_entries = 0;
  if (bit_count == 8) {
    palette_entries = colors_used == 0 ? 256 : colors_used;
    if (palette_entries > 256) return D3DRMERR_BADFILE;
    const uint64_t palette_at = kFileHeaderSize + info_size;
    if (palette_at + 4 * palette_entries > file_size) return D3DRMERR_BADFILE;
    for (uint64_t i = 0; i < palette_entries; ++i) {
      const unsigned char* e = data + palette_at + 4 * i;
      palette[i] = Opaque(e[0], e[1], e[2]);
    }
  }

  const uint64_t stride = (static_cast<uint64_t>(w) * bit_count + 31) / 32 * 4;
  if (pixel_offset < kFileHeaderSize + 40 || pixel_offset > file_size ||
      stride * static_cast<uint64_t>(h) > file_size - pixel_offset)
    return D3DRMERR_BADFILE;

  std::vector<uint32_t> out(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int64_t y = 0; y < h; ++y) {
    const int64_t file_row = top_down ? y : h - 1 - y;
    const unsigned char* row = data + pixel_offset + static_cast<uint64_t>(file_row) * stride;
    uint32_t* dst = out.data() + y * w;
    switch (bit_count) {
      case 8:
        // An index past a short palette shows black rather than refusing the picture.
        for (int64_t x = 0; x < w; ++x) dst[x] = row[x] < palette_entries ? palette[row[x]] : 0xff000000u;
        break;
      case 24:
        for (int64_t x = 0; x < w; ++x) dst[x] = Opaque(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
        break;
      default:
        for (int64_t x = 0; x < w; ++x) dst[x] = Opaque(row[4 * x], row[4 * x + 1], row[4 * x + 2]);
        break;
    }
  }
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  *bits = static_cast<int>(bit_count);
  *pixels = std::move(out);
  return D3DRM_OK;
}
