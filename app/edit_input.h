// The main window's editing input: the create/edit mode and render commands, the mouse
// messages of the view windows and the keyboard. WindowProc routes these here.
#pragma once

#include "platform/win/win.h"

// Runs a mode (225, 50) or render (272 to 277) command sent to `win`; false for any other id.
bool OnEditCommand(HWND win, HMENU menu, WORD id);
// Mouse-move and button messages; `instance` supplies the view cursors.
void OnPointerMessage(UINT msg, WPARAM wparam, LPARAM lparam, HINSTANCE instance);
// Key-down and key-up messages.
void OnKeyMessage(UINT msg, WPARAM wparam);
// Shows the view cursor resource `id` and remembers it for the next pointer move.
void ShowViewCursor(int id, HINSTANCE instance);
