// The running editor for benchmarks: started offscreen with its device at the main
// window's start-up size, 1024 x 728, then the registered benchmarks, then shut down.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/shell.h"
#include "model/polygoni.h"

inline constexpr int kBenchWidth = 1024;
inline constexpr int kBenchHeight = 728;

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
