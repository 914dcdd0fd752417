// Growing and shrinking the element chains, one element and one group at a time.
#include "model/element_storage.h"

#include <cstdio>
#include <cstdlib>

#include "model/polygoni.h"

void ElementIndexFault(const char* container, long long index, long long slots) {
  std::fprintf(stderr, "%s: index %lld outside 0..%lld\n", container, index, slots - 1);
  std::abort();
}

namespace {

// Steps 1 to 3 of every element operation: move the count and the last group's fill,
// then add or drop a group when the fill leaves 1..300. Returns false when nothing moved
// (dropping from an empty container, or an off other than +1 or -1).
template <class Keeper, class GroupOp>
bool StepCount(int* count, Keeper* keeper, int off, GroupOp group_op) {
  if (off != 1 && off != -1) return false;
  bool moved = false;
  if (*count + off >= 0) {
    *count += off;
    keeper->inlastgroup += off;
    moved = true;
  }
  if (keeper->inlastgroup > kGroupSize) group_op(+1);
  if (keeper->inlastgroup == 0) group_op(-1);
  return moved;
}

// The group operation shared by the three kinds; free_records releases what the records
// of the dropped group own.
template <class Keeper, class FreeRecords>
void StepGroups(int count, Keeper* keeper, int off, FreeRecords free_records) {
  if (static_cast<int64_t>(keeper->num_groups) + off == 0) return;
  if (off == 1) {
    keeper->AppendGroup();
    keeper->num_groups += 1;
    keeper->inlastgroup = 1;
  } else if (off == -1 && count > 0) {
    free_records(keeper->last_ptr);
    keeper->DropLastGroup();
    keeper->num_groups -= 1;
    keeper->inlastgroup = kGroupSize;
  }
}

}  // namespace

void Polygoni::AllocWire(int off) {
  if (!StepCount(&num_wireframes, &wiredata, off, [this](int g) { AllocWireGroup(g); })) return;
  if (off < 0) return;
  // The slot keeps its identity cell, frame, prism and stretch for reuse.
  WireStuff& w = wiredata[num_wireframes - 1];
  *w.id = num_wireframes - 1;
  w.callback = false;
  w.selected = false;
  w.deleteit = false;
  w.order = 0;
  w.points[0] = w.points[1] = nullptr;
  w.vis = true;
  w.face_sides = 0;
}

void Polygoni::AllocPoint(int off) {
  if (!StepCount(&num_points, &pointdata, off, [this](int g) { AllocPointGroup(g); })) return;
  if (off < 0) return;
  // A fresh identity cell: references left over from the slot's previous element must not
  // name the new one. Frame, cube, position and selection state stay with the slot.
  PointStuff& p = pointdata[num_points - 1];
  // Taken before the old one goes back, so it is never the old one.
  IdCell fresh = PointCells().Take(num_points - 1);
  PointCells().Give(p.id);
  p.id = fresh;
  // The slot's wire array serves the new point.
  p.num_connected = 0;
  p.selected = false;
  p.cursoractive = false;
  p.can_be_selected = true;
  p.deleteit = 0;
  p.vis = true;
  p.mapped = false;
}

void Polygoni::AllocFace(int off) {
  if (!StepCount(&num_faces, &facedata, off, [this](int g) { AllocFaceGroup(g); })) return;
  if (off < 0) return;
  // The creator fills the rest of the record.
  *facedata[num_faces - 1].id = num_faces - 1;
}

void Polygoni::AllocWireGroup(int off) {
  StepGroups(num_wireframes, &wiredata, off, [this](WireGroup* g) { FreeRecords(g); });
}

void Polygoni::AllocPointGroup(int off) {
  StepGroups(num_points, &pointdata, off, [this](PointGroup* g) { FreeRecords(g); });
}

void Polygoni::AllocFaceGroup(int off) {
  StepGroups(num_faces, &facedata, off, [this](FaceGroup* g) { FreeRecords(g); });
}

void Polygoni::DiscardFrame(IDirect3DRMFrame** frame) {
  if (!*frame) return;
  if (IDirect3DRMFrame* parent = (*frame)->Parent()) parent->DeleteChild(*frame);
  (*frame)->Release();
  *frame = nullptr;
}

// The records of a dropped group are never used again, so their display objects go now.
void Polygoni::FreeRecords(PointGroup* g) {
  for (PointStuff& p : g->data) {
    PointCells().Give(p.id);
    p.id = nullptr;
    delete[] p.connectedwire;
    p.connectedwire = nullptr;
    p.num_connected = p.connected_capacity = 0;
    if (p.meshes) p.meshes->Release();
    p.meshes = nullptr;
    DiscardFrame(&p.frames);
  }
}

void Polygoni::FreeRecords(WireGroup* g) {
  for (WireStuff& w : g->data) {
    WireCells().Give(w.id);
    w.id = nullptr;
    if (w.wiremeshes) w.wiremeshes->Release();
    w.wiremeshes = nullptr;
    DiscardFrame(&w.wireframes);
  }
}

void Polygoni::FreeRecords(FaceGroup* g) {
  for (FaceStuff& f : g->data) {
    FaceCells().Give(f.id);
    f.id = nullptr;
    if (f.face) f.face->Release();
    f.face = nullptr;
  }
}
