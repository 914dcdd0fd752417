// Gives the main window a client area of `width` x `height` for real, as a user's resize
// does: the layout sizes the device from it, so a size message alone cannot shrink the
// views. The window's frame is not known up front, so it is sized until the client fits.
#pragma once

#include <gtest/gtest.h>

#include "tests/app/app_harness.h"

inline void FitClient(AppHarness& app, int width, int height) {
  ShowWindow(app.main(), SW_RESTORE);
  RECT outer, client;
  GetWindowRect(app.main(), &outer);
  int asked_w = outer.right - outer.left, asked_h = outer.bottom - outer.top;
  for (int pass = 0; pass < 3; ++pass) {
    GetClientRect(app.main(), &client);
    asked_w += width - client.right;
    asked_h += height - client.bottom;
    SetWindowPos(app.main(), nullptr, 0, 0, asked_w, asked_h, SWP_NOZORDER);
  }
  GetClientRect(app.main(), &client);
  ASSERT_EQ(client.right, width);
  ASSERT_EQ(client.bottom, height);
}
