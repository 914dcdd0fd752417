// Cursors and icons by id, the pointer position, and mouse capture.
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QStyle>
#include <map>

#include "platform/win/window_record.h"

struct HCURSOR__ {
  QCursor cursor;
  QPixmap image;
};

namespace {

struct PointerState {
  int x = 0, y = 0;             // screen position last set or seen
  HWND under = nullptr;         // the window that saw the pointer last
  HWND capture = nullptr;
  HCURSOR current = nullptr;
  std::map<std::string, HCURSOR> loaded;  // one handle per resource, as on the platform
};

PointerState& Pointer() {
  static auto* state = new PointerState;
  return *state;
}

struct StandardCursor {
  int id;
  Qt::CursorShape shape;
};
constexpr StandardCursor kStandardCursors[] = {
    {32512, Qt::ArrowCursor}, {32513, Qt::IBeamCursor}, {32514, Qt::WaitCursor},
    {32515, Qt::CrossCursor}, {32516, Qt::UpArrowCursor}, {32646, Qt::SizeAllCursor},
    {32648, Qt::ForbiddenCursor}, {32649, Qt::PointingHandCursor},
};

std::string CacheKey(const char* kind, HINSTANCE instance, LPCSTR name) {
  std::string key = kind;
  key += instance ? "app:" : "std:";
  if (IS_INTRESOURCE(name)) key += "#" + std::to_string(LOWORD(reinterpret_cast<uintptr_t>(name)));
  else key += name;
  return key;
}

HCURSOR Remember(const std::string& key, HCURSOR handle) {
  if (handle) Pointer().loaded[key] = handle;
  return handle;
}

}  // namespace

bool IsInteractivePlatform() {
  const QString name = QGuiApplication::platformName();
  return qApp && name != QLatin1String("offscreen") && name != QLatin1String("minimal");
}

QCursor CursorFromHandle(HCURSOR cursor) { return cursor ? cursor->cursor : QCursor(Qt::BlankCursor); }

QIcon IconFromHandle(HICON icon) { return icon ? QIcon(icon->image) : QIcon(); }

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
  if (!name || !qApp) return nullptr;
  const std::string key = CacheKey("cursor:", instance, name);
  if (auto found = Pointer().loaded.find(key); found != Pointer().loaded.end()) return found->second;
  if (!instance) {
    if (!IS_INTRESOURCE(name)) return nullptr;
    for (const StandardCursor& row : kStandardCursors)
      if (row.id == LOWORD(reinterpret_cast<uintptr_t>(name)))
        return Remember(key, new HCURSOR__{QCursor(row.shape), QPixmap()});
    return nullptr;
  }
  const CursorResource* resource = FindCursorResource(name);
  if (!resource) return nullptr;
  const QImage image = ImageFromResource(resource->image);
  if (image.isNull()) return nullptr;
  const QPixmap pixmap = QPixmap::fromImage(image);
  return Remember(key, new HCURSOR__{QCursor(pixmap, resource->hotspot_x, resource->hotspot_y), pixmap});
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
  if (!name || !qApp) return nullptr;
  const std::string key = CacheKey("icon:", instance, name);
  if (auto found = Pointer().loaded.find(key); found != Pointer().loaded.end()) return found->second;
  if (!instance) {
    if (!IS_INTRESOURCE(name)) return nullptr;
    const QPixmap pixmap = QApplication::style()->standardIcon(QStyle::SP_DesktopIcon).pixmap(32, 32);
    return Remember(key, new HCURSOR__{QCursor(Qt::ArrowCursor), pixmap});
  }
  const IconResource* resource = FindIconResource(name);
  if (!resource) return nullptr;
  const QImage image = ImageFromResource(resource->image);
  if (image.isNull()) return nullptr;
  return Remember(key, new HCURSOR__{QCursor(Qt::ArrowCursor), QPixmap::fromImage(image)});
}

HCURSOR SetCursor(HCURSOR cursor) {
  PointerState& state = Pointer();
  const HCURSOR previous = state.current;
  state.current = cursor;
  // The shape shows over the window the pointer is in, which is where the program set it.
  HWND window = LiveWindow(state.capture) ? state.capture : LiveWindow(state.under);
  if (window && window->client) window->client->setCursor(CursorFromHandle(cursor));
  return previous;
}

HCURSOR GetCursor() { return Pointer().current; }

void NotePointer(HWND window, int screen_x, int screen_y) {
  PointerState& state = Pointer();
  state.x = screen_x;
  state.y = screen_y;
  state.under = window;
}

BOOL SetCursorPos(int x, int y) {
  PointerState& state = Pointer();
  state.x = x;
  state.y = y;
  if (IsInteractivePlatform()) QCursor::setPos(x, y);
  return TRUE;
}

BOOL GetCursorPos(POINT* point) {
  if (!point) return FALSE;
  point->x = Pointer().x;
  point->y = Pointer().y;
  return TRUE;
}

HWND SetCapture(HWND window) {
  PointerState& state = Pointer();
  const HWND previous = LiveWindow(state.capture);
  if (!LiveWindow(window) || !window->client) return previous;
  if (previous && previous != window) {
    if (IsInteractivePlatform() && previous->client) previous->client->releaseMouse();
    SendMessageA(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
  }
  state.capture = window;
  // Grabbing needs a real pointer; headless platforms only record the capture.
  if (IsInteractivePlatform() && window->client->isVisible()) window->client->grabMouse();
  return previous;
}

BOOL ReleaseCapture() {
  PointerState& state = Pointer();
  HWND previous = LiveWindow(state.capture);
  state.capture = nullptr;
  if (previous) {
    if (IsInteractivePlatform() && previous->client) previous->client->releaseMouse();
    SendMessageA(previous, WM_CAPTURECHANGED, 0, 0);
  }
  return TRUE;
}

HWND GetCapture() { return LiveWindow(Pointer().capture); }

void ForgetCapture(HWND window) {
  PointerState& state = Pointer();
  if (state.capture == window) {
    if (IsInteractivePlatform() && window->client) window->client->releaseMouse();
    state.capture = nullptr;
  }
  if (state.under == window) state.under = nullptr;
}
