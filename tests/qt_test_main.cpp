// The main of the tests that need Qt: every one runs headless (the window layer treats this
// platform as non-interactive), each test in its own process, so the program's globals
// start fresh each time.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
