// Turns pointer motion over the 3D view window into motion of the 3D cursor.
#pragma once

#include "platform/rm/types.h"
#include "platform/win/win.h"

struct IntVector {
  int x = 0, y = 0, z = 0;
};

// One active viewport as the pointer mapping sees it: front clipping distance, size in
// pixels, the view's stored distance and the viewport's offset inside the view window.
struct ViewMapping {
  float front = 1;
  unsigned width = 1, height = 1;
  float depth = 30;
  int ox = 0, oy = 0;

  // Aspect factors: the longer side spans the unit.
  float Xf() const;
  float Yf() const;
  // Client pixel to the active camera's plane at `depth`; the viewport's centre is (0, 0).
  float PlaneX(float px) const;
  float PlaneY(float py) const;
  // Plane point (x, y) at distance z to client pixels (before any side-view row offset).
  float ScreenX(float x, float z) const;
  float ScreenY(float y, float z) const;
};

class mouse {
 public:
  // Centres the pointer in the view window, resets the mapping state and tells the model
  // how to find the active view and how to move the pointer.
  void InitMouse();
  // Warps the pointer to the centre of the view window.
  void GetCenter();
  // Maps the pointer's motion since the last update to `rdifference` and picks the active
  // view under the pointer. Always 0.
  int GetDisplacement();
  // Warps the pointer onto `pos3D`, given in the active camera's frame; with `zmove` only
  // its vertical position changes. Returns the client point warped to.
  POINT MoveTo(D3DVECTOR* pos3D, bool zmove);
  void OutOfClient() {}

  // The active viewport's mapping, or false while there is no usable viewport.
  static bool ActiveMapping(ViewMapping* mapping);

  POINT window_center;  // screen pixels
  POINT client_center;  // client pixels of the view window
  HWND hWnd = nullptr;  // the 3D view window
  HWND viewhwnd = nullptr;
  int speed = 0;  // the system's pointer acceleration
  IntVector difference;
  D3DVECTOR rdifference{0, 0, 0};
  D3DVECTOR previousa{0, 0, 30};
  int pre_mouse_mov_y = 0;
  bool precision = false;
  bool reverse = false;
  bool overridereverse = false;

 private:
  void ChooseActiveView();
  void SwitchView(int to);
};

extern mouse mouser;
