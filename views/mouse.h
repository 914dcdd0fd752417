// Turns pointer motion over the 3D view window into motion of the 3D cursor.
#pragma once

#include "platform/rm/types.h"
#include "platform/win/win.h"

struct IntVector {
  int x = 0, y = 0, z = 0;
};

class mouse {
 public:
  // Centres the pointer in the view window and resets the mapping state.
  void InitMouse();
  // Warps the pointer to the centre of the view window.
  void GetCenter();

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
};

extern mouse mouser;
