// One step of a move of the selected points: their frames are re-placed at the stored
// positions, the wires hanging on them re-pointed and re-stretched, the cursor kept on the
// hovered point, and the face meshes rewritten. With no displacement this re-lays every
// element from the stored coordinates, which the mesh validation relies on.
#include <cmath>

#include "app/errors.h"
#include "model/polygoni.h"
#include "views/mouse.h"

namespace {

// Wire ends that coincide would give a zero-length prism, which no later stretch could
// scale back (the ratio to a zero length); each exactly-zero offset component becomes this.
constexpr D3DVALUE kLeastOffset = 0.01f;

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
  if (w.wiremeshes) w.wiremeshes->Scale(1.0f, 1.0f, len / w.beforelength);
  w.beforelength = len;
}

}  // namespace

int Polygoni::MoveSelectedPoints() {
  changed = true;
  for (int i = 0; i < num_points; ++i) {
    PointStuff& p = pointdata[i];
    if (!p.selected) continue;
    if (p.frames) p.frames->SetPosition(scene, p.point.x, p.point.y, p.point.z);
    if (rmode != PW && time <= 0) continue;
    for (uint32_t k = 0; k < p.num_connected; ++k) RelayWire(this, *p.connectedwire[k], i);
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
  UpdateMesh();
  return 0;
}
