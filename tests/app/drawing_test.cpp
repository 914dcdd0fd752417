// Drawing with the mouse in the running editor: polygons in the front view, depth mode,
// cancelling with Escape, the render mixes and the Ctrl trace.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "tests/app/pointer_scenario.h"

class DrawingTest : public PointerScenario {
 protected:
  D3DVECTOR Seen(int i) { return PointerScenario::Seen(i, polygoner.view1); }
  uint32_t PixelAt(int x, int y) {
    int w = 0, h = 0;
    const std::vector<uint32_t> image = app.FrontPixels(&w, &h);
    return image.at(static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x));
  }
  bool Attached(IDirect3DRMVisual* visual) {
    if (!polygoner.sceneframe) return false;
    for (IDirect3DRMVisual* v : polygoner.sceneframe->Visuals())
      if (v == visual) return true;
    return false;
  }
};

TEST_F(DrawingTest, TriangleCornersLandUnderThePointer) {
  DrawTriangle();
  const auto corners = Triangle();
  for (int i = 0; i < 3; ++i) {
    const D3DVECTOR p = Seen(i);
    EXPECT_NEAR(p.x, map.PlaneX(static_cast<float>(corners[i].x)), 1e-3) << i;
    EXPECT_NEAR(p.y, map.PlaneY(static_cast<float>(corners[i].y)), 1e-3) << i;
    EXPECT_NEAR(p.z, 30.0f, 1e-3) << i;
  }
  EXPECT_FALSE(polygoner.CheckInvariants().has_value());
}

TEST_F(DrawingTest, RightButtonDrawsNearer) {
  ClickAt({cx - 60, cy});
  app.Post(app.front(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(cx - 60, cy));
  MoveTo({cx - 60, cy});
  ASSERT_TRUE(mouser.reverse);
  // Pointer down by 40 pixels from where depth mode put it: the cursor comes nearer and
  // stays on its line of sight.
  const int row = mouser.pre_mouse_mov_y + 40;
  MoveTo({cx - 60, row});
  app.Post(app.front(), WM_RBUTTONUP, 0, MAKELPARAM(cx - 60, row));
  app.Click(cx - 60, row);
  ASSERT_TRUE(app.Turn());
  EXPECT_FALSE(mouser.reverse);

  ASSERT_EQ(polygoner.num_points, 2);
  const D3DVECTOR first = Seen(0), second = Seen(1);
  const float step = 40 * map.Yf() * 30.0f / (map.front * static_cast<float>(map.height));
  EXPECT_NEAR(second.z, first.z - step, 1e-3);
  EXPECT_NEAR(second.y, first.y, 1e-3);
}

TEST_F(DrawingTest, EscapeCancelsTheOpenPolygon) {
  const auto corners = Triangle();
  ClickAt(corners[0]);
  ClickAt(corners[1]);
  ASSERT_EQ(polygoner.num_points, 2);
  app.Key(VK_ESCAPE);
  ASSERT_TRUE(app.Turn());
  EXPECT_EQ(polygoner.num_points, 0);
  EXPECT_EQ(polygoner.num_wireframes, 0);
  // Drawing starts afresh.
  DrawTriangle();
}

TEST_F(DrawingTest, EachRenderCommandShowsItsMix) {
  DrawTriangle();
  Polygoni& m = polygoner;
  const Pixel inside{cx, cy + 10};
  const uint32_t background = PixelAt(5, 5);

  struct Mix {
    int id;
    render_state mode;
    bool solid_attached, filled;
  };
  // The triangle faces the camera, so the back-face mix, which shows the faces turned
  // away, leaves its inside empty.
  const Mix mixes[] = {{273, PWM, true, true},
                       {274, M, true, true},
                       {275, WFP, false, false},
                       {276, WF, false, false},
                       {277, BF, true, false}};
  for (const Mix& mix : mixes) {
    app.Command(mix.id);
    ASSERT_TRUE(app.Turn());
    EXPECT_EQ(rmode, mix.mode) << mix.id;
    // Not every mix has a menu item or a toolbar button.
    for (int id : {272, 274, 276, 277})
      EXPECT_EQ(app.MenuChecked(static_cast<UINT>(id)), id == mix.id) << mix.id << " menu " << id;
    for (int id : {272, 273, 275, 277}) EXPECT_EQ(app.ButtonChecked(id), id == mix.id) << mix.id << " button " << id;
    ASSERT_NE(m.scenemesh, nullptr) << mix.id;
    EXPECT_EQ(Attached(m.scenemesh), mix.solid_attached) << mix.id;
    EXPECT_TRUE(Attached(m.scenewiremesh)) << mix.id;
    EXPECT_FALSE(m.wiredata[0].vis) << mix.id << ": the face outlines stand in for the wires";
    EXPECT_EQ(PixelAt(inside.x, inside.y) != background, mix.filled) << mix.id;
  }
  EXPECT_EQ(m.scenemesh->GetGroupColor(m.group), D3DRMCreateColorRGB(0.5f, 0.5f, 0.5f)) << "back faces are grey";

  app.Command(272);
  ASSERT_TRUE(app.Turn());
  EXPECT_EQ(rmode, PW);
  EXPECT_TRUE(m.scenemesh == nullptr && m.wiredata[0].vis);
}

TEST_F(DrawingTest, CtrlAppendsATraceInTheWorkingDirectory) {
  const std::filesystem::path previous = std::filesystem::current_path();
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("facetry_ctrl_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  for (int i = 0; i < 2; ++i) {
    app.Key(VK_CONTROL);
    ASSERT_TRUE(app.Turn());
    EXPECT_TRUE(ctrl);
    app.Key(VK_CONTROL, false);
    ASSERT_TRUE(app.Turn());
    EXPECT_FALSE(ctrl);
  }
  std::ifstream in("qel.tst");
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::filesystem::current_path(previous);
  std::filesystem::remove_all(dir);
  ASSERT_EQ(lines.size(), 2u) << "each press appends one line";
  EXPECT_NE(lines[0].find("width " + std::to_string(map.width)), std::string::npos) << lines[0];
  EXPECT_EQ(lines[0], lines[1]);
}
