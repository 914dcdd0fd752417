// What every draw of one render pass shares: where it draws, how, and its working memory.
#pragma once

#include "platform/rm/math3d.h"
#include "platform/rm/raster/framebuffer.h"
#include "platform/rm/raster/raster.h"
#include "platform/rm/render/scratch.h"
#include "platform/rm/types.h"

namespace render {

struct Pass {
  raster::Framebuffer* fb = nullptr;
  raster::Viewport rect;
  math3d::Mat4 world_to_clip;  // the camera's view, then the projection
  D3DRMRENDERQUALITY device_quality = D3DRMRENDER_FLAT;
  RenderScratch* scratch = nullptr;  // lights already gathered into scratch->lights
  // Threads the pass may use (1 or 2); `always_split` uses both even for passes too small
  // to gain from it, which tests use to compare the two.
  int threads = 1;
  bool always_split = false;
};

}  // namespace render
