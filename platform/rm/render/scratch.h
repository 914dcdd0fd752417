// Working memory of a render pass, kept on the device and reused by every viewport on it, so
// that after the first passes a pass allocates nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/rm/math3d.h"
#include "platform/rm/raster/batch.h"
#include "platform/rm/raster/raster.h"
#include "platform/rm/raster/worker.h"
#include "platform/rm/types.h"

class IDirect3DRMFrame;
class IDirect3DRMMesh;

namespace render {

// Where a frame's visuals take their colour from, after resolving "from parent".
struct ColorSource {
  bool from_frame = false;
  D3DCOLOR color = 0xFFFFFFFFu;
};

struct FrameVisit {
  IDirect3DRMFrame* frame;
  math3d::Mat4 world;
  ColorSource source;
  int depth;  // frames entered through a frame used as a visual, bounded against cycles
};

// A light in world space, ready for the vertex loop.
struct WorldLight {
  bool directional;
  float r, g, b;
  float px, py, pz;  // position (point lights)
  float lx, ly, lz;  // unit vector toward the light (directional lights)
  float constant, linear, quadratic;
};

struct SceneLights {
  float ambient[3] = {0, 0, 0};
  std::vector<WorldLight> lights;
};

struct Vec3f {
  float x, y, z;
};

// A mesh to draw where the walk met it; `made` is a mesh made from a builder for this
// pass only, released after drawing.
struct DrawItem {
  const IDirect3DRMMesh* mesh;
  IDirect3DRMMesh* made;
  math3d::Mat4 world;
  ColorSource source;
};

struct RenderScratch {
  std::vector<FrameVisit> stack;
  std::vector<DrawItem> items;
  SceneLights lights;
  std::vector<Vec3f> world;  // world positions, for lighting
  std::vector<uint32_t> indices;
  // The pass's triangles, drawn in bands once the scene is walked, and the thread that
  // draws the second band.
  raster::Batch batch;
  raster::Worker worker;
};

// Makes v hold at least n elements without ever shrinking it, so a pass over a smaller mesh
// does not give back memory the next larger one needs again.
template <class T>
T* Reserve(std::vector<T>& v, size_t n) {
  if (v.size() < n) v.resize(n);
  return v.data();
}

}  // namespace render
