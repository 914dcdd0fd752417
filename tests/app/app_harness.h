// Drives the whole editor in-process on Qt's offscreen platform: start-up, messages a user
// would cause, render passes, answers to modal boxes, dialogs and file dialogs, and what the
// user sees.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/win.h"

struct RecordedBox {
  std::string caption;
  std::string text;
  UINT type = 0;
};

struct RecordedFile {
  bool save = false;
  std::string filter_first_description;
  std::string def_ext;
  std::string initial;  // what lpstrFile held
};

class AppHarness {
 public:
  AppHarness();
  ~AppHarness();

  // Runs InitApp; the front view window, or null when start-up failed.
  HWND Start();
  // One turn of the program's loop that never waits; false once the loop has ended.
  bool Turn();
  // Up to `count` turns; the number run before the loop ended.
  int Turns(int count);

  void Command(int id);      // sent, as the program's own handlers send commands
  void PostCommand(int id);  // queued, as a menu click or accelerator is
  void Key(int virtual_key, bool down = true);
  // Pointer messages to the front view window, in its client coordinates.
  void MouseMove(int x, int y, WPARAM buttons = 0);
  void Click(int x, int y);
  // A pointer move over `window`, in its client coordinates (the texture view's own).
  void MouseMoveIn(HWND window, int x, int y, WPARAM buttons = 0);
  void Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void Post(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  // Message boxes are answered from here (the box's default when empty) and recorded.
  std::deque<int> answers;
  std::vector<RecordedBox> boxes;
  // Dialog captions in the order they opened; `drive` answers them (cancelled if unset).
  std::vector<std::string> dialogs;
  std::function<void(HWND dialog)> drive;
  // File dialogs take the front path (nullopt: cancel; none left: cancel) and are recorded.
  std::deque<std::optional<std::string>> files;
  std::vector<RecordedFile> file_dialogs;
  // The colour chooser takes the front colour (nullopt or none left: cancel); each
  // request's initial colour is recorded.
  std::deque<std::optional<COLORREF>> colors;
  std::vector<COLORREF> color_requests;

  bool MenuChecked(UINT id) const;
  bool MenuGrayed(UINT id) const;
  bool ButtonChecked(int id) const;
  bool ButtonEnabled(int id) const;
  std::string StatusText(int part) const;
  bool StatusSimple() const;
  std::vector<int> StatusEdges() const;
  std::string Title() const;
  // What the front view shows: the device's last image, 0xAARRGGBB, top row first.
  std::vector<uint32_t> FrontPixels(int* width, int* height) const;
  // What the texture view shows, once a paint it waits for has run: 0xAARRGGBB, top row
  // first.
  std::vector<uint32_t> TexturePixels(int* width, int* height) const;

  HWND main() const;
  HWND front() const { return front_; }
  HWND texture_view() const;

 private:
  HWND front_ = nullptr;
  HACCEL accelerators_ = nullptr;
};
