// One level of undo: a snapshot of every face with its corners in clipboard buffer 2, and
// a restore that deletes the whole mesh and pastes the snapshot back.
//
// The snapshot keeps positions in the model frame, so a restore after a move of the whole
// model puts the mesh where the model frame is now.
#include <vector>

#include "app/globals.h"
#include "model/polygoni.h"
#include "platform/rm/math3d.h"
#include "platform/win/win.h"

namespace {

constexpr int kUndoBuffer = 2;
constexpr WPARAM kEnableUndo = 284;

}  // namespace

void Polygoni::StoreUndo() {
  SendMessageA(main_window, WM_COMMAND, kEnableUndo, 0);
  pointdata.ForEach(num_points, [](PointStuff& p) {
    p.selected = p.active;
    p.active = true;
  });
  snip_mode[kUndoBuffer] = copy;

  // Scene to model-frame coordinates with one matrix for every point; the stored positions
  // come back unchanged afterwards.
  const math3d::Mat4 to_model =
      scene && world_frame2 ? CoordinatesBetween(*scene, *world_frame2) : math3d::Identity();
  std::vector<_D3DVECTOR> kept;
  kept.reserve(static_cast<size_t>(num_points));
  pointdata.ForEach(num_points, [&](PointStuff& p) {
    kept.push_back(p.point);
    p.point = math3d::ToD3DVector(math3d::TransformPoint(math3d::ToVec3(p.point), to_model));
  });
  Cut(kUndoBuffer, true);
  size_t k = 0;
  pointdata.ForEach(num_points, [&](PointStuff& p) {
    p.point = kept[k++];
    p.active = p.selected;
  });
  readytopaste[kUndoBuffer] = true;
}

void Polygoni::Revert() {
  pointdata.ForEach(num_points, [](PointStuff& p) { p.active = true; });
  DeleteSelected(false);
  Paste(false, true, kUndoBuffer, true);
  if (the_mode == create) {
    pointdata.ForEach(num_points, [this](PointStuff& p) {
      if (p.frames && FAILED(p.frames->SetColorRGB(0.3f, 0.7f, 0.3f))) generic_error();
      p.selected = false;
      p.active = false;
    });
  }
  readytopaste[kUndoBuffer] = false;
}
