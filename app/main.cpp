// The process entry: the Qt application exists before the program's own entry point runs.
#include <QApplication>

#include "app/shell.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  return WinMain(GetModuleHandleA(nullptr), nullptr, argc > 1 ? argv[1] : nullptr, SW_SHOWDEFAULT);
}
