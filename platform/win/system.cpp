// System queries: mouse parameters, metrics, the module and its file name.
#include <unistd.h>

#include <QApplication>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <cstring>
#include <string>

#include "platform/win/window_record.h"

struct HINSTANCE__ {
  int unused;
};

namespace {

HINSTANCE__ kProgramInstance{0};

}  // namespace

void InitCommonControls() {
  // The controls are Qt widgets made on demand; nothing needs loading first.
}

BOOL SystemParametersInfoA(UINT action, UINT /*uparam*/, LPVOID pvparam, UINT /*winini*/) {
  if (action == SPI_GETMOUSE && pvparam) {
    // The acceleration thresholds and the acceleration (the third value).
    const int mouse[3] = {6, 10, 1};
    std::memcpy(pvparam, mouse, sizeof(mouse));
    return TRUE;
  }
  return FALSE;
}

int GetSystemMetrics(int index) {
  const QScreen* screen = qApp ? QGuiApplication::primaryScreen() : nullptr;
  const QStyle* style = qApp ? QApplication::style() : nullptr;
  switch (index) {
    case SM_CXSCREEN: return screen ? screen->geometry().width() : 0;
    case SM_CYSCREEN: return screen ? screen->geometry().height() : 0;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return style ? style->pixelMetric(QStyle::PM_ScrollBarExtent) : 16;
    case SM_CYCAPTION: return style ? style->pixelMetric(QStyle::PM_TitleBarHeight) : 20;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CYMENU: {
      if (!qApp) return 0;
      QMenuBar probe;
      probe.addMenu(QStringLiteral("&File"));
      return probe.sizeHint().height();
    }
    default: return 0;
  }
}

HMODULE GetModuleHandleA(LPCSTR /*module_name*/) { return &kProgramInstance; }

DWORD GetModuleFileNameA(HMODULE /*module*/, LPSTR buffer, DWORD size) {
  if (!buffer || size == 0) return 0;
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<size_t>(length) >= path.size()) {
    buffer[0] = '\0';
    return 0;
  }
  path.resize(static_cast<size_t>(length));
  if (path.size() >= size) {
    std::memcpy(buffer, path.data(), size - 1);
    buffer[size - 1] = '\0';
    return size;
  }
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}
