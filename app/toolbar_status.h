// The toolbar, the status bar, tool tips and menu help.
#pragma once

#include <string>

#include "platform/win/win.h"

// The menu-help lookup record: a command's help text is the string of its id plus
// uiString; both start at 0.
struct tagPOPUPSTRING {
  UINT uiString;
  UINT hMenu;
};
extern tagPOPUPSTRING popstr;

inline constexpr int kToolbarButtons = 24;
inline constexpr int kToolbarImages = 24;
inline constexpr int kTipCount = 33;
extern const TBBUTTON tbb[kToolbarButtons];
extern const UINT CommandToString[kTipCount];
extern const char Strings[kTipCount][60];

// Creates the toolbar and the status bar of the main window; returns the toolbar.
HWND InitToolBar(HWND hwnd);
// Fills a tip request for a toolbar button; leaves the text alone for an unknown id.
void ToolTipText(TOOLTIPTEXTA* tip);
