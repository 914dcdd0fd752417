// The editing state lives in globals that outlive one run of the editor in the test
// process; each scenario leaves them as a fresh start finds them.
#pragma once

#include "app/globals.h"
#include "model/polygoni.h"
#include "views/mouse.h"
#include "views/viewport_data.h"

inline void ResetEditing() {
  Polygoni& m = polygoner;
  m.Terminate();
  while (m.num_faces > 0) m.RemoveFace(m.num_faces - 1);
  while (m.num_wireframes > 0) m.RemoveWire(m.num_wireframes - 1);
  while (m.num_points > 0) m.RemovePoint(m.num_points - 1);
  m.move_selected = m.makebox = m.shift = false;
  m.look = true;
  the_mode = create;
  edit_mode = no;
  rmode = PW;
  ctrl = false;
  mouser.reverse = mouser.precision = mouser.overridereverse = false;
  mouser.difference = {};
  mouser.rdifference = {0, 0, 0};
  vp_data.arrangement = front_v;
  vp_data.activeview = 1;
  vp_data.depth = &vp_data.distance1;
  vp_data.distance1 = vp_data.distance2 = vp_data.distance3 = 30.0f;
  myglobs.mouse_x = myglobs.mouse_y = 0;
}
