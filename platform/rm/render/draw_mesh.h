// Draws the groups of a mesh: transform, lighting and the hand-over to the rasteriser.
#pragma once

#include "platform/rm/mesh.h"
#include "platform/rm/render/pass.h"

namespace render {

// The quality a group is drawn with: the device's capped field by field by the group's
// (the lower shade and fill, lights only when both have them on).
D3DRMRENDERQUALITY EffectiveQuality(D3DRMRENDERQUALITY device, D3DRMRENDERQUALITY group);

// Draws every group of `mesh` placed by `world` (model to world). With source.from_frame
// the groups take source.color instead of their own colours.
void DrawMesh(const Pass& pass, const IDirect3DRMMesh& mesh, const math3d::Mat4& world, ColorSource source);

}  // namespace render
