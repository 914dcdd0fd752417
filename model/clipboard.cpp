// The clipboard: copying the selected faces with their corners into a buffer, and pasting a
// buffer back as new points, wires and faces. Wires travel as face sides only; paste finds
// or makes a wire for every side.
//
// Corners are matched by exact position (a corner is the last buffered point at its
// place), through a table of positions instead of a search of the buffer per corner.
#include <cstring>
#include <vector>

#include "app/globals.h"
#include "model/mesh_joining.h"
#include "model/polygoni.h"
#include "platform/rm/math3d.h"
#include "views/mouse.h"
#include "views/viewport_data.h"

namespace {

constexpr D3DVALUE kPasteDepth = 30.0f;

// For each record, the last record at exactly its place: an open-addressed table of
// records by position, one probe sequence per record.
std::vector<int> LastAtSamePlace(const std::vector<PositionKey>& keys) {
  size_t size = 16;
  while (size < 2 * keys.size()) size *= 2;
  std::vector<int> slots(size, -1);
  auto slot_of = [&](const PositionKey& key) {
    size_t i = HashOf(key) & (size - 1);
    while (slots[i] >= 0 && !(keys[static_cast<size_t>(slots[i])] == key)) i = (i + 1) & (size - 1);
    return i;
  };
  for (size_t k = 0; k < keys.size(); ++k) slots[slot_of(keys[k])] = static_cast<int>(k);
  std::vector<int> last(keys.size());
  for (size_t k = 0; k < keys.size(); ++k) last[k] = slots[slot_of(keys[k])];
  return last;
}

void SetColour(Polygoni& m, IDirect3DRMFrame* frame, D3DVALUE r, D3DVALUE g, D3DVALUE b) {
  if (frame && FAILED(frame->SetColorRGB(r, g, b))) m.generic_error();
}

int JoinOrMake(Polygoni& m, int a, int b) {
  int lowest, highest;
  JoiningWires(m, a, b, &lowest, &highest);
  return lowest >= 0 ? lowest : NewWire(m, a, b);
}

// One buffered face with model corners c0, c1, c2 (all different): the sides are found or
// made in the order corner 0-1, 1-2, 0-2, and the face runs c1, c2, c0.
void PasteFace(Polygoni& m, int c0, int c1, int c2) {
  JoinOrMake(m, c0, c1);
  const int side12 = JoinOrMake(m, c1, c2);
  int lowest, side01;
  JoiningWires(m, c0, c1, &lowest, &side01);
  const int side02 = JoinOrMake(m, c0, c2);

  m.AllocFace(+1);
  const int f = m.num_faces - 1;
  FaceStuff& face = m.facedata[f];
  if (face.face) face.face->Release();
  face.face = nullptr;
  if (!lpD3DRM || FAILED(lpD3DRM->CreateFace(&face.face))) {
    face.face = nullptr;
    m.generic_error();
  }
  face.points[0] = m.pointdata[c1].id;
  face.points[1] = m.pointdata[c2].id;
  face.points[2] = m.pointdata[c0].id;
  face.sides[0] = m.wiredata[side12].id;
  face.sides[1] = m.wiredata[side02].id;
  face.sides[2] = m.wiredata[side01].id;
  for (int w : {side12, side02, side01}) m.wiredata[w].face_sides += 1;
  face.added = false;
  face.backface = false;
  // Turned over and back, so only backface follows the camera; the corners keep the
  // order they were copied in.
  const bool back = m.IsItBackFace(f);
  m.facedata[f].backface = back;
  m.ChangeFace(f, back);
  m.ChangeFace(f, !back);
  FaceStuff& made = m.facedata[f];
  made.normal = Normalize(&m.pointdata[*made.points[1]].point, &m.pointdata[*made.points[0]].point,
                          &m.pointdata[*made.points[2]].point);
}

}  // namespace

void Polygoni::FreeClipboard(int index) {
  if (pointbuffer[index])
    for (int k = 0; k < num_cutpoints[index]; ++k) PointCells().Give(pointbuffer[index][k].id);
  if (facebuffer[index])
    for (int k = 0; k < num_cutfaces[index]; ++k) FaceCells().Give(facebuffer[index][k].id);
  delete[] pointbuffer[index];
  delete[] facebuffer[index];
  pointbuffer[index] = nullptr;
  facebuffer[index] = nullptr;
  num_cutpoints[index] = num_cutfaces[index] = 0;
}

void Polygoni::Cut(int index, bool /*undo*/) {
  if (index < 0 || index >= kClipboards) return;
  pointdata.ForEach(num_points, [](PointStuff& p) { p.added = false; });
  int faces = 0, corners = 0;
  facedata.ForEach(num_faces, [&](FaceStuff& f) {
    f.added = pointdata[*f.points[0]].active && pointdata[*f.points[1]].active && pointdata[*f.points[2]].active;
    if (!f.added) return;
    faces += 1;
    for (IdCell corner : f.points) {
      PointStuff& p = pointdata[*corner];
      if (!p.added) {
        p.added = true;
        corners += 1;
      }
    }
  });

  FreeClipboard(index);
  num_cutfaces[index] = faces;
  num_cutpoints[index] = corners;
  pointbuffer[index] = new PointStuff[static_cast<size_t>(corners)];
  facebuffer[index] = new FaceStuff[static_cast<size_t>(faces)];

  PointStuff* buffered = pointbuffer[index];
  std::vector<PositionKey> keys;
  keys.reserve(static_cast<size_t>(corners));
  // Buffer record of each copied point, by model index.
  std::vector<int> record_of(static_cast<size_t>(num_points), -1);
  int k = 0, i = 0;
  pointdata.ForEach(num_points, [&](PointStuff& p) {
    if (p.added) {
      buffered[k].point = p.point;
      *buffered[k].id = k;
      keys.push_back(KeyOf(p.point));
      record_of[static_cast<size_t>(i)] = k++;
    }
    ++i;
  });
  const std::vector<int> last = LastAtSamePlace(keys);
  FaceStuff* copied = facebuffer[index];
  int j = 0;
  facedata.ForEach(num_faces, [&](FaceStuff& f) {
    if (!f.added) return;
    for (int c = 0; c < 3; ++c) copied[j].points[c] = buffered[last[record_of[*f.points[c]]]].id;
    ++j;
  });

  if (snip_mode[index] == cut) {
    delete_points = false;
    DeleteSelected(true);
  }
}

int Polygoni::Paste(bool center, bool /*offset*/, int index, bool undo) {
  if (index < 0 || index >= kClipboards) return 0;
  // The pasted wires go after the rubber band, which must stay the newest wire; a polygon
  // half drawn is cancelled first, as Delete does.
  Terminate();
  pointdata.ForEach(num_points, [](PointStuff& p) { p.active = p.selected = false; });
  ShowStatus("Loading Mesh... Please Wait");

  // The undo buffer holds positions in the model frame; they are placed in the scene with
  // one transform for all of them.
  const math3d::Mat4 to_scene =
      undo && scene && world_frame2 ? CoordinatesBetween(*world_frame2, *scene) : math3d::Identity();

  const int count = num_cutpoints[index];
  const PointStuff* buffered = pointbuffer[index];
  const int base = num_points;
  if (!point_init) InitPoint();
  for (int k = 0; k < count; ++k) {
    _D3DVECTOR at = buffered[k].point;
    if (undo) at = math3d::ToD3DVector(math3d::TransformPoint(math3d::ToVec3(at), to_scene));
    AllocPoint(+1);
    PointStuff& p = pointdata[num_points - 1];
    p.point = at;
    p.active = true;
    p.selected = false;
    p.can_be_selected = true;
    MakePoint(&at);
  }
  if (!wire_init) InitWire();

  // A corner is the newest point at its buffered place: the last buffer record there.
  std::vector<int> corner_of;
  {
    std::vector<PositionKey> keys(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) keys[k] = KeyOf(buffered[k].point);
    corner_of = LastAtSamePlace(keys);
    for (int& c : corner_of) c += base;
  }
  for (int f = 0; f < num_cutfaces[index]; ++f) {
    const FaceStuff& face = facebuffer[index][f];
    const int c0 = corner_of[*face.points[0]], c1 = corner_of[*face.points[1]], c2 = corner_of[*face.points[2]];
    // Corners that fell together have no side between them: such a face is not pasted.
    if (c0 == c1 || c1 == c2 || c0 == c2) continue;
    PasteFace(*this, c0, c1, c2);
  }

  pointdata.ForEach(num_points, [this](PointStuff& p) {
    if (p.active) SetColour(*this, p.frames, 1.0f, 1.0f, 1.0f);
  });

  if (center && view1 && scene) {
    D3DVECTOR c{0, 0, 0};
    if (FAILED(view1->GetPosition(scene, &c))) generic_error();
    double sx = 0, sy = 0, sz = 0;
    int active = 0;
    pointdata.ForEach(num_points, [&](PointStuff& p) {
      if (!p.active) return;
      sx += p.point.x;
      sy += p.point.y;
      sz += p.point.z;
      active += 1;
    });
    const D3DVALUE mx = active ? static_cast<D3DVALUE>(sx / active) : 0.0f;
    const D3DVALUE my = active ? static_cast<D3DVALUE>(sy / active) : 0.0f;
    const D3DVALUE mz = active ? static_cast<D3DVALUE>(sz / active) : 0.0f;
    pointdata.ForEach(num_points, [&](PointStuff& p) {
      if (!p.active) {
        SetColour(*this, p.frames, 0.3f, 0.7f, 0.3f);
        return;
      }
      p.point = {p.point.x + (c.x - mx), p.point.y + (c.y - my), p.point.z + (c.z - mz) + kPasteDepth};
      if (p.frames && FAILED(p.frames->SetPosition(scene, p.point.x, p.point.y, p.point.z))) generic_error();
    });
  }

  // Every element is re-placed from its stored position by a move of the whole model with
  // the latest mouse step. It is no press-and-drag, so it skips the press's dead zone.
  // Without a step the elements that were there already stay exactly where they are (their
  // wires were laid when they last moved), so only the pasted ones need placing; pasted
  // wires join pasted points only.
  const bool still = mouser.rdifference.x == 0 && mouser.rdifference.y == 0 && mouser.rdifference.z == 0;
  const int first_moved = still ? base : 0;
  for (int i = first_moved; i < num_points; ++i) pointdata[i].selected = !pointdata[i].selected;
  const modify_mode saved_mode = move_m;
  const bool saved_latch = movelatch;
  move_m = translate;
  movelatch = true;
  MoveSelectedPoints();
  movelatch = saved_latch;
  move_m = saved_mode;
  for (int i = first_moved; i < num_points; ++i) pointdata[i].selected = !pointdata[i].selected;

  ReDrawMesh();
  ShowStatus("Ready");
  return 0;
}
