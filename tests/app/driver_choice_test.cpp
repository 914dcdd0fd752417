// The rule that picks one of the enumerated drivers, on made-up driver lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "app/shell.h"

namespace {

struct FakeDriver {
  bool hardware;
  D3DCOLORMODEL model;
  DWORD depths = DDBD_16 | DDBD_32;
};

struct Outcome {
  int chosen;
  int accepted;
  int looked_at;
};

// Enumerates like the display object does: until the callback says stop.
Outcome Enumerate(const std::vector<FakeDriver>& drivers, int bpp = 32) {
  myglobs.NumDrivers = 0;
  myglobs.CurrDriver = -1;
  myglobs.BPP = bpp;
  int looked_at = 0;
  for (size_t i = 0; i < drivers.size(); ++i) {
    const FakeDriver& d = drivers[i];
    D3DDEVICEDESC hardware = {sizeof(D3DDEVICEDESC), 0, d.hardware ? d.model : 0, d.hardware ? d.depths : 0};
    D3DDEVICEDESC software = {sizeof(D3DDEVICEDESC), 0, d.hardware ? 0 : d.model, d.hardware ? 0 : d.depths};
    GUID guid{static_cast<uint32_t>(i + 1), 0, 0, {}};
    std::string name = "driver " + std::to_string(i);
    char description[] = "made up";
    ++looked_at;
    if (enumDeviceFunc(&guid, description, name.data(), &hardware, &software, &myglobs.CurrDriver) ==
        D3DENUMRET_CANCEL)
      break;
  }
  return {myglobs.CurrDriver, myglobs.NumDrivers, looked_at};
}

constexpr DWORD kMono = D3DCOLOR_MONO;
constexpr DWORD kRgb = D3DCOLOR_RGB;

TEST(DriverChoice, HardwareBeatsSoftwareAndMonoReplacesRgbWithinAKind) {
  struct Case {
    std::vector<FakeDriver> drivers;
    int chosen;
  };
  const Case cases[] = {
      {{{false, kRgb}, {false, kMono}}, 1},
      {{{false, kMono}, {false, kRgb}}, 0},
      {{{false, kRgb}, {false, kRgb}}, 0},
      {{{false, kMono}, {true, kRgb}}, 1},
      {{{true, kRgb}, {false, kMono}}, 0},
      {{{true, kRgb}, {true, kMono}, {false, kMono}}, 1},
      {{{false, kRgb}, {true, kRgb}, {true, kMono}}, 2},
      {{{true, kMono}, {true, kMono}}, 0},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Outcome outcome = Enumerate(cases[i].drivers);
    EXPECT_EQ(outcome.chosen, cases[i].chosen) << "case " << i;
    EXPECT_EQ(outcome.accepted, static_cast<int>(cases[i].drivers.size())) << "case " << i;
  }
  EXPECT_EQ(std::string(myglobs.DriverName[1]), "driver 1");
  EXPECT_EQ(myglobs.DriverGUID[2].Data1, 3u);
}

TEST(DriverChoice, ASixthDriverIsNeverLookedAt) {
  std::vector<FakeDriver> drivers(5, FakeDriver{false, kRgb});
  drivers.push_back({true, kMono});
  const Outcome outcome = Enumerate(drivers);
  EXPECT_EQ(outcome.looked_at, 5);
  EXPECT_EQ(outcome.accepted, 5);
  EXPECT_EQ(outcome.chosen, 0);
}

TEST(DriverChoice, DriversWithoutTheDisplayDepthAreSkipped) {
  const Outcome outcome = Enumerate({{true, kMono, DDBD_16}, {false, kRgb, DDBD_24}}, 24);
  EXPECT_EQ(outcome.accepted, 1);
  EXPECT_EQ(outcome.chosen, 0);
  EXPECT_EQ(std::string(myglobs.DriverName[0]), "driver 1");
  // A depth with no flag matches nothing.
  EXPECT_EQ(Enumerate({{false, kMono, 0xFFFFFFFF}}, 12).chosen, -1);
  EXPECT_EQ(BPPToDDBD(12), 0u);
}

}  // namespace
