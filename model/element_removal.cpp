// Taking elements out of the model, and cancelling the polygon under construction.
//
// Removal compacts: the last element moves into the freed slot, both identity cells are
// rewritten, and the removed record waits in the spare tail with its frame and mesh for
// the next element added there. References are identity cells, so they follow the move.
#include <algorithm>
#include <utility>

#include "app/errors.h"
#include "model/polygoni.h"

namespace {

// Swaps records i and last whole (identity cell, frame, mesh and lists included), then
// makes both cells hold their new slots.
template <class Keeper>
void MoveLastInto(Keeper* keeper, int i, int last) {
  if (i == last) return;
  auto& a = (*keeper)[i];
  auto& b = (*keeper)[last];
  std::swap(a, b);
  *a.id = i;
  *b.id = last;
}

void Detach(IDirect3DRMFrame* frame, IDirect3DRMVisual* visual) {
  if (!frame || !visual) return;
  const auto& v = frame->Visuals();
  if (std::find(v.begin(), v.end(), visual) != v.end()) frame->DeleteVisual(visual);
}

}  // namespace

void Polygoni::RemovePoint(int index) {
  if (index < 0 || index >= num_points) ElementIndexFault("RemovePoint", index, num_points);
  PointStuff& p = pointdata[index];
  Detach(p.frames, p.meshes);
  p.vis = false;
  const int last = num_points - 1;
  MoveLastInto(&pointdata, index, last);
  AllocPoint(-1);
  // Indices kept across calls follow the point moved into the freed slot; one that named
  // the removed point is left out of range, naming nothing.
  for (int* held : {&selectedpoint, &selected_index}) {
    if (*held == index)
      *held = last;
    else if (*held == last)
      *held = index;
  }
  // A polygon being drawn whose first corner goes has no corner to close on.
  if (first_p_index == index)
    first_p_index = -2;
  else if (first_p_index == last)
    first_p_index = index;
}

void Polygoni::RemoveWire(int index) {
  if (index < 0 || index >= num_wireframes) ElementIndexFault("RemoveWire", index, num_wireframes);
  WireStuff& w = wiredata[index];
  Detach(w.wireframes, w.wiremeshes);
  w.vis = false;
  MoveLastInto(&wiredata, index, num_wireframes - 1);
  AllocWire(-1);
  createindex -= 1;
}

void Polygoni::RemoveFace(int index) {
  if (index < 0 || index >= num_faces) ElementIndexFault("RemoveFace", index, num_faces);
  for (IdCell side : facedata[index].sides)
    if (side && *side >= 0 && *side < num_wireframes && wiredata[*side].id == side) wiredata[*side].face_sides -= 1;
  MoveLastInto(&facedata, index, num_faces - 1);
  AllocFace(-1);
}

void Polygoni::RemoveConnectedWire(int pointindex, int connect) {
  PointStuff& p = pointdata[pointindex];
  const uint32_t n = p.num_connected;
  uint32_t k = 0;
  while (k < n && *p.connectedwire[k] != connect) ++k;
  if (k == n) {
    // A wire the point does not list: a broken cross-reference. Reported; the list stays.
    Msg("TERMINAL ERROR: DELETE ERROR 01");
    return;
  }
  p.connectedwire[k] = p.connectedwire[n - 1];
  p.DropLastConnectedWire();
}

void PointStuff::DropLastConnectedWire() {
  if (num_connected > 0) num_connected -= 1;
}

void Polygoni::Terminate() {
  if (time == 0) return;
  if (createindex < 0 || createindex >= num_wireframes || time > kPolygonTable) return;
  const int edges = time;

  // The rubber band counts as the polygon's last edge.
  sub_div[edges - 1].first = wiredata[createindex].points[0];
  sub_div[edges - 1].wire = wiredata[createindex].id;

  // Take every edge that bounds no face out of the lists of the corners it touches.
  for (int i = 0; i < edges; ++i) {
    if (!sub_div[i].first || !sub_div[i].wire) continue;
    const int corner = *sub_div[i].first;
    if (!QueryWire(*sub_div[i].wire)) RemoveConnectedWire(corner, *sub_div[i].wire);
    if (i > 0 && sub_div[i - 1].wire && !QueryWire(*sub_div[i - 1].wire))
      RemoveConnectedWire(corner, *sub_div[i - 1].wire);
  }
  // Cells are read afresh after every removal: compaction may have moved the next corner.
  for (int i = 0; i < edges; ++i) {
    if (!sub_div[i].first) continue;
    const int corner = *sub_div[i].first;
    if (corner >= 0 && corner < num_points && pointdata[corner].num_connected == 0) RemovePoint(corner);
  }
  for (int i = 0; i < edges; ++i) {
    if (!sub_div[i].wire) continue;
    const int wire = *sub_div[i].wire;
    if (wire >= 0 && wire < num_wireframes && !QueryWire(wire)) RemoveWire(wire);
  }
  // The table's cells may belong to removed elements now; nothing may read them later.
  for (PCorder& entry : sub_div) entry = PCorder{};

  wiredata.ForEach(num_wireframes, [](WireStuff& w) { w.order = -1; });
  time = 0;
  sides = 3;
  if (firstframe) firstframe->Release();
  firstframe = nullptr;
  pointdata.ForEach(num_points, [](PointStuff& p) { p.can_be_selected = true; });
  wiredata.ForEach(num_wireframes, [this](WireStuff& w) {
    if (w.wireframes && FAILED(w.wireframes->SetColorRGB(0.3f, 0.3f, 1.0f))) generic_error();
  });
  ReDrawMesh();
}
