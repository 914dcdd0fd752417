// The main window's option dialogs.
#include "app/option_dialogs.h"

#include "model/polygoni.h"

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
