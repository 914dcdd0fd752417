// The shape library: the Create Shape dialog picks a primitive and its segments; the
// primitive's file (3DS chunks, in Shapes/ beside the program) is merged into the model
// and scaled about the mesh centre.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/edit_input.h"
#include "app/globals.h"
#include "app/option_dialogs.h"
#include "model/polygoni.h"
#include "views/mouse.h"

namespace {

constexpr int kShapeBox = 101;
constexpr int kSegmentsBox = 102;
constexpr int kScaleX = 103, kScaleY = 104, kScaleZ = 105;
constexpr int kScaleTextLength = 10;

struct ShapeKind {
  const char* name;    // in the combo box
  const char* prefix;  // of its files
  std::vector<const char*> segments;
};

const std::vector<ShapeKind>& Kinds() {
  static const std::vector<ShapeKind> kinds = {
      {"Cube", "Cube_", {"1x1x1", "1x2x1", "1x2x2", "1x3x1", "1x3x3", "1x2x3", "2x2x3", "2x2x2", "3x3x3", "3x3x2"}},
      {"Sphere", "Sphere_", {"4", "6", "8", "10", "12", "14", "16", "18", "20"}},
      {"Cylinder", "Cylinder_", {"3", "4", "6", "8", "10", "12", "14", "16", "18"}},
      {"Plane", "Plane_", {"2x2", "3x3", "4x4", "5x5", "6x6"}},
  };
  return kinds;
}

// The combo box entry each shape number selects, by the beginning of its text.
constexpr const char* kSelectPrefix[] = {"Cu", "S", "Cy", "P"};

const ShapeKind& KindOf(int shape) { return Kinds()[static_cast<size_t>(shape < 0 || shape > 3 ? 0 : shape)]; }

void FillSegments(HWND dialog, int shape) {
  SendDlgItemMessageA(dialog, kSegmentsBox, LB_RESETCONTENT, 0, 0);
  for (const char* segment : KindOf(shape).segments)
    SendDlgItemMessageA(dialog, kSegmentsBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(segment));
}

void Open(HWND dialog) {
  char five[16];
  std::snprintf(five, sizeof five, "%1.0i", 5);
  for (int id : {kScaleX, kScaleY, kScaleZ}) SetDlgItemTextA(dialog, id, five);
  for (const ShapeKind& kind : Kinds())
    SendDlgItemMessageA(dialog, kShapeBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kind.name));
  const int shape = polygoner.shape < 0 || polygoner.shape > 3 ? 0 : polygoner.shape;
  SendDlgItemMessageA(dialog, kShapeBox, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                      reinterpret_cast<LPARAM>(kSelectPrefix[shape]));
  FillSegments(dialog, shape);
  SendDlgItemMessageA(dialog, kSegmentsBox, LB_SETCURSEL, 0, 0);
}

std::string ItemText(HWND dialog, int id, UINT length_message, UINT text_message, int item) {
  const LRESULT length = SendDlgItemMessageA(dialog, id, length_message, static_cast<WPARAM>(item), 0);
  if (length < 0) return {};
  std::string text(static_cast<size_t>(length) + 30, '\0');
  SendDlgItemMessageA(dialog, id, text_message, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::strlen(text.c_str()));
  return text;
}

void ShapeChanged(HWND dialog) {
  const auto item = static_cast<int>(SendDlgItemMessageA(dialog, kShapeBox, CB_GETCURSEL, 0, 0));
  const std::string name = ItemText(dialog, kShapeBox, CB_GETLBTEXTLEN, CB_GETLBTEXT, item);
  int& shape = polygoner.shape;
  if (name.rfind("Cu", 0) == 0)
    shape = 0;
  else if (name.rfind("C", 0) == 0)
    shape = 2;
  else if (name.rfind("P", 0) == 0)
    shape = 3;
  else if (name.rfind("S", 0) == 0)
    shape = 1;
  FillSegments(dialog, shape);
}

float ScaleValue(HWND dialog, int id, bool whole) {
  char text[kScaleTextLength + 1] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return whole ? static_cast<float>(std::atoi(text)) : static_cast<float>(std::atof(text));
}

void MergeShape(HWND dialog) {
  Polygoni& m = polygoner;
  // The selected segment: the last item the list box shows selected.
  const auto count = static_cast<int>(SendDlgItemMessageA(dialog, kSegmentsBox, LB_GETCOUNT, 0, 0));
  int chosen = -1;
  for (int i = 0; i < count; ++i)
    if (SendDlgItemMessageA(dialog, kSegmentsBox, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0) chosen = i;
  // No segment, no shape.
  if (chosen < 0) return;
  const std::string segment = ItemText(dialog, kSegmentsBox, LB_GETTEXTLEN, LB_GETTEXT, chosen);
  const ShapeKind& kind = KindOf(m.shape);
  std::string title = std::string(kind.prefix) + segment + ".uit";
  std::string path = std::string(m.shapepath) + "Shapes/" + title;

  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = dialog;
  ofn.lpstrFilter = "All\0*.*\0DirectX\0*.X\0_3D Studio\0*.3DS\0";
  ofn.lpstrFile = path.data();
  ofn.nMaxFile = static_cast<DWORD>(path.size() + 1);
  ofn.lpstrFileTitle = title.data();
  ofn.nMaxFileTitle = static_cast<DWORD>(title.size() + 1);
  ofn.lpstrDefExt = "3ds";
  ofn.nFileOffset = static_cast<WORD>(path.size() - title.size());
  ofn.nFileExtension = static_cast<WORD>(path.rfind('.') + 1);

  const float x = ScaleValue(dialog, kScaleX, false);
  const float y = ScaleValue(dialog, kScaleY, false);
  const float z = ScaleValue(dialog, kScaleZ, true);
  m.merge = true;
  m.ctitle = false;
  m.ReadFile(ofn, title.data(), dialog, 1, 1, 1, true);
  m.ctitle = true;
  m.merge = false;
  m.movethecamera = m.translatecam = m.rotatecam = false;

  const modify_mode saved = move_m;
  move_m = scale;
  mouser.rdifference = {-std::abs(x), std::abs(y), std::abs(z)};
  m.move_selected = true;
  for (int i = 0; i < m.num_points; ++i) m.pointdata[i].selected = m.pointdata[i].active;
  m.center_mov = m.GetCenter();
  // A scale of the selection, not a drag: no dead zone.
  const bool latch = m.movelatch;
  m.movelatch = true;
  m.MoveSelectedPoints();
  m.movelatch = latch;
  for (int i = 0; i < m.num_points; ++i) m.pointdata[i].selected = false;
  m.move_selected = false;
  mouser.rdifference = {0, 0, 0};
  move_m = saved;

  SendTransformCommand();
  for (int i = 0; i < m.num_points; ++i) ShowPointState(i);
}

}  // namespace

INT_PTR ShapeDlgProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM /*lparam*/) {
  if (msg == WM_INITDIALOG) {
    Open(dialog);
    return TRUE;
  }
  if (msg != WM_COMMAND) return FALSE;
  switch (LOWORD(wparam)) {
    case kShapeBox:
      if (HIWORD(wparam) == CBN_SELCHANGE) ShapeChanged(dialog);
      return FALSE;
    case IDOK:
      MergeShape(dialog);
      EndDialog(dialog, 0);
      return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    default: return FALSE;
  }
}
