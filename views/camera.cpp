// The view cameras around the cursor: snapping them to a side, and the whole-model moves
// that turn or carry the mesh in front of them.
#include <cmath>

#include "app/globals.h"
#include "model/polygoni.h"
#include "platform/rm/d3drm.h"
#include "views/mouse.h"
#include "views/viewport_data.h"

namespace {

// Radians per unit of rotation amount.
constexpr float kRadiansPerUnit = 0.2f;

void WarpToCursor(IDirect3DRMFrame* cursor, IDirect3DRMFrame* scene) {
  if (!cursor || !scene) return;
  D3DVECTOR position{0, 0, 0};
  if (SUCCEEDED(cursor->GetPosition(scene, &position))) mouser.MoveTo(&position, false);
}

void MarkAllPoints(Polygoni* model, bool selected) {
  for (int i = 0; i < model->num_points; ++i) model->pointdata[i].selected = selected;
}

}  // namespace

void Polygoni::SnapViews(IDirect3DRMFrame** tmp, snap_view plane, snap_view* /*snapstate*/) {
  if (!tmp || !*tmp || !world_frame || !view1) return;
  IDirect3DRMFrame* camera = *tmp;
  D3DVECTOR p{0, 0, 0};
  world_frame->GetPosition(view1, &p);
  const float d = std::trunc(std::fabs(p.z));
  D3DVECTOR c{0, 0, 0};
  camera->GetPosition(world_frame, &c);
  world_frame->SetPosition(view1, 0, 0, d);

  bool flip = false;
  float* distance = &vp_data.distance1;
  switch (plane) {
    case top: flip = c.y < 0, distance = &vp_data.distance3; break;
    case bottom: flip = c.y > 0, distance = &vp_data.distance3; break;
    case lside: flip = c.x > 0, distance = &vp_data.distance2; break;
    case rside: flip = c.x < 0, distance = &vp_data.distance2; break;
    case front: flip = c.z > 0; break;
    case back: flip = c.z < 0; break;
  }
  if (flip) {
    // Through the cursor to the far side, then a half turn in place.
    camera->SetPosition(camera, 0, 0, 2 * d);
    const float up_y = plane == top || plane == bottom ? -1.0f : 1.0f;
    camera->SetOrientation(camera, 0, 0, -1, 0, up_y, 0);
    *distance = d;
  }
  WarpToCursor(world_frame, scene);
  *tmp = camera;
}

_D3DVECTOR Polygoni::Rotate(_D3DVECTOR center, _D3DVECTOR before, _D3DVECTOR ammount) {
  float x = before.x - center.x, y = before.y - center.y, z = before.z - center.z;
  if (ammount.z != 0) {
    const float t = kRadiansPerUnit * ammount.z, cs = std::cos(t), sn = std::sin(t);
    const float nx = cs * x + sn * y;
    y = cs * y - sn * x;
    x = nx;
  }
  if (ammount.x != 0) {
    const float t = kRadiansPerUnit * ammount.x, cs = std::cos(t), sn = std::sin(t);
    const float nz = cs * z - sn * y;
    y = sn * z + cs * y;
    z = nz;
  }
  if (ammount.y != 0) {
    const float t = kRadiansPerUnit * ammount.y, cs = std::cos(t), sn = std::sin(t);
    const float nz = cs * z + sn * x;
    x = cs * x - sn * z;
    z = nz;
  }
  return {center.x + x, center.y + y, center.z + z};
}

_D3DVECTOR Polygoni::GetViewCenter() {
  D3DVECTOR p{0, 0, 0};
  if (!world_frame || !view1 || !scene) return p;
  world_frame->GetPosition(view1, &p);
  p.x = p.y = 0;
  D3DVECTOR world{0, 0, 0}, in_scene{0, 0, 0};
  view1->Transform(&world, &p);
  scene->InverseTransform(&in_scene, &world);
  return in_scene;
}

void Polygoni::MoveCamera(float x, float y, float z, modify_mode movetype) {
  // Where the cursor sat in front of the active camera when the move began.
  static D3DVECTOR cur{0, 0, 0};
  center_mov = {0, 0, 30};
  if (movetype == none) movetype = move_m;
  const int active = vp_data.activeview;
  IDirect3DRMFrame* camera = ActiveCamera();
  if ((movetype == translate || movetype == rotate) && camera && world_frame && world_frame2 && scene) {
    if (first) {
      world_frame->GetPosition(camera, &cur);
      if (active == 2 || active == 3) camera->GetPosition(scene, &viewpos);
      first = false;
    }
    // The cursor stays at the centre of the active view while the model moves.
    world_frame->SetPosition(camera, 0, 0, cur.z);
    D3DVECTOR centre{0, 0, cur.z};
    mouser.MoveTo(&centre, false);
    D3DVECTOR at{0, 0, 0};
    world_frame2->GetPosition(scene, &at);
    if (movetype == translate) {
      movelatch = true;
      MarkAllPoints(this, true);
      const modify_mode saved = move_m;
      move_m = translate;
      // One pass lays the points, the faces and, where they are shown, the wires; hidden
      // wires are laid when the move ends or they are shown, as after a turn.
      MoveSelectedPoints();
      mouser.rdifference = {0, 0, 0};
      movelatch = false;
      move_m = saved;
      MarkAllPoints(this, false);
      const D3DVECTOR o = active == 2 ? D3DVECTOR{-z, y, x} : active == 3 ? D3DVECTOR{x, -z, y} : D3DVECTOR{x, y, z};
      world_frame2->SetPosition(scene, at.x + o.x, at.y + o.y, at.z + o.z);
    } else {
      world_frame->GetPosition(scene, &center_mov);
      MarkAllPoints(this, true);
      MoveSelectedPoints();
      const D3DVECTOR a = active == 2 ? D3DVECTOR{z, x, -y} : active == 3 ? D3DVECTOR{y, z, x} : D3DVECTOR{-y, x, z};
      totrot = {totrot.x + a.x, totrot.y + a.y, totrot.z + a.z};
      const D3DVECTOR moved = Rotate(center_mov, at, a);
      world_frame2->SetPosition(scene, moved.x, moved.y, moved.z);
      D3DVECTOR dir{0, 0, 1}, up{0, 1, 0};
      if (SUCCEEDED(world_frame2->GetOrientation(scene, &dir, &up))) {
        const D3DVECTOR origin{0, 0, 0};
        const D3DVECTOR new_dir = Rotate(origin, dir, a), new_up = Rotate(origin, up, a);
        world_frame2->SetOrientation(scene, new_dir.x, new_dir.y, new_dir.z, new_up.x, new_up.y, new_up.z);
      }
      MarkAllPoints(this, false);
    }
  }
  vp_data.MakeRoom();
}
