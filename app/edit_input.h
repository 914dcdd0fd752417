// The main window's editing input: the mode, transform, camera and render commands, the
// commands on the whole model, the mouse messages of the view windows and the keyboard.
// WindowProc routes these here.
#pragma once

#include "platform/win/win.h"

// Runs a mode (225, 50), transform (262 to 264), camera (265, 266) or render (272 to 277)
// command sent to `win`; false for any other id.
bool OnEditCommand(HWND win, HMENU menu, WORD id);
// Runs a command on the whole model: Select All, UnSelect All, Toggle Select, the face
// flips, Show Points, Orthographic and Center Mesh; false for any other id.
bool OnModelCommand(HWND win, HMENU menu, WORD id);
// Sends the main window the transform command (262, 263, 264) of the current move_m, so
// the menu and toolbar show it again.
void SendTransformCommand();
// That command (262, 263, 264), or 0 when move_m is none of the three transforms.
WORD TransformCommand();
// Runs dialog template `id` with `procedure`, owned by `owner`; a dialog that cannot be
// made shows "DialogBox failed". The dialog's result, -1 for that failure.
INT_PTR RunDialog(HWND owner, int id, DLGPROC procedure);
// Runs the current render mix (272 + rmode) again, which rebuilds the solid mesh.
void SendRenderCommand();
// The Texture menu: Load Texture, Texture Mapping, No Texture, Mesh Colour and
// Material; true when handled.
bool OnTextureCommand(WORD id);
// The File and Shape menus and the Replace File question; true when handled.
bool OnDocumentCommand(HWND win, WORD id);
// Mouse-move and button messages; `instance` supplies the view cursors.
void OnPointerMessage(UINT msg, WPARAM wparam, LPARAM lparam, HINSTANCE instance);
// Key-down and key-up messages.
void OnKeyMessage(UINT msg, WPARAM wparam);
// Shows the view cursor resource `id` and remembers it for the next pointer move.
void ShowViewCursor(int id, HINSTANCE instance);

// Checks or clears command `id` in `menu` and on the toolbar.
void MarkCommand(HMENU menu, UINT id, bool on);
// Every point leaves the selection and the move: inactive, unselected, shown green.
void DeselectAllPoints();
// Point `index` shown white when active, green otherwise.
void ShowPointState(int index);
