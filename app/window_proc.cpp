// The one window procedure of the main window, the view windows and the texture window:
// entry routing, window life cycle, resizing, painting, closing, menu help, tips and the
// driver switch.
#include <cstdio>
#include <string>

#include "app/edit_input.h"
#include "app/errors.h"
#include "app/globals.h"
#include "app/option_dialogs.h"
#include "app/render_settings.h"
#include "app/shell.h"
#include "app/toolbar_status.h"
#include "model/polygoni.h"
#include "views/viewport_data.h"

namespace {

constexpr char kSaveCaption[] = "Polygon";
constexpr int kFirstDriverCommand = 80;
constexpr int kLastDriverCommand = 84;
constexpr int kSaveCommand = 203;
constexpr int kExitCommand = 206;
constexpr WORD kAbout = 224;
constexpr WORD kViewportOptions = 256;
constexpr WORD kAutoZoom = 268;

HINSTANCE instance = nullptr;

void Mark(HMENU menu, UINT id, bool checked) {
  CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

LRESULT OnCreate(HMENU menu, LPARAM lparam) {
  if (!instance && lparam) instance = reinterpret_cast<const CREATESTRUCTA*>(lparam)->hInstance;
  for (UINT id : {262, 263, 264}) EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED);
  Mark(menu, 225, true);
  for (UINT id : {50, 265, 266, 257}) Mark(menu, id, false);
  Mark(menu, 272, true);
  for (UINT id = 273; id <= 277; ++id) Mark(menu, id, false);
  Mark(menu, 231, true);
  for (UINT id : {232, 233, 234, 285}) Mark(menu, id, false);
  SetCursor(LoadCursorA(instance ? instance : GetModuleHandleA(nullptr), MAKEINTRESOURCEA(202)));
  return 0;
}

void OnSize(int width, int height) {
  if (awaitingfeedback || vp_data.needfeedback) {
    awaitingfeedback = false;
    vp_data.needfeedback = false;
    return;
  }
  if (!viewportcreated) return;
  initdone = true;
  if (width == 0 || height == 0) {
    myglobs.bMinimized = TRUE;
    return;
  }
  const int toolheight = vp_data.toolheight;
  const UINT flags = SWP_NOZORDER | SWP_SHOWWINDOW;
  if (!myglobs.bMinimized) {
    awaitingfeedback = true;
    SetWindowPos(vp_data.hwndfront, nullptr, 0, toolheight + 4, width, height - 2 * toolheight, flags);
  }
  polygoner.NewDevice(width, height - 2 * toolheight);
  SetWindowPos(vp_data.hwndstatus, nullptr, 0, height - 2 * toolheight, width, toolheight, flags);
  GlobsToPolygon();
  vp_data.ArrangeViewports(vp_data.arrangement, 0, 0, true);
  PolygonToGlobs();
  myglobs.bMinimized = FALSE;
}

void OnPaint(HWND win) {
  if (!GetUpdateRect(win, nullptr, FALSE)) return;
  PAINTSTRUCT paint;
  BeginPaint(win, &paint);
  // The window device is the device itself here; there is no separate interface to fail.
  IDirect3DRMWinDevice* window_device = myglobs.dev;
  if (FAILED(window_device->HandlePaint(paint.hdc))) Msg("Failed to handle WM_PAINT.\n");
  EndPaint(win, &paint);
}

void OnClose(HWND win) {
  int answer = IDNO;
  if (polygoner.changed) {
    const std::string text = std::string("Save current changes in ") + polygoner.sztitlename + "?";
    answer = MessageBoxA(vp_data.hwndmain, text.c_str(), kSaveCaption, MB_YESNOCANCEL | MB_ICONQUESTION);
  }
  if (answer == IDCANCEL) {
    myglobs.bQuit = FALSE;
  } else if (answer == IDYES) {
    SendMessageA(win, WM_COMMAND, kSaveCommand, 0);
    myglobs.bQuit = FALSE;
  } else {
    myglobs.bQuit = TRUE;
    CleanUpAndPostQuit();
  }
}

// Marks `id` in the views group {231..234}, menu and toolbar, and clears the others.
void MarkView(HMENU menu, WORD id) {
  for (WORD view = 231; view <= 234; ++view) {
    Mark(menu, view, view == id);
    SendMessageA(hwndToolBar, TB_CHECKBUTTON, view, view == id);
  }
}

// The view commands 231..234: one, two, three views, and front with texture.
void ArrangeViews(HMENU menu, WORD id) {
  static constexpr view_state kLayouts[] = {front_v, frontside_v, frontsidetop_v, fronttexture_v};
  if (id == 232) ColorBackground();
  GlobsToPolygon();
  vp_data.ArrangeViewports(kLayouts[id - 231], 0, 0, true);
  PolygonToGlobs();
  MarkView(menu, id);
  if (id == 234) awaitingfeedback = true;
  const auto back = static_cast<D3DVALUE>(polygoner.viewback);
  if (myglobs.view1) myglobs.view1->SetBack(back);
  if ((id == 232 || id == 233) && myglobs.view2) myglobs.view2->SetBack(back);
  if (id == 233 && myglobs.view3) myglobs.view3->SetBack(back);
}

// 268: with automatic zoom the other cameras keep the active camera's distance to the
// cursor; without it they stay where they are.
void ToggleAutoZoom(HMENU menu) {
  if (vp_data.activezoom) {
    Mark(menu, kAutoZoom, false);
    vp_data.activezoom = false;
    vp_data.SetActive();
    return;
  }
  Mark(menu, kAutoZoom, true);
  vp_data.activezoom = true;
  Polygoni& m = polygoner;
  if (m.scene)
    for (IDirect3DRMFrame* camera : {m.view1, m.view2, m.view3})
      if (camera) m.scene->AddChild(camera);
  vp_data.ScaleViewports();
}

// Returns true when the command was handled here.
bool OnCommand(HWND win, HMENU menu, WORD id) {
  switch (id) {
    case kAbout: RunDialog(win, 1, AppAbout); return true;
    case kViewportOptions: RunDialog(win, 3, ViewDlgProc); return true;
    case kAutoZoom: ToggleAutoZoom(menu); return true;
    case 231:
    case 232:
    case 233:
    case 234: ArrangeViews(menu, id); return true;
    case kExitCommand:
      // Exit is the close path, save prompt included.
      SendMessageA(vp_data.hwndmain, WM_CLOSE, 0, 0);
      return true;
    default: return false;
  }
}

void SwitchDriver(HWND win, WORD id) {
  if (id < kFirstDriverCommand || id > kLastDriverCommand) return;
  const int driver = id - kFirstDriverCommand;
  if (driver == myglobs.CurrDriver) return;
  if (myglobs.view1) {
    if (vp_data.cview == myglobs.view1) vp_data.cview = nullptr;
    myglobs.view1->Release();
    myglobs.view1 = nullptr;
  }
  if (myglobs.dev) myglobs.dev->Release();
  myglobs.dev = nullptr;
  myglobs.CurrDriver = driver;
  RECT client;
  GetClientRect(win, &client);
  if (!CreateDevAndView(lpDDClipper, myglobs.CurrDriver, client.right, client.bottom)) CleanUpAndPostQuit();
}

}  // namespace

INT_PTR RunDialog(HWND owner, int id, DLGPROC procedure) {
  const INT_PTR result = DialogBoxParamA(instance ? instance : GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                         owner, procedure, 0);
  if (result == -1) Msg("DialogBox failed");
  return result;
}

LRESULT WindowProc(HWND win, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (win && win == vp_data.hwndtex && msg != WM_LBUTTONDOWN && msg != WM_LBUTTONUP && msg != WM_KEYDOWN)
    return Child_Proc(win, msg, wparam, lparam);
  if (polygoner.quit) CleanUpAndPostQuit();
  HMENU menu = GetMenu(win);

  switch (msg) {
    case WM_CREATE: return OnCreate(menu, lparam);
    case WM_DESTROY: CleanUpAndPostQuit(); return 0;
    case WM_SIZE: OnSize(LOWORD(lparam), HIWORD(lparam)); return 0;
    case WM_ACTIVATE:
      if (myglobs.dev) {
        IDirect3DRMWinDevice* window_device = myglobs.dev;
        if (FAILED(window_device->HandleActivate(LOWORD(wparam)))) Msg("Failed to handle WM_ACTIVATE.\n");
      }
      return 0;
    case WM_PAINT:
      if (!myglobs.bInitialized || !myglobs.dev) return DefWindowProcA(win, msg, wparam, lparam);
      OnPaint(win);
      return 0;
    case WM_CLOSE: OnClose(win); return 0;
    case WM_SYSCOLORCHANGE: SendMessageA(hwndToolBar, WM_SYSCOLORCHANGE, wparam, lparam); return 0;
    case WM_ACTIVATEAPP: EvActivateApp(static_cast<BOOL>(wparam)); return 0;
    case WM_MENUSELECT:
      MenuHelp(WM_MENUSELECT, wparam, lparam, GetMenu(vp_data.hwndmain), instance, vp_data.hwndstatus,
               &popstr.uiString);
      return 0;
    case WM_INITMENUPOPUP: return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: OnPointerMessage(msg, wparam, lparam, instance); return 0;
    case WM_KEYDOWN:
    case WM_KEYUP: OnKeyMessage(msg, wparam); return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lparam);
      if (header && header->code == TTN_NEEDTEXT) ToolTipText(reinterpret_cast<TOOLTIPTEXTA*>(header));
      return 0;
    }
    case WM_COMMAND: {
      const WORD id = LOWORD(wparam);
      const bool handled =
          OnCommand(win, menu, id) || OnEditCommand(win, menu, id) || OnModelCommand(win, menu, id) ||
          OnDocumentCommand(win, id) || OnTextureCommand(id);
      // After every command, handled or not.
      SwitchDriver(win, id);
      return handled ? 0 : DefWindowProcA(win, msg, wparam, lparam);
    }
    default: return DefWindowProcA(win, msg, wparam, lparam);
  }
}
