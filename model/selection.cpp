// The hover test: the 3D cursor snaps onto a point whose projection in the active view lies
// close to its own, and lets go once it has moved away from it.
#include <cmath>

#include "app/globals.h"
#include "model/polygoni.h"
#include "views/viewport_data.h"

namespace {

// Capture reaches further than release, so the cursor that a capture put exactly on a
// point stays there until it has clearly moved off.
constexpr float kCaptureWindow = 0.009f;
constexpr float kReleaseWindow = 0.005f;

constexpr D3DVALUE kCapturedPoint[3] = {0.0f, 1.0f, 1.0f};
constexpr D3DVALUE kCursorOnPoint[3] = {1.0f, 1.0f, 1.0f};
constexpr D3DVALUE kCursorFree[3] = {0.6f, 0.6f, 0.6f};
constexpr D3DVALUE kPointSelected[3] = {1.0f, 1.0f, 1.0f};
constexpr D3DVALUE kPointUnselected[3] = {0.3f, 0.7f, 0.3f};

void Paint(IDirect3DRMFrame* frame, const D3DVALUE (&rgb)[3]) {
  if (frame) frame->SetColorRGB(rgb[0], rgb[1], rgb[2]);
}

}  // namespace

void Polygoni::TestForSelected() {
  if (makebox || num_points <= 0 || !world_frame) return;

  if (selectedpoint < -1) {
    IDirect3DRMFrame* camera = ActiveCamera();
    D3DVECTOR c{0, 0, 0};
    if (!camera || FAILED(world_frame->GetPosition(camera, &c))) return;
    // Every point in the window is taken in index order, so the last one keeps the cursor.
    // Behind one another, many points can share the window: the display and the other
    // cameras follow once, from where the last capture leaves them.
    const float cx = c.x / c.z, cy = c.y / c.z;
    bool captured = false;
    for (int i = 0; i < num_points; ++i) {
      PointStuff& pt = pointdata[i];
      if (!pt.can_be_selected || !pt.frames) continue;
      D3DVECTOR p{0, 0, 0};
      if (FAILED(pt.frames->GetPosition(camera, &p))) continue;
      if (!(std::fabs(p.x / p.z - cx) < kCaptureWindow && std::fabs(p.y / p.z - cy) < kCaptureWindow))
        continue;
      selectedpoint = *pt.id;
      selected_index = i;
      if (the_mode == create) pt.active = true;
      pt.cursoractive = true;
      world_frame->SetPosition(camera, p.x, p.y, p.z);
      if (model_links.move_pointer) model_links.move_pointer(&p);
      Paint(world_frame, kCursorOnPoint);
      if (the_mode == create || the_mode == edit) Paint(pt.frames, kCapturedPoint);
      captured = true;
    }
    if (captured) {
      UpdateActive();
      vp_data.ScaleViewports();
    }
    return;
  }

  // A hovered index that no longer names a point (the points went away under it) is simply
  // let go.
  if (selectedpoint < 0 || selectedpoint >= num_points) {
    selectedpoint = -2;
    Paint(world_frame, kCursorFree);
    UpdateActive();
    return;
  }
  // The release is judged in the front camera whatever view is active.
  PointStuff& pt = pointdata[selectedpoint];
  D3DVECTOR p{0, 0, 0}, c{0, 0, 0};
  if (!pt.frames || !view1 || FAILED(pt.frames->GetPosition(view1, &p))) {
    generic_error();
    return;
  }
  if (FAILED(world_frame->GetPosition(view1, &c))) return;
  if (std::fabs(p.x / p.z - c.x / c.z) < kReleaseWindow && std::fabs(p.y / p.z - c.y / c.z) < kReleaseWindow)
    return;
  pt.cursoractive = false;
  if (edit_mode == no) {
    Paint(pt.frames, kPointUnselected);
    pt.active = false;
  }
  // The point shows its selection colour again when every marker is shown while points are
  // edited, or only the selection is shown while nothing is.
  if (static_cast<int>(points) == static_cast<int>(edit_mode))
    Paint(pt.frames, pt.active ? kPointSelected : kPointUnselected);
  selectedpoint = -2;
  Paint(world_frame, kCursorFree);
  UpdateActive();
}
