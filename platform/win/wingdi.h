// Drawing on bitmaps and windows: memory device contexts, bitmaps from and to device-independent
// bitmaps, block transfers, pens, lines and rectangles, with the platform's names and values.
// Every result is exact to the pixel; no Qt type appears here.
#pragma once

#include "platform/win/win.h"

using HBITMAP = HGDIOBJ;
using HPEN = HGDIOBJ;

// ---- device-independent bitmaps ----------------------------------------------------------

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
  WORD bfType;
  DWORD bfSize;
  WORD bfReserved1;
  WORD bfReserved2;
  DWORD bfOffBits;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPFILEHEADER) == 14);

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;  // positive: rows bottom-up; negative: top-down
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
  BYTE rgbBlue, rgbGreen, rgbRed, rgbReserved;
};
// The colour table runs on past bmiColors[0] for as many entries as the header says.
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
struct BITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  LPVOID bmBits;
};

inline constexpr DWORD BI_RGB = 0;
inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr DWORD CBM_INIT = 4;

// ---- raster operations and pens ----------------------------------------------------------

inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD PATCOPY = 0x00F00021;
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD WHITENESS = 0x00FF0062;

inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;  // six pixels on, two off; solid when wider than one
inline constexpr int PS_DOT = 2;   // one on, one off; solid when wider than one

// How pens and brushes combine with what is there; SetROP2 takes any of the sixteen modes 1..16.
inline constexpr int R2_BLACK = 1;
inline constexpr int R2_NOT = 6;
inline constexpr int R2_COPYPEN = 13;
inline constexpr int R2_WHITE = 16;

// ---- device contexts and objects ---------------------------------------------------------

// A memory DC draws on the bitmap selected into it; until then it holds a shared 1x1 stock
// bitmap. `dc` may be null.
HDC CreateCompatibleDC(HDC dc);
// Memory DCs only; the objects selected into it stay the program's.
BOOL DeleteDC(HDC dc);

// Bitmaps are 32-bit colour and opaque, at most 16384 pixels a side and 2^25 pixels in all.
// The DC argument of the bitmap calls is not consulted.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);  // black
// With CBM_INIT, reads `bits` as BI_RGB rows of 8 (colour table: biClrUsed entries, 0 for
// 256), 24 or 32 bits as `info` describes them, each row padded to four bytes; otherwise
// the bitmap is black. Null for a size or format outside these.
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage);
// With `bits` null, fills in the bitmap's size, biBitCount 32 if it was 0, and biSizeImage.
// Otherwise writes `lines` scanlines from `start`, counted from the bottom, as 24- or 32-bit
// rows of the bitmap's width (biWidth must say so), bottom-up if biHeight > 0 and top-down
// if < 0, and returns how many it wrote.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info, UINT usage);
// A bitmap's BITMAP (32 bits a pixel, no bits pointer); returns the bytes written.
int GetObjectA(HGDIOBJ object, int size, LPVOID out);
// Returns the object of the same kind held before, or null; a bitmap goes only into a
// memory DC, and into one at a time.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// FALSE while the object is selected into a DC; stock objects stay.
BOOL DeleteObject(HGDIOBJ object);

// ---- drawing -----------------------------------------------------------------------------

// SRCCOPY, BLACKNESS or WHITENESS; pixels whose source or destination lies outside its
// image are left alone. An extent of -n covers the n pixels that end at the origin.
BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int src_x, int src_y, DWORD rop);
// Nearest pixel, no filtering: the destination pixel i steps from the origin takes the source
// pixel floor(i * |src_width| / |width|) steps from the source origin (rows alike), each
// stepping in the direction of its extent's sign, so extents of opposite signs mirror.
// FALSE for a zero extent.
BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int src_x, int src_y, int src_width,
                int src_height, DWORD rop);
// PATCOPY (the selected brush), BLACKNESS or WHITENESS; extents as for BitBlt.
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);

// Widths below 1 draw one pixel wide; a wider pen puts a width x width square on each pixel.
HPEN CreatePen(int style, int width, COLORREF color);
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
// From the current position to (x, y), that last pixel excluded; (x, y) becomes current.
BOOL LineTo(HDC dc, int x, int y);
// The pen outlines columns left..right-1 and rows top..bottom-1; the brush fills inside.
// Both go through the DC's mix mode; the current position stays.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
int SetROP2(HDC dc, int mode);  // the previous mode, 0 for an unknown one
