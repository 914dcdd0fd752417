// The texture window's procedure: it takes the focus when made and records the pointer
// over it; drawing and scrolling the texture are the default handling's for now.
#include "app/globals.h"
#include "views/viewport_data.h"

LRESULT Child_Proc(HWND win, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_CREATE: SetFocus(win); return 0;
    case WM_MOUSEMOVE:
      myglobs.mouse_buttons = static_cast<int>(wparam);
      myglobs.mouse_x = LOWORD(lparam);
      myglobs.mouse_y = HIWORD(lparam);
      return 0;
    default: return DefWindowProcA(win, msg, wparam, lparam);
  }
}
