// The pointer mapping: pointer to cursor motion in the active camera's plane, the active
// view under the pointer, and warping the pointer onto a 3D position.
#include "views/mouse.h"

#include "app/errors.h"
#include "app/globals.h"
#include "app/shell.h"
#include "model/polygoni.h"
#include "platform/rm/d3drm.h"
#include "texture/texture.h"
#include "views/viewport_data.h"

mouse mouser;

namespace {

// Gap between the front viewport and the viewports to its right, in pixels.
constexpr int kViewGap = 5;

IDirect3DRMViewport* ViewportOf(int view) {
  switch (view) {
    case 2: return myglobs.view2;
    case 3: return myglobs.view3;
    default: return myglobs.view1;
  }
}

IDirect3DRMFrame* CameraOf(int view) {
  switch (view) {
    case 2: return myglobs.camera2;
    case 3: return myglobs.camera3;
    default: return myglobs.camera1;
  }
}

float* DistanceOf(int view) {
  switch (view) {
    case 2: return &vp_data.distance2;
    case 3: return &vp_data.distance3;
    default: return &vp_data.distance1;
  }
}

bool SideOfThree() { return vp_data.activeview == 2 && vp_data.arrangement == frontsidetop_v; }

}  // namespace

float ViewMapping::Xf() const { return width > height ? 1.0f : static_cast<float>(width) / static_cast<float>(height); }
float ViewMapping::Yf() const { return width > height ? static_cast<float>(height) / static_cast<float>(width) : 1.0f; }

float ViewMapping::PlaneX(float px) const {
  const float w = static_cast<float>(width);
  return (px - static_cast<float>(ox)) * Xf() * depth / (front * w) - Xf() * depth / (front * 2);
}

float ViewMapping::PlaneY(float py) const {
  const float h = static_cast<float>(height);
  return (h - (py - static_cast<float>(oy))) * Yf() * depth / (front * h) - Yf() * depth / (front * 2);
}

float ViewMapping::ScreenX(float x, float z) const {
  return front * x * static_cast<float>(width) / (Xf() * z) + static_cast<float>(width) / 2 + static_cast<float>(ox);
}

float ViewMapping::ScreenY(float y, float z) const {
  return static_cast<float>(height) / 2 - front * y * static_cast<float>(height) / (Yf() * z);
}

bool mouse::ActiveMapping(ViewMapping* mapping) {
  IDirect3DRMViewport* view = vp_data.cview;
  if (!view || !vp_data.depth || view->GetWidth() == 0 || view->GetHeight() == 0) return false;
  RECT client{0, 0, 0, 0};
  if (mouser.hWnd) GetClientRect(mouser.hWnd, &client);
  const int cw2 = (client.right - client.left) / 2;
  const int ch2 = (client.bottom - client.top) / 2;
  mapping->front = view->GetFront();
  mapping->width = view->GetWidth();
  mapping->height = view->GetHeight();
  mapping->depth = *vp_data.depth;
  mapping->ox = vp_data.activeview == 1 ? 0 : cw2 + kViewGap;
  mapping->oy = SideOfThree() ? ch2 : 0;
  return true;
}

void mouse::InitMouse() {
  GetCenter();
  reverse = precision = overridereverse = false;
  previousa = {0, 0, 30};
  model_links.active_view = [] { return vp_data.activeview; };
  model_links.move_pointer = [](_D3DVECTOR* position) { mouser.MoveTo(position, false); };
}

void mouse::GetCenter() {
  RECT client;
  if (!GetClientRect(hWnd, &client)) {
    Msg("GetClientRect in mouse::GetCenter failed");
    CleanUpAndPostQuit();
    window_center = {1, 1};
    return;
  }
  client_center = {client.right / 2, client.bottom / 2};
  window_center = client_center;
  if (!ClientToScreen(hWnd, &window_center)) Msg("ClientToScreen() failed");
  SetCursorPos(window_center.x, window_center.y);
}

void mouse::SwitchView(int to) {
  const int from = vp_data.activeview;
  IDirect3DRMViewport* viewport = ViewportOf(to);
  IDirect3DRMFrame* old_camera = CameraOf(from);
  IDirect3DRMFrame* new_camera = CameraOf(to);
  // A view whose viewport or camera is not made cannot take over.
  if (!viewport || !new_camera) return;
  vp_data.cview = viewport;
  vp_data.activeview = to;
  vp_data.depth = DistanceOf(to);
  IDirect3DRMFrame* cursor = polygoner.world_frame;
  if (cursor && old_camera) {
    D3DVECTOR p{0, 0, 0};
    // The cursor moves onto the old camera's axis, so the other views, which follow it,
    // centre on what the old view showed.
    if (SUCCEEDED(cursor->GetPosition(old_camera, &p))) cursor->SetPosition(old_camera, 0, 0, p.z);
    if (vp_data.activezoom) cursor->AddChild(old_camera);
  }
  if (polygoner.scene) polygoner.scene->AddChild(new_camera);
}

void mouse::ChooseActiveView() {
  if (polygoner.move_selected) return;
  const unsigned dw = myglobs.dev ? static_cast<unsigned>(myglobs.dev->GetWidth()) / 2 : 0;
  const unsigned dh = myglobs.dev ? static_cast<unsigned>(myglobs.dev->GetHeight()) / 2 : 0;
  const bool right = myglobs.mouse_x > static_cast<int>(dw);
  const bool lower = myglobs.mouse_y > static_cast<int>(dh);
  switch (vp_data.arrangement) {
    case front_v:
      vp_data.activeview = 1;
      vp_data.cview = myglobs.view1;
      vp_data.depth = &vp_data.distance1;
      break;
    case frontside_v:
      if (right && vp_data.activeview == 1)
        SwitchView(2);
      else if (!right && vp_data.activeview == 2)
        SwitchView(1);
      break;
    case frontsidetop_v:
      if (right) {
        if (vp_data.activeview == 1) SwitchView(lower ? 2 : 3);
        if (lower && vp_data.activeview == 3)
          SwitchView(2);
        else if (!lower && vp_data.activeview == 2)
          SwitchView(3);
      } else {
        if (vp_data.activeview == 2) SwitchView(1);
        if (vp_data.activeview == 3) SwitchView(1);
      }
      break;
    case fronttexture_v: break;
  }
}

namespace {

// In the texture arrangement, while the pointer is over the texture view: the mode is
// texture mapping, the cursor stands still and the texture view holds the mouse. True
// then; leaving the view gives the mouse back and restores the mode.
bool OverTextureView() {
  static bool captured = false;
  static mode_state pre_mode = create;
  if (vp_data.arrangement != fronttexture_v) return false;
  POINT p{0, 0};
  GetCursorPos(&p);
  ScreenToClient(vp_data.hwndmain, &p);
  RECT m{0, 0, 0, 0};
  GetClientRect(vp_data.hwndmain, &m);
  m.top += vp_data.toolheight;
  m.right -= 20;
  m.bottom -= vp_data.toolheight + 20;
  if (texture.texmove) texture.MovePoints(p.x, p.y);
  if ((m.right - m.left) / 2 < p.x && p.x < m.right && p.x > 0 && p.y > 0 && m.top < p.y && p.y < m.bottom) {
    if (the_mode != texturemap) pre_mode = the_mode;
    the_mode = texturemap;
    mouser.rdifference = {0, 0, 0};
    if (!captured) {
      SetCapture(vp_data.hwndtex);
      captured = true;
    }
    return true;
  }
  if (captured) {
    ReleaseCapture();
    captured = false;
  }
  if (the_mode == texturemap) the_mode = pre_mode;
  return false;
}

}  // namespace

int mouse::GetDisplacement() {
  if (OverTextureView()) return 0;
  ChooseActiveView();
  if (myglobs.mouse_x <= 0) return 0;
  ViewMapping map;
  IDirect3DRMFrame* camera = CameraOf(vp_data.activeview);
  if (!ActiveMapping(&map) || !camera || !polygoner.world_frame) return 0;
  D3DVECTOR cur{0, 0, 0};
  if (FAILED(polygoner.world_frame->GetPosition(camera, &cur))) return 0;
  cur.z = map.depth;

  if (!precision) {
    myglobs.pmouse_x = static_cast<float>(myglobs.mouse_x);
    myglobs.pmouse_y = static_cast<float>(myglobs.mouse_y);
  } else {
    myglobs.pmouse_x += static_cast<float>(myglobs.mouse_x - myglobs.premouse_x);
    myglobs.pmouse_y += static_cast<float>(myglobs.mouse_y - myglobs.premouse_y);
  }
  const float x = map.PlaneX(myglobs.pmouse_x);
  const float y = map.PlaneY(myglobs.pmouse_y);

  if (!reverse) {
    precision = false;
    rdifference.x = x - cur.x;
    rdifference.y = y - cur.y;
    previousa.x = x;
    previousa.y = y;
    pre_mouse_mov_y = myglobs.mouse_y;
  } else {
    rdifference.x = x - cur.x;
    previousa.x = x;
    rdifference.z = map.PlaneY(static_cast<float>(pre_mouse_mov_y)) - map.PlaneY(static_cast<float>(myglobs.mouse_y));
    D3DVECTOR target{cur.x + rdifference.x, cur.y, map.depth + rdifference.z};
    pre_mouse_mov_y = MoveTo(&target, false).y;
    precision = false;
  }
  myglobs.premouse_x = myglobs.mouse_x;
  myglobs.premouse_y = myglobs.mouse_y;
  return 0;
}

POINT mouse::MoveTo(D3DVECTOR* pos3D, bool zmove) {
  ViewMapping map;
  // Nothing to aim at without a viewport, or for a point in the camera's own plane.
  if (!pos3D || !ActiveMapping(&map) || pos3D->z == 0.0f) return {myglobs.premouse_x, myglobs.premouse_y};
  myglobs.pmouse_y = map.ScreenY(pos3D->y, pos3D->z);
  if (!zmove) myglobs.pmouse_x = map.ScreenX(pos3D->x, pos3D->z);
  POINT client{static_cast<LONG>(myglobs.pmouse_x), static_cast<LONG>(myglobs.pmouse_y)};
  if (SideOfThree()) {
    myglobs.pmouse_y += static_cast<float>(map.height);
    client.y += map.oy;
  }
  precision = true;
  POINT screen = client;
  ClientToScreen(hWnd, &screen);
  if (zmove) {
    POINT now{screen.x, screen.y};
    if (GetCursorPos(&now)) screen.x = now.x;
  }
  SetCursorPos(screen.x, screen.y);
  previousa.x = pos3D->x;
  previousa.y = pos3D->y;
  myglobs.premouse_x = client.x;
  myglobs.premouse_y = client.y;
  pre_mouse_mov_y = client.y;
  return client;
}
