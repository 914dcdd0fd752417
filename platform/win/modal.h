// The one seam through which modal interaction is answered without a person: tests (and
// headless runs) install a responder instead of letting a box or dialog wait for input.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/win/win.h"

// Declared here too: commdlg.h, included first, brings this header in before its own body.
struct OPENFILENAMEA;
struct CHOOSECOLORA;

struct ModalResponder {
  // Answers a message box: gets its caption, text and MB_ type, returns the button id
  // (IDOK, IDCANCEL, IDYES, IDNO, ...).
  std::function<int(const std::string& caption, const std::string& text, UINT type)> answer_box;
  // Drives a dialog made from a template instead of showing it: gets the dialog window
  // after its procedure has seen WM_INITDIALOG and sends it what a user would cause; the
  // dialog's end result is returned to its caller. A dialog still open when the driver
  // returns is cancelled as Escape would.
  std::function<void(HWND dialog)> drive_dialog;
  // Answers a file dialog (save: GetSaveFileNameA): gets the request as the program made
  // it and returns the path the user chose, or nullopt for cancel. The answer stands for
  // the whole exchange with the user, prompts included; the layer then fills the request
  // as the dialog would (default extension, filter index, offsets).
  std::function<std::optional<std::string>(bool save, const OPENFILENAMEA& request)> answer_file;
  // Answers the colour chooser: gets the request and returns the colour chosen, or nullopt
  // for cancel.
  std::function<std::optional<COLORREF>(const CHOOSECOLORA& request)> answer_color;
};

// Installs the responder; an empty one restores normal behaviour. Without a responder, on
// Qt's non-interactive platforms ("offscreen", "minimal"), a box writes its caption and
// text to standard error and returns its default button, and a dialog, file dialog or
// colour chooser writes its caption and is cancelled.
void SetModalResponder(ModalResponder responder);
const ModalResponder& GetModalResponder();

// The layer's own calls for drivers, each acting through the Qt widget as a user's action
// does, so the procedure hears what a user would cause. FALSE for a missing or disabled
// control, or an ended dialog.
// Clicks a button (an auto check box toggles, an auto radio button takes the check from
// its group, the procedure hears WM_COMMAND).
BOOL ClickDlgButton(HWND dialog, int id);
// Picks the item with exactly this text from a combo box's list, or clicks it in a list
// box; FALSE when there is none. A change of selection is notified as the user's.
BOOL SelectDlgComboItem(HWND dialog, int id, const char* text);
BOOL SelectDlgListItem(HWND dialog, int id, const char* text);
// Replaces an edit box's text by typing: selects all, then one key per character (an
// empty text deletes the selection). Each keystroke that changes the text sends EN_CHANGE.
BOOL TypeDlgItemText(HWND dialog, int id, const char* text);
// Acts on a scroll bar control as the user would: SB_LINELEFT/RIGHT, SB_PAGELEFT/RIGHT,
// SB_LEFT, SB_RIGHT (for a vertical bar the same codes as SB_LINEUP/DOWN, SB_PAGEUP/DOWN,
// SB_TOP, SB_BOTTOM), or SB_THUMBPOSITION dragging the thumb to `position`. The first acts on
// a dialog's control, the second on a bar in any window.
BOOL ScrollDlgItem(HWND dialog, int id, WORD code, int position = 0);
BOOL ScrollBarAction(HWND bar, WORD code, int position = 0);
