// The common controls the editor uses: the toolbar with tool tips, the status bar with
// parts and a simple mode, and menu help. Included by win.h.
#pragma once

#include "platform/win/win.h"

// Prepares the common controls; the Qt-based controls need no preparation, so this only
// keeps the start-up sequence of the program intact.
void InitCommonControls();

#define TOOLBARCLASSNAMEA "ToolbarWindow32"
#define STATUSCLASSNAMEA "msctls_statusbar32"

// Placement styles shared by both bars. Without CCS_NORESIZE a bar keeps itself along its
// edge of the parent's client area, full width, at its own height.
inline constexpr DWORD CCS_TOP = 0x0001;
inline constexpr DWORD CCS_NOMOVEY = 0x0002;
inline constexpr DWORD CCS_BOTTOM = 0x0003;
inline constexpr DWORD CCS_NORESIZE = 0x0004;
inline constexpr DWORD CCS_NOPARENTALIGN = 0x0008;
inline constexpr DWORD CCS_NODIVIDER = 0x0040;

struct NMHDR {
  HWND hwndFrom = nullptr;
  UINT_PTR idFrom = 0;
  UINT code = 0;
};

// ---- toolbar -----------------------------------------------------------------------------

inline constexpr DWORD TBSTYLE_TOOLTIPS = 0x0100;
inline constexpr DWORD TBSTYLE_WRAPABLE = 0x0200;
inline constexpr DWORD TBSTYLE_FLAT = 0x0800;

inline constexpr BYTE TBSTYLE_BUTTON = 0x00;
inline constexpr BYTE TBSTYLE_SEP = 0x01;
inline constexpr BYTE TBSTYLE_CHECK = 0x02;
inline constexpr BYTE TBSTYLE_GROUP = 0x04;
inline constexpr BYTE TBSTYLE_CHECKGROUP = TBSTYLE_GROUP | TBSTYLE_CHECK;

inline constexpr BYTE TBSTATE_CHECKED = 0x01;
inline constexpr BYTE TBSTATE_PRESSED = 0x02;
inline constexpr BYTE TBSTATE_ENABLED = 0x04;
inline constexpr BYTE TBSTATE_HIDDEN = 0x08;

inline constexpr UINT TB_ENABLEBUTTON = WM_USER + 1;
inline constexpr UINT TB_CHECKBUTTON = WM_USER + 2;
inline constexpr UINT TB_PRESSBUTTON = WM_USER + 3;
inline constexpr UINT TB_HIDEBUTTON = WM_USER + 4;
inline constexpr UINT TB_ISBUTTONENABLED = WM_USER + 9;
inline constexpr UINT TB_ISBUTTONCHECKED = WM_USER + 10;
inline constexpr UINT TB_ISBUTTONPRESSED = WM_USER + 11;
inline constexpr UINT TB_ISBUTTONHIDDEN = WM_USER + 12;
inline constexpr UINT TB_SETSTATE = WM_USER + 17;
inline constexpr UINT TB_GETSTATE = WM_USER + 18;
inline constexpr UINT TB_BUTTONCOUNT = WM_USER + 24;
inline constexpr UINT TB_COMMANDTOINDEX = WM_USER + 25;
inline constexpr UINT TB_BUTTONSTRUCTSIZE = WM_USER + 30;
inline constexpr UINT TB_AUTOSIZE = WM_USER + 33;

struct TBBUTTON {
  int iBitmap = 0;  // image index in the strip
  int idCommand = 0;
  BYTE fsState = 0;
  BYTE fsStyle = 0;
  BYTE bReserved[6] = {};
  ULONG_PTR dwData = 0;
  INT_PTR iString = 0;
};
using LPCTBBUTTON = const TBBUTTON*;

// Makes a toolbar child of `parent` with control id `id`. The images are the registered
// bitmap `bitmap_id` cut into columns `bitmap_width` wide (16 when 0); `bitmap_count` of
// them are used. A click on a button posts WM_COMMAND (id, BN_CLICKED) with the toolbar as
// lparam to the parent. With TBSTYLE_TOOLTIPS a tip is asked of the parent by WM_NOTIFY
// TTN_NEEDTEXT, the button's command in idFrom.
HWND CreateToolbarEx(HWND parent, DWORD style, UINT id, int bitmap_count, HINSTANCE bitmap_instance,
                     UINT_PTR bitmap_id, LPCTBBUTTON buttons, int button_count, int button_width,
                     int button_height, int bitmap_width, int bitmap_height, UINT struct_size);

// ---- tool tips ---------------------------------------------------------------------------

inline constexpr UINT TTN_FIRST = 0U - 520U;
inline constexpr UINT TTN_GETDISPINFOA = TTN_FIRST - 0;
inline constexpr UINT TTN_NEEDTEXTA = TTN_GETDISPINFOA;
inline constexpr UINT TTN_NEEDTEXT = TTN_NEEDTEXTA;

// The tip request. On return the tip shows lpszText: a string resource id when hinst is
// set and lpszText is an integer resource, otherwise the text it points at (initially
// szText, which the parent may fill).
struct TOOLTIPTEXTA {
  NMHDR hdr;
  LPSTR lpszText = nullptr;
  char szText[80] = {};
  HINSTANCE hinst = nullptr;
  UINT uFlags = 0;
  LPARAM lParam = 0;
};
using NMTTDISPINFOA = TOOLTIPTEXTA;
using LPTOOLTIPTEXT = TOOLTIPTEXTA*;

// ---- status bar --------------------------------------------------------------------------

inline constexpr UINT SB_SETTEXTA = WM_USER + 1;
inline constexpr UINT SB_GETTEXTA = WM_USER + 2;
inline constexpr UINT SB_GETTEXTLENGTHA = WM_USER + 3;
inline constexpr UINT SB_SETPARTS = WM_USER + 4;
inline constexpr UINT SB_GETPARTS = WM_USER + 6;
inline constexpr UINT SB_SIMPLE = WM_USER + 9;
inline constexpr UINT SB_ISSIMPLE = WM_USER + 14;
inline constexpr UINT SB_SETTEXT = SB_SETTEXTA;
inline constexpr UINT SB_GETTEXT = SB_GETTEXTA;
inline constexpr UINT SB_GETTEXTLENGTH = SB_GETTEXTLENGTHA;

// Part numbers go in the low byte of wparam, drawing types in the high byte.
inline constexpr WPARAM SB_SIMPLEID = 0x00FF;
inline constexpr WPARAM SBT_NOBORDERS = 0x0100;
inline constexpr WPARAM SBT_POPOUT = 0x0200;
inline constexpr WPARAM SBT_RTLREADING = 0x0400;
inline constexpr WPARAM SBT_OWNERDRAW = 0x1000;
inline constexpr int kStatusMaxParts = 256;

// Makes a status bar child of `parent` along its bottom edge, one part, showing `text`.
// SB_SETPARTS takes the count in wparam and the parts' right edges (client x, -1 = to the
// end) in an int array at lparam. SB_GETTEXT returns MAKELONG(length, drawing type).
HWND CreateStatusWindowA(LONG style, LPCSTR text, HWND parent, UINT id);

// ---- menu help ---------------------------------------------------------------------------

// For WM_MENUSELECT: puts the status bar into its simple mode showing the string of the
// highlighted command (its id plus ids[0]); popups show an empty line. When the menu
// closes (flags 0xFFFF, no menu) the bar returns to its parts.
void MenuHelp(UINT message, WPARAM wparam, LPARAM lparam, HMENU main_menu, HINSTANCE instance, HWND status,
              UINT* ids);
