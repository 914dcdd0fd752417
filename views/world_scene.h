// The 3D cursor, the model frame and the lights around the front camera.
#pragma once

#include "platform/rm/d3drm.h"

// Builds the cursor and its surroundings under `scene`; 1 on success, 0 after a reported
// failure.
int run_world_scene(IDirect3DRMFrame* scene, IDirect3DRMFrame* camera);
// The cursor frame's move callback, run once per rendered pass.
void MoveCursor(IDirect3DRMFrame* frame, void* arg, D3DVALUE delta);
// The cursor frame's destroy callback.
void cleanupPath(IDirect3DRMObject* obj, void* arg);
