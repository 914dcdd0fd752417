// The create/edit mode pair and the six render mixes of points, wires and faces.
#include <initializer_list>

#include "app/edit_input.h"
#include "app/globals.h"
#include "model/polygoni.h"
#include "views/mouse.h"

namespace {

constexpr WORD kCreate = 225;
constexpr WORD kEdit = 50;
constexpr WORD kTranslateMesh = 262;
constexpr WORD kFirstRender = 272;
constexpr WORD kLastRender = 277;
constexpr WORD kWireframePoints = 275;
constexpr int kCreateCursor = 202;
constexpr int kEditCursor = 3;

// Checks `id` in the menu and on the toolbar and clears the rest of its group.
void RadioMark(HMENU menu, std::initializer_list<UINT> group, UINT id) {
  for (UINT member : group) {
    const bool on = member == id;
    CheckMenuItem(menu, member, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    SendMessageA(hwndToolBar, TB_CHECKBUTTON, static_cast<WPARAM>(member), on ? TRUE : FALSE);
  }
}

void RenderMark(HMENU menu, UINT id) { RadioMark(menu, {272, 273, 274, 275, 276, 277}, id); }

void DeselectAll() {
  Polygoni& m = polygoner;
  for (int i = 0; i < m.num_points; ++i) {
    PointStuff& p = m.pointdata[i];
    p.selected = p.active = false;
    if (p.frames) p.frames->SetColorRGB(0.3f, 0.7f, 0.3f);
  }
}

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

void Create(HMENU menu) {
  the_mode = create;
  edit_mode = no;
  DeselectAll();
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
  DeselectAll();
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

bool OnEditCommand(HWND win, HMENU menu, WORD id) {
  if (id == kCreate) {
    Create(menu);
    return true;
  }
  if (id == kEdit) {
    Edit(win, menu);
    return true;
  }
  if (id >= kFirstRender && id <= kLastRender) {
    Render(win, menu, id);
    return true;
  }
  return false;
}
