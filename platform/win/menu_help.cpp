// Menu help: the highlighted menu command's string in the status bar's simple mode.
#include "platform/win/window_record.h"

void MenuHelp(UINT message, WPARAM wparam, LPARAM lparam, HMENU /*main_menu*/, HINSTANCE /*instance*/,
              HWND status, UINT* ids) {
  if (message != WM_MENUSELECT || !LiveWindow(status)) return;
  const WORD flags = HIWORD(wparam);
  if (flags == 0xFFFF && lparam == 0) {
    SendMessageA(status, SB_SIMPLE, FALSE, 0);
    return;
  }
  std::string text;
  // Popups and separators have no help; a command's help is the string of its id offset
  // by the first entry of the id table.
  if (!(flags & (MF_POPUP | MF_SEPARATOR))) {
    const UINT offset = ids ? ids[0] : 0;
    if (const std::string* found = FindString(LOWORD(wparam) + offset)) text = *found;
  }
  SendMessageA(status, SB_SIMPLE, TRUE, 0);
  SendMessageA(status, SB_SETTEXTA, SB_SIMPLEID | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text.c_str()));
}
