#include "platform/rm/render/scene_walk.h"

#include "platform/rm/frame.h"
#include "platform/rm/mesh.h"
#include "platform/rm/mesh_builder.h"
#include "platform/rm/render/draw_mesh.h"

namespace render {
namespace {

// A frame may show itself or an ancestor as a visual; this bounds the nesting that follows.
constexpr int kMaxVisualNesting = 8;

// Frames deeper than this are refused by ParentSource's walk; no real tree comes near it.
constexpr int kMaxAncestors = 4096;

math3d::Mat4 LocalMatrix(IDirect3DRMFrame* frame) {
  D3DRMMATRIX4D m;
  frame->GetTransform(m);
  return math3d::FromD3DMatrix(m);
}

void DrawVisual(const Pass& pass, IDirect3DRMVisual* visual, const FrameVisit& at, ColorSource source) {
  if (auto* mesh = dynamic_cast<IDirect3DRMMesh*>(visual)) {
    DrawMesh(pass, *mesh, at.world, source);
  } else if (auto* builder = dynamic_cast<IDirect3DRMMeshBuilder*>(visual)) {
    IDirect3DRMMesh* made = nullptr;
    if (SUCCEEDED(builder->CreateMesh(&made)) && made) {
      DrawMesh(pass, *made, at.world, source);
      made->Release();
    }
  } else if (auto* frame = dynamic_cast<IDirect3DRMFrame*>(visual)) {
    if (at.depth < kMaxVisualNesting)
      pass.scratch->stack.push_back(
          FrameVisit{frame, math3d::Multiply(LocalMatrix(frame), at.world), source, at.depth + 1});
  }
  // Textures shown as visuals (decals) are not drawn.
}

}  // namespace

ColorSource ResolveSource(const IDirect3DRMFrame& frame, ColorSource parent) {
  switch (frame.GetMaterialMode()) {
    case D3DRMMATERIAL_FROMFRAME:
      return ColorSource{true, frame.GetColor()};
    case D3DRMMATERIAL_FROMPARENT:
      return parent;
    default:
      return ColorSource{};
  }
}

ColorSource ParentSource(const IDirect3DRMFrame& frame) {
  // Collect the ancestors, then resolve from the root down.
  const IDirect3DRMFrame* chain[kMaxAncestors];
  int n = 0;
  for (const IDirect3DRMFrame* p = frame.Parent(); p && n < kMaxAncestors; p = p->Parent()) chain[n++] = p;
  ColorSource source;
  while (n > 0) source = ResolveSource(*chain[--n], source);
  return source;
}

void DrawScene(const Pass& pass, IDirect3DRMFrame* frame) {
  std::vector<FrameVisit>& stack = pass.scratch->stack;
  stack.clear();
  D3DRMMATRIX4D m;
  frame->WorldMatrix(m);
  stack.push_back(FrameVisit{frame, math3d::FromD3DMatrix(m), ParentSource(*frame), 0});
  while (!stack.empty()) {
    const FrameVisit at = stack.back();
    stack.pop_back();
    const ColorSource source = ResolveSource(*at.frame, at.source);
    for (IDirect3DRMVisual* visual : at.frame->Visuals())
      if (visual) DrawVisual(pass, visual, at, source);
    // Pushed in reverse so children are drawn in the order they were added.
    const auto& children = at.frame->Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
      stack.push_back(FrameVisit{*it, math3d::Multiply(LocalMatrix(*it), at.world), source, at.depth});
  }
}

}  // namespace render
