// Where windows are, how big, whether shown, and which one has the keyboard.
#include <QApplication>
#include <QMenuBar>
#include <algorithm>

#include "platform/win/window_record.h"

void LayoutFrame(HWND window) {
  if (!LiveWindow(window) || !IsTopLevel(window) || !window->frame || !window->client) return;
  QWidget* frame = window->frame;
  int top = 0;
  if (window->menu_bar) {
    top = window->menu_bar->heightForWidth(frame->width());
    if (top <= 0) top = window->menu_bar->sizeHint().height();
    window->menu_bar->setGeometry(0, 0, frame->width(), top);
    window->menu_bar->show();
  }
  window->client->setGeometry(0, top, frame->width(), std::max(frame->height() - top, 0));
}

void ReportClientSize(HWND window, bool send) {
  if (!LiveWindow(window) || !window->client) return;
  const bool minimized = window->frame && window->frame->isWindow() && window->frame->isMinimized();
  const int width = minimized ? 0 : window->client->width();
  const int height = minimized ? 0 : window->client->height();
  if (width == window->reported_width && height == window->reported_height &&
      minimized == window->reported_minimized)
    return;
  window->reported_width = width;
  window->reported_height = height;
  window->reported_minimized = minimized;
  WPARAM kind = SIZE_RESTORED;
  if (minimized) kind = SIZE_MINIMIZED;
  else if (window->frame && window->frame->isWindow() && window->frame->isMaximized()) kind = SIZE_MAXIMIZED;
  const LPARAM size = MAKELPARAM(width, height);
  if (send)
    SendMessageA(window, WM_SIZE, kind, size);
  else
    PostInputMessage(window, WM_SIZE, kind, size);
}

namespace {

void SetVisibleStyle(HWND window, bool visible) {
  if (visible) window->style |= WS_VISIBLE;
  else window->style &= ~WS_VISIBLE;
}

}  // namespace

BOOL SetWindowPos(HWND window, HWND insert_after, int x, int y, int width, int height, UINT flags) {
  if (!LiveWindow(window) || !window->frame) return FALSE;
  QWidget* widget = window->frame;
  width = std::max(width, 0);
  height = std::max(height, 0);
  window->placing = true;
  if (!(flags & SWP_NOMOVE)) widget->move(x, y);
  if (!(flags & SWP_NOSIZE)) widget->resize(width, height);
  if (IsTopLevel(window)) LayoutFrame(window);
  if (window->window_class->kind == WindowKind::kToolbar) AlignBar(window);
  if (!(flags & SWP_NOZORDER)) {
    if (insert_after == HWND_BOTTOM) {
      widget->lower();
    } else if (insert_after == HWND_TOP || insert_after == HWND_TOPMOST || insert_after == HWND_NOTOPMOST) {
      widget->raise();
    } else if (HWND above = LiveWindow(insert_after); above && above->frame) {
      widget->stackUnder(above->frame);  // the window goes right behind insert_after
    }
  }
  if (flags & SWP_SHOWWINDOW) {
    widget->show();
    SetVisibleStyle(window, true);
  } else if (flags & SWP_HIDEWINDOW) {
    widget->hide();
    SetVisibleStyle(window, false);
  }
  window->placing = false;
  ReportClientSize(window, true);
  AlignChildBars(window);
  return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL /*repaint*/) {
  return SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL ShowWindow(HWND window, int command) {
  if (!LiveWindow(window) || !window->frame) return FALSE;
  QWidget* widget = window->frame;
  const BOOL was_visible = (window->style & WS_VISIBLE) ? TRUE : FALSE;
  const bool top = IsTopLevel(window);
  window->placing = true;
  switch (command) {
    case SW_HIDE: widget->hide(); break;
    case SW_MAXIMIZE:
      if (top) widget->showMaximized(); else widget->show();
      break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
      if (top) widget->showMinimized(); else widget->show();
      break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
      if (top) widget->showNormal(); else widget->show();
      break;
    default: widget->show(); break;
  }
  SetVisibleStyle(window, command != SW_HIDE);
  if (top) {
    LayoutFrame(window);
    if (command != SW_HIDE && command != SW_SHOWNA && command != SW_SHOWNOACTIVATE &&
        command != SW_SHOWMINNOACTIVE)
      widget->activateWindow();
  }
  window->placing = false;
  ReportClientSize(window, true);
  return was_visible;
}

BOOL IsWindowVisible(HWND window) {
  if (!LiveWindow(window)) return FALSE;
  for (HWND w = window; w; w = (w->style & WS_CHILD) ? w->parent : nullptr)
    if (!(w->style & WS_VISIBLE)) return FALSE;
  return TRUE;
}

BOOL IsIconic(HWND window) {
  return LiveWindow(window) && IsTopLevel(window) && window->frame && window->frame->isMinimized() ? TRUE : FALSE;
}

BOOL IsZoomed(HWND window) {
  return LiveWindow(window) && IsTopLevel(window) && window->frame && window->frame->isMaximized() ? TRUE : FALSE;
}

BOOL EnableWindow(HWND window, BOOL enable) {
  if (!LiveWindow(window) || !window->frame) return FALSE;
  const BOOL was_disabled = (window->style & WS_DISABLED) ? TRUE : FALSE;
  if (enable) window->style &= ~WS_DISABLED;
  else window->style |= WS_DISABLED;
  window->frame->setEnabled(enable != FALSE);
  if (was_disabled != !enable) SendMessageA(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return was_disabled;
}

BOOL IsWindowEnabled(HWND window) {
  return LiveWindow(window) && !(window->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
  if (!LiveWindow(window) || !rect || !window->client) return FALSE;
  *rect = RECT{};
  if (IsIconic(window)) return TRUE;
  rect->right = window->client->width();
  rect->bottom = window->client->height();
  return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
  if (!LiveWindow(window) || !rect || !window->frame) return FALSE;
  QWidget* widget = window->frame;
  QRect area;
  if (IsTopLevel(window)) {
    area = widget->frameGeometry();
  } else {
    area = QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
  }
  rect->left = area.left();
  rect->top = area.top();
  rect->right = area.left() + area.width();
  rect->bottom = area.top() + area.height();
  return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
  if (!LiveWindow(window) || !point || !window->client) return FALSE;
  const QPoint screen = window->client->mapToGlobal(QPoint(point->x, point->y));
  point->x = screen.x();
  point->y = screen.y();
  return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
  if (!LiveWindow(window) || !point || !window->client) return FALSE;
  const QPoint client = window->client->mapFromGlobal(QPoint(point->x, point->y));
  point->x = client.x();
  point->y = client.y();
  return TRUE;
}

HWND GetFocus() { return WindowOfWidget(QApplication::focusWidget()); }

HWND SetFocus(HWND window) {
  const HWND previous = GetFocus();
  if (!LiveWindow(window) || !window->client) return previous;
  window->client->setFocus(Qt::OtherFocusReason);
  return previous;
}

HWND GetActiveWindow() { return WindowOfWidget(QApplication::activeWindow()); }

HWND SetActiveWindow(HWND window) {
  const HWND previous = GetActiveWindow();
  if (HWND top = LiveWindow(TopLevelOf(window)); top && top->frame) top->frame->activateWindow();
  return previous;
}

BOOL SetForegroundWindow(HWND window) {
  HWND top = LiveWindow(TopLevelOf(window));
  if (!top || !top->frame) return FALSE;
  top->frame->raise();
  top->frame->activateWindow();
  return TRUE;
}
