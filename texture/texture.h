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
  // The mesh's material as Material Settings last set it: channels 0 to 255 and a power.
  int emissive[3] = {0, 0, 0};
  int specular[3] = {0, 0, 0};
  float power = 5.0f;
  bool material_set = false;  // until then the solid mesh has no material of its own
};

extern Texture texture;
