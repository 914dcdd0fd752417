// The procedures of the main window's small modal dialogs. Each returns true when it
// handled the message.
#pragma once

#include "platform/win/win.h"

// Delete: "Faces", "Points" or "Cancel Delete". Ends with 1 when cancelled, 0 otherwise,
// and leaves the choice in the model's delete_points and cancel.
INT_PTR DeleteDlgProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam);
