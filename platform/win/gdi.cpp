// Drawing objects and device contexts, and what they draw: bitmaps made from and read back
// as device-independent bitmaps, block transfers, lines and rectangles. Everything writes
// QImage pixels directly, so every result is exact to the pixel, and every coordinate is
// clipped in 64 bits before a pixel is touched, whatever int the program passes.
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_set>
#include <utility>

#include "platform/win/gdi_object.h"
#include "platform/win/qt_access.h"
#include "platform/win/window_record.h"

namespace {

constexpr int64_t kMaxSide = 16384;
constexpr int64_t kMaxPixels = int64_t{1} << 25;
constexpr uint32_t kBlack = 0xFF000000u;

// ---- objects and DCs behind their handles ------------------------------------------------

struct Registry {
  std::unordered_set<HGDIOBJ> objects;
  std::unordered_set<HDC> dcs;
};

Registry& Live() {
  static auto* registry = new Registry;  // handles may be used until the process ends
  return *registry;
}

struct StockObjects {
  HGDIOBJ__ brushes[NULL_BRUSH + 1];
  HGDIOBJ__ pen;     // black, solid, one pixel: every DC starts with it
  HGDIOBJ__ bitmap;  // 1x1: what a memory DC holds until the program selects a bitmap
};

struct StockBrush {
  uint32_t color;
  bool hollow;
};
constexpr StockBrush kStockBrushes[NULL_BRUSH + 1] = {
    {0xFFFFFFFF, false},  // WHITE_BRUSH
    {0xFFC0C0C0, false},  // LTGRAY_BRUSH
    {0xFF808080, false},  // GRAY_BRUSH
    {0xFF404040, false},  // DKGRAY_BRUSH
    {0xFF000000, false},  // BLACK_BRUSH
    {0xFF000000, true},   // NULL_BRUSH
};

QImage BlackImage(int64_t width, int64_t height) {
  QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
  if (!image.isNull()) image.fill(kBlack);
  return image;
}

StockObjects& Stock() {
  static StockObjects* stock = [] {
    auto* made = new StockObjects;  // shared by every DC, so never freed
    for (int i = 0; i <= NULL_BRUSH; ++i) {
      made->brushes[i].color = kStockBrushes[i].color;
      made->brushes[i].hollow = kStockBrushes[i].hollow;
      made->brushes[i].stock = true;
      Live().objects.insert(&made->brushes[i]);
    }
    made->pen.kind = HGDIOBJ__::Kind::kPen;
    made->bitmap.kind = HGDIOBJ__::Kind::kBitmap;
    made->bitmap.image = BlackImage(1, 1);
    for (HGDIOBJ object : {&made->pen, &made->bitmap}) {
      object->stock = true;
      Live().objects.insert(object);
    }
    return made;
  }();
  return *stock;
}

HGDIOBJ Register(HGDIOBJ__ made) {
  auto* object = new HGDIOBJ__(std::move(made));
  Live().objects.insert(object);
  return object;
}

void Hold(HGDIOBJ object) {
  if (!object->stock) ++object->selections;
}

void LetGo(HGDIOBJ object) {
  if (object && !object->stock) --object->selections;
}

uint32_t FromColorRef(COLORREF color) {
  return kBlack | ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

bool SizeAllowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

uint32_t* Row(QImage& image, int64_t y) {
  return reinterpret_cast<uint32_t*>(image.scanLine(static_cast<int>(y)));
}

const uint32_t* ConstRow(const QImage& image, int64_t y) {
  return reinterpret_cast<const uint32_t*>(image.constScanLine(static_cast<int>(y)));
}

// ---- where a DC draws --------------------------------------------------------------------

struct Canvas {
  QImage* image = nullptr;
  const QImage* under = nullptr;  // an overlay's surface, which shows through its clear pixels
  HWND window = nullptr;          // shown again after drawing outside its paint
};

bool CanvasOf(HDC__* dc, Canvas* canvas) {
  if (dc->kind == DcKind::kMemory) {
    canvas->image = &dc->bitmap->image;
    return true;
  }
  HWND window = LiveWindow(dc->window);
  if (!window) return false;
  canvas->window = window;
  canvas->image = dc->overlay ? WindowOverlay(window) : WindowSurface(window);
  if (dc->overlay) canvas->under = &window->surface;
  return canvas->image != nullptr;
}

void Show(const Canvas& canvas) {
  HWND window = canvas.window;
  // Inside the window's own paint the surface goes on screen right after the procedure
  // returns; asking for another paint there would repaint forever.
  if (!window || window->painting || !window->client) return;
  window->redraw_only = true;
  window->client->update();
}

// What a source DC shows. The copy shares its pixels until the destination is written, so a
// transfer within one image reads the pixels as they were before it began.
bool SourceImage(HDC__* dc, QImage* image) {
  if (dc->kind == DcKind::kMemory) {
    *image = dc->bitmap->image;
    return true;
  }
  HWND window = LiveWindow(dc->window);
  if (!window || !window->client) return false;
  if (dc->overlay) {
    *image = WindowImage(window);
  } else {
    *image = *WindowSurface(window);
  }
  return true;
}

// ---- mixing and filling ------------------------------------------------------------------

// The sixteen mix modes are the truth tables of pen P and destination D: bit 2P + D of
// (mode - 1) gives the result, bit by bit through the colour. R2_COPYPEN, 13, is 1100: P.
uint32_t Mix(int mode, uint32_t pen, uint32_t there) {
  const unsigned table = static_cast<unsigned>(mode - 1);
  uint32_t out = 0;
  if (table & 1) out |= ~pen & ~there;
  if (table & 2) out |= ~pen & there;
  if (table & 4) out |= pen & ~there;
  if (table & 8) out |= pen & there;
  return out | kBlack;
}

// Columns left..right-1 of row y, already inside the image.
void MixSpan(const Canvas& canvas, int mode, uint32_t color, int64_t y, int64_t left, int64_t right) {
  uint32_t* row = Row(*canvas.image, y);
  const QImage* under = canvas.under;
  const uint32_t* below = under && y < under->height() ? ConstRow(*under, y) : nullptr;
  for (int64_t x = left; x < right; ++x) {
    uint32_t there = row[x];
    if (under && (there >> 24) == 0) there = below && x < under->width() ? below[x] : 0xFFFFFFFFu;
    row[x] = Mix(mode, color, there);
  }
}

struct Box {
  int64_t left, top, right, bottom;  // right and bottom excluded
};

// An extent of -n covers the n pixels that end at the origin.
Box FromExtent(int64_t x, int64_t y, int64_t width, int64_t height) {
  return {width >= 0 ? x : x + width + 1, height >= 0 ? y : y + height + 1, width >= 0 ? x + width : x + 1,
          height >= 0 ? y + height : y + 1};
}

void FillBox(const Canvas& canvas, Box box, int mode, uint32_t color) {
  box.left = std::max<int64_t>(box.left, 0);
  box.top = std::max<int64_t>(box.top, 0);
  box.right = std::min<int64_t>(box.right, canvas.image->width());
  box.bottom = std::min<int64_t>(box.bottom, canvas.image->height());
  if (box.left >= box.right) return;
  for (int64_t y = box.top; y < box.bottom; ++y) MixSpan(canvas, mode, color, y, box.left, box.right);
}

// The steps i of [0, count) for which origin + i * direction lies in [0, limit).
std::pair<int64_t, int64_t> StepsInside(int64_t origin, int64_t direction, int64_t count, int64_t limit) {
  const int64_t first = direction >= 0 ? -origin : origin - limit + 1;
  const int64_t last = direction >= 0 ? limit - origin : origin + 1;
  return {std::max<int64_t>(first, 0), std::min(last, count)};
}

// ---- block transfers ---------------------------------------------------------------------

// Destination step i lies i pixels from the origin in the direction of the extent's sign, and
// takes the source step floor(i * |source extent| / |extent|) from the source origin in the
// direction of the source extent's sign.
struct Stretch {
  int64_t origin, extent, source_origin, source_extent;
  int64_t Steps() const { return std::abs(extent); }
  int64_t Direction() const { return extent < 0 ? -1 : 1; }
  int64_t At(int64_t i) const { return origin + Direction() * i; }
  int64_t From(int64_t i) const {
    const int64_t along = i * std::abs(source_extent) / std::abs(extent);
    return source_origin + (source_extent < 0 ? -along : along);
  }
};

void Copy(const Canvas& canvas, const QImage& source, const Stretch& across, const Stretch& down) {
  const auto [first_column, last_column] =
      StepsInside(across.origin, across.Direction(), across.Steps(), canvas.image->width());
  const auto [first_row, last_row] =
      StepsInside(down.origin, down.Direction(), down.Steps(), canvas.image->height());
  for (int64_t j = first_row; j < last_row; ++j) {
    const int64_t from_y = down.From(j);
    if (from_y < 0 || from_y >= source.height()) continue;
    const uint32_t* in = ConstRow(source, from_y);
    uint32_t* out = Row(*canvas.image, down.At(j));
    for (int64_t i = first_column; i < last_column; ++i) {
      const int64_t from_x = across.From(i);
      if (from_x >= 0 && from_x < source.width()) out[across.At(i)] = in[from_x] | kBlack;
    }
  }
}

BOOL Transfer(HDC dst, const Stretch& across, const Stretch& down, HDC src, DWORD rop) {
  HDC__* target = LiveDc(dst);
  Canvas canvas;
  if (!target || !CanvasOf(target, &canvas)) return FALSE;
  if (rop == BLACKNESS || rop == WHITENESS) {
    FillBox(canvas, FromExtent(across.origin, down.origin, across.extent, down.extent),
            rop == BLACKNESS ? R2_BLACK : R2_WHITE, 0);
  } else {
    HDC__* from = LiveDc(src);
    QImage source;
    if (rop != SRCCOPY || !from || !SourceImage(from, &source)) return FALSE;
    if (source.depth() != 32) source = source.convertToFormat(QImage::Format_RGB32);
    Copy(canvas, source, across, down);
  }
  Show(canvas);
  return TRUE;
}

// ---- lines -------------------------------------------------------------------------------

// A line from (x0, y0) to its end, which it does not draw: step k (0 <= k < major) lies k
// pixels along the main direction and k * minor / major across it, rounded half up. That is
// Bresenham's choice, written so that any step can be found without walking to it, which is
// what lets a line be clipped before it is drawn. The product needs 128 bits: both factors
// can reach 2^32.
struct Line {
  int64_t x0, y0;
  int64_t step_x, step_y;  // -1, 0 or 1
  int64_t major, minor;    // lengths along and across the main direction
  bool x_major;

  Line(int64_t from_x, int64_t from_y, int64_t to_x, int64_t to_y) : x0(from_x), y0(from_y) {
    const int64_t dx = to_x - from_x, dy = to_y - from_y;
    step_x = dx < 0 ? -1 : dx > 0 ? 1 : 0;
    step_y = dy < 0 ? -1 : dy > 0 ? 1 : 0;
    x_major = std::abs(dx) >= std::abs(dy);
    major = x_major ? std::abs(dx) : std::abs(dy);
    minor = x_major ? std::abs(dy) : std::abs(dx);
  }
  int64_t Across(int64_t k) const {
    using Wide = unsigned __int128;
    return static_cast<int64_t>(
        (static_cast<Wide>(2 * k) * static_cast<Wide>(minor) + static_cast<Wide>(major)) /
        static_cast<Wide>(2 * major));
  }
  int64_t X(int64_t k) const { return x0 + step_x * (x_major ? k : Across(k)); }
  int64_t Y(int64_t k) const { return y0 + step_y * (x_major ? Across(k) : k); }
  // How far step k has come down (or up) from y0; never decreases with k.
  int64_t Travelled(int64_t k) const { return x_major ? Across(k) : k; }
  // The first step that has travelled at least `distance`, or major when none has.
  int64_t FirstReaching(int64_t distance) const {
    int64_t low = 0, high = major;
    while (low < high) {
      const int64_t middle = low + (high - low) / 2;
      if (Travelled(middle) >= distance) {
        high = middle;
      } else {
        low = middle + 1;
      }
    }
    return low;
  }
};

bool PatternOn(int style, int64_t k) {
  switch (style) {
    case PS_DOT: return k % 2 == 0;
    case PS_DASH: return k % 8 < 6;
    default: return true;
  }
}

// One pixel wide: only the steps whose main coordinate lies inside the image are visited,
// so a line reaching far outside costs no more than the image is wide.
void DrawThin(const Canvas& canvas, const Line& line, int style, int mode, uint32_t color) {
  const int64_t width = canvas.image->width(), height = canvas.image->height();
  const auto [first, last] = line.x_major ? StepsInside(line.x0, line.step_x, line.major, width)
                                          : StepsInside(line.y0, line.step_y, line.major, height);
  for (int64_t k = first; k < last; ++k) {
    if (!PatternOn(style, k)) continue;
    const int64_t x = line.X(k), y = line.Y(k);
    if (x >= 0 && x < width && y >= 0 && y < height) MixSpan(canvas, mode, color, y, x, x + 1);
  }
}

// A wide pen puts a square on every pixel of the line, from -(w-1)/2 to +w/2 about it. The
// squares of neighbouring pixels overlap, so in any row they make one run, from the first
// square reaching the row to the last. Drawing run by run paints each pixel once (which
// R2_NOT needs) and costs the rows of the image, not the length of the line.
void DrawWide(const Canvas& canvas, const Line& line, int64_t pen_width, int mode, uint32_t color) {
  const int64_t before = (pen_width - 1) / 2, after = pen_width / 2;
  const int64_t width = canvas.image->width(), height = canvas.image->height();
  const int64_t end_y = line.Y(line.major - 1);
  const int64_t top = std::max<int64_t>(std::min(line.y0, end_y) - before, 0);
  const int64_t bottom = std::min<int64_t>(std::max(line.y0, end_y) + after, height - 1);
  for (int64_t y = top; y <= bottom; ++y) {
    // Squares reach row y from steps whose Y lies in y - after .. y + before.
    const int64_t near = line.step_y >= 0 ? y - after - line.y0 : line.y0 - y - before;
    const int64_t far = line.step_y >= 0 ? y + before - line.y0 : line.y0 - y + after;
    const int64_t first = line.FirstReaching(near), last = line.FirstReaching(far + 1) - 1;
    if (first > last) continue;
    const int64_t left = std::max<int64_t>(std::min(line.X(first), line.X(last)) - before, 0);
    const int64_t right = std::min<int64_t>(std::max(line.X(first), line.X(last)) + after + 1, width);
    if (left < right) MixSpan(canvas, mode, color, y, left, right);
  }
}

void DrawLine(const Canvas& canvas, const HDC__& dc, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
  const Line line(x0, y0, x1, y1);
  if (line.major == 0 || canvas.image->isNull()) return;
  const HGDIOBJ__& pen = *dc.pen;
  if (pen.pen_width > 1) {
    DrawWide(canvas, line, pen.pen_width, dc.mix, pen.color);
  } else {
    DrawThin(canvas, line, pen.pen_style, dc.mix, pen.color);
  }
}

// ---- device-independent bitmaps ----------------------------------------------------------

struct DibLayout {
  int64_t width = 0, height = 0;
  bool bottom_up = true;
  int bits = 0;
  int64_t stride = 0;  // rows are padded to four bytes
  int64_t colors = 0;  // entries of an 8-bit colour table
};

int64_t Stride(int64_t width, int64_t bits) { return (width * bits + 31) / 32 * 4; }

// False for anything these calls do not read; the header is the caller's, so every field
// that sizes a read is checked before it is used.
bool ReadLayout(const BITMAPINFOHEADER& header, DibLayout* layout) {
  layout->width = header.biWidth;
  layout->height = std::abs(static_cast<int64_t>(header.biHeight));
  layout->bottom_up = header.biHeight > 0;
  layout->bits = header.biBitCount;
  if (!SizeAllowed(layout->width, layout->height) || header.biCompression != BI_RGB) return false;
  if (layout->bits != 8 && layout->bits != 24 && layout->bits != 32) return false;
  if (layout->bits == 8) {
    layout->colors = header.biClrUsed ? header.biClrUsed : 256;
    if (layout->colors > 256) return false;
  }
  layout->stride = Stride(layout->width, layout->bits);
  return header.biSizeImage == 0 || header.biSizeImage >= layout->stride * layout->height;
}

uint32_t FromBytes(const BYTE* blue_green_red) {
  return kBlack | (uint32_t{blue_green_red[2]} << 16) | (uint32_t{blue_green_red[1]} << 8) |
         blue_green_red[0];
}

// The DIB's rows go to the bitmap's from the top; what either lacks of the other is skipped.
void Decode(const DibLayout& dib, const BYTE* bits, const RGBQUAD* table, QImage* image) {
  const int64_t rows = std::min<int64_t>(dib.height, image->height());
  const int64_t columns = std::min<int64_t>(dib.width, image->width());
  for (int64_t y = 0; y < rows; ++y) {
    const BYTE* in = bits + (dib.bottom_up ? dib.height - 1 - y : y) * dib.stride;
    uint32_t* out = Row(*image, y);
    for (int64_t x = 0; x < columns; ++x) {
      if (dib.bits == 8) {
        // A colour table entry is blue, green, red, as the bytes of a 24-bit pixel are.
        out[x] = in[x] < dib.colors ? FromBytes(reinterpret_cast<const BYTE*>(table + in[x])) : kBlack;
      } else {
        out[x] = FromBytes(in + x * (dib.bits / 8));
      }
    }
  }
}

HGDIOBJ__* LiveBitmap(HGDIOBJ object) {
  HGDIOBJ__* live = LiveObject(object);
  return live && live->kind == HGDIOBJ__::Kind::kBitmap ? live : nullptr;
}

HBITMAP NewBitmap(QImage image) {
  if (image.isNull()) return nullptr;
  HGDIOBJ__ bitmap;
  bitmap.kind = HGDIOBJ__::Kind::kBitmap;
  bitmap.image = std::move(image);
  return Register(std::move(bitmap));
}

}  // namespace

// ---- the layer's own calls ---------------------------------------------------------------

HDC MakeDc(DcKind kind, HWND window) {
  auto* dc = new HDC__;
  dc->kind = kind;
  dc->window = window;
  dc->overlay = kind == DcKind::kWindow && window && !window->painting;
  dc->brush = &Stock().brushes[WHITE_BRUSH];
  dc->pen = &Stock().pen;
  if (kind == DcKind::kMemory) dc->bitmap = &Stock().bitmap;
  Live().dcs.insert(dc);
  return dc;
}

void FreeDc(HDC dc) {
  if (!Live().dcs.erase(dc)) return;
  LetGo(dc->brush);
  LetGo(dc->pen);
  LetGo(dc->bitmap);
  delete dc;
}

HDC__* LiveDc(HDC dc) { return dc && Live().dcs.count(dc) ? dc : nullptr; }

HGDIOBJ__* LiveObject(HGDIOBJ object) {
  Stock();  // registers the stock objects the first time
  return object && Live().objects.count(object) ? object : nullptr;
}

// ---- objects and DCs ---------------------------------------------------------------------

HGDIOBJ GetStockObject(int object) {
  if (object < WHITE_BRUSH || object > NULL_BRUSH) return nullptr;
  return &Stock().brushes[object];
}

HDC CreateCompatibleDC(HDC dc) {
  if (dc && !LiveDc(dc)) return nullptr;
  return MakeDc(DcKind::kMemory, nullptr);
}

BOOL DeleteDC(HDC dc) {
  HDC__* live = LiveDc(dc);
  if (!live || live->kind != DcKind::kMemory) return FALSE;
  FreeDc(live);
  return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC /*dc*/, int width, int height) {
  if (!SizeAllowed(width, height)) return nullptr;
  return NewBitmap(BlackImage(width, height));
}

HBITMAP CreateDIBitmap(HDC /*dc*/, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage) {
  DibLayout size, dib;
  if (!header || !ReadLayout(*header, &size)) return nullptr;
  const bool fill = init & CBM_INIT;
  if (fill && (!bits || !info || usage != DIB_RGB_COLORS || !ReadLayout(info->bmiHeader, &dib)))
    return nullptr;
  QImage image = BlackImage(size.width, size.height);
  if (image.isNull()) return nullptr;
  if (fill) Decode(dib, static_cast<const BYTE*>(bits), info->bmiColors, &image);
  return NewBitmap(std::move(image));
}

int GetDIBits(HDC /*dc*/, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info, UINT usage) {
  const HGDIOBJ__* live = LiveBitmap(bitmap);
  if (!live || !info || usage != DIB_RGB_COLORS) return 0;
  BITMAPINFOHEADER& header = info->bmiHeader;
  const QImage& image = live->image;
  const int64_t width = image.width(), height = image.height();
  if (!bits) {
    header.biWidth = static_cast<LONG>(width);
    header.biHeight = static_cast<LONG>(height);
    header.biPlanes = 1;
    if (header.biBitCount == 0) header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(Stride(width, header.biBitCount) * height);
    return static_cast<int>(height);
  }
  // The rows are the bitmap's width: a buffer sized for another width would be overrun.
  const int64_t depth = header.biBitCount;
  if ((depth != 24 && depth != 32) || header.biCompression != BI_RGB || header.biWidth != width ||
      header.biHeight == 0 || start >= height)
    return 0;
  const int64_t count = std::min<int64_t>(lines, height - start);
  const int64_t stride = Stride(width, depth);
  for (int64_t i = 0; i < count; ++i) {
    const uint32_t* in = ConstRow(image, height - 1 - (start + i));  // scanlines count from the bottom
    BYTE* out = static_cast<BYTE*>(bits) + (header.biHeight > 0 ? i : count - 1 - i) * stride;
    std::memset(out, 0, static_cast<size_t>(stride));
    for (int64_t x = 0; x < width; ++x) {
      BYTE* pixel = out + x * (depth / 8);
      pixel[0] = static_cast<BYTE>(in[x]);
      pixel[1] = static_cast<BYTE>(in[x] >> 8);
      pixel[2] = static_cast<BYTE>(in[x] >> 16);
    }
  }
  return static_cast<int>(count);
}

int GetObjectA(HGDIOBJ object, int size, LPVOID out) {
  const HGDIOBJ__* live = LiveBitmap(object);
  if (!live) return 0;
  if (!out) return sizeof(BITMAP);
  if (size < static_cast<int>(sizeof(BITMAP))) return 0;
  BITMAP description{};
  description.bmWidth = live->image.width();
  description.bmHeight = live->image.height();
  description.bmWidthBytes = live->image.width() * 4;
  description.bmPlanes = 1;
  description.bmBitsPixel = 32;
  std::memcpy(out, &description, sizeof description);
  return sizeof(BITMAP);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  HDC__* live = LiveDc(dc);
  HGDIOBJ__* chosen = LiveObject(object);
  if (!live || !chosen) return nullptr;
  HGDIOBJ* slot = &live->brush;
  switch (chosen->kind) {
    case HGDIOBJ__::Kind::kBrush: break;
    case HGDIOBJ__::Kind::kPen: slot = &live->pen; break;
    case HGDIOBJ__::Kind::kBitmap:
      // A bitmap is drawn on through one memory DC at a time.
      if (live->kind != DcKind::kMemory || (chosen != live->bitmap && chosen->selections > 0)) return nullptr;
      slot = &live->bitmap;
      break;
  }
  const HGDIOBJ previous = *slot;
  if (previous != chosen) {
    Hold(chosen);
    LetGo(previous);
    *slot = chosen;
  }
  return previous;
}

BOOL DeleteObject(HGDIOBJ object) {
  HGDIOBJ__* live = LiveObject(object);
  if (!live) return FALSE;
  if (live->stock) return TRUE;
  if (live->selections > 0) return FALSE;  // a DC would draw with a freed object
  Live().objects.erase(live);
  delete live;
  return TRUE;
}

HPEN CreatePen(int style, int width, COLORREF color) {
  if (style != PS_SOLID && style != PS_DASH && style != PS_DOT) return nullptr;
  HGDIOBJ__ pen;
  pen.kind = HGDIOBJ__::Kind::kPen;
  pen.pen_style = style;
  pen.pen_width = std::max(width, 1);
  pen.color = FromColorRef(color);
  return Register(std::move(pen));
}

int SetROP2(HDC dc, int mode) {
  HDC__* live = LiveDc(dc);
  if (!live || mode < R2_BLACK || mode > R2_WHITE) return 0;
  return std::exchange(live->mix, mode);
}

// ---- drawing -----------------------------------------------------------------------------

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int src_x, int src_y, DWORD rop) {
  if (width == 0 || height == 0) return LiveDc(dst) ? TRUE : FALSE;
  return Transfer(dst, {x, width, src_x, width}, {y, height, src_y, height}, src, rop);
}

BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int src_x, int src_y, int src_width,
                int src_height, DWORD rop) {
  if (width == 0 || height == 0 || src_width == 0 || src_height == 0) return FALSE;
  return Transfer(dst, {x, width, src_x, src_width}, {y, height, src_y, src_height}, src, rop);
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
  HDC__* live = LiveDc(dc);
  Canvas canvas;
  if (!live || !CanvasOf(live, &canvas)) return FALSE;
  const Box box = FromExtent(x, y, width, height);
  switch (rop) {
    case PATCOPY:
      if (!live->brush->hollow) FillBox(canvas, box, R2_COPYPEN, live->brush->color);
      break;
    case BLACKNESS: FillBox(canvas, box, R2_BLACK, 0); break;
    case WHITENESS: FillBox(canvas, box, R2_WHITE, 0); break;
    default: return FALSE;
  }
  Show(canvas);
  return TRUE;
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
  HDC__* live = LiveDc(dc);
  if (!live) return FALSE;
  if (previous) *previous = live->position;
  live->position.x = x;
  live->position.y = y;
  return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
  HDC__* live = LiveDc(dc);
  Canvas canvas;
  if (!live || !CanvasOf(live, &canvas)) return FALSE;
  const POINT from = live->position;
  live->position.x = x;
  live->position.y = y;
  DrawLine(canvas, *live, from.x, from.y, x, y);
  Show(canvas);
  return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
  HDC__* live = LiveDc(dc);
  Canvas canvas;
  if (!live || !CanvasOf(live, &canvas)) return FALSE;
  const int64_t l = std::min(left, right), r = std::max(left, right);
  const int64_t t = std::min(top, bottom), b = std::max(top, bottom);
  if (l == r || t == b) return TRUE;
  if (!live->brush->hollow) FillBox(canvas, {l + 1, t + 1, r - 1, b - 1}, live->mix, live->brush->color);
  // Each edge stops short of the next corner, so every outline pixel is drawn once.
  if (b - t == 1) {
    DrawLine(canvas, *live, l, t, r, t);
  } else if (r - l == 1) {
    DrawLine(canvas, *live, l, t, l, b);
  } else {
    DrawLine(canvas, *live, l, t, r - 1, t);
    DrawLine(canvas, *live, r - 1, t, r - 1, b - 1);
    DrawLine(canvas, *live, r - 1, b - 1, l, b - 1);
    DrawLine(canvas, *live, l, b - 1, l, t);
  }
  Show(canvas);
  return TRUE;
}
