// The Qt widgets behind windows, and the one place where Qt's events on them become
// messages.
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QVariant>
#include <QWheelEvent>

#include "platform/win/window_record.h"

namespace {

constexpr char kWindowProperty[] = "facetry_window";

WPARAM MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  WPARAM flags = 0;
  if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
  if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) flags |= MK_MBUTTON;
  if (modifiers & Qt::ShiftModifier) flags |= MK_SHIFT;
  if (modifiers & Qt::ControlModifier) flags |= MK_CONTROL;
  return flags;
}

struct ButtonMessages {
  Qt::MouseButton button;
  int virtual_key;
  UINT down, up, double_click;
};
constexpr ButtonMessages kButtons[] = {
    {Qt::LeftButton, VK_LBUTTON, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK},
    {Qt::RightButton, VK_RBUTTON, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK},
    {Qt::MiddleButton, VK_MBUTTON, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK},
};

void TranslateMouse(HWND window, QMouseEvent* event) {
  const QPoint client = event->position().toPoint();
  const QPoint screen = event->globalPosition().toPoint();
  NotePointer(window, screen.x(), screen.y());
  const WPARAM flags = MouseFlags(event->buttons(), event->modifiers());
  const LPARAM where = MAKELPARAM(client.x(), client.y());
  if (event->type() == QEvent::MouseMove) {
    PostInputMessage(window, WM_MOUSEMOVE, flags, where);
    return;
  }
  for (const ButtonMessages& row : kButtons) {
    if (event->button() != row.button) continue;
    UINT message = row.up;
    if (event->type() == QEvent::MouseButtonPress) {
      message = row.down;
    } else if (event->type() == QEvent::MouseButtonDblClick) {
      // Only classes that ask for double clicks get them; others see a second press.
      message = (window->window_class->style & CS_DBLCLKS) ? row.double_click : row.down;
    }
    NoteKeyEvent(row.virtual_key, message != row.up, std::string());
    PostInputMessage(window, message, flags, where);
  }
}

void TranslateWheel(HWND window, QWheelEvent* event) {
  const QPoint screen = event->globalPosition().toPoint();
  NotePointer(window, screen.x(), screen.y());
  const int delta = event->angleDelta().y();
  if (delta == 0) return;
  const WPARAM flags = MouseFlags(event->buttons(), event->modifiers());
  PostInputMessage(window, WM_MOUSEWHEEL, MAKEWPARAM(flags, static_cast<SHORT>(delta)),
                   MAKELPARAM(screen.x(), screen.y()));
}

void TranslateKey(HWND window, QKeyEvent* event) {
  const bool down = event->type() == QEvent::KeyPress;
  // Held keys repeat as further key-downs only.
  if (!down && event->isAutoRepeat()) return;
  const int key = VirtualKeyFromQt(event->key(), event->modifiers() & Qt::KeypadModifier);
  if (!key) return;
  const bool alt_held = GetAsyncKeyState(VK_MENU) & 0x8000;
  NoteKeyEvent(key, down, event->text().toStdString());
  const bool system = alt_held || (down && key == VK_MENU) || key == VK_F1 + 9;
  LPARAM data = 1 | (static_cast<LPARAM>(event->nativeScanCode() & 0xFF) << 16);
  if (system && (alt_held || key == VK_MENU)) data |= LPARAM{1} << 29;
  if (!down || event->isAutoRepeat()) data |= LPARAM{1} << 30;
  if (!down) data |= LPARAM{1} << 31;
  UINT message = down ? WM_KEYDOWN : WM_KEYUP;
  if (system) message = down ? WM_SYSKEYDOWN : WM_SYSKEYUP;
  PostInputMessage(window, message, static_cast<WPARAM>(key), data);
}

class ClientWidget : public QWidget {
 public:
  ClientWidget(HWND window, QWidget* parent) : QWidget(parent) {
    TagWidget(this, window);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  bool event(QEvent* event) override {
    HWND window = OwnWindow();
    if (window && TranslateQtEvent(window, event)) return true;
    return QWidget::event(event);
  }
  void paintEvent(QPaintEvent* event) override {
    if (HWND window = OwnWindow()) PaintWindow(window, this, event->rect());
  }

 private:
  HWND OwnWindow() const { return LiveWindow(reinterpret_cast<HWND>(property(kWindowProperty).value<quintptr>())); }
};

class FrameWidget : public QWidget {
 public:
  explicit FrameWidget(HWND window) : QWidget(nullptr) { TagWidget(this, window); }

 protected:
  bool event(QEvent* event) override {
    HWND window = LiveWindow(reinterpret_cast<HWND>(property(kWindowProperty).value<quintptr>()));
    if (!window) return QWidget::event(event);
    switch (event->type()) {
      case QEvent::Close:
        // Closing is the program's decision: it hears WM_CLOSE and may destroy the window.
        PostInputMessage(window, WM_CLOSE, 0, 0);
        event->ignore();
        return true;
      case QEvent::WindowActivate:
        PostInputMessage(window, WM_ACTIVATE, WA_ACTIVE, 0);
        break;
      case QEvent::WindowDeactivate:
        PostInputMessage(window, WM_ACTIVATE, WA_INACTIVE, 0);
        break;
      case QEvent::WindowStateChange:
        ReportClientSize(window, false);
        break;
      case QEvent::Resize:
        LayoutFrame(window);
        break;
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
        // Keys reach the frame only when no client widget holds the focus.
        TranslateKey(window, static_cast<QKeyEvent*>(event));
        return true;
      default:
        break;
    }
    return QWidget::event(event);
  }
};

}  // namespace

void TagWidget(QWidget* widget, HWND window) {
  widget->setProperty(kWindowProperty, QVariant::fromValue(reinterpret_cast<quintptr>(window)));
}

void DetachWidget(QWidget* widget) {
  if (widget) TagWidget(widget, nullptr);
}

HWND WindowOfWidget(QWidget* widget) {
  for (; widget; widget = widget->parentWidget()) {
    const quintptr tag = widget->property(kWindowProperty).value<quintptr>();
    if (tag) return LiveWindow(reinterpret_cast<HWND>(tag));
  }
  return nullptr;
}

QWidget* MakeClientWidget(HWND window, QWidget* parent) { return new ClientWidget(window, parent); }

QWidget* MakeFrameWidget(HWND window) { return new FrameWidget(window); }

bool TranslateQtEvent(HWND window, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      TranslateMouse(window, static_cast<QMouseEvent*>(event));
      return true;
    case QEvent::Wheel:
      TranslateWheel(window, static_cast<QWheelEvent*>(event));
      return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      TranslateKey(window, static_cast<QKeyEvent*>(event));
      return true;
    case QEvent::Resize:
      if (!window->placing) ReportClientSize(window, false);
      AlignChildBars(window);
      return false;
    case QEvent::FocusIn:
      PostInputMessage(window, WM_SETFOCUS, 0, 0);
      return false;
    case QEvent::FocusOut:
      PostInputMessage(window, WM_KILLFOCUS, 0, 0);
      return false;
    default:
      return false;
  }
}
