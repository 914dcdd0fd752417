// Windows: creation, destruction, and the data each carries (styles, id, text, extra bytes).
#include <QApplication>
#include <QMenuBar>
#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "platform/win/control_state.h"
#include "platform/win/qt_access.h"
#include "platform/win/window_record.h"

namespace {

struct Registry {
  std::vector<std::unique_ptr<HWND__>> records;  // destroyed ones stay, so stale handles stay harmless
  std::unordered_set<HWND> live;
};

Registry& Windows() {
  static auto* registry = new Registry;  // outlives QApplication; never destroyed
  return *registry;
}

void WatchApplicationState() {
  static bool watching = false;
  if (watching || !qApp) return;
  watching = true;
  QObject::connect(qApp, &QGuiApplication::applicationStateChanged, [](Qt::ApplicationState state) {
    const WPARAM active = state == Qt::ApplicationActive ? TRUE : FALSE;
    for (HWND window : LiveWindows())
      if (IsTopLevel(window)) PostInputMessage(window, WM_ACTIVATEAPP, active, 0);
  });
}

}  // namespace

HWND__::~HWND__() = default;

HWND__* LiveWindow(HWND window) {
  if (!window) return nullptr;
  return Windows().live.count(window) ? window : nullptr;
}

std::vector<HWND> LiveWindows() {
  std::vector<HWND> result;
  for (const auto& record : Windows().records)
    if (record->live) result.push_back(record.get());
  return result;
}

bool IsTopLevel(HWND window) { return window && !(window->style & WS_CHILD); }

HWND TopLevelOf(HWND window) {
  while (window && (window->style & WS_CHILD) && window->parent) window = window->parent;
  return window;
}

HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  const WindowClass* window_class = FindWindowClass(class_name);
  if (!window_class || !qApp) return nullptr;
  if (parent && !LiveWindow(parent)) return nullptr;
  if ((style & WS_CHILD) && !parent) return nullptr;
  // Controls live inside a parent; dialogs stand on their own.
  const WindowKind kind = window_class->kind;
  if (IsControlKind(kind) && !(style & WS_CHILD)) return nullptr;
  if (kind == WindowKind::kDialog && (style & WS_CHILD)) return nullptr;

  auto owned = std::make_unique<HWND__>();
  HWND window = owned.get();
  window->window_class = window_class;
  window->procedure = window_class->procedure;
  window->parent = parent;
  window->style = style;
  window->ex_style = ex_style;
  window->instance = instance;
  window->text = window_name ? window_name : "";
  window->extra.assign(static_cast<size_t>(window_class->window_extra), 0);
  if (style & WS_CHILD) window->id = reinterpret_cast<UINT_PTR>(menu);

  const bool child = style & WS_CHILD;
  // Default placement: children at their parent's corner, top-level windows near the
  // screen's corner at a moderate size.
  if (x == CW_USEDEFAULT) x = child ? 0 : 40;
  if (y == CW_USEDEFAULT) y = child ? 0 : 40;
  if (width == CW_USEDEFAULT) {
    width = child ? 0 : 640;
    height = child ? 0 : 480;
  }
  width = std::max(width, 0);
  height = std::max(height, 0);

  if (child) {
    QWidget* host = parent->client;
    switch (kind) {
      case WindowKind::kPlain: window->client = MakeClientWidget(window, host); break;
      case WindowKind::kToolbar: window->client = MakeToolbarWidget(window, host); break;
      case WindowKind::kStatusBar: window->client = MakeStatusBarWidget(window, host); break;
      case WindowKind::kButton: window->client = MakeButtonWidget(window, host); break;
      case WindowKind::kStatic: window->client = MakeStaticWidget(window, host); break;
      case WindowKind::kComboBox: window->client = MakeComboBoxWidget(window, host); break;
      case WindowKind::kListBox: window->client = MakeListBoxWidget(window, host); break;
      case WindowKind::kEdit: window->client = MakeEditWidget(window, host); break;
      case WindowKind::kScrollBar: window->client = MakeScrollBarWidget(window, host); break;
      case WindowKind::kDialog: break;  // refused above
    }
    window->frame = window->client;
    window->client->setGeometry(x, y, width, height);
    if (style & WS_DISABLED) window->client->setEnabled(false);
  } else {
    if (kind == WindowKind::kDialog) {
      MakeDialogWidgets(window);
    } else {
      window->frame = MakeFrameWidget(window);
      window->client = MakeClientWidget(window, window->frame);
      window->frame->setFocusProxy(window->client);
      window->client->setFocusPolicy(Qt::StrongFocus);
    }
    window->frame->setWindowTitle(QString::fromLocal8Bit(window->text.c_str()));
    window->frame->move(x, y);
    window->frame->resize(width, height);
  }
  if (window_class->icon) window->frame->setWindowIcon(IconFromHandle(window_class->icon));
  if (window_class->cursor) window->client->setCursor(CursorFromHandle(window_class->cursor));

  Windows().live.insert(window);
  Windows().records.push_back(std::move(owned));
  if (parent) parent->children.push_back(window);
  WatchApplicationState();

  if (!child) {
    HMENU bar = menu;
    if (!bar && window_class->has_menu)
      bar = LoadMenuA(window_class->instance, window_class->menu_name.id >= 0
                                                  ? MAKEINTRESOURCEA(window_class->menu_name.id)
                                                  : window_class->menu_name.name.c_str());
    if (bar) SetMenu(window, bar);
    LayoutFrame(window);
  }

  CREATESTRUCTA create;
  create.lpCreateParams = param;
  create.hInstance = instance;
  create.hMenu = menu;
  create.hwndParent = parent;
  create.cx = width;
  create.cy = height;
  create.x = x;
  create.y = y;
  create.style = static_cast<LONG>(style);
  create.lpszName = window_name;
  create.lpszClass = class_name;
  create.dwExStyle = ex_style;
  if (!SendMessageA(window, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) ||
      SendMessageA(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(window);
    return nullptr;
  }
  if (!LiveWindow(window)) return nullptr;  // the procedure destroyed it while being created
  ReportClientSize(window, true);
  if (window_class->kind != WindowKind::kPlain) AlignBar(window);
  if (style & WS_MAXIMIZE)
    ShowWindow(window, SW_MAXIMIZE);
  else if (style & WS_VISIBLE)
    ShowWindow(window, SW_SHOW);
  return window;
}

HWND CreateWindowA(LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y, int width, int height,
                   HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  return CreateWindowExA(0, class_name, window_name, style, x, y, width, height, parent, menu, instance, param);
}

BOOL DestroyWindow(HWND window) {
  if (!LiveWindow(window)) return FALSE;
  ForgetCapture(window);
  SendMessageA(window, WM_DESTROY, 0, 0);
  // Children hear of it after their parent, as on the platform.
  const std::vector<HWND> children = window->children;
  for (HWND child : children) DestroyWindow(child);
  SendMessageA(window, WM_NCDESTROY, 0, 0);
  if (!window->live) return TRUE;  // destroyed again from inside its own WM_DESTROY
  window->live = false;
  Windows().live.erase(window);
  if (window->parent) {
    auto& siblings = window->parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
  }
  DetachMenu(window);
  if (QWidget* widget = window->frame) {
    // The widget may be inside one of its own event handlers: hide it now, delete it once
    // Qt is back at the loop.
    DetachWidget(widget);
    widget->hide();
    widget->deleteLater();
  }
  return TRUE;
}

BOOL IsWindow(HWND window) { return LiveWindow(window) ? TRUE : FALSE; }

HWND GetParent(HWND window) {
  if (!LiveWindow(window)) return nullptr;
  return (window->style & WS_CHILD) ? window->parent : nullptr;
}

HWND GetDlgItem(HWND parent, int id) {
  if (!LiveWindow(parent)) return nullptr;
  // Owned top-level windows (a dialog and its owner) are in the list too, but are no items.
  for (HWND child : parent->children)
    if ((child->style & WS_CHILD) && child->id == static_cast<UINT_PTR>(id)) return child;
  return nullptr;
}

int GetDlgCtrlID(HWND window) { return LiveWindow(window) ? static_cast<int>(window->id) : 0; }

namespace {

// Extra bytes are read and written little-endian, whatever their alignment.
bool ExtraRange(HWND window, int index, size_t size) {
  return index >= 0 && static_cast<size_t>(index) + size <= window->extra.size();
}

LONG_PTR ReadExtra(HWND window, int index, size_t size) {
  uint64_t value = 0;
  for (size_t i = 0; i < size; ++i) value |= static_cast<uint64_t>(window->extra[index + i]) << (8 * i);
  if (size == 4) return static_cast<int32_t>(static_cast<uint32_t>(value));
  if (size == 2) return static_cast<LONG_PTR>(static_cast<uint16_t>(value));
  return static_cast<LONG_PTR>(value);
}

void WriteExtra(HWND window, int index, size_t size, uint64_t value) {
  for (size_t i = 0; i < size; ++i) window->extra[index + i] = static_cast<unsigned char>(value >> (8 * i));
}

LONG_PTR GetLong(HWND window, int index, size_t size) {
  if (!LiveWindow(window)) return 0;
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(window->procedure);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(window->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(window->parent);
    case GWLP_ID: return static_cast<LONG_PTR>(window->id);
    case GWL_STYLE: return static_cast<LONG>(window->style);
    case GWL_EXSTYLE: return static_cast<LONG>(window->ex_style);
    case GWLP_USERDATA: return window->user_data;
    default: return ExtraRange(window, index, size) ? ReadExtra(window, index, size) : 0;
  }
}

LONG_PTR SetLong(HWND window, int index, size_t size, LONG_PTR value) {
  if (!LiveWindow(window)) return 0;
  const LONG_PTR previous = GetLong(window, index, size);
  switch (index) {
    case GWLP_WNDPROC:
      if (value) window->procedure = reinterpret_cast<WNDPROC>(value);
      break;
    case GWLP_HINSTANCE: window->instance = reinterpret_cast<HINSTANCE>(value); break;
    case GWLP_ID: window->id = static_cast<UINT_PTR>(value); break;
    case GWL_STYLE: window->style = static_cast<DWORD>(value); break;
    case GWL_EXSTYLE: window->ex_style = static_cast<DWORD>(value); break;
    case GWLP_USERDATA: window->user_data = value; break;
    case GWLP_HWNDPARENT: return 0;
    default:
      if (!ExtraRange(window, index, size)) return 0;
      WriteExtra(window, index, size, static_cast<uint64_t>(value));
  }
  return previous;
}

}  // namespace

LONG GetWindowLongA(HWND window, int index) { return static_cast<LONG>(GetLong(window, index, 4)); }
LONG SetWindowLongA(HWND window, int index, LONG value) {
  return static_cast<LONG>(SetLong(window, index, 4, value));
}
LONG_PTR GetWindowLongPtrA(HWND window, int index) { return GetLong(window, index, sizeof(LONG_PTR)); }
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
  return SetLong(window, index, sizeof(LONG_PTR), value);
}
WORD GetWindowWord(HWND window, int index) {
  if (!LiveWindow(window) || !ExtraRange(window, index, 2)) return 0;
  return static_cast<WORD>(ReadExtra(window, index, 2));
}
WORD SetWindowWord(HWND window, int index, WORD value) {
  if (!LiveWindow(window) || !ExtraRange(window, index, 2)) return 0;
  const WORD previous = static_cast<WORD>(ReadExtra(window, index, 2));
  WriteExtra(window, index, 2, value);
  return previous;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
  if (!LiveWindow(window)) return FALSE;
  return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

int GetWindowTextA(HWND window, LPSTR buffer, int size) {
  if (!LiveWindow(window) || !buffer || size <= 0) return 0;
  return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthA(HWND window) {
  if (!LiveWindow(window)) return 0;
  return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
}

// The default text handling, shared with DefWindowProcA.
LRESULT SetTextDefault(HWND window, LPCSTR text) {
  window->text = text ? text : "";
  if (IsTopLevel(window) && window->frame) window->frame->setWindowTitle(QString::fromLocal8Bit(window->text.c_str()));
  return TRUE;
}

LRESULT GetTextDefault(HWND window, WPARAM size, LPSTR buffer) {
  if (!buffer || size == 0) return 0;
  const size_t count = std::min(window->text.size(), static_cast<size_t>(size) - 1);
  std::memcpy(buffer, window->text.data(), count);
  buffer[count] = '\0';
  return static_cast<LRESULT>(count);
}

QWidget* ClientWidgetOf(HWND window) { return LiveWindow(window) ? window->client.data() : nullptr; }
QWidget* FrameWidgetOf(HWND window) { return LiveWindow(window) ? window->frame.data() : nullptr; }
