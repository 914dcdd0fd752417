// What the toolbar, the status bar and dialogs hold behind their window handles. Private.
#pragma once

#include <QAction>
#include <QImage>
#include <QPointer>
#include <string>
#include <vector>

#include "platform/win/win.h"

struct ToolbarState {
  std::vector<TBBUTTON> buttons;
  std::vector<QPointer<QAction>> actions;  // index-aligned with buttons
  QImage strip;
  int image_width = 16, image_height = 16, image_count = 0;
};

struct StatusBarState {
  struct Part {
    std::string text;
    WPARAM type = 0;  // SBT_ bits
  };
  std::vector<int> edges{-1};
  std::vector<Part> parts{Part()};
  bool simple = false;
  Part simple_part;
};

struct DialogState {
  DLGPROC procedure = nullptr;  // set after creation, so it first hears WM_INITDIALOG
  bool running = false;         // inside QDialog::exec
  bool ended = false;
  INT_PTR result = 0;
};
