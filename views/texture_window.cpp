// The texture window's procedure: scrolling the map within its range, painting the map
// and the faces over it, and the pointer over the view.
#include <algorithm>

#include "app/globals.h"
#include "texture/texture.h"
#include "views/viewport_data.h"

namespace {

constexpr int kTextureCursor = 8;

// A scroll request on one axis: lines are a seventh of the view, pages half of it.
void Scroll(WORD code, int thumb, int extent, TexScroll& bar, LONG* offset) {
  LONG at = *offset;
  switch (code) {
    case SB_LINELEFT: at -= extent / 7; break;
    case SB_LINERIGHT: at += extent / 7; break;
    case SB_PAGELEFT: at -= extent / 2; break;
    case SB_PAGERIGHT: at += extent / 2; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: at = thumb; break;
    default: break;
  }
  if (at > bar.maxscroll) at = bar.maxscroll;
  if (at < bar.minscroll) at = bar.minscroll;
  *offset = at;
  SetScrollPos(bar.hwnd, SB_CTL, at, TRUE);
  texture.MoveTexture();
}

}  // namespace

LRESULT Child_Proc(HWND win, UINT msg, WPARAM wparam, LPARAM lparam) {
  RECT client{0, 0, 0, 0};
  switch (msg) {
    case WM_CREATE: SetFocus(win); return 0;
    case WM_HSCROLL:
      GetClientRect(win, &client);
      Scroll(LOWORD(wparam), HIWORD(wparam), client.right - client.left, texture.scroll_x, &texture.offset.x);
      return 0;
    case WM_VSCROLL:
      GetClientRect(win, &client);
      Scroll(LOWORD(wparam), HIWORD(wparam), client.bottom - client.top, texture.scroll_y, &texture.offset.y);
      return 0;
    case WM_PAINT: texture.Paint(win); return 0;
    case WM_MOUSEMOVE:
      intex = true;
      SetCursor(LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kTextureCursor)));
      myglobs.mouse_buttons = static_cast<int>(wparam);
      myglobs.mouse_x = static_cast<short>(LOWORD(lparam));
      myglobs.mouse_y = static_cast<short>(HIWORD(lparam));
      return 0;
    default: return DefWindowProcA(win, msg, wparam, lparam);
  }
}
