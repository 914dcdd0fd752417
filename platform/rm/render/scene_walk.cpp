#include "platform/rm/render/scene_walk.h"

#include <typeinfo>

#include "platform/rm/frame.h"
#include "platform/rm/mesh.h"
#include "platform/rm/mesh_builder.h"
#include "platform/rm/raster/config.h"
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

// An editor scene is tens of thousands of small meshes, each behind a chain of pointers
// (frame, visual list, mesh, group, vertices) that the walk would otherwise wait on one
// miss at a time. Looking a few steps ahead lets those loads overlap.
constexpr size_t kLookAhead = 8;

void Prefetch(const void* p, size_t bytes) {
  const char* c = static_cast<const char*>(p);
  for (size_t at = 0; at < bytes; at += 64) __builtin_prefetch(c + at);
}

// Nearly every visual of an editor scene is a plain mesh; comparing the exact type costs a
// fraction of a cast that searches the class graph, and gives the same pointer.
IDirect3DRMMesh* AsMesh(IDirect3DRMVisual* visual) {
  if (typeid(*visual) == typeid(IDirect3DRMMesh)) return static_cast<IDirect3DRMMesh*>(visual);
  return dynamic_cast<IDirect3DRMMesh*>(visual);
}

void CollectVisual(const Pass& pass, IDirect3DRMVisual* visual, const FrameVisit& at, ColorSource source) {
  if (auto* mesh = AsMesh(visual)) {
    pass.scratch->items.push_back(DrawItem{mesh, nullptr, at.world, source});
  } else if (auto* builder = dynamic_cast<IDirect3DRMMeshBuilder*>(visual)) {
    IDirect3DRMMesh* made = nullptr;
    if (SUCCEEDED(builder->CreateMesh(&made)) && made)
      pass.scratch->items.push_back(DrawItem{made, made, at.world, source});
  } else if (auto* frame = dynamic_cast<IDirect3DRMFrame*>(visual)) {
    if (at.depth < kMaxVisualNesting)
      pass.scratch->stack.push_back(
          FrameVisit{frame, math3d::Multiply(LocalMatrix(frame), at.world), source, at.depth + 1});
  }
  // Textures shown as visuals (decals) are not drawn.
}

// Walks the tree in drawing order and lists the meshes with their placement.
void CollectMeshes(const Pass& pass, IDirect3DRMFrame* frame) {
  std::vector<FrameVisit>& stack = pass.scratch->stack;
  stack.clear();
  pass.scratch->items.clear();
  D3DRMMATRIX4D m;
  frame->WorldMatrix(m);
  stack.push_back(FrameVisit{frame, math3d::FromD3DMatrix(m), ParentSource(*frame), 0});
  while (!stack.empty()) {
    const FrameVisit at = stack.back();
    stack.pop_back();
    const ColorSource source = ResolveSource(*at.frame, at.source);
    for (IDirect3DRMVisual* visual : at.frame->Visuals())
      if (visual) CollectVisual(pass, visual, at, source);
    // Pushed in reverse so children are drawn in the order they were added. Most element
    // frames are hidden leaves, which the filled list leaves out.
    const auto& children = at.frame->FilledChildren();
    const size_t n = children.size();
    for (size_t k = n; k-- > 0;) {
      if (k >= kLookAhead) Prefetch(children[k - kLookAhead], sizeof(IDirect3DRMFrame));
      IDirect3DRMFrame* child = children[k];
      if (child->Visuals().empty() && child->Children().empty()) continue;
      Prefetch(child->Visuals().data(), sizeof(IDirect3DRMVisual*));
      stack.push_back(FrameVisit{child, math3d::Multiply(LocalMatrix(child), at.world), source, at.depth});
    }
  }
}

void PrefetchGroups(const IDirect3DRMMesh* mesh) {
  const auto& groups = mesh->Groups();
  if (!groups.empty()) Prefetch(groups.data(), sizeof(IDirect3DRMMesh::Group) * groups.size());
}

void PrefetchGroupData(const IDirect3DRMMesh* mesh) {
  for (const IDirect3DRMMesh::Group& g : mesh->Groups()) {
    Prefetch(g.vertices.data(), g.vertices.size() * sizeof(D3DRMVERTEX));
    Prefetch(g.face_indices.data(), g.face_indices.size() * sizeof(uint32_t));
    Prefetch(g.face_sizes.data(), sizeof(uint32_t));
  }
}

// Draws the recorded triangles: the viewport's rows in two bands, one per thread, or in one
// when the pass is too small to gain from a second thread.
void DrawBatch(const Pass& pass) {
  raster::Batch& batch = pass.scratch->batch;
  const raster::Band rows = batch.Rows();
  const bool split = pass.threads > 1 && rows.y1 - rows.y0 >= 2 &&
                     (pass.always_split || batch.TriangleCount() >= raster::kMinBandedTriangles);
  if (!split) {
    batch.PlaceCorners(0, 1);
    batch.Draw(rows);
    return;
  }
  struct Job {
    raster::Batch* batch;
    raster::Band bands[2];
  };
  const int middle = rows.y0 + (rows.y1 - rows.y0) / 2;
  Job job{&batch, {{rows.y0, middle}, {middle, rows.y1}}};
  raster::Worker& worker = pass.scratch->worker;
  if (batch.DeferredCorners() > 0)
    worker.RunBoth([](void* context, int part) { static_cast<Job*>(context)->batch->PlaceCorners(part, 2); },
                   &job);
  worker.RunBoth(
      [](void* context, int part) {
        const Job& j = *static_cast<Job*>(context);
        j.batch->Draw(j.bands[part]);
      },
      &job);
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
  pass.scratch->batch.Begin(*pass.fb, pass.rect);
  CollectMeshes(pass, frame);
  std::vector<DrawItem>& items = pass.scratch->items;
  const size_t n = items.size();
  for (size_t i = 0; i < n; ++i) {
    if (i + 2 * kLookAhead < n) Prefetch(items[i + 2 * kLookAhead].mesh, sizeof(IDirect3DRMMesh));
    if (i + kLookAhead < n) PrefetchGroups(items[i + kLookAhead].mesh);
    if (i + kLookAhead / 2 < n) PrefetchGroupData(items[i + kLookAhead / 2].mesh);
    DrawMesh(pass, *items[i].mesh, items[i].world, items[i].source);
  }
  // Meshes made for this pass hold corner indices the batch still reads.
  DrawBatch(pass);
  for (DrawItem& item : items)
    if (item.made) item.made->Release();
  items.clear();
}

}  // namespace render
