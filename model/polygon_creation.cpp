// Drawing a polygon corner by corner with the 3D cursor, the rubber band that follows the
// cursor, closing the polygon into faces, and making one face.
#include <algorithm>
#include <cmath>

#include "app/errors.h"
#include "model/polygoni.h"

ModelLinks model_links;

namespace {

constexpr D3DVALUE kNotZero = 0.0001f;
constexpr D3DVALUE kOpenRed = 1.0f, kOpenGreen = 0.1f, kOpenBlue = 0.1f;
constexpr D3DVALUE kClosedRed = 0.3f, kClosedGreen = 0.3f, kClosedBlue = 1.0f;

D3DVALUE NotZero(D3DVALUE v) { return v == 0.0f ? kNotZero : v; }

bool Attached(IDirect3DRMFrame* frame, IDirect3DRMVisual* visual) {
  for (IDirect3DRMVisual* v : frame->Visuals())
    if (v == visual) return true;
  return false;
}

void Colour(Polygoni& m, IDirect3DRMFrame* frame, D3DVALUE r, D3DVALUE g, D3DVALUE b) {
  if (frame && FAILED(frame->SetColorRGB(r, g, b))) m.generic_error();
}

// The lowest-indexed wire below `limit` that joins points s and t, in either direction, or
// -1. Every wire is listed by both of its ends, so s's list holds every candidate, and the
// search costs the degree of s rather than a pass over all wires.
int FindJoiningWire(Polygoni& m, int s, int t, int limit) {
  const PointStuff& from = m.pointdata[s];
  const IdCell sid = from.id;
  const IdCell tid = m.pointdata[t].id;
  int found = -1;
  for (uint32_t k = 0; k < from.num_connected; ++k) {
    const int w = *from.connectedwire[k];
    if (w < 0 || w >= limit || (found >= 0 && w >= found)) continue;
    const WireStuff& wire = m.wiredata[w];
    if ((wire.points[0] == sid && wire.points[1] == tid) || (wire.points[0] == tid && wire.points[1] == sid))
      found = w;
  }
  return found;
}

// Takes the rubber band out of its first end's list. The band is the newest wire, so it
// is the last entry while fewer than two corners stood before this click, and otherwise
// the larger-indexed of the last two (the edge attached after it stays, now last).
void DropBandFromList(PointStuff& s, int time) {
  const uint32_t n = s.num_connected;
  if (n == 0) return;
  if (time >= 2 && n >= 2 && *s.connectedwire[n - 2] > *s.connectedwire[n - 1])
    s.connectedwire[n - 2] = s.connectedwire[n - 1];
  s.DropLastConnectedWire();
}

// Wire i already joins the band's first end s and the corner clicked: it becomes the edge
// instead of the band, which is dropped.
void ReuseWire(Polygoni& m, int i, int s) {
  Colour(m, m.wiredata[i].wireframes, kOpenRed, kOpenGreen, kOpenBlue);
  DropBandFromList(m.pointdata[s], m.time);
  WireStuff& band = m.wiredata[m.createindex];
  if (band.wireframes && band.wiremeshes && Attached(band.wireframes, band.wiremeshes) &&
      FAILED(band.wireframes->DeleteVisual(band.wiremeshes)))
    m.generic_error();
  band.vis = false;
  sub_div[m.time - 1] = {m.pointdata[s].id, m.wiredata[i].id};
  // The band is the newest wire, so dropping the last slot drops the band.
  m.createindex -= 1;
  m.AllocWire(-1);
  WireStuff& reused = m.wiredata[i];
  reused.order = m.time - 1;
  if (!reused.vis) {
    if (reused.wireframes && reused.wiremeshes && FAILED(reused.wireframes->AddVisual(reused.wiremeshes)))
      m.generic_error();
    reused.vis = true;
  }
  time_before = i;
}

bool Holds(const Polygoni& m) { return m.selectedpoint >= 0 && m.selectedpoint < m.num_points; }

bool FirstCornerCaptured(Polygoni& m) {
  return m.first_p_index >= 0 && m.first_p_index < m.num_points && m.pointdata[m.first_p_index].cursoractive;
}

// Whether the cursor is on the corner placed last: the hover test holds it, or the cursor
// stands exactly where it was placed.
bool OnLastCorner(Polygoni& m) {
  IdCell last = m.wiredata[m.createindex].points[0];
  if (!last || *last < 0 || *last >= m.num_points) return false;
  if (Holds(m) && *last == m.selectedpoint) return true;
  _D3DVECTOR at{0, 0, 0};
  if (!m.world_frame || FAILED(m.world_frame->GetPosition(m.scene, &at))) return false;
  const _D3DVECTOR& p = m.pointdata[*last].point;
  return at.x == p.x && at.y == p.y && at.z == p.z;
}

// A corner click: the rubber band becomes an edge (or an existing wire does), the corner is
// placed or taken from the point under the cursor, and a new rubber band starts there.
void PlaceCorner(Polygoni& m, _D3DVECTOR* override) {
  const bool holds = Holds(m);
  _D3DVECTOR pos{0, 0, 0};
  if (override) {
    pos = *override;
  } else if (m.world_frame && FAILED(m.world_frame->GetPosition(m.scene, &pos))) {
    m.generic_error();
  }

  bool reused = false;
  if (holds && m.time != 0) {
    const int s = *m.wiredata[m.createindex].points[0];
    const int i = FindJoiningWire(m, s, m.selectedpoint, m.createindex);
    if (i >= 0) {
      ReuseWire(m, i, s);
      reused = true;
    }
  }
  if (m.time != 0 && !reused)
    sub_div[m.time - 1] = {m.wiredata[m.createindex].points[0], m.wiredata[time_before].id};

  m.createindex += 1;
  m.lbuttonactive = true;
  m.AllocWire(+1);
  int c;
  if (!holds) {
    m.SetPointData(m.createindex, -2, &pos, false);
    c = m.num_points - 1;
  } else {
    c = m.selectedpoint;
    m.SetPointData(m.createindex, c, nullptr, false);
  }
  m.wiredata[m.createindex].points[0] = m.pointdata[c].id;

  if (m.time != 0 && !reused) {
    m.SetPointData(time_before, c, nullptr, false);
    m.wiredata[time_before].points[1] = m.pointdata[c].id;
  }

  m.MakeWire(&pos);
  if (!holds) m.MakePoint(&pos);
  WireStuff& band = m.wiredata[m.createindex];
  band.callback = true;
  band.beforelength = 1.0f;
  band.selected = false;
  band.order = m.time;

  m.pointdata[c].can_be_selected = false;
  if (m.time == 0)
    m.first_p_index = c;
  else
    m.wiredata[time_before].callback = false;
  if (m.first_p_index >= 0 && m.first_p_index < m.num_points)
    m.pointdata[m.first_p_index].can_be_selected = m.time >= 2;

  time_before = m.createindex;
  m.time += 1;
}

// The click on the first corner: the closing edge, the faces, and back to idle.
void ClosePolygon(Polygoni& m) {
  const int first = m.first_p_index;
  const bool ortho = m.orthocreate;
  m.orthocreate = false;
  m.WireCallBack(&m.createindex);
  m.orthocreate = ortho;

  WireStuff& band = m.wiredata[m.createindex];
  band.points[1] = m.pointdata[first].id;
  const int s = *band.points[0];
  const int i = FindJoiningWire(m, s, first, m.num_wireframes - 1);
  if (i >= 0) {
    ReuseWire(m, i, s);
  } else {
    sub_div[m.time - 1] = {band.points[0], m.wiredata[time_before].id};
    m.SetPointData(m.createindex, first, nullptr, false);
    m.wiredata[m.createindex].callback = false;
  }

  // The whole-model passes store only what changes, so the records they merely read stay
  // clean and are not written back.
  m.pointdata.ForEach(m.num_points, [](PointStuff& p) {
    if (!p.can_be_selected) p.can_be_selected = true;
  });
  m.num_created = m.time - 2;

  const int n = m.time;
  if (n == 3) {
    m.AddFace(*sub_div[0].wire, *sub_div[1].wire, *sub_div[2].wire, *sub_div[0].first, *sub_div[1].first,
              *sub_div[2].first);
  } else {
    m.SubDivide(n);
  }

  m.wiredata.ForEach(m.num_wireframes, [](WireStuff& w) {
    if (w.order != -1) w.order = -1;
  });
  m.time = 0;
  m.sides = 3;
  if (m.firstframe) m.firstframe->Release();
  m.firstframe = nullptr;

  for (PCorder& entry : sub_div) {
    if (!entry.wire) continue;
    Colour(m, m.wiredata[*entry.wire].wireframes, kClosedRed, kClosedGreen, kClosedBlue);
    entry.wire = nullptr;
  }

  // Sends the render command of the current mode to the main window, then rewrites the
  // vertices of the face meshes.
  m.ReDrawMesh();

  // Points left without a wire are removed, then the points shown follow the active ones.
  // Orphans are rare, so the display pass also tells whether the walk is needed at all;
  // showing a point that is removed next leaves it as the removal alone would (detached,
  // not visible), and the points that stay are shown once more after the walk. A removal
  // moves the last point into the freed slot; the walk goes on past it.
  if (m.UpdateActiveFindingOrphans()) {
    for (int p = 0; p < m.num_points; ++p)
      if (m.pointdata[p].num_connected == 0) m.RemovePoint(p);
    m.UpdateActive();
  }
}

}  // namespace

_D3DVECTOR Normalize(_D3DVECTOR* p1, _D3DVECTOR* p2, _D3DVECTOR* p3) {
  const D3DVALUE ax = p1->x - p2->x, ay = p1->y - p2->y, az = p1->z - p2->z;
  const D3DVALUE bx = p3->x - p2->x, by = p3->y - p2->y, bz = p3->z - p2->z;
  const _D3DVECTOR c{ay * bz - az * by, az * bx - ax * bz, ax * by - ay * bx};
  const D3DVALUE modulus = std::sqrt(c.x * c.x + c.y * c.y + c.z * c.z);
  // Three corners on a line have no normal direction.
  if (modulus == 0.0f || !std::isfinite(modulus)) return {0, 0, 0};
  return {c.x / modulus, c.y / modulus, c.z / modulus};
}

int Polygoni::CreateWire(_D3DVECTOR* override) {
  // A corner click needs the rubber band to be the newest wire; anything else would make
  // the clicks below edit the wrong wire.
  if (time != 0 && (createindex != num_wireframes - 1 || createindex < 0)) return 0;
  // A second click on the corner just placed (a double click) would join the point to
  // itself, or put a second point on it; it is ignored.
  if (time != 0 && !override && OnLastCorner(*this)) return 0;

  if (time == 0) StoreUndo();
  if (time != 0) {
    WireCallBack(&createindex);
    if (orthocreate) MoveToEnd(&createindex);
  }
  changed = true;
  if (!point_init) InitPoint();
  if (!wire_init) InitWire();
  wirehasbeenmade = true;

  if (Holds(*this)) {
    const PointStuff& held = pointdata[selectedpoint];
    if (!override && world_frame && FAILED(world_frame->SetPosition(scene, held.point.x, held.point.y, held.point.z)))
      generic_error();
    if (held.frames) {
      _D3DVECTOR seen{0, 0, 0};
      if (FAILED(held.frames->GetPosition(ActiveCamera(), &seen))) generic_error();
      if (model_links.move_pointer) model_links.move_pointer(&seen);
    }
    if (time != 0) WireCallBack(&createindex);
  }

  if (time > kMaxPolygonCorners) {
    Msg("The maximum numnber of sides for a polygon is 10");
    return 1;
  }

  if (time == 0 || !FirstCornerCaptured(*this)) PlaceCorner(*this, override);
  if (time != 0 && FirstCornerCaptured(*this) && sides <= time) ClosePolygon(*this);
  return 0;
}

void Polygoni::WireCallBack(int* index) {
  if (!index || *index < 0 || *index >= num_wireframes) return;
  WireStuff& w = wiredata[*index];
  if (!w.wireframes || !world_frame) return;
  _D3DVECTOR d{0, 0, 0};
  if (FAILED(w.wireframes->GetPosition(world_frame, &d))) generic_error();
  prelength = {NotZero(d.x), NotZero(d.y), NotZero(d.z)};

  if (!orthocreate) {
    length = std::sqrt(prelength.x * prelength.x + prelength.y * prelength.y + prelength.z * prelength.z);
    if (FAILED(w.wireframes->LookAt(world_frame, scene, constraint))) generic_error();
  } else {
    // The band runs along the axis of the largest offset; with no single largest it keeps
    // its direction and length.
    const D3DVALUE ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
    HRESULT r = D3DRM_OK;
    if (ax > ay && ax > az) {
      length = ax;
      r = w.wireframes->SetOrientation(view1, d.x > 0 ? -1.0f : 1.0f, 0, 0, 0, 1, 0);
    } else if (ay > ax && ay > az) {
      length = ay;
      r = w.wireframes->SetOrientation(view1, 0, d.y > 0 ? -1.0f : 1.0f, 0, 1, 0, 0);
    } else if (az > ax && az > ay) {
      length = az;
      r = w.wireframes->SetOrientation(view1, 0, 0, d.z > 0 ? -1.0f : 1.0f, 0, 1, 0);
    }
    if (FAILED(r)) generic_error();
  }
  // A scale of zero would flatten the prism for good; only the orthographic tie before any
  // stretch can leave the length at zero, and then the prism keeps its length.
  if (length > 0.0f && w.beforelength > 0.0f) {
    if (w.wiremeshes && FAILED(w.wiremeshes->Scale(1.0f, 1.0f, length / w.beforelength))) generic_error();
    w.beforelength = length;
  }
}

void Polygoni::MoveToEnd(int* index) {
  if (!index || *index < 0 || *index >= num_wireframes) return;
  IDirect3DRMFrame* frame = wiredata[*index].wireframes;
  if (!frame || !world_frame) return;
  _D3DVECTOR h{0, 0, 0};
  if (FAILED(world_frame->GetPosition(frame, &h))) return generic_error();
  const D3DVALUE ax = std::fabs(h.x), ay = std::fabs(h.y), az = std::fabs(h.z);
  HRESULT r = D3DRM_OK;
  if (ax > ay && ax > az)
    r = world_frame->SetPosition(frame, h.x, 0, 0);
  else if (ay > ax && ay > az)
    r = world_frame->SetPosition(frame, 0, h.y, 0);
  else if (az > ax && az > ay)
    r = world_frame->SetPosition(frame, 0, 0, h.z);
  if (FAILED(r)) generic_error();
}

bool Polygoni::AddFace(int index1, int index2, int index3, int p_index1, int p_index2, int p_index3) {
  AllocFace(+1);
  const int f = num_faces - 1;
  FaceStuff& face = facedata[f];
  // A reused slot still holds the face object of its previous face.
  if (face.face) face.face->Release();
  face.face = nullptr;
  if (!lpD3DRM || FAILED(lpD3DRM->CreateFace(&face.face))) {
    face.face = nullptr;
    generic_error();
  }
  for (bool& t : face.texactive) t = false;
  face.sides[0] = wiredata[index1].id;
  face.sides[1] = wiredata[index2].id;
  face.sides[2] = wiredata[index3].id;
  for (int w : {index1, index2, index3}) wiredata[w].face_sides += 1;
  face.points[0] = pointdata[p_index1].id;
  face.points[1] = pointdata[p_index2].id;
  face.points[2] = pointdata[p_index3].id;
  face.added = false;
  face.backface = false;

  if (IsItBackFace(f)) {
    facedata[f].backface = true;
    ChangeFace(f, true);
  } else {
    facedata[f].normal = Normalize(&pointdata[p_index2].point, &pointdata[p_index1].point,
                                   &pointdata[p_index3].point);
  }

  TexturePlacement placement;
  if (model_links.texture_shown && model_links.texture_shown(&placement)) {
    FaceStuff& made = facedata[f];
    const D3DVALUE dx = std::fabs(placement.min_x), dy = std::fabs(placement.min_y);
    const auto per = static_cast<D3DVALUE>(placement.pixperw);
    for (int k = 0; k < 3; ++k) {
      const _D3DVECTOR& p = pointdata[*made.points[k]].point;
      made.SetTex_x(k, (p.x + dx) * per);
      made.SetTex_y(k, (p.y + dy) * per);
    }
  }
  return false;
}
