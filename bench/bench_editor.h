// The running editor for benchmarks: started offscreen with its device at the main
// window's start-up size, 1024 x 728, then the registered benchmarks, then shut down.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>
#include <optional>
#include <string>

#include "app/shell.h"
#include "model/polygoni.h"
#include "platform/win/modal.h"

inline constexpr int kBenchWidth = 1024;
inline constexpr int kBenchHeight = 728;

// What the next file dialog is answered with.
inline std::string bench_file_answer;

// The editor's boxes and dialogs answered as a benchmark needs: file dialogs with
// bench_file_answer, message boxes No (and printed), other dialogs OK.
inline void AnswerModalsForBenchmarks() {
  ModalResponder responder;
  responder.answer_file = [](bool, const OPENFILENAMEA&) -> std::optional<std::string> { return bench_file_answer; };
  responder.answer_box = [](const std::string&, const std::string& text, UINT) {
    std::fprintf(stderr, "message: %s\n", text.c_str());
    return IDNO;
  };
  responder.drive_dialog = [](HWND dialog) { ClickDlgButton(dialog, IDOK); };
  SetModalResponder(responder);
}

inline int RunEditorBenchmarks(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (!InitApp(GetModuleHandleA(nullptr), SW_SHOW)) return 1;
  // Let start-up's queued size messages settle, then give the device the measured size.
  MSG msg;
  LoopTurn(nullptr, &msg, false);
  polygoner.NewDevice(kBenchWidth, kBenchHeight);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  CleanUpAndPostQuit();
  return 0;
}
