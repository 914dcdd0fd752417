#include "platform/rm/render/lighting.h"

#include "platform/rm/frame.h"
#include "platform/rm/light.h"

namespace render {
namespace {

void AddLight(const IDirect3DRMLight& light, const math3d::Mat4& world, bool mono, SceneLights* out) {
  const D3DCOLOR c = light.GetColor();
  float r = D3DRMColorGetRed(c), g = D3DRMColorGetGreen(c), b = D3DRMColorGetBlue(c);
  if (mono) r = g = b = (r + g + b) / 3.0f;
  switch (light.GetType()) {
    case D3DRMLIGHT_AMBIENT:
      out->ambient[0] += r;
      out->ambient[1] += g;
      out->ambient[2] += b;
      return;
    case D3DRMLIGHT_DIRECTIONAL:
    case D3DRMLIGHT_PARALLELPOINT: {
      math3d::Vec3 z = math3d::Row(world, 2);
      if (!math3d::Normalise(&z)) return;  // a frame squashed flat shines nowhere
      WorldLight l{};
      l.directional = true;
      l.r = r, l.g = g, l.b = b;
      l.lx = static_cast<float>(-z.x), l.ly = static_cast<float>(-z.y), l.lz = static_cast<float>(-z.z);
      out->lights.push_back(l);
      return;
    }
    case D3DRMLIGHT_POINT:
    case D3DRMLIGHT_SPOT: {
      const math3d::Vec3 at = math3d::Row(world, 3);
      WorldLight l{};
      l.directional = false;
      l.r = r, l.g = g, l.b = b;
      l.px = static_cast<float>(at.x), l.py = static_cast<float>(at.y), l.pz = static_cast<float>(at.z);
      l.constant = light.GetConstantAttenuation();
      l.linear = light.GetLinearAttenuation();
      l.quadratic = light.GetQuadraticAttenuation();
      out->lights.push_back(l);
      return;
    }
  }
}

}  // namespace

void GatherLights(IDirect3DRMFrame* root, bool mono, SceneLights* out) {
  out->ambient[0] = out->ambient[1] = out->ambient[2] = 0.0f;
  out->lights.clear();
  if (!root) return;
  // The few lit frames are found through the layer's list of them, not by visiting tens of
  // thousands of element frames; each placement is composed from the root down, as a walk
  // down the tree would.
  thread_local std::vector<std::vector<IDirect3DRMFrame*>> paths;
  root->LitFramesBelow(&paths);
  if (paths.empty()) return;
  D3DRMMATRIX4D m;
  root->WorldMatrix(m);
  const math3d::Mat4 root_world = math3d::FromD3DMatrix(m);
  for (const std::vector<IDirect3DRMFrame*>& path : paths) {
    math3d::Mat4 world = root_world;
    for (size_t k = 1; k < path.size(); ++k) {
      path[k]->GetTransform(m);
      world = math3d::Multiply(math3d::FromD3DMatrix(m), world);
    }
    for (const IDirect3DRMLight* light : path.back()->Lights())
      if (light) AddLight(*light, world, mono, out);
  }
}

}  // namespace render
