// The texture bitmap and the texture view's display state.
#pragma once

#include "platform/win/win.h"

class Texture {
 public:
  bool fDisplayBitmap = false;  // a bitmap is loaded and shown in the texture view
  bool texloaded = false;       // the bitmap is applied to the mesh
  bool createbox = false;       // a rubber band is being drawn in the texture view
  bool last = false;
  bool texmove = false;         // a texture point is being dragged
  COLORREF color = 0x004CFFFF;  // the mesh colour (red in the low byte): a light yellow at start
  COLORREF colorarray[16] = {};
};

extern Texture texture;
