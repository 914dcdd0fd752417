// Walks a frame tree for a render pass: accumulated world matrices, material modes, and the
// visuals of every frame handed to the mesh drawing.
#pragma once

#include "platform/rm/render/pass.h"

class IDirect3DRMFrame;

namespace render {

// The colour source `frame` uses given the one its parent uses: its own colour for "from
// frame", the parent's source for "from parent", the groups' colours for "from mesh".
ColorSource ResolveSource(const IDirect3DRMFrame& frame, ColorSource parent);

// The source the parent of `frame` uses, resolved from the root down; a root's parent is
// taken as "from mesh".
ColorSource ParentSource(const IDirect3DRMFrame& frame);

// Draws the visuals of `frame` and of every frame below it. Meshes are drawn as they are;
// a mesh builder is drawn through a mesh made from it for this pass; a frame used as a
// visual is drawn, with its own subtree, placed in the frame that shows it.
void DrawScene(const Pass& pass, IDirect3DRMFrame* frame);

}  // namespace render
