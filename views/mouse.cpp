// The pointer mapping's start state and centring.
#include "views/mouse.h"

#include "app/errors.h"
#include "app/shell.h"

mouse mouser;

void mouse::InitMouse() {
  GetCenter();
  reverse = precision = overridereverse = false;
  previousa = {0, 0, 30};
}

void mouse::GetCenter() {
  RECT client;
  if (!GetClientRect(hWnd, &client)) {
    Msg("GetClientRect in mouse::GetCenter failed");
    CleanUpAndPostQuit();
    window_center = {1, 1};
    return;
  }
  client_center = {client.right / 2, client.bottom / 2};
  window_center = client_center;
  if (!ClientToScreen(hWnd, &window_center)) Msg("ClientToScreen() failed");
  SetCursorPos(window_center.x, window_center.y);
}
