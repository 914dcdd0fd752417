// The create/edit mode pair, the transform a drag of selected points does, the arming of
// the whole-model moves and the six render mixes of points, wires and faces.
#include <initializer_list>

#include "app/edit_input.h"
#include "app/globals.h"
#include "model/polygoni.h"
#include "views/mouse.h"

namespace {

constexpr WORD kCreate = 225;
constexpr WORD kEdit = 50;
constexpr WORD kTranslateMesh = 262;
constexpr WORD kRotateMesh = 263;
constexpr WORD kScaleMesh = 264;
constexpr WORD kTranslateAll = 265;
constexpr WORD kRotateAll = 266;
constexpr WORD kFirstRender = 272;
constexpr WORD kLastRender = 277;
constexpr WORD kWireframePoints = 275;
constexpr int kCreateCursor = 202;
constexpr int kEditCursor = 3;
constexpr int kTranslateAllCursor = 6;
constexpr int kRotateAllCursor = 7;

// Checks `id` in the menu and on the toolbar and clears the rest of its group.
void RadioMark(HMENU menu, std::initializer_list<UINT> group, UINT id) {
  for (UINT member : group) MarkCommand(menu, member, member == id);
}

void RenderMark(HMENU menu, UINT id) { RadioMark(menu, {272, 273, 274, 275, 276, 277}, id); }

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

void Create(HMENU menu) {
  the_mode = create;
  edit_mode = no;
  DeselectAllPoints();
  for (UINT id : {262, 263, 264}) {
    EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED);
    SendMessageA(hwndToolBar, TB_ENABLEBUTTON, id, FALSE);
  }
  RadioMark(menu, {kCreate, kEdit}, kCreate);
  ShowViewCursor(kCreateCursor, Instance());
  polygoner.ValidateMesh();
  polygoner.UpdateActive();
}

void Edit(HWND win, HMENU menu) {
  edit_mode = points;
  the_mode = edit;
  DeselectAllPoints();
  for (UINT id : {211, 212, 113, 262, 263, 264}) EnableMenuItem(menu, id, MF_BYCOMMAND | MF_ENABLED);
  for (UINT id : {262, 263, 264}) SendMessageA(hwndToolBar, TB_ENABLEBUTTON, id, TRUE);
  RadioMark(menu, {kCreate, kEdit}, kEdit);
  SendMessageA(hwndToolBar, TB_PRESSBUTTON, kTranslateMesh, TRUE);
  SendMessageA(win, WM_COMMAND, kTranslateMesh, 0);
  ShowViewCursor(kEditCursor, Instance());
  polygoner.ValidateMesh();
  // Edit mode has no half-drawn polygon.
  polygoner.Terminate();
}

// 262, 263, 264: what a drag of the selected points does; any whole-model move stops.
void TransformMesh(HMENU menu, WORD id) {
  Polygoni& m = polygoner;
  m.movethecamera = m.translatecam = m.rotatecam = false;
  MarkCommand(menu, kTranslateAll, false);
  MarkCommand(menu, kRotateAll, false);
  ShowViewCursor(kEditCursor + (id - kTranslateMesh), Instance());
  move_m = id == kTranslateMesh ? translate : id == kRotateMesh ? rotate : scale;
  m.center_mov = m.GetCenter();
  RadioMark(menu, {kTranslateMesh, kRotateMesh, kScaleMesh}, id);
}

// 265, 266: the next left click starts moving or turning the whole model.
void ArmWholeModelMove(HMENU menu, WORD id) {
  Polygoni& m = polygoner;
  const bool translating = id == kTranslateAll;
  m.translatecam = translating;
  m.rotatecam = !translating;
  ShowViewCursor(translating ? kTranslateAllCursor : kRotateAllCursor, Instance());
  // Switching from one whole-model command to the other keeps the transform that was in
  // force before the first, so ending the move still has one to go back to.
  if (move_m != translatecam && move_m != rotatecam) prem_m = move_m;
  move_m = translating ? translatecam : rotatecam;
  for (UINT transform : {kTranslateMesh, kRotateMesh, kScaleMesh}) MarkCommand(menu, transform, false);
  RadioMark(menu, {kTranslateAll, kRotateAll}, id);
}

void Render(HWND win, HMENU menu, WORD id) {
  Polygoni& m = polygoner;
  // Every mix but wireframe-with-points starts from it, so each leaves the same state
  // behind whatever was shown before.
  if (id != kWireframePoints) SendMessageA(win, WM_COMMAND, kWireframePoints, 0);
  RenderMark(menu, id);
  switch (id) {
    case 272:
      m.ChangeVisible(true, true);
      m.RemovePolygons();
      m.UpdateActive();
      m.ValidateMesh();
      rmode = PW;
      mouser.rdifference = {0, 0, 0};
      break;
    case 273:
      m.ChangeVisible(true, false);
      m.RemovePolygons();
      m.DrawPolygons(true, false, false, false);
      m.UpdateActive();
      rmode = PWM;
      break;
    case 274:
      m.ChangeVisible(false, false);
      m.RemovePolygons();
      m.DrawPolygons(true, false, false, false);
      m.UpdateActive();
      rmode = M;
      break;
    case 275:
      m.ChangeVisible(true, false);
      m.RemovePolygons();
      m.DrawPolygons(true, false, true, false);
      m.UpdateActive();
      rmode = WFP;
      break;
    case 276:
      m.ChangeVisible(false, false);
      m.RemovePolygons();
      m.DrawPolygons(true, false, true, false);
      m.UpdateActive();
      rmode = WF;
      break;
    case 277:
      m.ChangeVisible(true, false);
      m.RemovePolygons();
      m.DrawPolygons(true, true, false, false);
      m.pointsvis = true;
      m.wirevis = false;
      m.meshvis = true;
      m.UpdateActive();
      rmode = BF;
      m.DrawPolygons(true, true, false, false);
      break;
  }
}

}  // namespace

void SendRenderCommand() {
  SendMessageA(main_window, WM_COMMAND, static_cast<WPARAM>(kFirstRender + rmode), 0);
}

WORD TransformCommand() {
  switch (move_m) {
    case translate: return kTranslateMesh;
    case rotate: return kRotateMesh;
    case scale:
    case uniform_scale: return kScaleMesh;
    default: return 0;
  }
}

void SendTransformCommand() {
  if (const WORD command = TransformCommand()) SendMessageA(main_window, WM_COMMAND, command, 0);
}

void MarkCommand(HMENU menu, UINT id, bool on) {
  CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
  SendMessageA(hwndToolBar, TB_CHECKBUTTON, static_cast<WPARAM>(id), on ? TRUE : FALSE);
}

void ShowPointState(int index) {
  PointStuff& p = polygoner.pointdata[index];
  if (!p.frames) return;
  if (p.active)
    p.frames->SetColorRGB(1.0f, 1.0f, 1.0f);
  else
    p.frames->SetColorRGB(0.3f, 0.7f, 0.3f);
}

void DeselectAllPoints() {
  Polygoni& m = polygoner;
  for (int i = 0; i < m.num_points; ++i) {
    PointStuff& p = m.pointdata[i];
    p.selected = p.active = false;
    ShowPointState(i);
  }
}

bool OnEditCommand(HWND win, HMENU menu, WORD id) {
  if (id == kCreate) {
    Create(menu);
    return true;
  }
  if (id == kEdit) {
    Edit(win, menu);
    return true;
  }
  if (id >= kTranslateMesh && id <= kScaleMesh) {
    TransformMesh(menu, id);
    return true;
  }
  if (id == kTranslateAll || id == kRotateAll) {
    ArmWholeModelMove(menu, id);
    return true;
  }
  if (id >= kFirstRender && id <= kLastRender) {
    Render(win, menu, id);
    return true;
  }
  return false;
}
