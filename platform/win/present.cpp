// A rendering device's image into its window.
#include <QWidget>
#include <cstring>

#include "platform/win/present.h"
#include "platform/win/window_record.h"

void PresentToWindow(HWND window, const uint32_t* pixels, int width, int height) {
  if (!LiveWindow(window) || !pixels || width <= 0 || height <= 0) return;
  if (window->surface.width() != width || window->surface.height() != height ||
      window->surface.format() != QImage::Format_RGB32)
    window->surface = QImage(width, height, QImage::Format_RGB32);
  if (window->surface.isNull()) return;  // too large to hold
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(window->surface.scanLine(y));
    const uint32_t* source = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
    // The window shows colour only: alpha is forced opaque.
    for (int x = 0; x < width; ++x) row[x] = source[x] | 0xFF000000u;
  }
  // Inside the window's own paint the surface is drawn right after the procedure returns;
  // asking for another paint there would repaint forever.
  if (!window->painting && window->client) window->client->update();
}
