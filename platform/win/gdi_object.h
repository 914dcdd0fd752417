// Device contexts and stock objects behind their handles. Private to the layer.
#pragma once

#include <cstdint>

#include "platform/win/win.h"

// A device context draws on a window's surface.
struct HDC__ {
  HWND window = nullptr;
  bool from_paint = false;  // made by BeginPaint, ended by EndPaint
};

struct HGDIOBJ__ {
  enum class Kind { kBrush };
  Kind kind = Kind::kBrush;
  uint32_t color = 0xFF000000;  // 0xAARRGGBB
  bool hollow = false;          // NULL_BRUSH paints nothing
};
