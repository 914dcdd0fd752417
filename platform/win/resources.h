// Resources the program describes as data (menus, accelerators, strings, bitmaps, cursors,
// icons, dialog templates) and registers once at start; the Load* and DialogBox* calls
// build from them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/win/win.h"

// A resource name: a number (MAKEINTRESOURCEA, or "#12") or a case-insensitive string.
struct ResourceKey {
  std::string name;
  int id = -1;
  ResourceKey() = default;
  ResourceKey(int number) : id(number) {}  // NOLINT: rows read best without the type name
  ResourceKey(const char* text);           // NOLINT
  bool Matches(LPCSTR lookup) const;
};

// An image: either pixels (0xAARRGGBB, top row first) or encoded bytes of a format Qt
// reads (BMP, PNG, XPM, ...).
struct ImageResource {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  ResourceBytes encoded;
};

// One menu item. Text takes & mnemonics and a "\t" before the shortcut text; flags take
// MF_SEPARATOR, MF_GRAYED, MF_CHECKED; items with children are popups.
struct MenuTemplateItem {
  std::string text;
  UINT id = 0;
  UINT flags = 0;
  std::vector<MenuTemplateItem> children;

  MenuTemplateItem(std::string item_text, UINT item_id = 0, UINT item_flags = 0)  // NOLINT: table rows
      : text(std::move(item_text)), id(item_id), flags(item_flags) {}
  MenuTemplateItem(std::string popup_text, std::vector<MenuTemplateItem> items)
      : text(std::move(popup_text)), children(std::move(items)) {}
};
struct MenuResource {
  ResourceKey name;
  std::vector<MenuTemplateItem> items;
};
struct AcceleratorResource {
  ResourceKey name;
  std::vector<ACCEL> entries;
};
struct StringResource {
  UINT id = 0;
  std::string text;
};
struct BitmapResource {
  ResourceKey name;
  ImageResource image;
};
struct CursorResource {
  ResourceKey name;
  ImageResource image;
  int hotspot_x = 0, hotspot_y = 0;
};
struct IconResource {
  ResourceKey name;
  ImageResource image;
};

// A control of a dialog template. The kind gives its class and type style; `style` adds
// flags such as WS_GROUP (starts a group of auto radio buttons, which runs to the next
// control that has it), WS_DISABLED, CBS_SORT, LBS_SORT, LBS_NOTIFY or ES_AUTOHSCROLL.
// Positions and sizes are in dialog units; a drop-down list's height includes its list.
enum class DialogControlKind {
  kPushButton,
  kDefPushButton,
  kLeftText,
  kCentredText,
  kGroupBox,
  kAutoRadioButton,
  kAutoCheckBox,
  kRadioButton,  // the procedure sets its check
  kCheckBox,     // likewise
  kDropDownList,  // a combo box, CBS_DROPDOWNLIST
  kListBox,
  kEdit,  // single line
  kHorizontalScrollBar,
};
struct DialogControl {
  DialogControlKind kind = DialogControlKind::kPushButton;
  std::string text;
  int id = -1;  // -1: a control nothing addresses (labels, frames)
  int x = 0, y = 0, width = 0, height = 0;
  DWORD style = 0;
};
// A dialog: the client area's place and size in dialog units, the window's styles
// (DS_MODALFRAME, WS_CAPTION, WS_SYSMENU) and its controls in creation order.
struct DialogResource {
  ResourceKey name;
  std::string caption;
  int x = 0, y = 0, width = 0, height = 0;
  DWORD style = 0;
  std::vector<DialogControl> controls;
};

struct ResourceSet {
  std::vector<MenuResource> menus;
  std::vector<AcceleratorResource> accelerators;
  std::vector<StringResource> strings;
  std::vector<BitmapResource> bitmaps;
  std::vector<CursorResource> cursors;
  std::vector<IconResource> icons;
  std::vector<DialogResource> dialogs;
};

// Replaces the registered resources. Handles loaded before stay valid.
void RegisterResources(const ResourceSet& resources);

// Copies the string `id` into the buffer (cut to size - 1 and terminated); returns the
// characters copied, 0 when there is no such string.
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size);
