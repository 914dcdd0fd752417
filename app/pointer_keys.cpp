// Mouse and keyboard input of the view windows: the messages only record the pointer and
// set flags; the cursor's per-pass update does the continuous work.
#include <cstdio>

#include "app/edit_input.h"
#include "app/errors.h"
#include "app/globals.h"
#include "app/shell.h"
#include "model/polygoni.h"
#include "platform/rm/d3drm.h"
#include "texture/texture.h"
#include "views/mouse.h"
#include "views/viewport_data.h"

namespace {

constexpr char kTraceFile[] = "qel.tst";

// Points a click leaves without any wire (a cancelled or merged corner) are dropped.
void SweepLoosePoints() {
  Polygoni& m = polygoner;
  for (int i = 0; i < m.num_points; ++i)
    if (m.pointdata[i].num_connected == 0) m.RemovePoint(i);
}

// Appends what the front viewport is set to, for looking at the views from outside.
bool WriteFile() {
  std::FILE* out = std::fopen(kTraceFile, "a");
  if (!out) return false;
  IDirect3DRMViewport* v = myglobs.view1;
  if (v) {
    std::fprintf(out, "front view: x %ld y %ld width %lu height %lu front %g back %g field %g distance %g\n",
                 v->GetX(), v->GetY(), static_cast<unsigned long>(v->GetWidth()),
                 static_cast<unsigned long>(v->GetHeight()), static_cast<double>(v->GetFront()),
                 static_cast<double>(v->GetBack()), static_cast<double>(v->GetField()),
                 static_cast<double>(vp_data.distance1));
  } else {
    std::fprintf(out, "front view: none\n");
  }
  std::fclose(out);
  return true;
}

}  // namespace

void ShowViewCursor(int id, HINSTANCE instance) {
  myglobs.curIde = id;
  SetCursor(LoadCursorA(instance ? instance : GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)));
}

void OnPointerMessage(UINT msg, WPARAM wparam, LPARAM lparam, HINSTANCE instance) {
  switch (msg) {
    case WM_MOUSEMOVE:
      SetCursor(LoadCursorA(instance ? instance : GetModuleHandleA(nullptr), MAKEINTRESOURCEA(myglobs.curIde)));
      myglobs.mouse_buttons = static_cast<int>(wparam);
      myglobs.mouse_x = static_cast<short>(LOWORD(lparam));
      myglobs.mouse_y = static_cast<short>(HIWORD(lparam));
      break;
    case WM_RBUTTONDOWN: mouser.reverse = true; break;
    case WM_RBUTTONUP: mouser.reverse = false; break;
    case WM_LBUTTONDOWN:
      if (the_mode == create) polygoner.CreateWire(nullptr);
      SweepLoosePoints();
      break;
    case WM_LBUTTONUP:
      polygoner.movelatch = true;
      texture.createbox = false;
      break;
    default: break;
  }
}

void OnKeyMessage(UINT msg, WPARAM wparam) {
  const bool down = msg == WM_KEYDOWN;
  switch (static_cast<int>(wparam)) {
    case VK_SHIFT: polygoner.shift = down; break;
    case VK_CONTROL:
      if (down && !WriteFile()) {
        Msg("cant open file");
        CleanUpAndPostQuit();
      }
      ctrl = down;
      break;
    default:
      if (!down) break;
      switch (static_cast<int>(wparam)) {
        case VK_ESCAPE: polygoner.Terminate(); break;
        case VK_SPACE: polygoner.look = !polygoner.look; break;
        case VK_LEFT:
          mouser.difference.x -= 1;
          mouser.rdifference.x = -1.0f;
          break;
        case VK_RIGHT:
          mouser.difference.x += 1;
          mouser.rdifference.x = 1.0f;
          break;
        case VK_UP:
          mouser.difference.y += 1;
          mouser.rdifference.y = 1.0f;
          break;
        case VK_DOWN:
          mouser.difference.y -= 1;
          mouser.rdifference.y = -1.0f;
          break;
        default: break;
      }
  }
}
