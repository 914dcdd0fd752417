// The editor just after start-up: marks, title, status bar, driver entries, tips and menu
// help, and the resources the start-up builds from.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <string>

#include "app/globals.h"
#include "app/shell.h"
#include "app/toolbar_status.h"
#include "model/polygoni.h"
#include "platform/win/qt_access.h"
#include "tests/app/app_harness.h"
#include "views/viewport_data.h"

namespace {

std::string MenuText(HMENU menu, int position) {
  char text[128] = {};
  GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
  return text;
}

TEST(Startup, MarksTitleAndStatusBarAreThoseOfCreateModeWithOneSolidWireframeView) {
  AppHarness app;
  ASSERT_NE(app.Start(), nullptr);
  EXPECT_TRUE(app.boxes.empty()) << app.boxes.front().text;

  for (int id : {262, 225, 272, 231}) EXPECT_TRUE(app.ButtonChecked(id)) << id;
  for (int id : {50, 263, 264, 265, 266, 273, 275, 277, 285, 267, 232, 233}) EXPECT_FALSE(app.ButtonChecked(id)) << id;
  for (int id : {262, 263, 264}) EXPECT_FALSE(app.ButtonEnabled(id)) << id;
  for (int id : {225, 50, 272, 231, 271}) EXPECT_TRUE(app.ButtonEnabled(id)) << id;

  for (UINT id : {225u, 272u, 231u}) EXPECT_TRUE(app.MenuChecked(id)) << id;
  for (UINT id : {50u, 274u, 276u, 277u, 232u, 233u, 234u, 285u}) EXPECT_FALSE(app.MenuChecked(id)) << id;
  for (UINT id : {262u, 263u, 264u}) EXPECT_TRUE(app.MenuGrayed(id)) << id;

  EXPECT_EQ(app.Title(), "Facetry");
  EXPECT_FALSE(app.StatusSimple());
  EXPECT_EQ(app.StatusText(0), "Ready");
  EXPECT_EQ(app.StatusText(1), "x: 0");
  EXPECT_EQ(app.StatusText(2), "y: 0");
  EXPECT_EQ(app.StatusText(3), "z: 0");
  RECT frame;
  GetWindowRect(app.main(), &frame);
  const int q = frame.right / 4;
  EXPECT_EQ(app.StatusEdges(), (std::vector<int>{q, q * 3 / 2, 2 * q, q * 5 / 2}));

  EXPECT_EQ(vp_data.cview, myglobs.view1);
  EXPECT_EQ(vp_data.depth, &vp_data.distance1);
  EXPECT_EQ(polygoner.view1, myglobs.camera1);
  EXPECT_EQ(polygoner.camera1, myglobs.view1);
  EXPECT_EQ(polygoner.dev, myglobs.dev);
}

TEST(Startup, SceneHasTheCursorAheadOfTheFrontCameraAndTheSideCamerasRideOnIt) {
  AppHarness app;
  ASSERT_NE(app.Start(), nullptr);
  ASSERT_NE(polygoner.world_frame, nullptr);
  ASSERT_NE(polygoner.world_frame2, nullptr);
  D3DVECTOR p;
  ASSERT_EQ(myglobs.camera1->GetPosition(polygoner.world_frame, &p), D3DRM_OK);
  EXPECT_NEAR(p.x, 0, 1e-4);
  EXPECT_NEAR(p.z, -30, 1e-4);
  IDirect3DRMFrame* parent = nullptr;
  ASSERT_EQ(myglobs.camera2->GetParent(&parent), D3DRM_OK);
  EXPECT_EQ(parent, polygoner.world_frame);
  parent->Release();
  ASSERT_EQ(myglobs.camera2->GetPosition(polygoner.world_frame, &p), D3DRM_OK);
  EXPECT_NEAR(p.x, -30, 1e-3);
  EXPECT_NEAR(p.z, 30, 1e-3);
  ASSERT_EQ(myglobs.deviderf1->GetParent(&parent), D3DRM_OK);
  EXPECT_EQ(parent, myglobs.scene);
  parent->Release();

  // One pass runs the cursor callback, whose read-out is relative to the model frame.
  ASSERT_TRUE(app.Turn());
  EXPECT_EQ(app.StatusText(1), "x:  0.00");
  EXPECT_EQ(app.StatusText(3), "z:  0.00");
  ASSERT_EQ(polygoner.world_frame2->SetPosition(polygoner.world_frame, -1.5f, 2, 0), D3DRM_OK);
  ASSERT_TRUE(app.Turn());
  EXPECT_EQ(app.StatusText(1), "x:  1.50");
  EXPECT_EQ(app.StatusText(2), "y: -2.00");
}

TEST(Startup, DriverEntriesFollowMergeInTheFileMenu) {
  AppHarness app;
  ASSERT_NE(app.Start(), nullptr);
  HMENU file = GetSubMenu(GetMenu(app.main()), 0);
  ASSERT_EQ(myglobs.NumDrivers, 2);
  EXPECT_EQ(GetMenuItemID(file, 4), 228u);
  EXPECT_EQ(GetMenuItemID(file, 5), 80u);
  EXPECT_EQ(GetMenuItemID(file, 6), 81u);
  EXPECT_EQ(MenuText(file, 5), "Ramp Emulation");
  EXPECT_EQ(MenuText(file, 6), "RGB Emulation");
  // The mono driver is chosen over the RGB one of the same kind.
  EXPECT_EQ(myglobs.CurrDriver, 0);
  EXPECT_EQ(myglobs.dev->GetColorModel(), static_cast<DWORD>(D3DCOLOR_MONO));
}

TEST(Startup, TipAndMenuHelpOfAButtonDifferAndMenuHelpLastsAsLongAsTheMenu) {
  AppHarness app;
  ASSERT_NE(app.Start(), nullptr);
  EXPECT_EQ(RequestToolbarTip(hwndToolBar, 273), "Render the mesh as a solid");
  EXPECT_EQ(RequestToolbarTip(hwndToolBar, 270), "Change the direction the last polygon created is facing");
  EXPECT_EQ(RequestToolbarTip(hwndToolBar, 225), "Create new polygons");

  app.Send(app.main(), WM_MENUSELECT, MAKEWPARAM(273, 0), reinterpret_cast<LPARAM>(GetMenu(app.main())));
  EXPECT_TRUE(app.StatusSimple());
  EXPECT_EQ(app.StatusText(0), "Render the mesh as a solid, with points");

  // Hovering Solid in the Render menu, then closing the menu.
  HMENU render = GetSubMenu(GetMenu(app.main()), 6);
  ASSERT_EQ(GetMenuItemID(render, 1), 274u);
  QMenu* popup = PopupWidgetOf(render);
  ASSERT_NE(popup, nullptr);
  popup->popup(QPoint(10, 10));
  MenuActionOf(render, 1)->hover();
  EXPECT_TRUE(app.StatusSimple());
  EXPECT_EQ(app.StatusText(0), "Render the mesh as a solid");
  popup->hide();
  EXPECT_FALSE(app.StatusSimple());
  EXPECT_EQ(app.StatusText(0), "Ready");
  EXPECT_EQ(app.StatusText(1), "x: 0");
}

TEST(Startup, TipTableTakesTheLastMatchAndLeavesUnknownIdsAlone) {
  TOOLTIPTEXTA tip;
  tip.hdr.idFrom = 274;
  ToolTipText(&tip);
  EXPECT_STREQ(tip.szText, "Render the mesh as a solid");
  TOOLTIPTEXTA unknown;
  std::snprintf(unknown.szText, sizeof unknown.szText, "%s", "as brought");
  unknown.hdr.idFrom = 999;
  ToolTipText(&unknown);
  EXPECT_STREQ(unknown.szText, "as brought");
}

TEST(Startup, MenuResourceInstantiatesWithEveryCommandAndItsHelpText) {
  RegisterAppResources();
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), "MyMenu");
  ASSERT_NE(menu, nullptr);
  const char* popups[] = {"&File", "&Edit", "&Mode", "&Shape", "F&aces", "&View", "&Render", "&Texture", "&Help"};
  ASSERT_EQ(GetMenuItemCount(menu), 9);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(MenuText(menu, i), popups[i]);

  struct Row {
    UINT id;
    const char* text;
  };
  const Row rows[] = {{201, "&New"}, {203, "&Save"}, {204, "Save&As..."}, {228, "&Merge..."}, {206, "&Exit"},
                      {283, "U&ndo    Ctrl+Z"}, {209, "&Paste  Ctrl+V"}, {113, "T&oggle Select Ctrl+T"},
                      {286, "C&enter Mesh"}, {225, "&Create"}, {266, "R&otate All"}, {282, "&Plane"},
                      {271, "Flip &Selected faces      Ctrl+F"}, {233, "T&hree Views"}, {234, "&Texture View"},
                      {256, "Viewport &Options..."}, {268, "&Auto Zoom"}, {272, "Solid &Wireframe"},
                      {277, "&Back Faced"}, {285, "&Show Points"}, {217, "&Load Texture..."},
                      {261, "Texture &Mapping..."}, {260, "&No Texture"}, {269, "Mesh &Colour..."},
                      {259, "M&aterial..."}, {224, "&About"}};
  for (const Row& row : rows) {
    char text[128] = {};
    EXPECT_GT(GetMenuStringA(menu, row.id, text, sizeof text, MF_BYCOMMAND), 0) << row.id;
    EXPECT_STREQ(text, row.text);
    // Undo and the shapes have no help text; every other item has one.
    char help[128] = {};
    const bool has_help = row.id != 283 && row.id != 282;
    EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), row.id, help, sizeof help) > 0, has_help) << row.id;
  }
  // The toolbar-only render commands have help texts but no item.
  EXPECT_EQ(GetMenuState(menu, 273, MF_BYCOMMAND), kMenuError);
  EXPECT_EQ(GetMenuState(menu, 275, MF_BYCOMMAND), kMenuError);
  DestroyMenu(menu);

  EXPECT_NE(LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(3)), nullptr);
  for (int id : {202, 3, 4, 5, 6, 7, 8}) EXPECT_NE(LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)), nullptr) << id;
  for (int id : {12, 13}) EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)), nullptr) << id;
}

}  // namespace
