// Commands on the whole model: selecting every point, flipping faces, showing the points,
// orthographic drawing, centring the mesh in front of the front camera, the clipboard and
// undo.
#include "app/edit_input.h"
#include "app/globals.h"
#include "model/polygoni.h"

namespace {

constexpr WORD kEdit = 50;
constexpr WORD kSelectAll = 211;
constexpr WORD kUnselectAll = 212;
constexpr WORD kToggleSelect = 113;
constexpr WORD kOrthographic = 267;
constexpr WORD kFlipLast = 270;
constexpr WORD kFlipSelected = 271;
constexpr WORD kShowPoints = 285;
constexpr WORD kCenterMesh = 286;
constexpr WORD kCut = 207;
constexpr WORD kCopy = 208;
constexpr WORD kPaste = 209;
constexpr WORD kUndo = 283;
constexpr WORD kEnableUndo = 284;
constexpr int kEditBuffer = 0;
// Where Center Mesh puts the model frame and the cursor, straight ahead of the front camera.
constexpr float kCenterDepth = 30.0f;

// 211, 212, 113: the selection flags of every point at once; selecting works in edit mode.
void SelectPoints(HWND win, WORD id) {
  if (the_mode != edit) SendMessageA(main_window ? main_window : win, WM_COMMAND, kEdit, 0);
  Polygoni& m = polygoner;
  for (int i = 0; i < m.num_points; ++i) {
    PointStuff& p = m.pointdata[i];
    p.selected = false;
    p.active = id == kSelectAll ? true : id == kUnselectAll ? false : !p.active;
    ShowPointState(i);
  }
  m.UpdateActive();
}

// The elements become the last children of `parent`, points first, keeping their own
// transforms (so a move of the model frame in between carries none of them along).
void SetParentOfElements(IDirect3DRMFrame* parent) {
  Polygoni& m = polygoner;
  for (int i = 0; i < m.num_points; ++i)
    if (m.pointdata[i].frames) parent->AddChildLast(m.pointdata[i].frames);
  for (int i = 0; i < m.num_wireframes; ++i)
    if (m.wiredata[i].wireframes) parent->AddChildLast(m.wiredata[i].wireframes);
}

void MarkEveryPoint(bool selected) {
  Polygoni& m = polygoner;
  for (int i = 0; i < m.num_points; ++i) m.pointdata[i].selected = selected;
}

// 286: the model frame goes back to its start in front of the front camera, unturned,
// with the cursor on it; the elements are re-laid from where their frames are.
void CenterMesh() {
  Polygoni& m = polygoner;
  if (!m.scene || !m.world_frame || !m.world_frame2 || !m.view1) return;
  m.world_frame2->SetOrientation(m.scene, 0, 0, 1, 0, 1, 0);
  // The place is taken before anything moves: the front camera may ride on the cursor
  // (automatic zoom), and would then move away with it.
  const D3DVECTOR ahead{0, 0, kCenterDepth};
  D3DVECTOR world{0, 0, 0}, target{0, 0, 0};
  m.view1->Transform(&world, &ahead);
  m.scene->InverseTransform(&target, &world);
  m.world_frame2->SetPosition(m.scene, target.x, target.y, target.z);
  m.world_frame->SetPosition(m.scene, target.x, target.y, target.z);
  SetParentOfElements(m.scene);
  for (int i = 0; i < m.num_points; ++i) {
    PointStuff& p = m.pointdata[i];
    if (p.frames) p.frames->GetPosition(m.scene, &p.point);
  }
  m.movelatch = true;
  MarkEveryPoint(true);
  const modify_mode saved = move_m;
  move_m = translate;
  m.MoveSelectedPoints();
  move_m = saved;
  m.movelatch = false;
  MarkEveryPoint(false);
  // The move above wrote every face from these same positions; this only lays the wires.
  m.ValidateMesh();
}

}  // namespace

bool OnModelCommand(HWND win, HMENU menu, WORD id) {
  Polygoni& m = polygoner;
  switch (id) {
    case kSelectAll:
    case kUnselectAll:
    case kToggleSelect: SelectPoints(win, id); return true;
    case kOrthographic:
      m.orthocreate = !m.orthocreate;
      MarkCommand(menu, kOrthographic, m.orthocreate);
      return true;
    case kFlipLast: m.ChangeLastFace(); return true;
    case kFlipSelected: m.ChangeSelectedFace(); return true;
    case kShowPoints:
      m.points = !m.points;
      MarkCommand(menu, kShowPoints, m.points);
      m.UpdateActive();
      return true;
    case kCenterMesh: CenterMesh(); return true;
    case kCut:
    case kCopy:
      m.snip_mode[kEditBuffer] = id == kCut ? cut : copy;
      m.Cut(kEditBuffer, false);
      m.readytopaste[kEditBuffer] = true;
      return true;
    case kPaste:
      m.StoreUndo();
      m.snip_mode[kEditBuffer] = paste;
      m.Paste(true, true, kEditBuffer, false);
      m.readytopaste[kEditBuffer] = true;
      return true;
    case kUndo:
      m.Revert();
      EnableMenuItem(menu, kUndo, MF_BYCOMMAND | MF_GRAYED);
      return true;
    case kEnableUndo: EnableMenuItem(menu, kUndo, MF_BYCOMMAND | MF_ENABLED); return true;
    default: return false;
  }
}
