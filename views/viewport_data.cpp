// The view windows and the start state of the view layout.
#include "views/viewport_data.h"

snap_view v_snap = front;
ViewPortData vp_data;

ViewPortData::ViewPortData()
    : snap1(front),
      current_snap1(front),
      snap2(lside),
      current_snap2(lside),
      snap3(top),
      current_snap3(top),
      renderstate(wireframe3D),
      orthoview(false),
      blownup(false),
      frontenabled(true),
      topenabled(false),
      sideenabled(false),
      activezoom(true),
      pos{0, 0, 0},
      current_snap(&v_snap),
      depth(&distance1),
      needfeedback(false) {}

namespace {

struct ViewWindow {
  const char* class_name;
  const char* title;
  DWORD style;
  int id;
  HWND ViewPortData::*field;
};

// The front view is the only one drawn into; the side and top windows exist for the
// handles only, which is why they have no size.
constexpr ViewWindow kViewWindows[] = {
    {"ViewPortfront", "View_Windowfront", WS_CHILD | WS_VISIBLE, 1, &ViewPortData::hwndfront},
    {"ViewPortside", "View_Windowside", WS_CHILD, 2, &ViewPortData::hwndside},
    {"ViewPorttop", "View_Window", WS_CHILD | WS_VISIBLE, 3, &ViewPortData::hwndtop},
};

}  // namespace

HWND CreateChildWindow(HWND win, WNDPROC wndproc, WNDPROC /*wndproctex*/, HINSTANCE this_inst) {
  vp_data.hwndmain = win;
  vp_data.toolheight = 26;
  RECT client;
  GetClientRect(win, &client);
  for (const ViewWindow& view : kViewWindows) {
    WNDCLASSA window_class;
    window_class.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    window_class.lpfnWndProc = wndproc;
    window_class.cbWndExtra = 4;
    window_class.hInstance = this_inst;
    window_class.hIcon = LoadIconA(this_inst, "AppIcon");
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    window_class.lpszClassName = view.class_name;
    if (!RegisterClassA(&window_class)) return nullptr;
    const bool front_window = view.id == 1;
    vp_data.*view.field = CreateWindowA(
        view.class_name, view.title, view.style, front_window ? client.left : 0, front_window ? client.top + 28 : 0,
        front_window ? client.right - client.left : 0, front_window ? client.bottom - 48 : 0, win,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(view.id)), this_inst, nullptr);
  }
  return vp_data.hwndfront;
}
