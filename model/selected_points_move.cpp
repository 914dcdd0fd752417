// One step of a move of the selected points: their stored positions are translated, turned
// or scaled by the mouse displacement, their frames re-placed, the wires hanging on them
// re-pointed and re-stretched, the cursor kept on the hovered point, and the face meshes
// rewritten. With no displacement this re-lays every element from the stored coordinates,
// which the mesh validation relies on.
#include <cmath>

#include "app/errors.h"
#include "model/polygoni.h"
#include "views/mouse.h"
#include "views/viewport_data.h"

namespace {

// Wire ends that coincide would give a zero-length prism, which no later stretch could
// scale back (the ratio to a zero length); each exactly-zero offset component becomes this.
constexpr D3DVALUE kLeastOffset = 0.01f;
// How far the cursor may drift from where the press happened before the move starts.
constexpr float kDeadZone = 0.05f;

// Re-points and re-stretches one wire after its end `point` was placed; the rubber band
// only follows the point.
void RelayWire(Polygoni* m, int wire, int point) {
  WireStuff& w = m->wiredata[wire];
  PointStuff& p = m->pointdata[point];
  IDirect3DRMFrame* scene = m->scene;
  if (!w.wireframes) return;
  if (w.callback) {
    w.wireframes->SetPosition(scene, p.point.x, p.point.y, p.point.z);
    return;
  }
  // The frame sits on the other end and looks at this one.
  IdCell other_cell = w.points[0] == p.id ? w.points[1] : w.points[0];
  if (!other_cell || *other_cell < 0 || *other_cell >= m->num_points) return;
  PointStuff& other = m->pointdata[*other_cell];
  if (!other.frames || !p.frames) return;
  w.wireframes->SetPosition(other.frames, 0, 0, 0);
  w.wireframes->LookAt(p.frames, scene, m->constraint);
  D3DVECTOR offset{0, 0, 0};
  p.frames->GetPosition(other.frames, &offset);
  if (offset.x == 0.0f) offset.x = kLeastOffset;
  if (offset.y == 0.0f) offset.y = kLeastOffset;
  if (offset.z == 0.0f) offset.z = kLeastOffset;
  const float len = std::sqrt(offset.x * offset.x + offset.y * offset.y + offset.z * offset.z);
  // A wire that only moved keeps its length; a scale by one would change no vertex.
  if (w.wiremeshes && len != w.beforelength) w.wiremeshes->Scale(1.0f, 1.0f, len / w.beforelength);
  w.beforelength = len;
}

// The mouse displacement (Rx, Ry, Rz) of the active view turned into the step of each
// mode: every view moves, turns and scales the model along the axes it shows on screen.
_D3DVECTOR StepOf(int view, modify_mode mode, const D3DVECTOR& r) {
  const int column = mode == translate ? 0 : mode == rotate ? 1 : 2;
  switch (view) {
    case 2: {
      const _D3DVECTOR steps[3] = {{-r.z, r.y, r.x}, {r.x, r.z, -r.y}, {r.z, r.y, -r.x}};
      return steps[column];
    }
    case 3: {
      const _D3DVECTOR steps[3] = {{r.x, -r.z, r.y}, {r.z, r.y, r.x}, {r.x, r.z, -r.y}};
      return steps[column];
    }
    default: {
      const _D3DVECTOR steps[3] = {{r.x, r.y, r.z}, {r.x, -r.y, r.z}, {-r.x, r.y, r.z}};
      return steps[column];
    }
  }
}

_D3DVECTOR ScaleAbout(const _D3DVECTOR& p, const _D3DVECTOR& pivot, float fx, float fy, float fz) {
  return {(p.x - pivot.x) * fx + pivot.x, (p.y - pivot.y) * fy + pivot.y, (p.z - pivot.z) * fz + pivot.z};
}

}  // namespace

int Polygoni::MoveSelectedPoints() {
  // A press on a point must not nudge it: until the cursor has left a small zone around
  // where the press happened, nothing moves.
  if (!movelatch) {
    D3DVECTOR c{0, 0, 0};
    if (world_frame) world_frame->GetPosition(scene, &c);
    if (std::fabs(c.x - stickpos.x) <= kDeadZone && std::fabs(c.y - stickpos.y) <= kDeadZone &&
        std::fabs(c.z - stickpos.z) <= kDeadZone) {
      // Once per press, before anything has moved.
      if (!mundo) StoreUndo();
      mundo = true;
      return 0;
    }
    movelatch = true;
    mundo = false;
  }
  changed = true;

  const modify_mode mode = move_m;
  const bool moves = mode == translate || mode == rotate || mode == scale || mode == uniform_scale;
  const int view = model_links.active_view ? model_links.active_view() : 1;
  const _D3DVECTOR d = moves ? StepOf(view, mode, mouser.rdifference) : _D3DVECTOR{0, 0, 0};
  const bool relay_wires = rmode == PW || time > 0;
  int moved = 0;
  for (int i = 0; i < num_points; ++i) {
    PointStuff& p = pointdata[i];
    if (!p.selected) continue;
    ++moved;
    switch (mode) {
      case translate:
        p.point = {p.point.x + d.x, p.point.y + d.y, p.point.z + d.z};
        break;
      case rotate:
        p.point = Rotate(center_mov, p.point, {d.y, d.x, d.z});
        break;
      case scale:
        p.point = ScaleAbout(p.point, center_mov, 0.5f * d.x + 1.0f, 0.5f * d.y + 1.0f, 0.5f * d.z + 1.0f);
        break;
      case uniform_scale: {
        const float f = 0.5f * d.y + 1.0f;
        p.point = ScaleAbout(p.point, center_mov, f, f, f);
        break;
      }
      default:
        break;
    }
    if (p.frames) p.frames->SetPosition(scene, p.point.x, p.point.y, p.point.z);
  }
  // A wire is laid from the positions of both ends, so once every point is placed each
  // wire is laid once, from the end the point order reaches last.
  if (relay_wires) {
    for (int i = 0; i < num_points; ++i) {
      PointStuff& p = pointdata[i];
      if (!p.selected) continue;
      for (uint32_t k = 0; k < p.num_connected; ++k) {
        const WireStuff& w = wiredata[*p.connectedwire[k]];
        IdCell other = w.points[0] == p.id ? w.points[1] : w.points[0];
        const bool later_end = !w.callback && other && *other > i && *other < num_points && pointdata[*other].selected;
        if (!later_end) RelayWire(this, *p.connectedwire[k], i);
      }
    }
  }
  // The cursor and the pointer stay on the hovered point, unless the camera is what moves.
  if (selectedpoint >= 0 && selectedpoint < num_points && !movethecamera && world_frame) {
    const _D3DVECTOR& at = pointdata[selectedpoint].point;
    if (FAILED(world_frame->SetPosition(scene, at.x, at.y, at.z))) Msg("!!!!!!!!function failed!!!!!!!");
    mouser.rdifference = {0, 0, 0};
    IDirect3DRMFrame* camera = ActiveCamera();
    D3DVECTOR world{0, 0, 0}, seen{0, 0, 0};
    if (camera && scene && model_links.move_pointer) {
      scene->Transform(&world, &at);
      camera->InverseTransform(&seen, &world);
      model_links.move_pointer(&seen);
    }
  }
  UpdateMesh(moved < num_points);
  vp_data.MakeRoom();
  return 0;
}
