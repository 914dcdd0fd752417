// Mouse and keyboard input of the view windows: the messages only record the pointer and
// set flags; the cursor's per-pass update does the continuous work.
#include <cstdio>

#include "app/edit_input.h"
#include "app/errors.h"
#include "app/globals.h"
#include "app/option_dialogs.h"
#include "app/shell.h"
#include "model/polygoni.h"
#include "model/selection_box.h"
#include "platform/rm/d3drm.h"
#include "texture/texture.h"
#include "views/mouse.h"
#include "views/viewport_data.h"

namespace {

constexpr char kTraceFile[] = "qel.tst";
constexpr WORD kTranslateAll = 265;
constexpr WORD kRotateAll = 266;
constexpr int kCreateCursor = 202;
constexpr int kTranslateAllCursor = 6;
constexpr int kRotateAllCursor = 7;

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

namespace {

// The second left click of a whole-model move ends it and goes back to what a drag did
// before the move was armed.
void EndWholeModelMove(HINSTANCE instance) {
  Polygoni& m = polygoner;
  HMENU menu = GetMenu(main_window);
  m.movethecamera = m.translatecam = m.rotatecam = false;
  MarkCommand(menu, kTranslateAll, false);
  MarkCommand(menu, kRotateAll, false);
  move_m = prem_m;
  if (the_mode == edit) {
    if (const WORD transform = TransformCommand()) {
      SendMessageA(main_window, WM_COMMAND, transform, 0);
      // The menu loses the mark; the toolbar keeps the button pressed.
      CheckMenuItem(menu, transform, MF_BYCOMMAND | MF_UNCHECKED);
    }
  } else if (the_mode == create) {
    ShowViewCursor(kCreateCursor, instance);
  }
  m.ValidateMesh();
}

// The first left click after Translate All or Rotate All: the model follows the pointer
// around the point ahead of the front camera at the cursor's depth.
void StartWholeModelMove(bool translating, HINSTANCE instance) {
  Polygoni& m = polygoner;
  HMENU menu = GetMenu(main_window);
  m.first = true;
  ShowViewCursor(translating ? kTranslateAllCursor : kRotateAllCursor, instance);
  m.center_mov = m.GetViewCenter();
  move_m = translating ? translate : rotate;
  m.movethecamera = true;
  CheckMenuItem(menu, kTranslateAll, MF_BYCOMMAND | (translating ? MF_CHECKED : MF_UNCHECKED));
  CheckMenuItem(menu, kRotateAll, MF_BYCOMMAND | (translating ? MF_UNCHECKED : MF_CHECKED));
}

// A press on the hovered point `index`: Shift adds it, Ctrl turns it over, neither makes it
// the only one; the selection then follows the cursor until the release.
void PickPoint(int index) {
  Polygoni& m = polygoner;
  PointStuff& p = m.pointdata[index];
  m.world_frame->SetPosition(m.scene, p.point.x, p.point.y, p.point.z);
  if (m.shift) p.active = true;
  if (ctrl) p.active = !p.active;
  if (!m.shift && !ctrl) {
    DeselectAllPoints();
    p.active = true;
  }
  if (p.active) {
    for (int i = 0; i < m.num_points; ++i) {
      if (!m.pointdata[i].active) continue;
      m.pointdata[i].selected = true;
      ShowPointState(i);
    }
  }
  m.move_selected = true;
  m.movelatch = false;
  m.world_frame->GetPosition(m.scene, &m.stickpos);
  m.center_mov = m.GetCenter();
}

// A press away from any hovered point starts a box at the cursor.
void StartBox(IDirect3DRMFrame* camera) {
  Polygoni& m = polygoner;
  inspace = true;
  m.world_frame->GetPosition(camera, &selectionbox.UL);
  selectionbox.latch = true;
  m.makebox = true;
  if (!ctrl && !m.shift) DeselectAllPoints();
}

void OnLeftDown(HINSTANCE instance) {
  Polygoni& m = polygoner;
  if (m.movethecamera) {
    EndWholeModelMove(instance);
    return;
  }
  // With no view numbered 1 to 3 active, the front view's camera stands in.
  IDirect3DRMFrame* camera = m.ActiveCamera();
  if (m.translatecam || m.rotatecam) {
    StartWholeModelMove(m.translatecam, instance);
  } else if (the_mode == create) {
    m.CreateWire(nullptr);
  } else if (the_mode == texturemap) {
    // A press that picks no corner starts a rubber band in the texture view.
    POINT at{0, 0};
    GetCursorPos(&at);
    ScreenToClient(vp_data.hwndtex, &at);
    texture.createbox = true;
    texture.TestForSelected(at.x, at.y, ctrl);
    texture.last = true;
    texture.boxbegin = at;
  } else if (the_mode == edit && edit_mode == points && m.world_frame && m.scene && camera) {
    // A hovered index that names no point starts a box like empty space does.
    if (m.selectedpoint >= 0 && m.selectedpoint < m.num_points)
      PickPoint(m.selectedpoint);
    else
      StartBox(camera);
    m.UpdateActive();
    texture.UpdatePoints();
  }
  SweepLoosePoints();
}

void OnLeftUp() {
  Polygoni& m = polygoner;
  m.movelatch = true;
  texture.createbox = false;
  if (the_mode == texturemap) {
    texture.texmove = false;
    return;
  }
  IDirect3DRMFrame* camera = m.ActiveCamera();
  if (the_mode != edit || edit_mode != points || !m.world_frame || !camera) return;
  D3DVECTOR corner{0, 0, 0};
  m.world_frame->GetPosition(camera, &corner);
  selectionbox.SetLR(corner);
  m.makebox = m.move_selected = false;
  for (int i = 0; i < m.num_points; ++i) {
    m.pointdata[i].selected = false;
    ShowPointState(i);
  }
  if (inspace) {
    selectionbox.Release();
    inspace = false;
  }
}

// Delete asks what to delete, faces or points, when some point is selected.
void DeleteKey() {
  Polygoni& m = polygoner;
  int active = 0;
  for (int i = 0; i < m.num_points && active == 0; ++i) active += m.pointdata[i].active;
  if (active == 0) return;
  constexpr int kDeleteDialog = 2;
  // A dialog that could not be shown (-1) chose nothing, so nothing is deleted.
  const INT_PTR result = RunDialog(main_window, kDeleteDialog, DeleteDlgProc);
  if (result != 1 && result != -1) m.DeleteSelected(true);
}

}  // namespace

void OnPointerMessage(UINT msg, WPARAM wparam, LPARAM lparam, HINSTANCE instance) {
  switch (msg) {
    case WM_MOUSEMOVE:
      intex = false;
      SetCursor(LoadCursorA(instance ? instance : GetModuleHandleA(nullptr), MAKEINTRESOURCEA(myglobs.curIde)));
      myglobs.mouse_buttons = static_cast<int>(wparam);
      myglobs.mouse_x = static_cast<short>(LOWORD(lparam));
      myglobs.mouse_y = static_cast<short>(HIWORD(lparam));
      break;
    case WM_RBUTTONDOWN: mouser.reverse = true; break;
    case WM_RBUTTONUP: mouser.reverse = false; break;
    case WM_LBUTTONDOWN: OnLeftDown(instance); break;
    case WM_LBUTTONUP: OnLeftUp(); break;
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
        case VK_DELETE: DeleteKey(); break;
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
