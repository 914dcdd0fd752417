// Painting: update regions, WM_PAINT from Qt's paint events, paint and window device
// contexts, and the class background.
#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "platform/win/gdi_object.h"
#include "platform/win/window_record.h"

namespace {

HGDIOBJ__ kStockBrushes[] = {
    {HGDIOBJ__::Kind::kBrush, 0xFFFFFFFF, false},  // WHITE_BRUSH
    {HGDIOBJ__::Kind::kBrush, 0xFFC0C0C0, false},  // LTGRAY_BRUSH
    {HGDIOBJ__::Kind::kBrush, 0xFF808080, false},  // GRAY_BRUSH
    {HGDIOBJ__::Kind::kBrush, 0xFF404040, false},  // DKGRAY_BRUSH
    {HGDIOBJ__::Kind::kBrush, 0xFF000000, false},  // BLACK_BRUSH
    {HGDIOBJ__::Kind::kBrush, 0xFF000000, true},   // NULL_BRUSH
};

RECT ToRect(const QRect& area) {
  RECT rect;
  rect.left = area.left();
  rect.top = area.top();
  rect.right = area.left() + area.width();
  rect.bottom = area.top() + area.height();
  return rect;
}

}  // namespace

HGDIOBJ GetStockObject(int object) {
  if (object < WHITE_BRUSH || object > NULL_BRUSH) return nullptr;
  return &kStockBrushes[object];
}

uint32_t BackgroundColor(HBRUSH brush, bool* paint) {
  *paint = brush && brush->kind == HGDIOBJ__::Kind::kBrush && !brush->hollow;
  return brush ? brush->color : 0;
}

void PaintWindow(HWND window, QWidget* widget, const QRect& area) {
  // The procedure paints first (a device shows its image again from here); then what the
  // surface holds goes on screen over the class background.
  window->painting = true;
  window->update_pending = true;
  window->update_rect = area;
  SendMessageA(window, WM_PAINT, 0, 0);
  if (!LiveWindow(window)) return;
  window->painting = false;
  window->update_pending = false;

  QPainter painter(widget);
  bool fill = false;
  const uint32_t color = BackgroundColor(window->window_class->background, &fill);
  const QRect surface_area(QPoint(0, 0), window->surface.size());
  if (fill) {
    QRegion uncovered = QRegion(area).subtracted(QRegion(surface_area));
    for (const QRect& part : uncovered) painter.fillRect(part, QColor::fromRgba(color));
  }
  if (!window->surface.isNull()) painter.drawImage(QPoint(0, 0), window->surface);
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
  paint->hdc = new HDC__{window, true};
  paint->fErase = FALSE;  // the layer paints the class background itself
  paint->rcPaint = window->update_pending ? ToRect(window->update_rect) : RECT{};
  window->update_pending = false;
  return paint->hdc;
}

BOOL EndPaint(HWND /*window*/, const PAINTSTRUCT* paint) {
  if (!paint || !paint->hdc || !paint->hdc->from_paint) return FALSE;
  delete paint->hdc;
  return TRUE;
}

HDC GetDC(HWND window) {
  if (!LiveWindow(window)) return nullptr;
  return new HDC__{window, false};
}

int ReleaseDC(HWND /*window*/, HDC dc) {
  if (!dc || dc->from_paint) return 0;
  delete dc;
  return 1;
}

int GetDeviceCaps(HDC dc, int index) {
  if (!dc) return 0;
  HWND window = LiveWindow(dc->window);
  switch (index) {
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case HORZRES: return window && window->client ? window->client->width() : 0;
    case VERTRES: return window && window->client ? window->client->height() : 0;
    default: return 0;
  }
}
