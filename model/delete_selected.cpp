// Deleting the selection: the faces whose three corners are selected, or the selected
// points with every face and wire they belong to. New, Open, Cut and Undo delete through
// here too, so every step works in one pass or through an index, never by a search over
// the whole model per element removed.
//
// The order of removals is part of the result: each removal moves the last element into
// the freed slot, so which element ends where depends on it. The loops below remove in
// the order a plain "take the highest (or lowest) marked one, again and again" would, and
// a test holds them to that.
#include <algorithm>
#include <queue>
#include <vector>

#include "app/globals.h"
#include "model/polygoni.h"
#include "views/viewport_data.h"

namespace {

bool Doomed(Polygoni& m, const FaceStuff& f) {
  return m.pointdata[*f.points[0]].active && m.pointdata[*f.points[1]].active && m.pointdata[*f.points[2]].active;
}

// Takes wire w out of the lists of both its ends, then out of the model.
void DropWire(Polygoni& m, int w) {
  for (IdCell end : m.wiredata[w].points)
    if (end) m.RemoveConnectedWire(*end, w);
  m.RemoveWire(w);
}

void MarkFaceWires(Polygoni& m) {
  // How many sides of doomed faces each wire is. A wire goes only when every face it is a
  // side of goes: one that is also a side of a face that stays (where three or more faces
  // meet at an edge, as a merge of a mesh over itself leaves) would leave that face
  // without a side.
  std::vector<int> doomed_sides(static_cast<size_t>(m.num_wireframes), 0);
  m.facedata.ForEach(m.num_faces, [&](FaceStuff& f) {
    if (!Doomed(m, f)) return;
    for (IdCell side : f.sides) doomed_sides[*side] += 1;
  });
  auto mark = [&](int w) {
    WireStuff& wire = m.wiredata[w];
    if (wire.face_sides == doomed_sides[w]) wire.deleteit = true;
  };
  m.facedata.ForEach(m.num_faces, [&](FaceStuff& f) {
    if (!Doomed(m, f)) return;
    for (IdCell side : f.sides) mark(*side);
    for (IdCell corner : f.points) {
      const PointStuff& p = m.pointdata[*corner];
      if (p.num_connected >= 3) continue;
      for (uint32_t k = 0; k < p.num_connected; ++k) mark(*p.connectedwire[k]);
    }
  });
}

void DeleteFaces(Polygoni& m) {
  MarkFaceWires(m);

  // Highest doomed face first: what moves into a freed slot is the last face, never a
  // doomed one (those above were removed already), so a downward pass meets them in order.
  for (int f = m.num_faces - 1; f >= 0; --f)
    if (Doomed(m, m.facedata[f])) m.RemoveFace(f);

  // Lowest marked wire first: the wire moved into a freed slot is looked at next, in the
  // same slot.
  for (int w = 0; w < m.num_wireframes;) {
    if (m.wiredata[w].deleteit)
      DropWire(m, w);
    else
      ++w;
  }

  // Points left with at most one wire go, highest index first; a wire still hanging on
  // such a point goes with it, which can leave its other end with one wire or none. The
  // queue holds the index of every such point (and stale indices, skipped when met).
  std::priority_queue<int> loose;
  for (int p = 0; p < m.num_points; ++p)
    if (m.pointdata[p].num_connected <= 1) loose.push(p);
  while (!loose.empty()) {
    const int p = loose.top();
    loose.pop();
    if (p >= m.num_points || m.pointdata[p].num_connected > 1) continue;
    if (m.pointdata[p].num_connected == 1) {
      const int w = *m.pointdata[p].connectedwire[0];
      const WireStuff& wire = m.wiredata[w];
      IdCell other = wire.points[0] == m.pointdata[p].id ? wire.points[1] : wire.points[0];
      DropWire(m, w);
      if (other && *other < m.num_points && m.pointdata[*other].num_connected <= 1) loose.push(*other);
    }
    m.RemovePoint(p);
    if (p < m.num_points && m.pointdata[p].num_connected <= 1) loose.push(p);
  }
}

// For each element index (a corner's or a side's, taken from each face's cells by `of`),
// the indices of the faces naming it, as a count-then-fill index: element e's faces are
// faces[start[e] .. start[e + 1]).
struct FacesOf {
  std::vector<int> start;
  std::vector<int> faces;

  template <class Cells>
  FacesOf(Polygoni& m, int elements, Cells of) : start(static_cast<size_t>(elements) + 1, 0) {
    m.facedata.ForEach(m.num_faces, [&](FaceStuff& f) {
      for (IdCell e : of(f)) start[*e + 1] += 1;
    });
    for (size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
    faces.resize(static_cast<size_t>(start.back()));
    std::vector<int> fill(start.begin(), start.end() - 1);
    m.facedata.ForEach(m.num_faces, [&](FaceStuff& f) {
      for (IdCell e : of(f)) faces[fill[*e]++] = *f.id;
    });
  }
};

FacesOf FacesBySide(Polygoni& m) {
  return FacesOf(m, m.num_wireframes, [](FaceStuff& f) -> IdCell(&)[3] { return f.sides; });
}
FacesOf FacesByCorner(Polygoni& m) {
  return FacesOf(m, m.num_points, [](FaceStuff& f) -> IdCell(&)[3] { return f.points; });
}

// Where each face that was there when the deletion started is now: removing a face moves
// the last one into its slot. (The removed faces' identity cells cannot tell: they go back
// to their pool when their group is dropped.)
class FaceSlots {
 public:
  explicit FaceSlots(int faces) : now_(static_cast<size_t>(faces)), was_(static_cast<size_t>(faces)) {
    for (int f = 0; f < faces; ++f) now_[f] = was_[f] = f;
  }
  int Now(int original) const { return now_[original]; }  // -1 once removed
  void Remove(Polygoni& m, int slot) {
    const int last = m.num_faces - 1;
    now_[was_[slot]] = -1;
    if (slot != last) {
      was_[slot] = was_[last];
      now_[was_[slot]] = slot;
    }
    m.RemoveFace(slot);
  }

 private:
  std::vector<int> now_, was_;
};

// A neighbour of a deleted point goes with it unless one of its wires bounds a face
// without that point. Later deleted points decide over earlier ones.
void MarkNeighbours(Polygoni& m) {
  const FacesOf by_side = FacesBySide(m);
  for (int a = 0; a < m.num_points; ++a) {
    const PointStuff& pa = m.pointdata[a];
    if (!pa.active) continue;
    for (uint32_t k = 0; k < pa.num_connected; ++k) {
      const WireStuff& w = m.wiredata[*pa.connectedwire[k]];
      IdCell other = w.points[0] == pa.id ? w.points[1] : w.points[0];
      if (!other) continue;
      PointStuff& n = m.pointdata[*other];
      n.deleteit = 1;
      for (uint32_t j = 0; j < n.num_connected && n.deleteit; ++j) {
        const int side = *n.connectedwire[j];
        for (int s = by_side.start[side]; s < by_side.start[side + 1]; ++s) {
          const FaceStuff& g = m.facedata[by_side.faces[s]];
          if (g.points[0] != pa.id && g.points[1] != pa.id && g.points[2] != pa.id) {
            n.deleteit = 0;
            break;
          }
        }
      }
    }
  }
}

void DeletePoints(Polygoni& m) {
  MarkNeighbours(m);
  // By the point's index when the deletion starts: points below the one being deleted
  // never move, so their lists stay right.
  const FacesOf by_corner = FacesByCorner(m);
  FaceSlots slots(m.num_faces);
  std::vector<int> faces;
  // Highest marked point first; the point moved into a freed slot was the last one and so
  // not marked, and the pass goes on below it.
  for (int p = m.num_points - 1; p >= 0; --p) {
    PointStuff& point = m.pointdata[p];
    if (!point.active && point.deleteit != 1) continue;
    faces.clear();
    for (int s = by_corner.start[p]; s < by_corner.start[p + 1]; ++s)
      if (const int now = slots.Now(by_corner.faces[s]); now >= 0) faces.push_back(now);
    std::sort(faces.begin(), faces.end(), std::greater<>());
    faces.erase(std::unique(faces.begin(), faces.end()), faces.end());
    for (int f : faces) slots.Remove(m, f);
    while (m.pointdata[p].num_connected > 0) DropWire(m, *m.pointdata[p].connectedwire[0]);
    m.RemovePoint(p);
  }
}

}  // namespace

void ShowStatus(const char* text) {
  SendMessageA(vp_data.hwndstatus, SB_SETTEXT, 0 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text));
}

void Polygoni::DeleteSelected(bool store) {
  if (store) StoreUndo();
  ShowStatus("Deleting... Please Wait");
  selectedpoint = -2;
  // A polygon half drawn holds cells of the elements it laid; removing those under it
  // would leave it pointing at other elements.
  Terminate();
  if (delete_points)
    DeletePoints(*this);
  else
    DeleteFaces(*this);
  // Points left without any wire; the point moved into a freed slot waits for a later pass.
  for (int p = 0; p < num_points; ++p)
    if (pointdata[p].num_connected == 0) RemovePoint(p);
  selectedpoint = -2;
  ReDrawMesh();
  UpdateMesh();
  ShowStatus("Ready");
}
