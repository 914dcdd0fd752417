// The Qt objects behind handles, and the file dialog a request would show, for the layer's
// tests (which drive them as a user would).
#pragma once

#include <string>

#include "platform/win/win.h"

class QAction;
class QFileDialog;
class QImage;
class QMenu;
class QMenuBar;
class QToolButton;
class QWidget;

QWidget* ClientWidgetOf(HWND window);
QWidget* FrameWidgetOf(HWND window);
QMenuBar* MenuBarOf(HWND window);
// The action of the item at a position of a menu shown in a window's menu bar.
QAction* MenuActionOf(HMENU menu, int position);
QMenu* PopupWidgetOf(HMENU menu);
QToolButton* ToolbarButtonOf(HWND toolbar, int command);
// Asks the toolbar's parent for a button's tip, as hovering the button does.
std::string RequestToolbarTip(HWND toolbar, int command);
// What the window shows now, at client size: its surface with the overlay over it.
QImage WindowImage(HWND window);
// Qt's file dialog as a request would show it, not yet run; the caller owns it.
QFileDialog* MakeFileDialog(bool save, const OPENFILENAMEA& request);
