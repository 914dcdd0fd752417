// Loading the texture bitmap and building the texture map from it: the bitmap scaled by
// the user's factors and repeated over a map of the user's size.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "app/edit_input.h"
#include "app/errors.h"
#include "app/globals.h"
#include "model/polygoni.h"
#include "platform/rm/d3drm.h"
#include "platform/rm/texture.h"
#include "texture/texture.h"
#include "views/viewport_data.h"

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
// The largest file read: four bytes a pixel of the largest picture the decoder takes,
// and its headers.
constexpr uint64_t kMaxFileSize = (uint64_t{16384} * 16384 + 1024) * 4;
// Sides and areas of the scaled image and the map: beyond these the allocation is refused
// as a failed one would be, with the map left as it was.
constexpr int64_t kMaxSide = 16384;
constexpr int64_t kMaxPixels = int64_t{1} << 25;
constexpr DWORD kOpenFlags = 0x83804;

// trunc(side * factor) by magnitude; 0 for factors no picture can take (NaN, huge).
int ScaledSide(int side, float factor) {
  const double v = std::fabs(std::trunc(static_cast<double>(side) * static_cast<double>(factor)));
  if (!(v < static_cast<double>(kMaxSide) * 1024)) return v != v ? 0 : static_cast<int>(kMaxSide) * 1024;
  return static_cast<int>(v);
}

bool Drawable(int64_t w, int64_t h) { return w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide && w * h <= kMaxPixels; }

RECT ClientOf(HWND window) {
  RECT r{0, 0, 0, 0};
  if (!GetClientRect(window, &r)) Msg("GetClientRect failed");
  return r;
}

enum class Read { kDone, kCannotOpen, kFailed };

// The whole file in one open; a file beyond any picture the decoder takes is a failed read.
Read ReadWhole(const char* path, std::vector<unsigned char>* bytes) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return Read::kCannotOpen;
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<uint64_t>(size) > kMaxFileSize) return Read::kFailed;
  bytes->resize(static_cast<size_t>(size));
  in.seekg(0);
  return in.read(reinterpret_cast<char*>(bytes->data()), size) ? Read::kDone : Read::kFailed;
}

void Deselect(HDC dc, HGDIOBJ previous) {
  if (dc && previous) SelectObject(dc, previous);
}

}  // namespace

Texture::~Texture() {
  for (HBITMAP* slot : {&hbm, &fundamentalbm}) ReplaceBitmap(slot, nullptr);
  if (hdc) ReleaseDC(vp_data.hwndtex, hdc);
  if (tex) tex->Release();
}

void Texture::ReplaceBitmap(HBITMAP* slot, HBITMAP bitmap) {
  if (*slot && *slot != bitmap) DeleteObject(*slot);
  *slot = bitmap;
}

// The model's face display reads the texture and the scaled image's size from here.
void Texture::PublishSize() {
  mesh_texture.tex = tex;
  mesh_texture.tswidth = tswidth;
  mesh_texture.tsheight = tsheight;
}

void Texture::LoadTexture() {
  filename[0] = '\0';
  char title[100] = {};
  OPENFILENAMEA ofn;
  ofn.hwndOwner = vp_data.hwndtex;
  ofn.lpstrFilter = "Bitmap\0*.bmp\0All\0*.*\0\0";
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = filename;
  ofn.nMaxFile = sizeof filename;
  ofn.lpstrFileTitle = title;
  ofn.nMaxFileTitle = sizeof title;
  ofn.lpstrDefExt = "bmp";
  ofn.Flags = kOpenFlags;
  if (!GetOpenFileNameA(&ofn)) {
    Msg("GetOpenFileName Failed");
    if (const char* name = DialogErrorName(CommDlgExtendedError())) Msg("%s", name);
    return;
  }
  if (!ReadTheFile(ofn, vp_data.hwndtex)) Msg("Could not open File");
}

// Every check that can refuse the file runs before anything is replaced: a file refused
// at any step leaves the texture, the map and the coordinates as they were.
bool Texture::ReadTheFile(OPENFILENAMEA ofn, HWND hwnd) {
  const RECT client = ClientOf(hwnd);
  const char* path = ofn.lpstrFile ? ofn.lpstrFile : "";
  std::vector<unsigned char> file;
  const Read read = ReadWhole(path, &file);
  if (read == Read::kCannotOpen) {
    Msg("Error: INVALID_HANDLE_VALUE ");
    return false;
  }
  if (read != Read::kDone || file.size() < kFileHeaderSize + kInfoHeaderSize || file[0] != 'B' || file[1] != 'M') {
    Msg("ReadFile failed");
    return false;
  }
  BITMAPFILEHEADER file_header;
  std::memcpy(&file_header, file.data(), kFileHeaderSize);
  BITMAPINFOHEADER header;
  std::memcpy(&header, file.data() + kFileHeaderSize, kInfoHeaderSize);
  const int bits = header.biBitCount;
  if (bits != 8 && bits != 24 && bits != 32) {
    Msg("The texture can only have 8, 24, or 32 bits per pixel");
    return false;
  }
  // An 8-bit file's 256-entry colour table follows its info header.
  const uint64_t info_size = std::max<uint64_t>(header.biSize, kInfoHeaderSize);
  const uint64_t table_at = kFileHeaderSize + info_size;
  const uint64_t table_size = bits == 8 ? 256 * 4 : 0;
  if (table_at + table_size > file.size()) {
    Msg("ReadFile2 failed");
    return false;
  }
  const uint64_t width64 = static_cast<uint64_t>(std::llabs(static_cast<long long>(header.biWidth)));
  const uint64_t height64 = static_cast<uint64_t>(std::llabs(static_cast<long long>(header.biHeight)));
  const uint64_t stride = (width64 * static_cast<uint64_t>(bits) + 31) / 32 * 4;
  const uint64_t pixels_at = file_header.bfOffBits;
  if (pixels_at > file.size() || stride * height64 > file.size() - pixels_at) {
    Msg("ReadFile3 failed");
    return false;
  }

  // The retained-mode texture, from the file's directory by its title.
  IDirect3DRMTexture* loaded = nullptr;
  const std::string directory(path, std::min<size_t>(ofn.nFileOffset, std::strlen(path)));
  const char* title = ofn.lpstrFileTitle && *ofn.lpstrFileTitle ? ofn.lpstrFileTitle : path + directory.size();
  if (!lpD3DRM) {
    Msg("LoadTexture() failed");
    return false;
  }
  if (FAILED(lpD3DRM->SetSearchPath(directory.c_str()))) Msg("SetSearchPath() Failed");
  if (FAILED(lpD3DRM->LoadTexture(title, &loaded)) || !loaded) {
    Msg("LoadTexture() failed");
    return false;
  }

  // The info block: the header and, for 8 bits, the colour table.
  std::vector<unsigned char> info(kInfoHeaderSize + table_size);
  BITMAPINFOHEADER plain = header;
  plain.biSize = kInfoHeaderSize;
  plain.biClrUsed = bits == 8 ? 256 : 0;
  std::memcpy(info.data(), &plain, kInfoHeaderSize);
  if (table_size) std::memcpy(info.data() + kInfoHeaderSize, file.data() + table_at, table_size);
  const auto* bitmap_info = reinterpret_cast<const BITMAPINFO*>(info.data());
  const unsigned char* pixels = file.data() + pixels_at;

  winheight = client.bottom - client.top;
  if (tex) tex->Release();
  tex = loaded;
  width = static_cast<int>(width64);
  height = static_cast<int>(height64);
  bmPlanes = header.biPlanes;
  bmBitsPixel = bits;
  compression = static_cast<int>(header.biCompression);
  shades = bits;
  bytes = bits / 8;
  tswidth = tsheight = 0;
  PublishSize();

  if (hdc) ReleaseDC(vp_data.hwndtex, hdc);
  hdc = GetDC(hwnd);
  ReplaceBitmap(&hbm, CreateDIBitmap(hdc, &plain, CBM_INIT, pixels, bitmap_info, DIB_RGB_COLORS));
  ReplaceBitmap(&fundamentalbm, CreateDIBitmap(hdc, &plain, CBM_INIT, pixels, bitmap_info, DIB_RGB_COLORS));
  if (!hbm) Msg("CreateDIBitmap failed");
  fDisplayBitmap = hbm != nullptr;
  if (!hbm) {
    Msg("**********Loading of Bitmap failed**************");
    Msg("hbm == NULL, before the paint message is sent");
  }

  std::snprintf(filename, sizeof filename, "%s", "abcdefg");
  if (!InvalidateRect(hwnd, nullptr, FALSE)) Msg("invalidateRect failed");
  if (!UpdateWindow(hwnd)) Msg("UpdateWindow failed");
  ps.hdc = hdc;
  ps.fErase = FALSE;
  ps.rcPaint = client;
  texloaded = true;
  tbmih = plain;
  // The header and the first colour entry (none for the deeper files: zero).
  tlpbmi.assign(kInfoHeaderSize + 4, 0);
  std::copy(info.begin(), info.begin() + static_cast<std::ptrdiff_t>(std::min(info.size(), tlpbmi.size())), tlpbmi.begin());

  // The mesh is drawn again with the texture.
  SendRenderCommand();
  if (!pointsinit) {
    InitTexPoints();
    pointsinit = true;
  }
  ScaleBitmap(1.0f, 1.0f, 0, 0);
  InvalidateRect(hwnd, nullptr, FALSE);
  return true;
}

HBITMAP Texture::StretchBitmap(HBITMAP src, float x, float y) {
  if (!src) {
    Msg("hBitmap1 == NULL");
    return nullptr;
  }
  HDC from = CreateCompatibleDC(hdc);
  HDC to = CreateCompatibleDC(hdc);
  if (!from) Msg("hdcMem1 == NULL");
  if (!to) Msg("hdcMem2 == NULL");
  const int w = ScaledSide(width, x), h = ScaledSide(height, y);
  HBITMAP stretched = Drawable(w, h) ? CreateCompatibleBitmap(hdc, w, h) : nullptr;
  if (from && to && stretched) {
    HGDIOBJ old_from = SelectObject(from, src);
    HGDIOBJ old_to = SelectObject(to, stretched);
    if (!old_from) Msg("SelectObject1 in sb failed");
    if (!old_to) Msg("SelectObject2 in sb failed");
    if (!StretchBlt(to, 0, 0, w, h, from, 0, 0, width, height, SRCCOPY)) Msg("StretchBlt error in sb");
    Deselect(from, old_from);
    Deselect(to, old_to);
  }
  if (from) DeleteDC(from);
  if (to) DeleteDC(to);
  return stretched;
}

int Texture::ScaleBitmap(float x1, float y1, int offsetx, int offsety) {
  scale_x = x1;
  scale_y = y1;
  const int swidth = ScaledSide(width, x1), sheight = ScaledSide(height, y1);
  if (swidth == 0 || sheight == 0) {
    Msg("dimensions can't be 0");
    return 0;
  }
  if (!fundamentalbm) {
    Msg("fundamentalbm == NULL");
    return 0;
  }
  HBITMAP scaled = StretchBitmap(fundamentalbm, x1, y1);
  if (!scaled) {
    Msg("hbm is NULL after StretchBitmap");
    return 0;
  }

  const RECT client = ClientOf(vp_data.hwndtex);
  const int cw = client.right - client.left, ch = client.bottom - client.top;
  if (offsetx == 0 && offsety == 0) {
    offsetx = 2 * cw;
    offsety = 2 * ch;
  }
  mapsize_x = offsetx;
  mapsize_y = offsety;

  // The scaled image's pixels, rows bottom-up as a bitmap stores them. The map is built at
  // the display's 32 bits whatever the file's depth, so no colour is lost to a palette.
  BITMAPINFO read{};
  read.bmiHeader.biSize = kInfoHeaderSize;
  read.bmiHeader.biBitCount = 32;
  auto refuse = [scaled](const char* message) {
    Msg("%s", message);
    DeleteObject(scaled);
    return 0;
  };
  if (!GetDIBits(hdc, scaled, 0, static_cast<UINT>(sheight), nullptr, &read, DIB_RGB_COLORS)) return refuse("ERROR::ERROR");
  if (read.bmiHeader.biSizeImage == 0) return refuse("bi.biSizeImage is 0");
  if (mapsize_x <= 0 || mapsize_y <= 0) return refuse("hbm is NULL after function call");
  if (!Drawable(mapsize_x, mapsize_y)) return refuse("GlobalAlloc FAILED");
  const int64_t map_pixels = int64_t{mapsize_x} * mapsize_y;
  read.bmiHeader.biHeight = sheight;
  read.bmiHeader.biBitCount = 32;
  read.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> image(static_cast<size_t>(swidth) * static_cast<size_t>(sheight));
  const bool got_bits = GetDIBits(hdc, scaled, 0, static_cast<UINT>(sheight), image.data(), &read, DIB_RGB_COLORS) == sheight;
  DeleteObject(scaled);
  if (!got_bits) {
    Msg("ERROR::!bGotBits");
    return 0;
  }

  // The map repeats the scaled image from its bottom-left corner.
  std::vector<uint32_t> map(static_cast<size_t>(map_pixels));
  for (int y = 0; y < mapsize_y; ++y) {
    const uint32_t* from = image.data() + static_cast<size_t>(y % sheight) * swidth;
    uint32_t* to = map.data() + static_cast<size_t>(y) * mapsize_x;
    for (int x = 0; x < mapsize_x; x += swidth) std::memcpy(to + x, from, sizeof(uint32_t) * std::min(swidth, mapsize_x - x));
  }
  BITMAPINFOHEADER map_header = read.bmiHeader;
  map_header.biWidth = mapsize_x;
  map_header.biHeight = mapsize_y;
  map_header.biSizeImage = static_cast<DWORD>(map_pixels * 4);
  BITMAPINFO map_info{};
  map_info.bmiHeader = map_header;
  HBITMAP made = CreateDIBitmap(hdc, &map_header, CBM_INIT, map.data(), &map_info, DIB_RGB_COLORS);
  if (!made) {
    Msg("hbm is NULL after function call");
    return 0;
  }
  ReplaceBitmap(&hbm, made);

  // The size is recorded before the mesh is rewritten, so the mesh takes the new unit.
  tswidth = swidth;
  tsheight = sheight;
  tnwidth = (swidth * bytes + 3) / 4 * 4;
  tnheight = sheight;
  tbiSize = static_cast<int>(kInfoHeaderSize);
  tnColors = bmBitsPixel <= 8 ? 1 << bmBitsPixel : 0;
  ttbmih2 = map_header;
  PublishSize();
  InvalidateRect(vp_data.hwndtex, nullptr, FALSE);
  polygoner.UpdateMesh();

  scroll_x.maxscroll = std::max(mapsize_x - cw, 0);
  scroll_y.maxscroll = std::max(mapsize_y - ch, 0);
  scroll_x.minscroll = scroll_y.minscroll = 0;
  SetScrollRange(scroll_x.hwnd, SB_CTL, scroll_x.minscroll, scroll_x.maxscroll, TRUE);
  SetScrollRange(scroll_y.hwnd, SB_CTL, scroll_y.minscroll, scroll_y.maxscroll, TRUE);
  offset = {0, scroll_y.maxscroll};
  SetScrollPos(scroll_x.hwnd, SB_CTL, offset.x, TRUE);
  SetScrollPos(scroll_y.hwnd, SB_CTL, offset.y, TRUE);
  return 1;
}
