#include "tests/app/app_harness.h"

#include <QImage>

#include "app/globals.h"
#include "app/shell.h"
#include "platform/rm/d3drm.h"
#include "platform/win/qt_access.h"
#include "views/viewport_data.h"

AppHarness::AppHarness() {
  ModalResponder responder;
  responder.answer_box = [this](const std::string& caption, const std::string& text, UINT type) {
    boxes.push_back({caption, text, type});
    if (!answers.empty()) {
      const int answer = answers.front();
      answers.pop_front();
      return answer;
    }
    switch (type & MB_TYPEMASK) {
      case MB_YESNOCANCEL:
      case MB_YESNO: return IDYES;
      default: return IDOK;
    }
  };
  responder.drive_dialog = [this](HWND dialog) {
    char caption[256] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    dialogs.emplace_back(caption);
    if (drive)
      drive(dialog);
    else
      SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  };
  responder.answer_file = [this](bool save, const OPENFILENAMEA& request) -> std::optional<std::string> {
    file_dialogs.push_back({save, request.lpstrFilter ? request.lpstrFilter : "",
                            request.lpstrDefExt ? request.lpstrDefExt : "", request.lpstrFile});
    if (files.empty()) return std::nullopt;
    std::optional<std::string> answer = files.front();
    files.pop_front();
    return answer;
  };
  responder.answer_color = [this](const CHOOSECOLORA& request) -> std::optional<COLORREF> {
    color_requests.push_back(request.rgbResult);
    if (colors.empty()) return std::nullopt;
    std::optional<COLORREF> answer = colors.front();
    colors.pop_front();
    return answer;
  };
  SetModalResponder(responder);
}

AppHarness::~AppHarness() {
  // Whatever the test did, no retained-mode object outlives it.
  if (!myglobs.bQuit) CleanUpAndPostQuit();
  SetModalResponder({});
}

HWND AppHarness::Start() {
  front_ = InitApp(GetModuleHandleA(nullptr), SW_SHOW);
  if (front_) accelerators_ = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(3));
  return front_;
}

bool AppHarness::Turn() {
  MSG msg;
  return LoopTurn(accelerators_, &msg, false);
}

int AppHarness::Turns(int count) {
  for (int i = 0; i < count; ++i)
    if (!Turn()) return i;
  return count;
}

HWND AppHarness::main() const { return vp_data.hwndmain; }
HWND AppHarness::texture_view() const { return vp_data.hwndtex; }

void AppHarness::Command(int id) { SendMessageA(main(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
void AppHarness::PostCommand(int id) { PostMessageA(main(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
void AppHarness::Key(int virtual_key, bool down) {
  PostMessageA(front_, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(virtual_key), 0);
}
void AppHarness::MouseMove(int x, int y, WPARAM buttons) { MouseMoveIn(front_, x, y, buttons); }
void AppHarness::MouseMoveIn(HWND window, int x, int y, WPARAM buttons) {
  // The layer takes the pointer to be where the message says once it is retrieved, as a
  // real move carries the system pointer along.
  PostMessageA(window, WM_MOUSEMOVE, buttons, MAKELPARAM(x, y));
}
void AppHarness::Click(int x, int y) {
  PostMessageA(front_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(front_, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
void AppHarness::Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  SendMessageA(window, message, wparam, lparam);
}
void AppHarness::Post(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  PostMessageA(window, message, wparam, lparam);
}

bool AppHarness::MenuChecked(UINT id) const {
  const UINT state = GetMenuState(GetMenu(main()), id, MF_BYCOMMAND);
  return state != kMenuError && (state & MF_CHECKED);
}
bool AppHarness::MenuGrayed(UINT id) const {
  const UINT state = GetMenuState(GetMenu(main()), id, MF_BYCOMMAND);
  return state != kMenuError && (state & MF_GRAYED);
}
bool AppHarness::ButtonChecked(int id) const {
  return SendMessageA(hwndToolBar, TB_ISBUTTONCHECKED, static_cast<WPARAM>(id), 0) != 0;
}
bool AppHarness::ButtonEnabled(int id) const {
  return SendMessageA(hwndToolBar, TB_ISBUTTONENABLED, static_cast<WPARAM>(id), 0) != 0;
}

std::string AppHarness::StatusText(int part) const {
  char text[512] = {};
  const LRESULT length = SendMessageA(vp_data.hwndstatus, SB_GETTEXTLENGTH, static_cast<WPARAM>(part), 0);
  if (LOWORD(length) >= sizeof text) return {};
  SendMessageA(vp_data.hwndstatus, SB_GETTEXT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
  return text;
}
bool AppHarness::StatusSimple() const { return SendMessageA(vp_data.hwndstatus, SB_ISSIMPLE, 0, 0) != 0; }
std::vector<int> AppHarness::StatusEdges() const {
  int edges[kStatusMaxParts] = {};
  const LRESULT count = SendMessageA(vp_data.hwndstatus, SB_GETPARTS, kStatusMaxParts, reinterpret_cast<LPARAM>(edges));
  return std::vector<int>(edges, edges + count);
}

std::string AppHarness::Title() const {
  char text[1024] = {};
  GetWindowTextA(main(), text, sizeof text);
  return text;
}

std::vector<uint32_t> AppHarness::FrontPixels(int* width, int* height) const {
  *width = *height = 0;
  if (!myglobs.dev) return {};
  const raster::Framebuffer& image = myglobs.dev->Framebuffer();
  *width = image.width;
  *height = image.height;
  return image.color;
}

std::vector<uint32_t> AppHarness::TexturePixels(int* width, int* height) const {
  UpdateWindow(vp_data.hwndtex);
  const QImage image = WindowImage(vp_data.hwndtex).convertToFormat(QImage::Format_ARGB32);
  *width = image.width();
  *height = image.height();
  std::vector<uint32_t> pixels(static_cast<size_t>(image.width()) * static_cast<size_t>(image.height()));
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) pixels[static_cast<size_t>(y) * image.width() + x] = image.pixel(x, y);
  return pixels;
}
