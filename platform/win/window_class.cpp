// Window classes: the registered ones and the built-in ones (common controls, dialogs and
// their controls).
#include <strings.h>

#include <list>

#include "platform/win/window_record.h"

namespace {

struct BuiltInClass {
  const char* name;
  WNDPROC procedure;
  WindowKind kind;
};
const BuiltInClass kBuiltInClasses[] = {
    {TOOLBARCLASSNAMEA, ToolbarProcedure, WindowKind::kToolbar},
    {STATUSCLASSNAMEA, StatusBarProcedure, WindowKind::kStatusBar},
    {kDialogClass, DialogWindowProcedure, WindowKind::kDialog},
    {kButtonClass, ControlProcedure, WindowKind::kButton},
    {kStaticClass, ControlProcedure, WindowKind::kStatic},
    {kComboBoxClass, ListControlProcedure, WindowKind::kComboBox},
    {kListBoxClass, ListControlProcedure, WindowKind::kListBox},
    {kEditClass, EditProcedure, WindowKind::kEdit},
    {kScrollBarClass, ScrollBarProcedure, WindowKind::kScrollBar},
};

std::list<WindowClass>& Classes() {
  // Never destroyed: windows keep pointers to their class until the process ends.
  static auto* classes = new std::list<WindowClass>([] {
    std::list<WindowClass> built_in;
    for (const BuiltInClass& row : kBuiltInClasses) {
      WindowClass entry;
      entry.name = row.name;
      entry.procedure = row.procedure;
      entry.kind = row.kind;
      built_in.push_back(entry);
    }
    return built_in;
  }());
  return *classes;
}

ATOM kNextAtom = 0xC000;

ATOM Register(const WNDCLASSEXA& definition) {
  if (!definition.lpszClassName || !definition.lpfnWndProc || IS_INTRESOURCE(definition.lpszClassName)) return 0;
  if (definition.cbWndExtra < 0 || definition.cbClsExtra < 0 || definition.cbWndExtra > 4096) return 0;
  if (FindWindowClass(definition.lpszClassName)) return 0;
  WindowClass entry;
  entry.name = definition.lpszClassName;
  entry.style = definition.style;
  entry.procedure = definition.lpfnWndProc;
  entry.class_extra = definition.cbClsExtra;
  entry.window_extra = definition.cbWndExtra;
  entry.instance = definition.hInstance;
  entry.icon = definition.hIcon;
  entry.small_icon = definition.hIconSm;
  entry.cursor = definition.hCursor;
  entry.background = definition.hbrBackground;
  if (definition.lpszMenuName) {
    entry.menu_name = ResourceKey(definition.lpszMenuName);
    entry.has_menu = true;
  }
  Classes().push_back(entry);
  return kNextAtom++;
}

}  // namespace

const WindowClass* FindWindowClass(LPCSTR name) {
  if (!name || IS_INTRESOURCE(name)) return nullptr;
  for (const WindowClass& entry : Classes())
    if (entry.registered && strcasecmp(entry.name.c_str(), name) == 0) return &entry;
  return nullptr;
}

ATOM RegisterClassA(const WNDCLASSA* window_class) {
  if (!window_class) return 0;
  WNDCLASSEXA extended;
  extended.style = window_class->style;
  extended.lpfnWndProc = window_class->lpfnWndProc;
  extended.cbClsExtra = window_class->cbClsExtra;
  extended.cbWndExtra = window_class->cbWndExtra;
  extended.hInstance = window_class->hInstance;
  extended.hIcon = window_class->hIcon;
  extended.hCursor = window_class->hCursor;
  extended.hbrBackground = window_class->hbrBackground;
  extended.lpszMenuName = window_class->lpszMenuName;
  extended.lpszClassName = window_class->lpszClassName;
  return Register(extended);
}

ATOM RegisterClassExA(const WNDCLASSEXA* window_class) {
  if (!window_class || window_class->cbSize != sizeof(WNDCLASSEXA)) return 0;
  return Register(*window_class);
}

BOOL UnregisterClassA(LPCSTR class_name, HINSTANCE /*instance*/) {
  const WindowClass* entry = FindWindowClass(class_name);
  if (!entry || entry->kind != WindowKind::kPlain) return FALSE;
  // A class still used by a live window stays, as on the platform.
  for (HWND window : LiveWindows())
    if (window->window_class == entry) return FALSE;
  // Destroyed windows still point at their class, so the entry stays, unregistered.
  const_cast<WindowClass*>(entry)->registered = false;
  return TRUE;
}
