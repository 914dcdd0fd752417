// Where a rendering device's finished image reaches the screen.
#pragma once

#include <cstdint>

#include "platform/handles.h"

// Copies width x height pixels (0xAARRGGBB, top row first) into the window's surface and
// schedules a repaint; inside the window's own paint it is drawn at once. Has the shape of
// the retained-mode layer's present hook, which the program installs with it.
void PresentToWindow(HWND window, const uint32_t* pixels, int width, int height);
