// The model as the editor sets it up, for tests, fuzzing and benchmarks: scene, cursor
// and model frames under `root`, three cameras (the front one at `camera_z`), and the
// point and wire templates loaded. Needs lpD3DRM made.
#pragma once

#include <memory>

#include "model/polygoni.h"
#include "platform/rm/d3drm.h"

inline void InitModel(Polygoni* m, IDirect3DRMFrame* root, float camera_z = -50) {
  lpD3DRM->CreateFrame(root, &m->scene);
  lpD3DRM->CreateFrame(m->scene, &m->world_frame);
  lpD3DRM->CreateFrame(m->scene, &m->world_frame2);
  lpD3DRM->CreateFrame(root, &m->view1);
  lpD3DRM->CreateFrame(root, &m->view2);
  lpD3DRM->CreateFrame(root, &m->view3);
  m->view1->SetPosition(nullptr, 0, 0, camera_z);
  m->InitPolygoni();
  m->InitPoint();
  m->InitWire();
}

// Drops a model InitModel set up. The model does not release the cursor and model frames
// (the start-up owns them), so they go after it.
inline void DropModel(std::unique_ptr<Polygoni>* m) {
  IDirect3DRMFrame* cursor = (*m)->world_frame;
  IDirect3DRMFrame* frame2 = (*m)->world_frame2;
  m->reset();
  cursor->Release();
  frame2->Release();
}
