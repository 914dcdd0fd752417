// The procedures of the main window's small modal dialogs. Each returns true when it
// handled the message.
#pragma once

#include "platform/win/win.h"

// Delete: "Faces", "Points" or "Cancel Delete". Ends with 1 when cancelled, 0 otherwise,
// and leaves the choice in the model's delete_points and cancel.
INT_PTR DeleteDlgProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam);

// Replace File: "YES" or "Cancel"; the answer goes to the model's outcome. Ends with 0.
INT_PTR ReplaceDlgProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam);

// Create Shape: picks a primitive and its segments, merges its file into the model and
// scales it by the X, Y and Z values. Ends with 0.
INT_PTR ShapeDlgProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam);

// About: OK (or Escape) closes it with 1.
INT_PTR AppAbout(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam);

// Viewport Options: the number of views, each camera's side of the cursor and the
// projection; Cancel puts back what was set when the dialog opened. Ends with 0.
INT_PTR ViewDlgProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam);

// Material Settings: emissive and specular channels on scroll bars and a power; OK gives
// them to the solid mesh. Ends with 0.
INT_PTR MaterialDlgProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam);
