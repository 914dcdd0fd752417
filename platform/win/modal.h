// The one seam through which modal interaction is answered without a person: tests (and
// headless runs) install a responder instead of letting a box or dialog wait for input.
#pragma once

#include <functional>
#include <string>

#include "platform/win/win.h"

struct ModalResponder {
  // Answers a message box: gets its caption, text and MB_ type, returns the button id
  // (IDOK, IDCANCEL, IDYES, IDNO, ...).
  std::function<int(const std::string& caption, const std::string& text, UINT type)> answer_box;
  // Drives a dialog made from a template instead of showing it: gets the dialog window
  // after its procedure has seen WM_INITDIALOG and sends it what a user would cause; the
  // dialog's end result is returned to its caller. A dialog still open when the driver
  // returns is cancelled as Escape would.
  std::function<void(HWND dialog)> drive_dialog;
};

// Installs the responder; an empty one restores normal behaviour. Without a responder, on
// Qt's non-interactive platforms ("offscreen", "minimal"), a box writes its caption and
// text to standard error and returns its default button, and a dialog writes its caption
// and is cancelled.
void SetModalResponder(ModalResponder responder);
const ModalResponder& GetModalResponder();

// The layer's own call for drivers: clicks a dialog's button as a user would (an auto
// check box toggles, an auto radio button takes the check from its group, the procedure
// hears WM_COMMAND). FALSE for a missing or disabled button, or an ended dialog.
BOOL ClickDlgButton(HWND dialog, int id);
