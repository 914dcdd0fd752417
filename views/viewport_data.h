// The view windows, the arrangement of the views and which of them is active.
#pragma once

#include "platform/rm/types.h"
#include "platform/win/win.h"

class IDirect3DRMViewport;

enum view_state { front_v = 0, frontside_v = 1, frontsidetop_v = 2, fronttexture_v = 3 };
enum snap_view : int { top = 0, bottom = 1, lside = 2, rside = 3, front = 4, back = 5 };
enum rend_opt { wireframe3D = 0, wireframe = 1, solid = 2 };

struct Point3D {
  int x = 0, y = 0, z = 0;
};

// The global snap state that ViewPortData::current_snap points at.
extern snap_view v_snap;

class ViewPortData {
 public:
  ViewPortData();

  // Lays out the viewports of `view` over the device (x == 0: the whole device; y unused);
  // with `vw` the cameras go to their default planes first.
  void ArrangeViewports(view_state view, int x, int y, bool vw);
  // Re-makes the device at the given size and fits the view window to it; with `tex` the
  // device takes the left half and the texture window the right.
  void CreateVP(int width, int height, bool tex);
  // Makes the front view active; the side and top cameras follow the cursor again.
  void SetActive();
  // Gives every enabled camera but the active one the active camera's distance to the cursor.
  void ScaleViewports();
  // Stops drags once the pointer leaves the active view.
  void MakeRoom();

  HWND hwndfront = nullptr;  // the 3D view window; every viewport lies inside it
  HWND hwndside = nullptr;   // kept hidden or of zero size
  HWND hwndtop = nullptr;
  HWND hwndmain = nullptr;
  HWND hwndtex = nullptr;
  HWND hwndstatus = nullptr;
  HWND hwndxcoor = nullptr, hwndycoor = nullptr, hwndzcoor = nullptr;
  HMENU hMenu = nullptr;
  snap_view snap1, current_snap1, snap2, current_snap2, snap3, current_snap3;
  int toolheight = 26;
  view_state arrangement = front_v;
  rend_opt renderstate;
  bool orthoview, blownup;
  bool frontenabled, topenabled, sideenabled, textureenabled = false;
  bool activezoom;
  Point3D viewportpos, min, max;
  D3DVECTOR pos;
  float distance1 = 30.0f, distance2 = 30.0f, distance3 = 30.0f;
  snap_view* current_snap;
  int activeview = 1;
  float* depth;
  IDirect3DRMViewport* cview = nullptr;
  bool needfeedback;
};

extern ViewPortData vp_data;

// Registers the three view window classes and makes their windows inside `win`; returns
// the front view window, or null when a class cannot be registered.
HWND CreateChildWindow(HWND win, WNDPROC wndproc, WNDPROC wndproctex, HINSTANCE this_inst);

// The texture window's procedure.
LRESULT Child_Proc(HWND win, UINT msg, WPARAM wparam, LPARAM lparam);
