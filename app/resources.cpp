// The program's resources as data: the menu, the accelerators, the help strings, the
// dialog templates, and the toolbar strip, cursors and icons embedded from resources/images.
#include "app/shell.h"
#include "platform/resource.h"

namespace {

using Item = MenuTemplateItem;
const Item kSeparator("", 0, MF_SEPARATOR);

// Commands that only the toolbar or other commands reach otherwise are offered too:
// the View and Texture menus carry them with their help texts.
MenuResource MainMenu() {
  return {"MyMenu",
          {
              {"&File", {{"&New", 201}, {"&Open...", 202}, {"&Save", 203}, {"Save&As...", 204}, {"&Merge...", 228},
                         kSeparator, {"&Exit", 206}}},
              {"&Edit",
               {{"U&ndo    Ctrl+Z", 283, MF_GRAYED},
                kSeparator,
                {"Cu&t    Ctrl+X", 207},
                {"&Copy   Ctrl+C", 208},
                {"&Paste  Ctrl+V", 209},
                kSeparator,
                {"&Select All    Ctrl+A", 211},
                {"&UnSelect All  Ctrl+U", 212},
                {"T&oggle Select Ctrl+T", 113},
                kSeparator,
                {"C&enter Mesh", 286}}},
              {"&Mode",
               {{"&Create", 225, MF_CHECKED},
                {"&Edit", 50},
                kSeparator,
                {"&Translate Mesh", 262, MF_GRAYED},
                {"&Rotate Mesh", 263, MF_GRAYED},
                {"&Scale Mesh", 264, MF_GRAYED},
                kSeparator,
                {"Tr&anslate All", 265},
                {"R&otate All", 266},
                kSeparator,
                {"&Orthographic", 267}}},
              {"&Shape", {{"&Cube", 279}, {"&Sphere", 280}, {"&Cylinder", 281}, {"&Plane", 282}}},
              {"F&aces", {{"Flip Last &Created Face  Ctrl+L", 270}, {"Flip &Selected faces      Ctrl+F", 271}}},
              {"&View",
               {{"&One View", 231, MF_CHECKED},
                {"&Two Views", 232},
                {"T&hree Views", 233},
                {"&Texture View", 234},
                kSeparator,
                {"Viewport &Options...", 256},
                {"&Auto Zoom", 268, MF_CHECKED}}},
              {"&Render",
               {{"Solid &Wireframe", 272, MF_CHECKED},
                {"&Solid", 274},
                {"&Wireframe", 276},
                {"&Back Faced", 277},
                kSeparator,
                {"&Show Points", 285}}},
              {"&Texture",
               {{"&Load Texture...", 217},
                {"Texture &Mapping...", 261},
                {"&No Texture", 260},
                kSeparator,
                {"Mesh &Colour...", 269},
                {"M&aterial...", 259}}},
              {"&Help", {{"&About", 224}}},
          }};
}

// The control characters the keyboard types with Ctrl held.
AcceleratorResource Accelerators() {
  return {3,
          {{0, 0x18, 207},  // Ctrl+X
           {0, 0x03, 208},  // Ctrl+C
           {0, 0x16, 209},  // Ctrl+V
           {0, 0x01, 211},  // Ctrl+A
           {0, 0x15, 212},  // Ctrl+U
           {0, 0x14, 113},  // Ctrl+T
           {0, 0x0C, 270},  // Ctrl+L
           {0, 0x06, 271},  // Ctrl+F
           {0, 0x1A, 283}}};  // Ctrl+Z
}

// Which elements the Delete command removes. Cancel Delete is IDCANCEL, so Escape and the
// close button answer the same.
DialogResource DeleteDialog() {
  using Kind = DialogControlKind;
  DialogResource dialog{2, "Delete", 0, 0, 171, 114, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, {}};
  dialog.controls = {
      {Kind::kPushButton, "Cancel Delete", IDCANCEL, 7, 7, 50, 14},
      {Kind::kPushButton, "Faces", 101, 60, 7, 50, 14},
      {Kind::kPushButton, "Points", 102, 113, 7, 50, 14},
      {Kind::kGroupBox, "Help", -1, 7, 28, 157, 79},
      {Kind::kLeftText, "Faces: Delete the faces that have all three corners selected.", -1, 14, 41, 143, 26},
      {Kind::kLeftText, "Points: Delete the selected points, and any faces that they belong to.", -1, 14, 71,
       143, 30},
  };
  return dialog;
}

// The shape to add, its segment count and its scale along each axis. The combo box's
// height includes its dropped list.
DialogResource CreateShapeDialog() {
  using Kind = DialogControlKind;
  DialogResource dialog{8, "Create Shape", 0, 0, 206, 115, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, {}};
  dialog.controls = {
      {Kind::kLeftText, "Shape", -1, 7, 7, 90, 8},
      {Kind::kDropDownList, "", 101, 7, 17, 90, 60, CBS_SORT},
      {Kind::kLeftText, "Segments", -1, 7, 35, 90, 8},
      {Kind::kListBox, "", 102, 7, 45, 90, 63, LBS_SORT | LBS_NOTIFY},
      {Kind::kGroupBox, "Scale", -1, 106, 7, 93, 64},
      {Kind::kLeftText, "X:", -1, 114, 22, 12, 8},
      {Kind::kEdit, "", 103, 128, 20, 62, 12, ES_AUTOHSCROLL},
      {Kind::kLeftText, "Y:", -1, 114, 38, 12, 8},
      {Kind::kEdit, "", 104, 128, 36, 62, 12, ES_AUTOHSCROLL},
      {Kind::kLeftText, "Z:", -1, 114, 54, 12, 8},
      {Kind::kEdit, "", 105, 128, 52, 62, 12, ES_AUTOHSCROLL},
      {Kind::kDefPushButton, "OK", IDOK, 106, 94, 45, 14},
      {Kind::kPushButton, "Cancel", IDCANCEL, 154, 94, 45, 14},
  };
  return dialog;
}

// Asked before a save replaces a file; Cancel is IDCANCEL, so Escape keeps the file.
DialogResource ReplaceFileDialog() {
  using Kind = DialogControlKind;
  DialogResource dialog{11, "Replace File", 0, 0, 149, 66, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, {}};
  dialog.controls = {
      {Kind::kCentredText, "File exists, replace existing file?", -1, 7, 14, 135, 16},
      {Kind::kPushButton, "YES", IDOK, 20, 42, 50, 14},
      {Kind::kPushButton, "Cancel", IDCANCEL, 79, 42, 50, 14},
  };
  return dialog;
}

DialogResource AboutDialog() {
  using Kind = DialogControlKind;
  DialogResource dialog{1, "About", 0, 0, 188, 96, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, {}};
  dialog.controls = {
      {Kind::kCentredText, "Facetry", -1, 7, 12, 174, 10},
      {Kind::kCentredText, "A polygon mesh editor", -1, 7, 30, 174, 10},
      {Kind::kCentredText, "v. 1.0  Beta", -1, 7, 48, 174, 10},
      {Kind::kDefPushButton, "OK", IDOK, 69, 72, 50, 14},
  };
  return dialog;
}

// The bitmap's scale and the texture map's size, and whether to generate every corner's
// coordinates again.
DialogResource TextureMappingDialog() {
  using Kind = DialogControlKind;
  DialogResource dialog{7, "Texture Mapping", 0, 0, 186, 118, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, {}};
  dialog.controls = {
      {Kind::kGroupBox, "Bitmap Scale", -1, 7, 7, 84, 48},
      {Kind::kLeftText, "X:", -1, 14, 21, 12, 8},
      {Kind::kEdit, "", 107, 28, 19, 56, 12, ES_AUTOHSCROLL},
      {Kind::kLeftText, "Y:", -1, 14, 37, 12, 8},
      {Kind::kEdit, "", 108, 28, 35, 56, 12, ES_AUTOHSCROLL},
      {Kind::kGroupBox, "Bitmap Size", -1, 95, 7, 84, 48},
      {Kind::kLeftText, "X:", -1, 102, 21, 12, 8},
      {Kind::kEdit, "", 111, 116, 19, 56, 12, ES_AUTOHSCROLL},
      {Kind::kLeftText, "Y:", -1, 102, 37, 12, 8},
      {Kind::kEdit, "", 112, 116, 35, 56, 12, ES_AUTOHSCROLL},
      {Kind::kAutoCheckBox, "Regenerate Texture Coordinates", 104, 7, 64, 172, 10},
      {Kind::kDefPushButton, "OK", IDOK, 36, 94, 50, 14},
      {Kind::kPushButton, "Cancel", IDCANCEL, 100, 94, 50, 14},
  };
  return dialog;
}

// The number of views, which side of the cursor each camera looks from, and the
// projection. The procedure sets every check itself, so none of the buttons is automatic.
DialogResource ViewportOptionsDialog() {
  using Kind = DialogControlKind;
  DialogResource dialog{3, "Viewport Options", 0, 0, 165, 226, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, {}};
  dialog.controls = {
      {Kind::kGroupBox, "Number of Viewports", -1, 7, 7, 151, 66},
      {Kind::kRadioButton, "One View", 101, 15, 19, 120, 10, WS_GROUP},
      {Kind::kRadioButton, "Two Views", 102, 15, 32, 120, 10},
      {Kind::kRadioButton, "Three Views", 103, 15, 45, 120, 10},
      {Kind::kRadioButton, "Texture Mapping View", 111, 15, 58, 120, 10},
      {Kind::kGroupBox, "Viewport positions", -1, 7, 78, 151, 106},
      {Kind::kLeftText, "Viewport 1", -1, 15, 90, 60, 8},
      {Kind::kRadioButton, "Front View", 104, 15, 100, 60, 10, WS_GROUP},
      {Kind::kRadioButton, "Back View", 105, 85, 100, 60, 10},
      {Kind::kLeftText, "Viewport 2", -1, 15, 118, 60, 8},
      {Kind::kRadioButton, "Left View", 108, 15, 128, 60, 10, WS_GROUP},
      {Kind::kRadioButton, "Right View", 106, 85, 128, 60, 10},
      {Kind::kLeftText, "Viewport 3", -1, 15, 146, 60, 8},
      {Kind::kRadioButton, "Top View", 107, 15, 156, 60, 10, WS_GROUP},
      {Kind::kRadioButton, "Bottom View", 109, 85, 156, 60, 10},
      {Kind::kCheckBox, "Perspective Viewports", 114, 7, 190, 151, 10, WS_GROUP},
      {Kind::kDefPushButton, "OK", IDOK, 27, 205, 50, 14},
      {Kind::kPushButton, "Cancel", IDCANCEL, 88, 205, 50, 14},
  };
  return dialog;
}

// Emissive and specular colours, a channel a bar with its value beside it (ids 201 to
// 206), and the power.
DialogResource MaterialDialog() {
  using Kind = DialogControlKind;
  DialogResource dialog{4, "Material Settings", 0, 0, 200, 172, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, {}};
  const char* channels[] = {"Red", "Green", "Blue"};
  const char* groups[] = {"Emmisive", "Specular"};
  for (int g = 0; g < 2; ++g) {
    const int top = 7 + g * 62;
    dialog.controls.push_back({Kind::kGroupBox, groups[g], -1, 7, top, 186, 58});
    for (int c = 0; c < 3; ++c) {
      const int y = top + 12 + c * 15;
      const int id = 101 + g * 3 + c;
      dialog.controls.push_back({Kind::kLeftText, channels[c], -1, 14, y + 1, 30, 8});
      dialog.controls.push_back({Kind::kHorizontalScrollBar, "", id, 46, y, 110, 10});
      dialog.controls.push_back({Kind::kLeftText, "0", id + 100, 162, y + 1, 24, 8});
    }
  }
  dialog.controls.push_back({Kind::kLeftText, "Power:", -1, 14, 135, 30, 8});
  dialog.controls.push_back({Kind::kEdit, "", 107, 46, 133, 50, 12, ES_AUTOHSCROLL});
  dialog.controls.push_back({Kind::kDefPushButton, "OK", IDOK, 88, 152, 50, 14});
  dialog.controls.push_back({Kind::kPushButton, "Cancel", IDCANCEL, 143, 152, 50, 14});
  return dialog;
}

const StringResource kStrings[] = {
    {50, "Edit existing polygons"},
    {113, "Toggle select points in the scene"},
    {201, "Clear the current scene, and start over"},
    {202, "Locate and Open a file"},
    {203, "Save current changes to disk"},
    {204, "Save the mesh under a new name"},
    {205, "Load a Palette from disk"},
    {206, "Exit the program"},
    {207, "Place the current selection into the clipboard, and remove it from the scene"},
    {208, "Place the current selection into the clipboard"},
    {209, "Insert the mesh from the clipboard to the scene"},
    {210, "Clear the clipboard"},
    {211, "Select all the points in the scene"},
    {212, "Unselect all the points in the scene"},
    {214, "View controls"},
    {215, "Lighting options"},
    {217, "Load a texture from disk"},
    {219, "Switch to the texture mapping view"},
    {221, "Information about the scene"},
    {222, "View the help contents"},
    {223, "Search for a word in help"},
    {224, "About"},
    {225, "Create new polygons"},
    {228, "Combine a file from disk with the current mesh"},
    {229, "Load a texture from disk"},
    {230, "Show the current texture in the texture view"},
    {231, "View the mesh from one angle"},
    {232, "View the mesh from two angles"},
    {233, "View the mesh from three angles"},
    {234, "View the mesh from one angle, and view the texture"},
    {256, "Change the configuration of the viewport"},
    {257, "Center the cursor at all times"},
    {258, "Don't Use a Material when rendering the mesh"},
    {259, "Change the Material Settings"},
    {260, "Don't apply a texture to the mesh"},
    {261, "Change the Texture Settings"},
    {262, "Translate the selected mesh"},
    {263, "Rotate the selected mesh"},
    {264, "Scale the selected mesh (hold shift for uniform scale)"},
    {265, "Translate All the points in the scene"},
    {266, "Rotate All the points in the scene"},
    {267, "Orthographic Drawing mode"},
    {268, "Automatically zoom non active viewports"},
    {269, "Change the color of the mesh"},
    {270, "Change the direction the previously created face is facing"},
    {271, "Change the direction the selected faces are facing"},
    {272, "Render the mesh as a solid wireframe"},
    {273, "Render the mesh as a solid, with points"},
    {274, "Render the mesh as a solid"},
    {275, "Render the mesh as a wireframe, with points"},
    {276, "Render the mesh as a wireframe"},
    {277, "Render only backfaces of polygons"},
    {285, "Always show Points"},
    {286, "Center the mesh on point (0,0,0)"},
};

ImageResource Embedded(const char* type, int id) {
  ImageResource image;
  image.encoded = FindResourceBytes(type, MAKEINTRESOURCEA(id));
  return image;
}

struct CursorRow {
  int id;
  int hotspot_x, hotspot_y;
};
// Arrow cursors point with their tip; the cross-hairs with their centre.
constexpr CursorRow kCursors[] = {{202, 15, 15}, {3, 0, 0}, {4, 0, 0}, {5, 0, 0},
                                  {6, 0, 0},     {7, 0, 0}, {8, 15, 15}};

}  // namespace

void RegisterAppResources() {
  ResourceSet set;
  set.menus.push_back(MainMenu());
  set.accelerators.push_back(Accelerators());
  set.strings.assign(std::begin(kStrings), std::end(kStrings));
  set.bitmaps.push_back({58, Embedded("BITMAP", 58)});
  for (const CursorRow& row : kCursors)
    set.cursors.push_back({row.id, Embedded("CURSOR", row.id), row.hotspot_x, row.hotspot_y});
  set.icons.push_back({12, Embedded("ICON", 12)});
  set.icons.push_back({13, Embedded("ICON", 13)});
  set.icons.push_back({"AppIcon", Embedded("ICON", 13)});
  set.dialogs.push_back(AboutDialog());
  set.dialogs.push_back(DeleteDialog());
  set.dialogs.push_back(ViewportOptionsDialog());
  set.dialogs.push_back(MaterialDialog());
  set.dialogs.push_back(TextureMappingDialog());
  set.dialogs.push_back(CreateShapeDialog());
  set.dialogs.push_back(ReplaceFileDialog());
  RegisterResources(set);
}
