// Laying the views out over the device, resizing the device with the view window, the
// active view and the equal camera distances across views.
#include <algorithm>
#include <cmath>

#include "app/errors.h"
#include "app/globals.h"
#include "app/render_settings.h"
#include "model/polygoni.h"
#include "platform/rm/d3drm.h"
#include "texture/texture.h"
#include "views/mouse.h"
#include "views/viewport_data.h"

namespace {

// Width of the bars between the views, in pixels.
constexpr int kDivider = 5;

void ReleaseViewport(IDirect3DRMViewport** viewport) {
  if (!*viewport) return;
  if (vp_data.cview == *viewport) vp_data.cview = nullptr;
  (*viewport)->Release();
  *viewport = nullptr;
}

void MakeViewport(IDirect3DRMFrame* camera, int x, int y, int width, int height, IDirect3DRMViewport** out) {
  const bool sane = lpD3DRM && polygoner.dev && camera && x >= 0 && y >= 0 && width > 0 && height > 0;
  if (!sane || FAILED(lpD3DRM->CreateViewport(polygoner.dev, camera, static_cast<DWORD>(x), static_cast<DWORD>(y),
                                             static_cast<DWORD>(width), static_cast<DWORD>(height), out))) {
    *out = nullptr;
    Msg("VIEWPORT FAILURE");
  }
}

// Sets the axis coordinate `axis` (0 x, 1 y, 2 z) of `camera` relative to the cursor to
// +d or -d, keeping its side of the cursor and its other two coordinates.
void PlaceOnAxis(IDirect3DRMFrame* camera, int axis, float d) {
  IDirect3DRMFrame* cursor = polygoner.world_frame;
  if (!camera || !cursor) return;
  D3DVECTOR p{0, 0, 0};
  if (FAILED(camera->GetPosition(cursor, &p))) return;
  float* coordinate = axis == 0 ? &p.x : axis == 1 ? &p.y : &p.z;
  *coordinate = *coordinate > 0 ? d : -d;
  camera->SetPosition(cursor, p.x, p.y, p.z);
}

void WarpToCursor() {
  if (!polygoner.world_frame || !polygoner.scene) return;
  D3DVECTOR position{0, 0, 0};
  if (SUCCEEDED(polygoner.world_frame->GetPosition(polygoner.scene, &position))) mouser.MoveTo(&position, false);
}

}  // namespace

void ViewPortData::ArrangeViewports(view_state view, int x, int /*y*/, bool vw) {
  GlobsToPolygon();
  arrangement = view;
  RECT r{0, 0, 0, 0};
  GetClientRect(hwndmain, &r);
  r.bottom -= toolheight;
  if (polygoner.dev && static_cast<int>(polygoner.dev->GetWidth()) < r.right - r.left)
    polygoner.NewDevice(r.right - r.left, r.bottom - r.top);
  if (x == 0) {
    r = {0, 0, 0, 0};
    if (polygoner.dev) {
      r.right = static_cast<LONG>(polygoner.dev->GetWidth());
      r.bottom = static_cast<LONG>(polygoner.dev->GetHeight());
    }
  }
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int w2 = w / 2, h2 = h / 2;
  const int l = r.left, t = r.top, b = r.bottom;

  if (view == fronttexture_v)
    CreateVP(r.right, r.bottom, true);
  else if (textureenabled)
    CreateVP(w, h, false);

  // Each layout ends with exactly its own viewports; those of an earlier layout go first.
  for (IDirect3DRMViewport** old :
       {&polygoner.camera1, &polygoner.camera2, &polygoner.camera3, &polygoner.devider1, &polygoner.devider2})
    ReleaseViewport(old);
  myglobs.view1 = myglobs.view2 = myglobs.view3 = myglobs.devider1 = myglobs.devider2 = nullptr;

  switch (view) {
    case front_v: MakeViewport(polygoner.view1, l, t, w, b, &polygoner.camera1); break;
    case frontside_v:
      MakeViewport(polygoner.view1, l, t, w2, b, &polygoner.camera1);
      MakeViewport(polygoner.view2, w2 + kDivider, t, w2 - kDivider, b, &polygoner.camera2);
      MakeViewport(polygoner.deviderf1, w2, t, kDivider, b, &polygoner.devider1);
      break;
    case frontsidetop_v:
      MakeViewport(polygoner.view1, l, t, w2, b, &polygoner.camera1);
      MakeViewport(polygoner.view2, w2 + kDivider, h2, w2 - kDivider, h2, &polygoner.camera2);
      MakeViewport(polygoner.view3, w2 + kDivider, t, w2 - kDivider, h2 - kDivider, &polygoner.camera3);
      MakeViewport(polygoner.deviderf1, w2, t, kDivider, b, &polygoner.devider1);
      MakeViewport(polygoner.deviderf2, w2 + kDivider, h2 - kDivider, w2 - kDivider, kDivider, &polygoner.devider2);
      break;
    case fronttexture_v: MakeViewport(polygoner.view1, l, t, w2, b, &polygoner.camera1); break;
  }
  // The rest of the layout (and the pointer mapping it calls) reads the shell's copies.
  PolygonToGlobs();

  switch (view) {
    case front_v:
      if (vw) polygoner.SnapViews(&polygoner.view1, front, current_snap);
      frontenabled = true;
      topenabled = sideenabled = textureenabled = false;
      break;
    case frontside_v:
      cview = polygoner.camera1;
      if (vw) {
        polygoner.SnapViews(&polygoner.view1, front, current_snap);
        polygoner.SnapViews(&polygoner.view2, rside, current_snap);
      }
      frontenabled = sideenabled = true;
      topenabled = textureenabled = false;
      break;
    case frontsidetop_v:
      cview = polygoner.camera1;
      if (vw) {
        polygoner.SnapViews(&polygoner.view1, front, current_snap);
        polygoner.SnapViews(&polygoner.view2, rside, current_snap);
        polygoner.SnapViews(&polygoner.view3, top, current_snap);
      }
      frontenabled = sideenabled = topenabled = true;
      textureenabled = false;
      ShowWindow(hwndtex, SW_HIDE);
      break;
    case fronttexture_v:
      cview = polygoner.camera1;
      activeview = 1;
      depth = &distance1;
      if (vw) polygoner.SnapViews(&polygoner.view1, front, current_snap);
      frontenabled = textureenabled = true;
      sideenabled = topenabled = false;
      break;
  }
  SetActive();
  WarpToCursor();
}

void ViewPortData::CreateVP(int width, int height, bool tex) {
  if (width == 0 || height == 0) Msg("width or height == 0");
  constexpr UINT kFlags = SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW;
  const int device_width = tex ? width / 2 : width;
  polygoner.NewDevice(device_width, height);
  needfeedback = true;
  SetWindowPos(hwndfront, nullptr, 0, toolheight + 2, device_width, height, kFlags);
  if (!tex) {
    // Hidden, the texture view keeps the size the texture arrangement gives it, so a
    // bitmap loaded in another arrangement gets the map that arrangement will show.
    SetWindowPos(hwndtex, nullptr, width / 2, toolheight + 2, width / 2, height, SWP_NOZORDER | SWP_HIDEWINDOW);
    ShowWindow(hwndtex, SW_HIDE);
    ShowWindow(hwndfront, SW_SHOW);
    return;
  }
  ShowWindow(hwndtex, SW_SHOW);
  SetWindowPos(hwndtex, nullptr, device_width, toolheight + 2, device_width, height, SWP_NOZORDER | SWP_SHOWWINDOW);
  if (!hwndtex) Msg(" error at 44");
  ShowWindow(hwndfront, SW_SHOW);
  ShowWindow(hwndtex, SW_SHOW);
  // The bars follow the view's edges after every resize, not only the first.
  texture.scroll_x.InitTexScroll(false);
  texture.scroll_y.InitTexScroll(true);
}

void ViewPortData::SetActive() {
  IDirect3DRMFrame* cursor = polygoner.world_frame;
  if (cursor) {
    // The cursor moves onto the side and top cameras' axes at unchanged depth.
    for (IDirect3DRMFrame* camera : {polygoner.view2, polygoner.view3}) {
      D3DVECTOR p{0, 0, 0};
      if (camera && SUCCEEDED(cursor->GetPosition(camera, &p))) cursor->SetPosition(camera, 0, 0, p.z);
    }
  }
  if (polygoner.scene && polygoner.view1) polygoner.scene->AddChild(polygoner.view1);
  if (cursor) {
    if (polygoner.view2) cursor->AddChild(polygoner.view2);
    if (polygoner.view3) cursor->AddChild(polygoner.view3);
  }
  activeview = 1;
  depth = &distance1;
  cview = polygoner.camera1;
  if (cursor && polygoner.view1) cursor->SetPosition(polygoner.view1, 0, 0, distance1);
  D3DVECTOR ahead{0, 0, distance1};
  mouser.MoveTo(&ahead, false);
  ScaleViewports();
}

void ViewPortData::ScaleViewports() {
  IDirect3DRMFrame* cursor = polygoner.world_frame;
  IDirect3DRMFrame* cameras[3] = {polygoner.view1, polygoner.view2, polygoner.view3};
  float* distances[3] = {&distance1, &distance2, &distance3};
  // Each camera's viewing axis: front z, side x, top y.
  constexpr int kAxis[3] = {2, 0, 1};
  const int active = activeview >= 1 && activeview <= 3 ? activeview - 1 : 0;
  if (!cursor || !cameras[active]) return;
  D3DVECTOR a{0, 0, 0};
  if (FAILED(cameras[active]->GetPosition(cursor, &a))) return;
  const float along = kAxis[active] == 0 ? a.x : kAxis[active] == 1 ? a.y : a.z;
  const float d = std::trunc(std::fabs(along));
  const bool enabled[3] = {true, sideenabled, topenabled};
  for (int view = 0; view < 3; ++view) {
    if (view == active) continue;
    // From the front view the side camera follows whenever another view shows at all.
    const bool follow = active == 0 && view == 1 ? sideenabled || topenabled : enabled[view];
    if (!follow) continue;
    PlaceOnAxis(cameras[view], kAxis[view], d);
    *distances[view] = d;
  }
}

void ViewPortData::MakeRoom() {
  POINT pointer{0, 0};
  GetCursorPos(&pointer);
  ScreenToClient(hwndfront, &pointer);
  RECT c{0, 0, 0, 0};
  GetClientRect(hwndfront, &c);
  switch (activeview) {
    case 1:
      if (arrangement != front_v && arrangement != fronttexture_v) c.right -= c.right / 2;
      break;
    case 2:
      c.left += c.right / 2;
      if (arrangement == frontsidetop_v) c.top += c.bottom / 2;
      break;
    case 3:
      c.left += c.right / 2;
      c.bottom -= c.bottom / 2;
      break;
    default: break;
  }
  if (pointer.x > c.right || pointer.x < c.left || pointer.y > c.bottom || pointer.y < c.top) {
    polygoner.move_selected = false;
    polygoner.makebox = false;
    mouser.rdifference.x = 0;
    mouser.rdifference.y = 0;
    mouser.rdifference.z = std::min(mouser.rdifference.z, 0.0f);
    mouser.reverse = false;
  }
}
