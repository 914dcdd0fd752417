// Painting: update regions, WM_PAINT from Qt's paint events, paint and window device
// contexts, the surface and overlay they draw on, and the class background.
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cstring>

#include "platform/win/gdi_object.h"
#include "platform/win/qt_access.h"
#include "platform/win/window_record.h"

namespace {

RECT ToRect(const QRect& area) {
  RECT rect;
  rect.left = area.left();
  rect.top = area.top();
  rect.right = area.left() + area.width();
  rect.bottom = area.top() + area.height();
  return rect;
}

QSize ClientSize(HWND window) { return window->client ? window->client->size() : QSize(); }

// What the window shows inside `area`: the class background where the surface does not
// reach, the surface, and the overlay over both.
void Compose(HWND window, QPainter& painter, const QRect& area) {
  bool fill = false;
  const uint32_t color = BackgroundColor(window->window_class->background, &fill);
  const QRect surface_area(QPoint(0, 0), window->surface.size());
  if (fill) {
    QRegion uncovered = QRegion(area).subtracted(QRegion(surface_area));
    for (const QRect& part : uncovered) painter.fillRect(part, QColor::fromRgba(color));
  }
  if (!window->surface.isNull()) painter.drawImage(QPoint(0, 0), window->surface);
  if (!window->overlay.isNull()) painter.drawImage(QPoint(0, 0), window->overlay);
}

}  // namespace

uint32_t BackgroundColor(HBRUSH brush, bool* paint) {
  HGDIOBJ__* object = LiveObject(brush);
  *paint = object && object->kind == HGDIOBJ__::Kind::kBrush && !object->hollow;
  return object ? object->color : 0;
}

QImage* WindowSurface(HWND window) {
  if (!window->client) return nullptr;
  const QSize size = ClientSize(window);
  if (window->surface.size() != size || window->surface.format() != QImage::Format_RGB32) {
    // A device may have presented at another size: what overlaps stays.
    const QImage old = window->surface.convertToFormat(QImage::Format_RGB32);
    QImage fresh(size, QImage::Format_RGB32);
    fresh.fill(0xFFFFFFFFu);
    const int rows = std::min(old.height(), fresh.height());
    const size_t bytes = static_cast<size_t>(std::min(old.width(), fresh.width())) * 4;
    for (int y = 0; y < rows && bytes > 0; ++y) std::memcpy(fresh.scanLine(y), old.constScanLine(y), bytes);
    window->surface = std::move(fresh);
  }
  return &window->surface;
}

QImage* WindowOverlay(HWND window) {
  if (!window->client) return nullptr;
  const QSize size = ClientSize(window);
  if (window->overlay.size() != size) {
    window->overlay = QImage(size, QImage::Format_ARGB32);
    window->overlay.fill(0u);
  }
  return &window->overlay;
}

QImage WindowImage(HWND window) {
  if (!LiveWindow(window) || !window->client) return QImage();
  QImage shown(ClientSize(window), QImage::Format_RGB32);
  if (shown.isNull()) return shown;
  shown.fill(0xFFFFFFFFu);
  QPainter painter(&shown);
  Compose(window, painter, shown.rect());
  return shown;
}

void PaintWindow(HWND window, QWidget* widget, const QRect& area) {
  // The procedure paints first (a device shows its image again from here); then what the
  // surface and the overlay hold goes on screen over the class background. A repaint that
  // only shows what a DC drew between paints is none of the procedure's business: nothing
  // was invalidated, so it hears no WM_PAINT.
  const bool show_only = window->redraw_only && !window->update_pending && !window->surface.isNull();
  window->redraw_only = false;
  if (!show_only) {
    window->painting = true;
    window->update_pending = true;
    window->update_rect = area;
    SendMessageA(window, WM_PAINT, 0, 0);
    if (!LiveWindow(window)) return;
    window->painting = false;
    window->update_pending = false;
  }
  QPainter painter(widget);
  Compose(window, painter, area);
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL /*erase*/) {
  if (!window) {
    for (HWND each : LiveWindows()) InvalidateRect(each, nullptr, FALSE);
    return TRUE;
  }
  if (!LiveWindow(window) || !window->client) return FALSE;
  const QRect whole = window->client->rect();
  const QRect area = rect ? QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1)) & whole
                          : whole;
  // What window DCs drew there goes: the paint that follows draws the area afresh.
  const QRect cleared = area & window->overlay.rect();
  for (int y = cleared.top(); !cleared.isEmpty() && y <= cleared.bottom(); ++y)
    std::memset(window->overlay.scanLine(y) + static_cast<size_t>(cleared.left()) * 4, 0,
                static_cast<size_t>(cleared.width()) * 4);
  window->update_rect = window->update_pending ? window->update_rect.united(area) : area;
  window->update_pending = !window->update_rect.isEmpty();
  window->client->update(area);
  return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* /*rect*/) {
  if (!LiveWindow(window)) return FALSE;
  window->update_pending = false;
  window->update_rect = QRect();
  return TRUE;
}

BOOL UpdateWindow(HWND window) {
  if (!LiveWindow(window) || !window->client) return FALSE;
  if (window->update_pending && window->client->isVisible() && !window->painting)
    window->client->repaint(window->update_rect);
  return TRUE;
}

BOOL GetUpdateRect(HWND window, RECT* rect, BOOL /*erase*/) {
  if (!LiveWindow(window)) return FALSE;
  if (rect) *rect = window->update_pending ? ToRect(window->update_rect) : RECT{};
  return window->update_pending ? TRUE : FALSE;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  if (!LiveWindow(window) || !paint) return nullptr;
  paint->hdc = MakeDc(DcKind::kPaint, window);
  paint->fErase = FALSE;  // the layer paints the class background itself
  paint->rcPaint = window->update_pending ? ToRect(window->update_rect) : RECT{};
  window->update_pending = false;
  return paint->hdc;
}

BOOL EndPaint(HWND /*window*/, const PAINTSTRUCT* paint) {
  HDC__* dc = paint ? LiveDc(paint->hdc) : nullptr;
  if (!dc || dc->kind != DcKind::kPaint) return FALSE;
  FreeDc(dc);
  return TRUE;
}

HDC GetDC(HWND window) {
  if (!LiveWindow(window)) return nullptr;
  return MakeDc(DcKind::kWindow, window);
}

int ReleaseDC(HWND /*window*/, HDC dc) {
  HDC__* live = LiveDc(dc);
  if (!live || live->kind != DcKind::kWindow) return 0;
  FreeDc(live);
  return 1;
}

int GetDeviceCaps(HDC dc, int index) {
  if (!LiveDc(dc)) return 0;
  HWND window = LiveWindow(dc->window);
  switch (index) {
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case HORZRES: return window && window->client ? window->client->width() : 0;
    case VERTRES: return window && window->client ? window->client->height() : 0;
    default: return 0;
  }
}
