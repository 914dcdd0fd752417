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

  // Makes the twelve edge frames and bar meshes, parked out of sight; `lpD3DRM` must be set.
  void InitSelectionBox();
  // The dragged corner while the button is held: the box stops being flat for the rest of
  // the drag once its depth extent passes 1.0.
  void SetLR(float x, float y, float z);
  // The corner at the release; the flatness is left as it is.
  void SetLR(D3DVECTOR corner);
  // Selects the points inside the box and redraws its edges in the active camera's frame.
  void ConstructBox();
  // Parks the edges out of sight.
  void Release();
  D3DVECTOR GetUL() const { return UL; }
  D3DVECTOR GetLR() const { return LR; }

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
