// Virtual-key codes for Qt's keys, and the key state the program can ask for.
#include <Qt>
#include <array>
#include <string>

#include "platform/win/window_record.h"

namespace {

struct KeyRow {
  int qt_key;
  int virtual_key;
};

// Keys whose code is not simply their upper-case ASCII letter or digit. Shifted
// punctuation maps to the key that types it on a US layout, as virtual keys name keys,
// not characters.
constexpr KeyRow kKeys[] = {
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB}, {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN}, {Qt::Key_Enter, VK_RETURN}, {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU}, {Qt::Key_AltGr, VK_MENU},
    {Qt::Key_Pause, VK_PAUSE}, {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Space, VK_SPACE}, {Qt::Key_PageUp, VK_PRIOR}, {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END}, {Qt::Key_Home, VK_HOME}, {Qt::Key_Left, VK_LEFT}, {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT}, {Qt::Key_Down, VK_DOWN}, {Qt::Key_Print, VK_SNAPSHOT},
    {Qt::Key_Insert, VK_INSERT}, {Qt::Key_Delete, VK_DELETE}, {Qt::Key_Menu, VK_APPS},
    {Qt::Key_NumLock, VK_NUMLOCK}, {Qt::Key_ScrollLock, VK_SCROLL},
    {Qt::Key_Semicolon, VK_OEM_1}, {Qt::Key_Colon, VK_OEM_1}, {Qt::Key_Equal, VK_OEM_PLUS},
    {Qt::Key_Plus, VK_OEM_PLUS}, {Qt::Key_Comma, VK_OEM_COMMA}, {Qt::Key_Less, VK_OEM_COMMA},
    {Qt::Key_Minus, VK_OEM_MINUS}, {Qt::Key_Underscore, VK_OEM_MINUS}, {Qt::Key_Period, VK_OEM_PERIOD},
    {Qt::Key_Greater, VK_OEM_PERIOD}, {Qt::Key_Slash, VK_OEM_2}, {Qt::Key_Question, VK_OEM_2},
    {Qt::Key_QuoteLeft, VK_OEM_3}, {Qt::Key_AsciiTilde, VK_OEM_3}, {Qt::Key_BracketLeft, VK_OEM_4},
    {Qt::Key_BraceLeft, VK_OEM_4}, {Qt::Key_Backslash, VK_OEM_5}, {Qt::Key_Bar, VK_OEM_5},
    {Qt::Key_BracketRight, VK_OEM_6}, {Qt::Key_BraceRight, VK_OEM_6}, {Qt::Key_Apostrophe, VK_OEM_7},
    {Qt::Key_QuoteDbl, VK_OEM_7}, {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'}, {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'}, {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'}, {Qt::Key_ParenLeft, '9'}, {Qt::Key_ParenRight, '0'},
};

// Keypad keys (Qt reports them with the keypad modifier) have codes of their own.
constexpr KeyRow kKeypadKeys[] = {
    {Qt::Key_Asterisk, VK_MULTIPLY}, {Qt::Key_Plus, VK_ADD}, {Qt::Key_Minus, VK_SUBTRACT},
    {Qt::Key_Period, VK_DECIMAL}, {Qt::Key_Slash, VK_DIVIDE},
};

// The character a key types without a Qt text, on a US layout: unshifted, shifted.
struct CharacterRow {
  int virtual_key;
  char plain, shifted;
};
constexpr CharacterRow kCharacters[] = {
    {VK_BACK, 8, 8}, {VK_TAB, 9, 9}, {VK_RETURN, '\r', '\r'}, {VK_ESCAPE, 0x1B, 0x1B}, {VK_SPACE, ' ', ' '},
    {'0', '0', ')'}, {'1', '1', '!'}, {'2', '2', '@'}, {'3', '3', '#'}, {'4', '4', '$'}, {'5', '5', '%'},
    {'6', '6', '^'}, {'7', '7', '&'}, {'8', '8', '*'}, {'9', '9', '('}, {VK_OEM_1, ';', ':'},
    {VK_OEM_PLUS, '=', '+'}, {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'},
    {VK_OEM_2, '/', '?'}, {VK_OEM_3, '`', '~'}, {VK_OEM_4, '[', '{'}, {VK_OEM_5, '\\', '|'},
    {VK_OEM_6, ']', '}'}, {VK_OEM_7, '\'', '"'}, {VK_MULTIPLY, '*', '*'}, {VK_ADD, '+', '+'},
    {VK_SUBTRACT, '-', '-'}, {VK_DECIMAL, '.', '.'}, {VK_DIVIDE, '/', '/'},
};

struct KeyStates {
  std::array<SHORT, 256> queued{};  // as of the last message taken from the queue
  std::array<bool, 256> now{};      // as Qt last reported
  std::array<std::string, 256> text{};
};

KeyStates& States() {
  static auto* states = new KeyStates;
  return *states;
}

bool ValidKey(int key) { return key > 0 && key < 256; }

void SetQueued(int key, bool down) {
  SHORT& state = States().queued[key];
  if (down && !(state & static_cast<SHORT>(0x8000))) state ^= 1;  // toggles on each new press
  state = static_cast<SHORT>(down ? (state | static_cast<SHORT>(0x8000)) : (state & 1));
}

}  // namespace

int VirtualKeyFromQt(int qt_key, bool keypad) {
  if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) return 'A' + (qt_key - Qt::Key_A);
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9)
    return keypad ? VK_NUMPAD0 + (qt_key - Qt::Key_0) : '0' + (qt_key - Qt::Key_0);
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F24) return VK_F1 + (qt_key - Qt::Key_F1);
  if (keypad)
    for (const KeyRow& row : kKeypadKeys)
      if (row.qt_key == qt_key) return row.virtual_key;
  for (const KeyRow& row : kKeys)
    if (row.qt_key == qt_key) return row.virtual_key;
  return 0;
}

void NoteKeyEvent(int virtual_key, bool down, const std::string& text) {
  if (!ValidKey(virtual_key)) return;
  States().now[virtual_key] = down;
  if (down) States().text[virtual_key] = text;
}

void NoteRetrievedMessage(const MSG& msg) {
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (ValidKey(static_cast<int>(msg.wParam)))
        SetQueued(static_cast<int>(msg.wParam), msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN);
      return;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      // Mouse messages carry the button and modifier state of their moment.
      SetQueued(VK_LBUTTON, msg.wParam & MK_LBUTTON);
      SetQueued(VK_RBUTTON, msg.wParam & MK_RBUTTON);
      SetQueued(VK_MBUTTON, msg.wParam & MK_MBUTTON);
      SetQueued(VK_SHIFT, msg.wParam & MK_SHIFT);
      SetQueued(VK_CONTROL, msg.wParam & MK_CONTROL);
      return;
    default:
      return;
  }
}

namespace {

char UsLayoutCharacter(int virtual_key) {
  const bool shift = GetKeyState(VK_SHIFT) & 0x8000;
  const bool control = GetKeyState(VK_CONTROL) & 0x8000;
  if (virtual_key >= 'A' && virtual_key <= 'Z') {
    if (control) return static_cast<char>(virtual_key - 'A' + 1);
    const bool upper = shift != static_cast<bool>(GetKeyState(VK_CAPITAL) & 1);
    return static_cast<char>(upper ? virtual_key : virtual_key - 'A' + 'a');
  }
  if (virtual_key >= VK_NUMPAD0 && virtual_key <= VK_NUMPAD0 + 9)
    return static_cast<char>('0' + virtual_key - VK_NUMPAD0);
  for (const CharacterRow& row : kCharacters)
    if (row.virtual_key == virtual_key) return shift ? row.shifted : row.plain;
  return 0;
}

}  // namespace

char CharacterForKey(int virtual_key) {
  if (!ValidKey(virtual_key)) return 0;
  // Keys that type nothing (arrows, Delete, function keys) stay silent whatever text Qt
  // gave them; the others type what Qt reported, or the US-layout character.
  const char fallback = UsLayoutCharacter(virtual_key);
  if (!fallback) return 0;
  const std::string& text = States().text[virtual_key];
  return text.size() == 1 ? text[0] : fallback;
}

SHORT GetKeyState(int virtual_key) { return ValidKey(virtual_key) ? States().queued[virtual_key] : 0; }

SHORT GetAsyncKeyState(int virtual_key) {
  return ValidKey(virtual_key) && States().now[virtual_key] ? static_cast<SHORT>(0x8000) : 0;
}
