// The main window's option dialogs.
#include "app/option_dialogs.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/edit_input.h"
#include "app/errors.h"
#include "app/globals.h"
#include "app/render_settings.h"
#include "model/polygoni.h"
#include "texture/texture.h"
#include "views/viewport_data.h"

namespace {

constexpr WORD kCancelDelete = 2;
constexpr WORD kDeleteFaces = 101;
constexpr WORD kDeletePoints = 102;

}  // namespace

INT_PTR DeleteDlgProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM /*lparam*/) {
  Polygoni& m = polygoner;
  m.cancel = false;
  if (msg == WM_INITDIALOG) return TRUE;
  if (msg == WM_COMMAND) {
    switch (LOWORD(wparam)) {
      case kCancelDelete:
        m.cancel = true;
        EndDialog(dialog, 1);
        return TRUE;
      case kDeleteFaces:
        m.delete_points = false;
        EndDialog(dialog, 0);
        return TRUE;
      case kDeletePoints:
        m.delete_points = true;
        EndDialog(dialog, 0);
        return TRUE;
      default: break;
    }
  }
  m.cancel = false;
  return FALSE;
}

INT_PTR ReplaceDlgProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM /*lparam*/) {
  if (msg == WM_INITDIALOG) return TRUE;
  if (msg != WM_COMMAND) return FALSE;
  const WORD id = LOWORD(wparam);
  if (id != IDOK && id != IDCANCEL) return FALSE;
  polygoner.outcome = id == IDOK;
  EndDialog(dialog, 0);
  return TRUE;
}

INT_PTR AppAbout(HWND dialog, UINT msg, WPARAM wparam, LPARAM /*lparam*/) {
  if (msg == WM_INITDIALOG) return TRUE;
  // The window's close button and Escape close it too, or it could not be closed but by OK.
  if (msg == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
    EndDialog(dialog, 1);
    return TRUE;
  }
  return FALSE;
}

namespace {

// The viewport settings as the dialog found them, for Cancel, which may come in a later
// message than the one that opened the dialog.
struct DialogData {
  snap_view snap1, snap2, snap3;
  bool orthoview;
  view_state arrangement;
};
DialogData tempd;

constexpr int kOneView = 101, kTwoViews = 102, kThreeViews = 103, kTextureView = 111;
constexpr int kFrontView = 104, kBackView = 105, kRightView = 106, kTopView = 107, kLeftView = 108,
              kBottomView = 109;
constexpr int kPerspective = 114;

void Check(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

// Marks `id` among the four layouts, clears the six view buttons, then marks the views
// the layout shows from the current settings.
void ChooseLayout(HWND dialog, int id, view_state layout) {
  ViewPortData& v = vp_data;
  for (int layout_id : {kOneView, kTwoViews, kThreeViews, kTextureView}) Check(dialog, layout_id, layout_id == id);
  for (int view_id : {kFrontView, kBackView, kRightView, kTopView, kLeftView, kBottomView}) Check(dialog, view_id, false);
  const bool second = layout == frontside_v || layout == frontsidetop_v;
  const bool third = layout == frontsidetop_v;
  if (second && v.snap2 == lside) Check(dialog, kLeftView, true);
  if (v.snap1 == front) Check(dialog, kFrontView, true);
  if (third && v.snap3 == top) Check(dialog, kTopView, true);
  if (v.snap1 == back) Check(dialog, kBackView, true);
  if (second && v.snap2 == rside) Check(dialog, kRightView, true);
  if (third && v.snap3 == bottom) Check(dialog, kBottomView, true);
  v.arrangement = layout;
}

void OpenViewOptions(HWND dialog) {
  const ViewPortData& v = vp_data;
  static constexpr int kLayoutButton[] = {kOneView, kTwoViews, kThreeViews, kTextureView};
  Check(dialog, kLayoutButton[v.arrangement], true);
  Check(dialog, v.snap1 == front ? kFrontView : kBackView, true);
  if (v.arrangement == frontside_v || v.arrangement == frontsidetop_v)
    Check(dialog, v.snap2 == lside ? kLeftView : kRightView, true);
  if (v.arrangement == frontsidetop_v) Check(dialog, v.snap3 == top ? kTopView : kBottomView, true);
  if (v.orthoview) Check(dialog, kPerspective, true);
  tempd = {v.snap1, v.snap2, v.snap3, v.orthoview, v.arrangement};
}

void AcceptViewOptions(HWND dialog) {
  ViewPortData& v = vp_data;
  Polygoni& m = polygoner;
  if (!m.dev) Msg("device is NULL");
  GlobsToPolygon();
  m.SnapViews(&m.view1, v.snap1, &v.snap1);
  m.SnapViews(&m.view2, v.snap2, &v.snap2);
  m.SnapViews(&m.view3, v.snap3, &v.snap3);
  v.ArrangeViewports(v.arrangement, 0, 0, false);
  EndDialog(dialog, 0);
  const D3DRMPROJECTIONTYPE projection = v.orthoview ? D3DRMPROJECT_ORTHOGRAPHIC : D3DRMPROJECT_PERSPECTIVE;
  if (myglobs.view1) myglobs.view1->SetProjection(projection);
  if (v.sideenabled && myglobs.view2) myglobs.view2->SetProjection(projection);
  if (v.topenabled && myglobs.view3) myglobs.view3->SetProjection(projection);
  // An orthographic view shows the scene at its own size; it is made smaller once per run.
  if (v.orthoview && !v.blownup) {
    if (m.scene) m.scene->AddScale(D3DRMCOMBINE_AFTER, 0.2f, 0.2f, 0.2f);
    v.blownup = true;
  }
  PolygonToGlobs();
}

}  // namespace

INT_PTR ViewDlgProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM /*lparam*/) {
  Polygoni& m = polygoner;
  ViewPortData& v = vp_data;
  m.cancel = false;
  if (msg == WM_INITDIALOG) {
    OpenViewOptions(dialog);
    return TRUE;
  }
  if (msg != WM_COMMAND) return FALSE;
  const bool second = v.arrangement == frontside_v || v.arrangement == frontsidetop_v;
  const bool third = v.arrangement == frontsidetop_v;
  switch (LOWORD(wparam)) {
    case kOneView: ChooseLayout(dialog, kOneView, front_v); break;
    case kTwoViews: ChooseLayout(dialog, kTwoViews, frontside_v); break;
    case kThreeViews: ChooseLayout(dialog, kThreeViews, frontsidetop_v); break;
    case kTextureView: ChooseLayout(dialog, kTextureView, fronttexture_v); break;
    case kFrontView:
    case kBackView:
      Check(dialog, kFrontView, LOWORD(wparam) == kFrontView);
      Check(dialog, kBackView, LOWORD(wparam) == kBackView);
      v.snap1 = LOWORD(wparam) == kFrontView ? front : back;
      break;
    case kLeftView:
      Check(dialog, kLeftView, second);
      Check(dialog, kRightView, false);
      if (second) v.snap2 = lside;
      break;
    case kRightView:
      if (second) {
        Check(dialog, kLeftView, false);
        Check(dialog, kRightView, true);
        v.snap2 = rside;
      }
      break;
    case kTopView:
    case kBottomView:
      if (third) {
        v.snap3 = LOWORD(wparam) == kTopView ? top : bottom;
        Check(dialog, kTopView, v.snap3 == top);
        Check(dialog, kBottomView, v.snap3 == bottom);
      }
      break;
    case kPerspective:
      v.orthoview = !v.orthoview;
      Check(dialog, kPerspective, v.orthoview);
      break;
    case IDOK: AcceptViewOptions(dialog); break;
    case IDCANCEL:
      v.snap1 = tempd.snap1;
      v.snap2 = tempd.snap2;
      v.snap3 = tempd.snap3;
      v.arrangement = tempd.arrangement;
      v.orthoview = tempd.orthoview;
      EndDialog(dialog, 0);
      break;
    default: m.cancel = false; return FALSE;
  }
  return TRUE;
}

namespace {

constexpr int kFirstChannel = 101, kChannels = 6;
constexpr int kValueLabelOffset = 100;  // each bar's value is shown in the label id + 100
constexpr int kPowerEdit = 107;
constexpr int kPageStep = 15;
int channel_values[kChannels];

void ShowChannel(HWND dialog, int index) {
  HWND bar = GetDlgItem(dialog, kFirstChannel + index);
  SetScrollPos(bar, SB_CTL, channel_values[index], TRUE);
  SetDlgItemTextA(dialog, kFirstChannel + index + kValueLabelOffset, std::to_string(channel_values[index]).c_str());
}

int Clamped(int v) { return std::clamp(v, 0, 255); }

}  // namespace

INT_PTR MaterialDlgProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_INITDIALOG:
      for (int i = 0; i < kChannels; ++i) {
        SetScrollRange(GetDlgItem(dialog, kFirstChannel + i), SB_CTL, 0, 255, TRUE);
        channel_values[i] = 0;
        ShowChannel(dialog, i);
      }
      SetDlgItemTextA(dialog, kPowerEdit, "5.0");
      return TRUE;
    case WM_HSCROLL: {
      const int index = GetDlgCtrlID(reinterpret_cast<HWND>(lparam)) - kFirstChannel;
      if (index < 0 || index >= kChannels) return FALSE;
      int& v = channel_values[index];
      switch (LOWORD(wparam)) {
        case SB_LINELEFT: v = Clamped(v - 1); break;
        case SB_LINERIGHT: v = Clamped(v + 1); break;
        // A page is a step of 15 and then the clamped step of 1.
        case SB_PAGELEFT: v = Clamped(v - kPageStep - 1); break;
        case SB_PAGERIGHT: v = Clamped(v + kPageStep + 1); break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: v = HIWORD(wparam); break;
        case SB_LEFT: v = 0; break;
        case SB_RIGHT: v = 255; break;
        default: return FALSE;
      }
      ShowChannel(dialog, index);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        for (int i = 0; i < 3; ++i) {
          texture.emissive[i] = GetScrollPos(GetDlgItem(dialog, kFirstChannel + i), SB_CTL);
          texture.specular[i] = GetScrollPos(GetDlgItem(dialog, kFirstChannel + 3 + i), SB_CTL);
        }
        char power[11] = {};
        GetDlgItemTextA(dialog, kPowerEdit, power, sizeof power);
        // A material's power cannot be negative; what reads as less than 0 (or as no
        // number) is taken as 0, as text that is no number at all already is.
        const float typed = static_cast<float>(std::atof(power));
        texture.power = typed >= 0.0f ? typed : 0.0f;
        texture.material_set = true;
        EndDialog(dialog, 0);
        SendRenderCommand();
        return TRUE;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      return FALSE;
    default: return FALSE;
  }
}
