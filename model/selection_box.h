// The rubber-band selection box: twelve bars around the dragged-out box.
#pragma once

#include "platform/rm/types.h"

class IDirect3DRM;
class IDirect3DRMFrame;
class IDirect3DRMMesh;

inline constexpr int kBoxEdges = 12;

class SelectionBox {
 public:
  SelectionBox() {
    for (float& s : prescale) s = 1.0f;
  }

  D3DVECTOR UL{0, 0, 0};  // where the drag started, in the active camera's coordinates
  D3DVECTOR LR{0, 0, 0};  // the opposite corner
  bool latch = false;     // the box is still flat
  IDirect3DRM* lpD3DRM = nullptr;
  IDirect3DRMFrame* scene = nullptr;
  IDirect3DRMFrame* frames[kBoxEdges] = {};
  IDirect3DRMMesh* meshes[kBoxEdges] = {};
  float prescale[kBoxEdges];
};

extern SelectionBox selectionbox;
