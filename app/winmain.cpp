// The entry point and the loop.
#include <cfenv>

#include "app/errors.h"
#include "app/globals.h"
#include "app/shell.h"
#include "app/toolbar_status.h"
#include "model/polygoni.h"
#include "views/viewport_data.h"

void EvActivateApp(BOOL /*active*/) {}

void InstallMessageBoxSink() {
  SetMsgSink([](const std::string& caption, const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
  });
}

int WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR command_line, int show) {
  popstr = {};
  myglobs.curIde = 202;
  // Math errors neither trap nor print; results just go on as infinities or NaNs.
  fedisableexcept(FE_ALL_EXCEPT);

  HWND window = InitApp(instance, show);
  if (!window) return 1;

  HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(3));
  if (!accelerators) Msg("load filed!!!!!!!!!!!!!!!!!");

  SetWindowPos(hwndToolBar, HWND_TOPMOST, 24, 24, 100, 30, SWP_SHOWWINDOW);

  // A file named on the command line (a file manager's "open with") opens as File > Open
  // would open it, once the window is up to show any message.
  if (command_line && *command_line) polygoner.OpenNamed(vp_data.hwndmain, command_line);

  MSG msg;
  while (!myglobs.bQuit) {
    if (!LoopTurn(accelerators, &msg, true)) break;
  }
  DestroyWindow(window);
  return static_cast<int>(msg.wParam);
}
