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

void GatherLights(IDirect3DRMFrame* root, bool mono, SceneLights* out, std::vector<FrameVisit>* stack) {
  out->ambient[0] = out->ambient[1] = out->ambient[2] = 0.0f;
  out->lights.clear();
  if (!root) return;
  D3DRMMATRIX4D m;
  root->WorldMatrix(m);
  stack->clear();
  stack->push_back(FrameVisit{root, math3d::FromD3DMatrix(m), {}, 0});
  while (!stack->empty()) {
    const FrameVisit v = stack->back();
    stack->pop_back();
    for (const IDirect3DRMLight* light : v.frame->Lights())
      if (light) AddLight(*light, v.world, mono, out);
    for (IDirect3DRMFrame* child : v.frame->FilledChildren()) {
      // Only frames that carry lights or lead to some need their placement.
      if (child->Lights().empty() && child->Children().empty()) continue;
      child->GetTransform(m);
      stack->push_back(FrameVisit{child, math3d::Multiply(math3d::FromD3DMatrix(m), v.world), {}, 0});
    }
  }
}

}  // namespace render
