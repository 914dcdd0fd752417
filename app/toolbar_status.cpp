// The toolbar and status bar, the tips of the toolbar buttons, menu help and the title.
#include "app/toolbar_status.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "model/polygoni.h"
#include "views/viewport_data.h"

tagPOPUPSTRING popstr = {0, 0};

namespace {

constexpr BYTE kGroup = TBSTYLE_CHECKGROUP;
constexpr BYTE kCheck = TBSTYLE_CHECK;
constexpr BYTE kPlain = TBSTYLE_BUTTON;
constexpr BYTE kOn = TBSTATE_ENABLED;
constexpr TBBUTTON Button(int image, int command, BYTE style) { return {image, command, kOn, style, {}, 0, 0}; }
constexpr TBBUTTON Separator() { return {0, 0, kOn, TBSTYLE_SEP, {}, 0, 0}; }

constexpr UINT kToolbarId = 5;
constexpr UINT kStatusId = 7;
constexpr UINT_PTR kToolbarBitmap = 58;

}  // namespace

const TBBUTTON tbb[kToolbarButtons] = {
    Button(0, 225, kGroup),  Button(1, 50, kGroup),   Separator(),
    Button(2, 262, kGroup),  Button(3, 263, kGroup),  Button(4, 264, kGroup),
    Button(5, 265, kCheck),  Button(6, 266, kCheck),  Button(7, 286, kPlain),
    Separator(),             Button(8, 272, kGroup),  Button(9, 273, kGroup),
    Button(10, 275, kGroup), Button(11, 277, kGroup), Button(12, 285, kCheck),
    Separator(),             Button(13, 267, kCheck), Separator(),
    Button(14, 231, kGroup), Button(15, 232, kGroup), Button(16, 233, kGroup),
    Separator(),             Button(17, 271, kPlain), Button(18, 270, kPlain),
};

// Ids below 50 hold places no button uses.
const UINT CommandToString[kTipCount] = {225, 50,  3,   285, 286, 6,   7,   8,   9,   10,  265,
                                         266, 13,  14,  15,  262, 263, 264, 272, 273, 274, 275,
                                         276, 277, 267, 217, 269, 231, 232, 233, 234, 270, 271};
const char Strings[kTipCount][60] = {
    "Create new polygons",
    "Edit existing polygons",
    "ANNIMATION NOT SUPPORTED",
    "Display Points",
    "Center the Mesh",
    "NOT IMPLEMENTED",
    "NOT IMPLEMENTED",
    "NOT IMPLEMENTED",
    "NOT IMPLEMENTED",
    "NOT IMPLEMENTED",
    "Translate All",
    "Rotate All",
    "NOT IMPLEMENTED",
    "NOT IMPLEMENTED",
    "NOT IMPLEMENTED",
    "Translate selected mesh",
    "Rotate selected mesh",
    "Scale selected mesh",
    "Render the mesh as a solid wireframe",
    "Render the mesh as a solid",
    "Render the mesh as a solid",
    "Render the mesh as a wireframe",
    "Render the mesh as a wireframe",
    "Render only backfaces of polygons",
    "Orthographic mode",
    "Load a texture from disk",
    "Change the color of a mesh",
    "One Viewport",
    "Two Viewports",
    "Three Viewports",
    "Texture View",
    "Change the direction the last polygon created is facing",
    "Change the direction the selected polygons are facing",
};

HWND InitToolBar(HWND hwnd) {
  InitCommonControls();
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND toolbar = CreateToolbarEx(hwnd, WS_CHILD | WS_VISIBLE | CCS_TOP | WS_CLIPSIBLINGS | TBSTYLE_TOOLTIPS,
                                 kToolbarId, kToolbarImages, instance, kToolbarBitmap, tbb, kToolbarButtons, 0, 0, 0,
                                 0, sizeof(TBBUTTON));
  vp_data.toolheight = 26;
  SetWindowPos(toolbar, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

  HWND status = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | CCS_BOTTOM | WS_CLIPSIBLINGS, "Ready", hwnd, kStatusId);
  vp_data.hwndstatus = status;
  RECT frame;
  GetWindowRect(hwnd, &frame);
  const int q = frame.right / 4;
  int edges[4] = {q, static_cast<int>(1.5 * q), 2 * q, static_cast<int>(2.5 * q)};
  SendMessageA(status, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
  SendMessageA(status, SB_SIMPLE, FALSE, 0);
  SendMessageA(status, SB_SETTEXT, 0 | SBT_NOBORDERS, reinterpret_cast<LPARAM>("Ready"));
  SendMessageA(status, SB_SETTEXT, 1, reinterpret_cast<LPARAM>("x: 0"));
  SendMessageA(status, SB_SETTEXT, 2, reinterpret_cast<LPARAM>("y: 0"));
  SendMessageA(status, SB_SETTEXT, 3, reinterpret_cast<LPARAM>("z: 0"));
  ShowWindow(toolbar, SW_SHOW);
  return toolbar;
}

void ToolTipText(TOOLTIPTEXTA* tip) {
  int found = -1;
  for (int i = 0; i < kTipCount; ++i)
    if (CommandToString[i] == tip->hdr.idFrom) found = i;
  if (found < 0) return;
  std::snprintf(tip->szText, sizeof tip->szText, "%s", Strings[found]);
  tip->lpszText = tip->szText;
}

void Polygoni::UpdateText() {
  // Composed without a fixed buffer, so a long path is never cut.
  const std::string title = std::string("Facetry -  ") + filepath;
  SetWindowTextA(vp_data.hwndmain, title.c_str());
}
