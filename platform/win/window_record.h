// What a window is behind its handle, and the calls the layer's files make on each other.
// Private to the layer (and its tests); includes Qt.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "platform/win/win.h"

class QMenuBar;
struct ToolbarState;
struct StatusBarState;
struct DialogState;

enum class WindowKind { kPlain, kToolbar, kStatusBar, kDialog, kButton, kStatic, kComboBox, kListBox, kEdit, kScrollBar };
// The built-in classes of dialogs and their controls.
inline constexpr char kDialogClass[] = "#32770";
inline constexpr char kButtonClass[] = "Button";
inline constexpr char kStaticClass[] = "Static";
inline constexpr char kComboBoxClass[] = "ComboBox";
inline constexpr char kListBoxClass[] = "ListBox";
inline constexpr char kEditClass[] = "Edit";
inline constexpr char kScrollBarClass[] = "ScrollBar";

struct WindowClass {
  std::string name;
  UINT style = 0;
  WNDPROC procedure = nullptr;
  int class_extra = 0;
  int window_extra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HICON small_icon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  ResourceKey menu_name;
  bool has_menu = false;
  WindowKind kind = WindowKind::kPlain;
  bool registered = true;
};

struct HWND__ {
  const WindowClass* window_class = nullptr;
  WNDPROC procedure = nullptr;
  HWND parent = nullptr;
  std::vector<HWND> children;
  DWORD style = 0;
  DWORD ex_style = 0;
  UINT_PTR id = 0;
  HINSTANCE instance = nullptr;
  std::string text;
  std::vector<unsigned char> extra;
  LONG_PTR user_data = 0;
  HMENU menu = nullptr;

  // A top-level window is a frame holding its menu bar and, below it, the client widget;
  // a child window is its client widget alone.
  QPointer<QWidget> frame;
  QPointer<QWidget> client;
  QPointer<QMenuBar> menu_bar;

  // The window's drawing surface: presented images and what paint DCs draw. The overlay
  // holds what window DCs draw between paints, shown over the surface until the area is
  // invalidated, so the next paint neither wipes it nor keeps it past the next pass.
  QImage surface;
  QImage overlay;
  bool redraw_only = false;  // drawn on outside a paint: show it without asking for WM_PAINT
  bool painting = false;
  bool update_pending = false;
  QRect update_rect;
  int reported_width = -1, reported_height = -1;
  bool reported_minimized = false;
  bool placing = false;  // inside the layer's own move: it reports the size itself
  bool live = true;

  std::unique_ptr<ToolbarState> toolbar;
  std::unique_ptr<StatusBarState> status_bar;
  std::unique_ptr<DialogState> dialog;  // only on windows DialogBoxParamA made
  ~HWND__();
};

// window.cpp
HWND__* LiveWindow(HWND window);  // null for null, destroyed or unknown handles
std::vector<HWND> LiveWindows();
bool IsTopLevel(HWND window);
HWND TopLevelOf(HWND window);
// Sends (or posts) WM_SIZE when the client size differs from the one last reported.
void ReportClientSize(HWND window, bool send);
// Places the menu bar and the client widget inside a top-level frame.
void LayoutFrame(HWND window);

LRESULT SetTextDefault(HWND window, LPCSTR text);
LRESULT GetTextDefault(HWND window, WPARAM size, LPSTR buffer);

// window_class.cpp
const WindowClass* FindWindowClass(LPCSTR name);

// window_widget.cpp
QWidget* MakeClientWidget(HWND window, QWidget* parent);
QWidget* MakeFrameWidget(HWND window);
// The one place a Qt event on a window's widget becomes a message; true when consumed.
bool TranslateQtEvent(HWND window, QEvent* event);
// Cuts a widget off its window: events on it are no longer turned into messages.
void DetachWidget(QWidget* widget);
// The live window a widget (or its nearest ancestor) belongs to.
HWND WindowOfWidget(QWidget* widget);
void TagWidget(QWidget* widget, HWND window);

// message_loop.cpp
void PostInputMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// Deletes widgets of destroyed windows once Qt is back at the loop.
void FlushDeferredDeletes();

// keyboard.cpp
int VirtualKeyFromQt(int qt_key, bool keypad);
void NoteKeyEvent(int virtual_key, bool down, const std::string& text);  // Qt time: async state
void NoteRetrievedMessage(const MSG& msg);                                // queue time: GetKeyState
char CharacterForKey(int virtual_key);

// pointer.cpp
void NotePointer(HWND window, int screen_x, int screen_y);
bool IsInteractivePlatform();
void ForgetCapture(HWND window);
QCursor CursorFromHandle(HCURSOR cursor);
QIcon IconFromHandle(HICON icon);

// menu.cpp
void AttachMenuBar(HWND window);  // builds the frame's QMenuBar from window->menu
void DetachMenu(HWND window);
bool IsCommandDisabled(HWND window, UINT command);

// paint.cpp
void PaintWindow(HWND window, QWidget* widget, const QRect& area);
uint32_t BackgroundColor(HBRUSH brush, bool* paint);
// The surface at client size (white where nothing was drawn), and the overlay at client size
// (clear where nothing was drawn); null while the window has no client widget.
QImage* WindowSurface(HWND window);
QImage* WindowOverlay(HWND window);

// controls
QWidget* MakeToolbarWidget(HWND window, QWidget* parent);
QWidget* MakeStatusBarWidget(HWND window, QWidget* parent);
LRESULT ToolbarProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT StatusBarProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// Keeps a parent-aligned toolbar along the top of its parent's client area.
void AlignBar(HWND bar);
void AlignChildBars(HWND parent);

// dialog.cpp
// A dialog's frame is a QDialog owned by its owner's top-level frame.
void MakeDialogWidgets(HWND window);
LRESULT DialogWindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// What Escape does: WM_COMMAND IDCANCEL, from the Cancel button when there is one.
void CancelDialog(HWND dialog);
bool DialogEnded(HWND dialog);

// dialog_controls.cpp
bool IsControlKind(WindowKind kind);  // lives only inside a parent
QWidget* MakeButtonWidget(HWND window, QWidget* parent);
QWidget* MakeStaticWidget(HWND window, QWidget* parent);
LRESULT ControlProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// Tells a control's parent what the user did: WM_COMMAND (id, code) from the control.
void NotifyParent(HWND control, WORD code);

// list_controls.cpp
QWidget* MakeComboBoxWidget(HWND window, QWidget* parent);
QWidget* MakeListBoxWidget(HWND window, QWidget* parent);
LRESULT ListControlProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// edit_control.cpp
QWidget* MakeEditWidget(HWND window, QWidget* parent);
LRESULT EditProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// scroll_bar_control.cpp
QWidget* MakeScrollBarWidget(HWND window, QWidget* parent);
LRESULT ScrollBarProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// resources.cpp
const MenuResource* FindMenuResource(LPCSTR name);
const AcceleratorResource* FindAcceleratorResource(LPCSTR name);
const BitmapResource* FindBitmapResource(LPCSTR name);
const CursorResource* FindCursorResource(LPCSTR name);
const IconResource* FindIconResource(LPCSTR name);
const DialogResource* FindDialogResource(LPCSTR name);
const std::string* FindString(UINT id);
QImage ImageFromResource(const ImageResource& image);
