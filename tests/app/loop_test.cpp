// The running editor: closing, resizing and minimising, render failures, the driver
// switch, and what the front view shows.
#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <string>

#include "app/globals.h"
#include "app/shell.h"
#include "model/polygoni.h"
#include "platform/rm/d3drm.h"
#include "platform/win/qt_access.h"
#include "tests/app/fit_client.h"
#include "views/viewport_data.h"

namespace {

int passes = 0;
void CountPass(IDirect3DRMFrame*, void*, D3DVALUE) { ++passes; }

class Running : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(app.Start(), nullptr);
    ASSERT_EQ(myglobs.scene->AddMoveCallback(CountPass, nullptr), D3DRM_OK);
    passes = 0;
  }
  AppHarness app;
};

TEST_F(Running, CloseWithoutChangesQuitsAndReleasesEverything) {
  ASSERT_EQ(app.Turns(3), 3);
  app.Send(app.main(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(app.boxes.empty());
  EXPECT_TRUE(myglobs.bQuit);
  EXPECT_FALSE(myglobs.bInitialized);
  EXPECT_EQ(myglobs.dev, nullptr);
  EXPECT_EQ(lpD3DRM, nullptr);
  EXPECT_EQ(polygoner.scene, nullptr);
  EXPECT_FALSE(app.Turn());
}

// Exit takes the close path: with changes it asks, and Cancel keeps the loop running.
TEST_F(Running, ExitWithChangesAsksAndCancelKeepsRunning) {
  polygoner.changed = true;
  app.answers = {IDCANCEL};
  app.PostCommand(206);
  EXPECT_TRUE(app.Turn());
  ASSERT_EQ(app.boxes.size(), 1u);
  EXPECT_EQ(app.boxes[0].caption, "Polygon");
  EXPECT_EQ(app.boxes[0].text, "Save current changes in UNTITLED?");
  EXPECT_EQ(app.boxes[0].type, MB_YESNOCANCEL | MB_ICONQUESTION);
  EXPECT_FALSE(myglobs.bQuit);
  passes = 0;
  EXPECT_EQ(app.Turns(2), 2);
  EXPECT_EQ(passes, 2);

  app.answers = {IDNO};
  app.Send(app.main(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(myglobs.bQuit);
  EXPECT_FALSE(app.Turn());
}

TEST_F(Running, ZeroWidthSizeStopsRenderingUntilANonZeroOne) {
  ASSERT_EQ(app.Turns(2), 2);
  EXPECT_EQ(passes, 2);
  app.Post(app.main(), WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 500));
  EXPECT_EQ(app.Turns(3), 3);
  EXPECT_TRUE(myglobs.bMinimized);
  EXPECT_EQ(passes, 2);

  FitClient(app, 640, 480);
  myglobs.bMinimized = TRUE;
  app.Post(app.main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 480));
  EXPECT_EQ(app.Turns(2), 2);
  EXPECT_FALSE(myglobs.bMinimized);
  EXPECT_EQ(passes, 4);
  // Coming back from minimised the front view window is not moved again; the device is
  // made anew at the reported size less the two bars.
  EXPECT_EQ(myglobs.dev->GetWidth(), 640);
  EXPECT_EQ(myglobs.dev->GetHeight(), 480 - 2 * 26);
  EXPECT_TRUE(app.boxes.empty());
}

TEST_F(Running, SizeMovesTheFrontViewAndSwallowsItsEcho) {
  // As wide as the size message says; the height differs so the front view really moves.
  FitClient(app, 700, 600);
  app.Send(app.main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(700, 500));
  EXPECT_FALSE(awaitingfeedback) << "the front view's own size message consumed the flag";
  RECT client;
  GetClientRect(vp_data.hwndfront, &client);
  EXPECT_EQ(client.right, 700);
  EXPECT_EQ(client.bottom, 500 - 52);
  EXPECT_EQ(myglobs.dev->GetWidth(), 700);
  EXPECT_EQ(myglobs.dev->GetHeight(), 448);
  EXPECT_EQ(polygoner.dev, myglobs.dev);
  EXPECT_EQ(polygoner.camera1, myglobs.view1);
  EXPECT_EQ(myglobs.dev->GetQuality(), D3DRMRENDER_GOURAUD) << "the new device keeps the start-up quality";

  // A size message right after the program's own move is its echo and changes nothing.
  awaitingfeedback = true;
  app.Send(app.main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
  EXPECT_FALSE(awaitingfeedback);
  EXPECT_EQ(myglobs.dev->GetWidth(), 700);
  FitClient(app, 300, 260);
  app.Send(app.main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
  EXPECT_EQ(myglobs.dev->GetWidth(), 300);
  EXPECT_EQ(app.Turns(1), 1);
  EXPECT_TRUE(app.boxes.empty());
}

TEST_F(Running, ThirdRenderFailureInTheProcessLifeEndsTheLoop) {
  ASSERT_EQ(app.Turns(1), 1);  // what start-up left in the queue
  app.boxes.clear();
  // A pass with the front viewport gone fails at its first step.
  auto fail_once = [&] {
    IDirect3DRMViewport* view = myglobs.view1;
    myglobs.view1 = nullptr;
    const bool running = app.Turn();
    myglobs.view1 = view;
    return running;
  };
  EXPECT_TRUE(fail_once());
  ASSERT_EQ(app.boxes.size(), 1u);
  EXPECT_EQ(app.boxes[0].caption, "D3DRM Example Message");
  EXPECT_EQ(app.boxes[0].text, "Clearing viewport1 failed.\nD3DRMERR_BADOBJECT\r\n");
  EXPECT_TRUE(fail_once());
  EXPECT_EQ(app.Turns(20), 20) << "good passes in between do not reset the count";
  EXPECT_EQ(RenderFailures(), 2);
  EXPECT_FALSE(fail_once());
  EXPECT_EQ(RenderFailures(), 3);
  ASSERT_EQ(app.boxes.size(), 4u);
  EXPECT_EQ(app.boxes[3].text, "Rendering has failed too many times.  Aborting execution.\n\r\n");
  EXPECT_TRUE(myglobs.bQuit);
  EXPECT_EQ(myglobs.dev, nullptr);
}

TEST_F(Running, ChoosingTheCurrentDriverDoesNothingAndAnotherRemakesTheDevice) {
  IDirect3DRMDevice* before = myglobs.dev;
  IDirect3DRMViewport* view_before = myglobs.view1;
  app.Command(80 + myglobs.CurrDriver);
  EXPECT_EQ(myglobs.dev, before);
  EXPECT_EQ(myglobs.view1, view_before);

  app.Command(81);
  EXPECT_EQ(myglobs.CurrDriver, 1);
  ASSERT_NE(myglobs.dev, nullptr);
  EXPECT_EQ(myglobs.dev->GetColorModel(), static_cast<DWORD>(D3DCOLOR_RGB));
  EXPECT_EQ(polygoner.dev, myglobs.dev);
  EXPECT_EQ(vp_data.cview, myglobs.view1);
  EXPECT_EQ(app.Turns(2), 2);
  EXPECT_EQ(passes, 2);
  EXPECT_TRUE(app.boxes.empty());
}

TEST_F(Running, FrontViewShowsTheGreyCursorOnABlackBackground) {
  ASSERT_EQ(app.Turns(2), 2);
  int width = 0, height = 0;
  const std::vector<uint32_t> pixels = app.FrontPixels(&width, &height);
  ASSERT_GT(width, 100);
  ASSERT_GT(height, 100);
  auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF; };
  EXPECT_EQ(at(2, 2), 0u);
  EXPECT_EQ(at(width - 3, height - 3), 0u);
  // The cursor sits straight ahead of the front camera: grey pixels around the centre.
  int grey = 0;
  for (int y = height / 2 - 20; y < height / 2 + 20; ++y) {
    for (int x = width / 2 - 20; x < width / 2 + 20; ++x) {
      const uint32_t c = at(x, y);
      const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
      if (r > 30 && r == g && g == b) ++grey;
    }
  }
  EXPECT_GT(grey, 20);

  // The window shows what the device rendered.
  const QImage shown = ClientWidgetOf(app.front())->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.width(), width);
  ASSERT_EQ(shown.height(), height);
  int same = 0;
  for (int y = height / 2 - 20; y < height / 2 + 20; ++y)
    for (int x = width / 2 - 20; x < width / 2 + 20; ++x) same += (shown.pixel(x, y) & 0xFFFFFF) == at(x, y);
  EXPECT_EQ(same, 40 * 40);
  EXPECT_TRUE(app.boxes.empty());
}

}  // namespace
