// The fault paths of start-up and of the running editor, met through the retained-mode
// layer's injected failures: each gives its message and its outcome.
#include <gtest/gtest.h>

#include <string>

#include "app/globals.h"
#include "app/shell.h"
#include "model/polygoni.h"
#include "platform/rm/d3drm.h"
#include "platform/rm/faults.h"
#include "tests/app/app_harness.h"
#include "tests/app/fit_client.h"

namespace {

bool Told(const AppHarness& app, const std::string& text) {
  for (const RecordedBox& box : app.boxes)
    if (box.text == text || box.text == text + "\r\n") return true;
  return false;
}

TEST(StartupFaults, NoCompatibleDriverEndsStartUp) {
  RmFaults faults;
  faults.no_render_depths = true;
  SetRmFaults(faults);
  AppHarness app;
  EXPECT_EQ(app.Start(), nullptr);
  SetRmFaults({});
  EXPECT_TRUE(Told(app, "Could not find a D3D driver which is compatible with this display depth"));
  EXPECT_EQ(myglobs.dev, nullptr);
}

TEST(StartupFaults, ADeviceTheChosenDriverCannotMakeIsMadeWithTheDefaultOne) {
  RmFaults faults;
  faults.driver_device_fails = true;
  SetRmFaults(faults);
  AppHarness app;
  EXPECT_NE(app.Start(), nullptr);
  SetRmFaults({});
  EXPECT_NE(myglobs.dev, nullptr);
  EXPECT_TRUE(app.boxes.empty()) << app.boxes[0].text;
  EXPECT_TRUE(app.Turn()) << "the editor runs";
}

TEST(StartupFaults, ASceneThatCannotBeBuiltEndsStartUp) {
  RmFaults faults;
  faults.lights_fail = true;
  SetRmFaults(faults);
  AppHarness app;
  EXPECT_EQ(app.Start(), nullptr);
  SetRmFaults({});
  EXPECT_TRUE(Told(app, "An error occurred while building the scene.\n"));
  EXPECT_TRUE(Told(app, "returned with an error"));
  EXPECT_FALSE(myglobs.bInitialized);
}

TEST(RunningFaults, AModelErrorShutsTheEditorDownAtTheNextMessage) {
  AppHarness app;
  ASSERT_NE(app.Start(), nullptr);
  ASSERT_TRUE(app.Turn());
  polygoner.generic_error();
  EXPECT_TRUE(Told(app, "An error occurred while building the scene.\n"));
  EXPECT_FALSE(myglobs.bQuit) << "nothing ends until a message arrives";
  app.Post(app.main(), WM_NULL, 0, 0);
  app.Turns(2);
  EXPECT_TRUE(myglobs.bQuit);
  EXPECT_FALSE(app.Turn());
}

TEST(RunningFaults, AViewAreaWithNoHeightMakesNoDevice) {
  AppHarness app;
  ASSERT_NE(app.Start(), nullptr);
  ASSERT_TRUE(app.Turn());
  // Room for the toolbar and the status bar and nothing between them.
  FitClient(app, 640, 52);
  app.Send(app.main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 52));
  EXPECT_TRUE(Told(app, "Cannot create a D3DRM device with invalid window dimensions."));
}

}  // namespace
