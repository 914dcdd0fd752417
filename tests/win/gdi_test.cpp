// Drawing through the layer's GDI calls, checked pixel by pixel: DIBs in and out, block
// transfers, pens and rectangles, what window DCs leave on screen, and vertical scroll bars
// outside dialogs.
#include <gtest/gtest.h>

#include <QImage>
#include <QScrollBar>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <climits>
#include <functional>
#include <tuple>
#include <vector>

#include "platform/win/qt_access.h"
#include "platform/win/win.h"
#include "platform/win/wingdi.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kGray = 0x808080;

// A header with room for a full colour table after it.
struct Dib {
  BITMAPINFOHEADER header{};
  RGBQUAD colors[256]{};
  Dib(int width, int height, int bits) {
    header = {sizeof header, width, height, 1, static_cast<WORD>(bits), BI_RGB, 0, 0, 0, 0, 0};
  }
  BITMAPINFO* info() { return reinterpret_cast<BITMAPINFO*>(this); }
  HBITMAP Make(const void* bits) {
    return CreateDIBitmap(nullptr, &header, CBM_INIT, bits, info(), DIB_RGB_COLORS);
  }
};

// The bitmap's pixels as 0xRRGGBB, top row first, read back at 32 bits top-down.
std::vector<uint32_t> Pixels(HBITMAP bitmap, int width, int height) {
  Dib request(width, -height, 32);
  std::vector<uint32_t> pixels(static_cast<size_t>(width * height));
  EXPECT_EQ(GetDIBits(nullptr, bitmap, 0, height, pixels.data(), request.info(), DIB_RGB_COLORS), height);
  for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
  return pixels;
}

using Probe = std::tuple<int, int, uint32_t>;  // x, y and the colour expected there

// A memory DC holding a white 16x16 bitmap.
class Canvas : public testing::Test {
 protected:
  void SetUp() override { PatBlt(dc_, 0, 0, 16, 16, WHITENESS); }
  void TearDown() override {
    DeleteDC(dc_);
    EXPECT_TRUE(DeleteObject(bitmap_));
  }
  void Expect(std::initializer_list<Probe> probes) {
    const std::vector<uint32_t> pixels = Pixels(bitmap_, 16, 16);
    for (const auto& [x, y, color] : probes)
      EXPECT_EQ(pixels[static_cast<size_t>(y * 16 + x)], color) << x << "," << y;
  }
  void Line(int x0, int y0, int x1, int y1) {
    MoveToEx(dc_, x0, y0, nullptr);
    LineTo(dc_, x1, y1);
  }

  HDC dc_ = CreateCompatibleDC(nullptr);
  HBITMAP bitmap_ = CreateCompatibleBitmap(nullptr, 16, 16);
  HGDIOBJ stock_ = SelectObject(dc_, bitmap_);
};

TEST(Dib, RowsLoadInTheirStoredOrderAndReadBackExactly) {
  // 8 bits, three colours; rows of two indices padded to four bytes, bottom row first.
  Dib indexed(2, 2, 8);
  indexed.header.biClrUsed = 3;
  indexed.colors[0] = {0, 0, 255, 0};
  indexed.colors[1] = {0, 255, 0, 0};
  indexed.colors[2] = {255, 0, 0, 0};
  const BYTE indices[] = {0, 1, 9, 9, 2, 5, 9, 9};  // 5 lies past the table: black
  HBITMAP bottom_up = indexed.Make(indices);
  EXPECT_EQ(Pixels(bottom_up, 2, 2), (std::vector<uint32_t>{kBlue, 0, kRed, kGreen}));
  indexed.header.biHeight = -2;
  HBITMAP top_down = indexed.Make(indices);
  EXPECT_EQ(Pixels(top_down, 2, 2), (std::vector<uint32_t>{kRed, kGreen, kBlue, 0}));

  // 24 bits, three wide: nine bytes of pixels and three of padding a row.
  Dib deep(3, 2, 24);
  const std::vector<BYTE> bgr = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0, 0, 0,
                                 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0};
  HBITMAP padded = deep.Make(bgr.data());
  EXPECT_EQ(Pixels(padded, 3, 2),
            (std::vector<uint32_t>{0xD0C0B, 0x100F0E, 0x131211, 0x30201, 0x60504, 0x90807}));

  // Asked for its format, the bitmap says 32 bits unless told otherwise; read back at 24 bits
  // bottom-up it gives the very bytes it was made from, padding zeroed.
  Dib query(0, 0, 0);
  EXPECT_NE(GetDIBits(nullptr, padded, 0, 2, nullptr, query.info(), DIB_RGB_COLORS), 0);
  EXPECT_TRUE(query.header.biWidth == 3 && query.header.biHeight == 2 && query.header.biBitCount == 32 &&
              query.header.biSizeImage == 24);
  std::vector<BYTE> back(bgr.size(), 0xEE);
  EXPECT_EQ(GetDIBits(nullptr, padded, 0, 2, back.data(), deep.info(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(back, bgr);
  // From scanline 1 (the top row) one line is left to give.
  EXPECT_EQ(GetDIBits(nullptr, padded, 1, 5, back.data(), deep.info(), DIB_RGB_COLORS), 1);
  EXPECT_TRUE(std::equal(bgr.begin() + 12, bgr.end(), back.begin()));
  for (HBITMAP bitmap : {bottom_up, top_down, padded}) EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(Dib, DamagedHeadersAreRefused) {
  // Sides of 8193 and 4097 are allowed, but not their product, over 2^25 pixels.
  const BITMAPINFOHEADER damaged[] = {
      {40, 0, 2, 1, 8, BI_RGB, 0, 0, 0, 0, 0},     {40, 2, INT_MIN, 1, 8, BI_RGB, 0, 0, 0, 0, 0},
      {40, 16385, 2, 1, 8, BI_RGB, 0, 0, 0, 0, 0}, {40, 8193, 4097, 1, 8, BI_RGB, 0, 0, 0, 0, 0},
      {40, 2, 2, 1, 16, BI_RGB, 0, 0, 0, 0, 0},    {40, 2, 2, 1, 8, 1, 0, 0, 0, 0, 0},
      {40, 2, 2, 1, 8, BI_RGB, 0, 0, 0, 257, 0},   {40, 2, 2, 1, 8, BI_RGB, 7, 0, 0, 0, 0}};
  const BYTE bits[64] = {};
  for (const BITMAPINFOHEADER& header : damaged) {
    Dib dib(0, 0, 0);
    dib.header = header;
    EXPECT_EQ(dib.Make(bits), nullptr)
        << header.biWidth << "x" << header.biHeight << " " << header.biBitCount;
  }
  EXPECT_EQ(CreateDIBitmap(nullptr, nullptr, 0, nullptr, nullptr, DIB_RGB_COLORS), nullptr);
}

TEST_F(Canvas, BlitsCopyWhatLiesInsideAndStretchToTheNearestPixel) {
  Dib dib(4, -4, 32);
  uint32_t source[16];
  for (uint32_t i = 0; i < 16; ++i) source[i] = 0x010000 * (i + 1);
  auto s = [&](int x, int y) { return source[y * 4 + x]; };
  HBITMAP bitmap = dib.Make(source);
  HDC from = CreateCompatibleDC(dc_);
  SelectObject(from, bitmap);

  // The source starts at (2, -1): its row -1 and columns past 3 leave white behind.
  EXPECT_TRUE(BitBlt(dc_, 0, 0, 4, 4, from, 2, -1, SRCCOPY));
  Expect({{0, 0, kWhite}, {0, 1, s(2, 0)}, {1, 3, s(3, 2)}, {2, 1, kWhite}});
  // Doubled, then 3 onto 2 (step 1 takes floor(1.5)), halved, and mirrored onto columns 0..3.
  EXPECT_TRUE(StretchBlt(dc_, 8, 0, 4, 4, from, 0, 0, 2, 2, SRCCOPY));
  EXPECT_TRUE(StretchBlt(dc_, 12, 0, 2, 2, from, 0, 0, 3, 3, SRCCOPY));
  EXPECT_TRUE(StretchBlt(dc_, 8, 8, 2, 2, from, 0, 0, 4, 4, SRCCOPY));
  EXPECT_TRUE(StretchBlt(dc_, 3, 10, -4, 1, from, 0, 0, 4, 1, SRCCOPY));
  Expect({{9, 1, s(0, 0)}, {10, 1, s(1, 0)}, {11, 3, s(1, 1)}, {13, 1, s(1, 1)}});
  Expect({{9, 8, s(2, 0)}, {9, 9, s(2, 2)}, {0, 10, s(3, 0)}, {3, 10, s(0, 0)}});
  EXPECT_FALSE(StretchBlt(dc_, 0, 0, 0, 4, from, 0, 0, 4, 4, SRCCOPY));

  PatBlt(dc_, 0, 12, 2, 1, BLACKNESS);
  PatBlt(dc_, 0, 12, 1, 1, PATCOPY);  // the default brush is white
  Expect({{0, 12, kWhite}, {1, 12, 0}});

  // Within one image, overlapping: every pixel moves, none is copied twice.
  EXPECT_TRUE(BitBlt(from, 1, 0, 3, 1, from, 0, 0, SRCCOPY));
  const std::vector<uint32_t> moved = Pixels(bitmap, 4, 4);
  EXPECT_TRUE(moved[1] == s(0, 0) && moved[2] == s(1, 0) && moved[3] == s(2, 0));

  // A selected bitmap stays, and goes into one memory DC at a time; a fresh DC holds 1x1.
  BITMAP one{};
  EXPECT_EQ(GetObjectA(stock_, sizeof one, &one), static_cast<int>(sizeof one));
  EXPECT_TRUE(one.bmWidth == 1 && one.bmHeight == 1 && one.bmBitsPixel == 32 && one.bmBits == nullptr);
  EXPECT_EQ(SelectObject(dc_, bitmap), nullptr);
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_EQ(SelectObject(from, stock_), bitmap);
  EXPECT_TRUE(DeleteObject(bitmap) && DeleteDC(from));
}

TEST_F(Canvas, PensDrawBresenhamLinesDotsAndRectanglesWithinTheImage) {
  Line(0, 0, 5, 2);  // the end (5, 2) is not drawn
  Expect({{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {3, 1, 0}, {4, 2, 0}, {5, 2, kWhite}, {1, 1, kWhite}});

  HPEN dots = CreatePen(PS_DOT, 0, RGB(255, 0, 0));
  HPEN wide = CreatePen(PS_SOLID, 2, RGB(0, 0, 255));
  HGDIOBJ first = SelectObject(dc_, dots);
  Line(0, 4, 6, 4);
  SelectObject(dc_, wide);  // a square from each pixel down and to the right
  Line(0, 6, 3, 6);
  Expect({{0, 4, kRed}, {1, 4, kWhite}, {4, 4, kRed}, {5, 4, kWhite}});
  Expect({{3, 7, kBlue}, {4, 6, kWhite}, {0, 8, kWhite}});

  // Lines from the ends of the int range cost the pixels they draw, not their length.
  const auto start = std::chrono::steady_clock::now();
  Line(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  SelectObject(dc_, first);
  Line(INT_MAX, INT_MIN + 16, INT_MIN + 16, INT_MAX);  // x + y = 15
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  Expect({{12, 12, kBlue}, {12, 13, kBlue}, {14, 12, kWhite}, {15, 0, 0}, {0, 15, 0}, {15, 1, kWhite}});

  // Outline with the pen over columns 8..11 and rows 8..10, the brush inside.
  HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  SelectObject(dc_, red);
  SelectObject(dc_, GetStockObject(GRAY_BRUSH));
  EXPECT_TRUE(DeleteObject(GetStockObject(GRAY_BRUSH)));  // stock: nothing happens
  PatBlt(dc_, 8, 8, 8, 8, WHITENESS);
  EXPECT_TRUE(Rectangle(dc_, 8, 8, 12, 11));
  SelectObject(dc_, GetStockObject(NULL_BRUSH));
  EXPECT_TRUE(Rectangle(dc_, 13, 13, 16, 16));
  Expect({{8, 8, kRed}, {11, 10, kRed}, {11, 9, kRed}, {9, 10, kRed}, {9, 9, kGray}, {10, 9, kGray}});
  Expect({{12, 8, kWhite}, {8, 11, kWhite}, {14, 14, kWhite}, {15, 15, kRed}});

  // R2_NOT inverts each pixel once, even where a wide pen's squares overlap.
  EXPECT_EQ(SetROP2(dc_, R2_NOT), R2_COPYPEN);
  Line(8, 9, 10, 9);
  SelectObject(dc_, wide);
  PatBlt(dc_, 0, 8, 8, 8, WHITENESS);
  Line(0, 8, 3, 11);
  Expect({{8, 9, 0x00FFFF}, {9, 9, 0x7F7F7F}, {1, 9, 0}, {3, 11, 0}, {3, 9, kWhite}, {0, 10, kWhite}});

  EXPECT_FALSE(DeleteObject(wide));  // still selected
  SelectObject(dc_, first);
  for (HPEN pen : {dots, wide, red}) EXPECT_TRUE(DeleteObject(pen));
}

std::vector<MSG> heard;
int paints = 0;
std::function<void(HDC)> paint_with;  // what the procedure draws on WM_PAINT

LRESULT Recorder(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  heard.push_back({window, message, wparam, lparam, 0, {}});
  paints += message == WM_PAINT;
  if (message != WM_PAINT || !paint_with) return DefWindowProcA(window, message, wparam, lparam);
  PAINTSTRUCT paint;
  paint_with(BeginPaint(window, &paint));
  EndPaint(window, &paint);
  return 0;
}

HWND MakeWindow() {
  static const WNDCLASSA window_class{.lpfnWndProc = Recorder, .lpszClassName = "GdiTestWindow"};
  static const bool registered = RegisterClassA(&window_class) != 0;
  EXPECT_TRUE(registered);
  HWND window = CreateWindowExA(0, "GdiTestWindow", "", 0, 0, 0, 100, 80, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(window, SW_SHOW);
  return window;
}

TEST(WindowDc, ABandDrawnBetweenPaintsStaysUntilItsAreaIsInvalidated) {
  HWND window = MakeWindow();
  paint_with = [](HDC dc) {
    SelectObject(dc, GetStockObject(GRAY_BRUSH));
    PatBlt(dc, 10, 10, 20, 20, PATCOPY);
  };
  auto shown = [&](int x, int y) { return WindowImage(window).pixel(x, y) & 0xFFFFFF; };
  ClientWidgetOf(window)->grab();
  EXPECT_TRUE(shown(15, 15) == kGray && shown(50, 50) == kWhite);

  HDC dc = GetDC(window);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 4, 4);
  EXPECT_EQ(SelectObject(dc, bitmap), nullptr);  // only memory DCs draw on bitmaps
  HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  SelectObject(dc, red);
  MoveToEx(dc, 0, 20, nullptr);
  LineTo(dc, 100, 20);
  EXPECT_TRUE(ReleaseDC(window, dc) == 1 && DeleteObject(red) && DeleteObject(bitmap));
  EXPECT_EQ(WindowImage(window).size(), QSize(100, 80));
  EXPECT_TRUE(shown(15, 20) == kRed && shown(15, 15) == kGray);
  // Showing the band asks nothing of the procedure: nothing was invalidated.
  const int painted = paints;
  ClientWidgetOf(window)->grab();
  EXPECT_EQ(paints, painted);

  // The invalidated half loses the band; the surface keeps what the last paint drew.
  RECT left_half{0, 0, 50, 80};
  InvalidateRect(window, &left_half, FALSE);
  EXPECT_TRUE(shown(15, 20) == kGray && shown(70, 20) == kRed);
  ClientWidgetOf(window)->grab();
  EXPECT_EQ(paints, painted + 1);
  EXPECT_EQ(shown(15, 15), kGray);
  paint_with = nullptr;
  DestroyWindow(window);
}

TEST(ScrollBar, AVerticalBarInAPlainWindowTellsItsParentWmVscroll) {
  HWND parent = MakeWindow();
  HWND bar = CreateWindowExA(0, "SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 80, 0, 16, 60, parent,
                             reinterpret_cast<HMENU>(42), nullptr, nullptr);
  ASSERT_EQ(GetDlgItem(parent, 42), bar);
  EXPECT_EQ(qobject_cast<QScrollBar*>(ClientWidgetOf(bar))->orientation(), Qt::Vertical);
  SetScrollRange(bar, SB_CTL, 0, 100, TRUE);
  SetScrollPos(bar, SB_CTL, 50, TRUE);
  heard.clear();
  EXPECT_TRUE(ScrollBarAction(bar, SB_LINEDOWN) && ScrollBarAction(bar, SB_THUMBPOSITION, 70));
  // The drag tracks, then lets go; the thumb going back to 50 is not reported.
  ASSERT_EQ(heard.size(), 3u);
  EXPECT_TRUE(heard[0].message == WM_VSCROLL && heard[0].wParam == SB_LINEDOWN &&
              heard[0].lParam == reinterpret_cast<LPARAM>(bar));
  EXPECT_TRUE(heard[2].message == WM_VSCROLL && heard[2].wParam == MAKEWPARAM(SB_THUMBPOSITION, 70));
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 50);  // the program moves it, not the user
  MoveWindow(bar, 84, 4, 12, 50, TRUE);
  EXPECT_EQ(ClientWidgetOf(bar)->geometry(), QRect(84, 4, 12, 50));
  DestroyWindow(parent);
}

}  // namespace
