// The view layouts: viewport rectangles of one, two and three views, equal camera
// distances, snapping and the whole-model rotation.
#include <gtest/gtest.h>

#include <cmath>

#include "app/globals.h"
#include "model/polygoni.h"
#include "texture/texture.h"
#include "platform/rm/d3drm.h"
#include "tests/app/fit_client.h"
#include "views/mouse.h"
#include "views/viewport_data.h"

namespace {

struct Rect {
  long x, y, w, h;
  bool operator==(const Rect&) const = default;
};

void PrintTo(const Rect& r, std::ostream* out) { *out << "(" << r.x << "," << r.y << " " << r.w << "x" << r.h << ")"; }

Rect Of(IDirect3DRMViewport* view) {
  if (!view) return {-1, -1, -1, -1};
  return {view->GetX(), view->GetY(), static_cast<long>(view->GetWidth()), static_cast<long>(view->GetHeight())};
}

class Views : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(app.Start(), nullptr); }

  // A client area `width` x `height` plus the two bars, so that the device is `width` x `height`.
  void ResizeTo(int width, int height) {
    FitClient(app, width, height + 52);
    app.Send(app.main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height + 52));
    ASSERT_EQ(myglobs.dev->GetWidth(), width);
    ASSERT_EQ(myglobs.dev->GetHeight(), height);
  }

  AppHarness app;
};

TEST_F(Views, LayoutsSplitAnOddDeviceWithFivePixelDividers) {
  ResizeTo(801, 601);
  app.Command(232);
  EXPECT_EQ(Of(myglobs.view1), (Rect{0, 0, 400, 601}));
  EXPECT_EQ(Of(myglobs.devider1), (Rect{400, 0, 5, 601}));
  EXPECT_EQ(Of(myglobs.view2), (Rect{405, 0, 395, 601}));

  app.Command(233);
  EXPECT_EQ(Of(myglobs.view1), (Rect{0, 0, 400, 601}));
  EXPECT_EQ(Of(myglobs.view3), (Rect{405, 0, 395, 295}));
  EXPECT_EQ(Of(myglobs.devider2), (Rect{405, 295, 395, 5}));
  EXPECT_EQ(Of(myglobs.view2), (Rect{405, 300, 395, 300}));

  app.Command(231);
  EXPECT_EQ(Of(myglobs.view1), (Rect{0, 0, 801, 601}));
  EXPECT_EQ(myglobs.view2, nullptr);
  EXPECT_FALSE(vp_data.sideenabled || vp_data.topenabled);
}

TEST_F(Views, ResizeKeepsTheCurrentLayout) {
  app.Command(233);
  ResizeTo(640, 401);
  EXPECT_EQ(vp_data.arrangement, frontsidetop_v);
  EXPECT_EQ(Of(myglobs.view1), (Rect{0, 0, 320, 401}));
  EXPECT_EQ(Of(myglobs.view2), (Rect{325, 200, 315, 200}));
  EXPECT_EQ(Of(myglobs.view3), (Rect{325, 0, 315, 195}));
}

TEST_F(Views, OtherCamerasTakeTheActiveDistanceInWholeUnits) {
  app.Command(233);
  IDirect3DRMFrame* cursor = polygoner.world_frame;
  ASSERT_EQ(polygoner.view1->SetPosition(cursor, 0, 0, -30.7f), D3DRM_OK);
  polygoner.view2->SetPosition(cursor, 12.0f, 1.0f, 2.0f);
  polygoner.view3->SetPosition(cursor, 3.0f, -40.0f, 4.0f);
  vp_data.activeview = 1;
  vp_data.ScaleViewports();
  D3DVECTOR side, above;
  polygoner.view2->GetPosition(cursor, &side);
  polygoner.view3->GetPosition(cursor, &above);
  EXPECT_NEAR(side.x, 30.0f, 1e-4);
  EXPECT_NEAR(side.y, 1.0f, 1e-4);
  EXPECT_NEAR(above.y, -30.0f, 1e-4) << "each camera stays on its own side of the cursor";
  EXPECT_EQ(vp_data.distance2, 30.0f);
}

TEST_F(Views, SnappingLeavesACameraOnTheRightSideAndFlipsOneOnTheWrongSide) {
  app.Command(232);
  IDirect3DRMFrame* cursor = polygoner.world_frame;
  polygoner.view1->SetPosition(cursor, 0, 0, -30.6f);
  // The side camera already looks from +x towards the cursor.
  polygoner.view2->SetPosition(cursor, 20.0f, 0, 0);
  polygoner.view2->SetOrientation(cursor, -1, 0, 0, 0, 1, 0);
  vp_data.distance2 = 17.0f;
  polygoner.SnapViews(&polygoner.view2, rside, nullptr);
  D3DVECTOR at, dir, up, ahead;
  polygoner.view2->GetPosition(cursor, &at);
  EXPECT_NEAR(at.x, 20.0f, 1e-4);
  EXPECT_EQ(vp_data.distance2, 17.0f);
  cursor->GetPosition(polygoner.view1, &ahead);
  EXPECT_NEAR(ahead.z, 30.0f, 1e-4) << "the cursor moves to a whole-number depth";

  // Asking for the other side carries it 2 * 30 along its axis and turns it round.
  polygoner.SnapViews(&polygoner.view2, lside, nullptr);
  polygoner.view2->GetPosition(cursor, &at);
  polygoner.view2->GetOrientation(cursor, &dir, &up);
  EXPECT_NEAR(at.x, 20.0f - 60.0f, 1e-3);
  EXPECT_NEAR(dir.x, 1.0f, 1e-4);
  EXPECT_EQ(vp_data.distance2, 30.0f);
}

TEST(Rotate, AmountsTurnInFifthsOfARadian) {
  Polygoni model;
  const D3DVECTOR c{1, 2, 3};
  const D3DVECTOR p = model.Rotate(c, {4, 5, 6}, {0, 0, 0});
  EXPECT_EQ(p.x, 4.0f) << "no turn leaves the point";
  // One radian about z, from (1, 0) about the centre: x' = cos, y' = -sin.
  const D3DVECTOR q = model.Rotate(c, {2, 2, 3}, {0, 0, 5});
  EXPECT_NEAR(q.x, 1 + std::cos(1.0f), 1e-5);
  EXPECT_NEAR(q.y, 2 - std::sin(1.0f), 1e-5);
  // About x by a quarter-ish turn keeps x.
  const D3DVECTOR r = model.Rotate({0, 0, 0}, {0, 1, 0}, {5, 0, 0});
  EXPECT_NEAR(r.z, -std::sin(1.0f), 1e-5);
  EXPECT_NEAR(r.y, std::cos(1.0f), 1e-5);
}

// What the Viewport Options buttons show: the four layouts and the six views.
std::vector<int> Checked(HWND dialog) {
  std::vector<int> on;
  for (int id : {101, 102, 103, 111, 104, 105, 106, 107, 108, 109, 114})
    if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) on.push_back(id);
  return on;
}

TEST_F(Views, ViewportOptionsCancelRestoresAndOkLaysOutWithOneOrthographicShrink) {
  ViewPortData& v = vp_data;
  v.snap1 = back;
  // One view: Left View clears both side buttons and changes nothing; the layout buttons
  // then show what each layout would look from.
  app.drive = [](HWND d) {
    EXPECT_EQ(Checked(d), (std::vector<int>{101, 105}));
    ClickDlgButton(d, 108);
    EXPECT_EQ(Checked(d), (std::vector<int>{101, 105}));
    ClickDlgButton(d, 103);
    EXPECT_EQ(Checked(d), (std::vector<int>{103, 105, 107, 108}));
    ClickDlgButton(d, 106);
    ClickDlgButton(d, 104);
    ClickDlgButton(d, 114);
    EXPECT_EQ(Checked(d), (std::vector<int>{103, 104, 106, 107, 114}));
    ClickDlgButton(d, IDCANCEL);
  };
  app.Command(256);
  EXPECT_EQ(app.dialogs, std::vector<std::string>{"Viewport Options"});
  EXPECT_EQ(v.arrangement, front_v);
  EXPECT_EQ(v.snap1, back);
  EXPECT_EQ(v.snap2, lside);
  EXPECT_FALSE(v.orthoview);

  D3DRMMATRIX4D before;
  polygoner.scene->GetTransform(before);
  for (int round = 0; round < 3; ++round) {
    app.drive = [](HWND d) {
      ClickDlgButton(d, 103);
      ClickDlgButton(d, 114);
      ClickDlgButton(d, IDOK);
    };
    app.Command(256);
  }
  // Orthographic, perspective, orthographic: the scene shrank once.
  EXPECT_EQ(v.arrangement, frontsidetop_v);
  EXPECT_TRUE(v.orthoview && v.sideenabled && v.topenabled);
  EXPECT_EQ(myglobs.view3->GetProjection(), D3DRMPROJECT_ORTHOGRAPHIC);
  D3DRMMATRIX4D after;
  polygoner.scene->GetTransform(after);
  EXPECT_FLOAT_EQ(after[0][0], before[0][0] * 0.2f);
  EXPECT_FLOAT_EQ(after[3][2], before[3][2] * 0.2f);
}

TEST_F(Views, AutoZoomTogglesItsMarkAndHangsTheCamerasOnTheScene) {
  ASSERT_TRUE(app.MenuChecked(268));
  app.Command(268);
  EXPECT_FALSE(app.MenuChecked(268));
  EXPECT_FALSE(vp_data.activezoom);
  app.Command(268);
  EXPECT_TRUE(app.MenuChecked(268));
  EXPECT_EQ(polygoner.view2->Parent(), polygoner.scene);
  EXPECT_EQ(polygoner.view3->Parent(), polygoner.scene);

  app.drive = [](HWND d) { EXPECT_TRUE(ClickDlgButton(d, IDOK)); };
  app.Command(224);
  EXPECT_EQ(app.dialogs, std::vector<std::string>{"About"});
}

TEST_F(Views, MeshColourComesFromTheChooserAndRebuildsTheSolidMesh) {
  app.Command(274);
  const COLORREF start = texture.color;
  app.colors = {std::nullopt, RGB(10, 200, 30)};
  app.Command(269);
  EXPECT_EQ(texture.color, start) << "cancelled";
  app.Command(269);
  EXPECT_EQ(app.color_requests, (std::vector<COLORREF>{start, start})) << "the chooser starts at the mesh colour";
  EXPECT_EQ(texture.color, RGB(10, 200, 30));
  ASSERT_NE(polygoner.scenemesh, nullptr);
  EXPECT_EQ(polygoner.scenemesh->GetGroupColor(polygoner.group), D3DRMCreateColorRGB(10 / 255.0f, 200 / 255.0f, 30 / 255.0f))
      << "the solid mesh was rebuilt in the new colour";
  EXPECT_TRUE(app.MenuChecked(274)) << "the render mix is the same";
}

TEST_F(Views, MaterialSettingsStepTheChannelsAndGiveTheSolidMeshItsMaterial) {
  app.Command(274);
  app.drive = [](HWND d) {
    auto label = [d](int id) {
      char text[16] = {};
      GetDlgItemTextA(d, id + 100, text, sizeof text);
      return std::string(text);
    };
    ScrollDlgItem(d, 101, SB_PAGERIGHT);
    ScrollDlgItem(d, 101, SB_LINERIGHT);
    EXPECT_EQ(label(101), "17");
    ScrollDlgItem(d, 104, SB_RIGHT);
    ScrollDlgItem(d, 105, SB_THUMBPOSITION, 250);
    ScrollDlgItem(d, 105, SB_PAGERIGHT);
    EXPECT_EQ(label(105), "255") << "a page from 250 stops at the end";
    ScrollDlgItem(d, 106, SB_THUMBPOSITION, 10);
    ScrollDlgItem(d, 106, SB_PAGELEFT);
    ScrollDlgItem(d, 102, SB_LINELEFT);
    EXPECT_EQ(label(106), "0");
    EXPECT_TRUE(TypeDlgItemText(d, 107, "7.5"));
    ClickDlgButton(d, IDOK);
  };
  app.Command(259);
  EXPECT_EQ(app.dialogs, std::vector<std::string>{"Material Settings"});
  EXPECT_EQ(std::vector<int>(texture.emissive, texture.emissive + 3), (std::vector<int>{17, 0, 0}));
  EXPECT_EQ(std::vector<int>(texture.specular, texture.specular + 3), (std::vector<int>{255, 255, 0}));
  EXPECT_FLOAT_EQ(texture.power, 7.5f);
  IDirect3DRMMaterial* material = nullptr;
  ASSERT_EQ(polygoner.scenemesh->GetGroupMaterial(polygoner.group, &material), D3DRM_OK);
  ASSERT_NE(material, nullptr) << "the rebuilt solid mesh carries the material";
  D3DVALUE r = 0, g = 0, b = 0;
  material->GetEmissive(&r, &g, &b);
  EXPECT_FLOAT_EQ(r, 17 / 255.0f);
  EXPECT_FLOAT_EQ(material->GetPower(), 7.5f);
  material->Release();
}

}  // namespace
