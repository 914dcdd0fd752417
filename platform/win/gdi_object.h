// Device contexts and drawing objects behind their handles. Private to the layer.
#pragma once

#include <QImage>
#include <cstdint>

#include "platform/win/wingdi.h"

struct HGDIOBJ__ {
  enum class Kind { kBrush, kPen, kBitmap };
  Kind kind = Kind::kBrush;
  uint32_t color = 0xFF000000;  // brushes and pens: 0xAARRGGBB
  bool hollow = false;          // NULL_BRUSH paints nothing
  bool stock = false;           // shared by everyone, never deleted
  int pen_style = PS_SOLID;
  int pen_width = 1;
  QImage image;        // bitmaps: Format_RGB32
  int selections = 0;  // DCs holding it; it cannot be deleted meanwhile
};

// What a DC draws on: a paint DC on its window's surface, a window DC on the window's
// overlay (or on the surface when made inside a paint), a memory DC on its bitmap.
enum class DcKind { kPaint, kWindow, kMemory };

struct HDC__ {
  DcKind kind = DcKind::kWindow;
  HWND window = nullptr;
  bool overlay = false;
  HBITMAP bitmap = nullptr;  // memory DCs: never null
  HBRUSH brush = nullptr;
  HPEN pen = nullptr;
  int mix = R2_COPYPEN;
  POINT position;
};

// gdi.cpp
HDC MakeDc(DcKind kind, HWND window);
// Gives back what the DC holds and deletes it.
void FreeDc(HDC dc);
HDC__* LiveDc(HDC dc);                  // null for null, freed or unknown handles
HGDIOBJ__* LiveObject(HGDIOBJ object);  // stock objects included
