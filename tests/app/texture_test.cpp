// Texturing as a user does it: a bitmap loaded through the file dialog, the texture view
// beside the front view, corners picked, boxed and dragged there with the mouse, the
// textured solid mesh, scrolling, the Texture Mapping dialog and the refused bitmaps.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/modal.h"
#include "platform/win/wingdi.h"
#include "texture/texture.h"
#include "tests/app/pointer_scenario.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kNavy = 0xFF000080;
constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kWhite = 0xFFFFFFFF;

void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xff);
  out += static_cast<char>((v >> 8) & 0xff);
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

// A bottom-up .bmp whose pixel (x, y), y counted from the top, is `rgb(x, y)` (0xRRGGBB);
// an 8-bit one gets a table of those colours by index x + y * width. `compression`
// and `cut` (bytes dropped from the end) make damaged files.
std::string Bitmap(int width, int height, int bits, const std::function<uint32_t(int, int)>& rgb,
                   uint32_t compression = 0, size_t cut = 0) {
  const int stride = (width * bits + 31) / 32 * 4;
  const uint32_t table = bits <= 8 ? 4u << bits : 0;
  const uint32_t offset = 54 + table;
  std::string out = "BM";
  Put32(out, offset + stride * height);
  Put32(out, 0);
  Put32(out, offset);
  for (uint32_t v : {40u, static_cast<uint32_t>(width), static_cast<uint32_t>(height)}) Put32(out, v);
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(bits));
  for (uint32_t v : {compression, static_cast<uint32_t>(stride * height), 0u, 0u, 0u, 0u}) Put32(out, v);
  if (table) {
    for (uint32_t i = 0; i < (1u << bits); ++i) {
      const int x = static_cast<int>(i) % width, y = static_cast<int>(i) / width;
      const uint32_t c = y < height ? rgb(x, y) : 0;
      Put32(out, c & 0xffffff);  // blue, green, red, 0 in the file's order
    }
  }
  for (int row = height - 1; row >= 0; --row) {
    std::string line;
    for (int x = 0; x < width; ++x) {
      const uint32_t c = rgb(x, row);
      if (bits == 8) line += static_cast<char>(x + row * width);
      if (bits >= 24) {
        line += static_cast<char>(c & 0xff);
        line += static_cast<char>((c >> 8) & 0xff);
        line += static_cast<char>((c >> 16) & 0xff);
      }
      if (bits == 32) line += '\0';
      if (bits == 4 && x % 2 == 0) line += '\0';
    }
    line.resize(static_cast<size_t>(stride), '\0');
    out += line;
  }
  out.resize(out.size() - std::min(cut, out.size()));
  return out;
}

class Texturing : public PointerScenario {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("facetry_texture_" + std::to_string(getpid()));
    fs::create_directories(dir);
    ASSERT_NE(app.Start(), nullptr);
    ASSERT_TRUE(app.Turn());
    app.Command(234);
    ASSERT_TRUE(app.Turn());
    Remap();
    MoveTo({cx, cy});
  }
  void TearDown() override {
    PointerScenario::TearDown();
    fs::remove_all(dir);
  }

  // A triangle up and to the right of the front view's centre, so that all of it lies at
  // positive x and y, where the texture view shows coordinates; apex first.
  std::vector<Pixel> Triangle() const { return {{cx + 90, cy - 150}, {cx + 150, cy - 50}, {cx + 30, cy - 50}}; }
  void DrawTriangle() {
    const auto corners = Triangle();
    for (Pixel p : corners) ClickAt(p);
    HoverOn(corners[0], 0);
    app.Click(corners[0].x, corners[0].y);
    ASSERT_TRUE(app.Turn());
    ASSERT_EQ(polygoner.num_faces, 1);
  }

  fs::path Write(const std::string& name, const std::string& bytes) {
    const fs::path path = dir / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  void Load(const fs::path& path) {
    app.files.push_back(path.string());
    app.Command(217);
  }
  bool Told(const std::string& text) const {
    for (const RecordedBox& box : app.boxes)
      if (box.text == text || box.text == text + "\r\n") return true;
    return false;
  }

  // Where corner j of face 0 shows in the texture view.
  static POINT CornerOnView(int j) {
    const TexCoord& t = polygoner.facedata[0].tex[j];
    return texture.WorldToScreen(t.x, t.y);
  }
  // The pointer over the texture view at `p`: the passes that follow take the mode over.
  void MoveInView(POINT p) {
    app.MouseMoveIn(app.texture_view(), p.x, p.y);
    ASSERT_TRUE(app.Turn());
  }
  void PressInView(POINT p) {
    MoveInView(p);
    app.Post(app.texture_view(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    ASSERT_TRUE(app.Turn());
  }
  void ReleaseInView(POINT p) {
    app.Post(app.texture_view(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    ASSERT_TRUE(app.Turn());
  }
  static std::vector<bool> Selected() {
    std::vector<bool> s;
    for (int j = 0; j < 3; ++j) s.push_back(polygoner.facedata[0].texactive[j]);
    return s;
  }
  static std::vector<bool> Active() {
    std::vector<bool> s;
    for (int j = 0; j < 3; ++j) s.push_back(polygoner.pointdata[*polygoner.facedata[0].points[j]].active);
    return s;
  }
  uint32_t FrontPixel(Pixel p) {
    int w = 0, h = 0;
    const auto pixels = app.FrontPixels(&w, &h);
    return p.x >= 0 && p.y >= 0 && p.x < w && p.y < h ? pixels[static_cast<size_t>(p.y) * w + p.x] : 0;
  }

  fs::path dir;
};

// Picks by pointer: the reach, corners before triangles, Ctrl, and the 3D points following.
TEST_F(Texturing, LoadedBitmapIsTiledFromTheBottomLeftAndTheCornersArePickedByPointer) {
  DrawTriangle();
  // Three colours a row, two rows: odd rows are padded in the file.
  const uint32_t colours[2][3] = {{0xff0000, 0x00ff00, 0x0000ff}, {0xffff00, 0x00ffff, 0xff00ff}};
  Load(Write("tile.bmp", Bitmap(3, 2, 8, [&](int x, int y) { return colours[y][x]; })));
  ASSERT_TRUE(texture.fDisplayBitmap) << (app.boxes.empty() ? "" : app.boxes[0].text);
  RECT client;
  GetClientRect(app.texture_view(), &client);
  EXPECT_EQ(texture.mapsize_x, 2 * client.right);
  EXPECT_EQ(texture.mapsize_y, 2 * client.bottom);
  EXPECT_EQ(texture.offset.x, 0);
  EXPECT_EQ(texture.offset.y, texture.mapsize_y - client.bottom) << "the view starts at the map's bottom";
  for (int j = 0; j < 3; ++j) {
    const _D3DVECTOR& p = polygoner.pointdata[*polygoner.facedata[0].points[j]].point;
    EXPECT_EQ(polygoner.facedata[0].tex[j].x, static_cast<int>(p.x * 20)) << j;
    EXPECT_EQ(polygoner.facedata[0].tex[j].y, static_cast<int>(p.y * 20)) << j;
  }

  int w = 0, h = 0;
  auto view = app.TexturePixels(&w, &h);
  ASSERT_EQ(w, client.right);
  ASSERT_EQ(h, client.bottom);
  // The top rows lie far above the triangle: the map repeats the image upward from the
  // view's bottom row, which is the image's bottom row.
  for (int y : {0, 1, 2})
    for (int x : {w / 2, w / 2 + 1, w / 2 + 2}) {
      const int image_row = 1 - (h - 1 - y) % 2;
      EXPECT_EQ(view[static_cast<size_t>(y) * w + x], 0xff000000 | colours[image_row][x % 3]) << x << "," << y;
    }

  // The apex: 4 pixels beside or above it is a miss (and outside the triangle), 3 a hit.
  const POINT apex = CornerOnView(0);
  PressInView({apex.x + 4, apex.y});
  ReleaseInView({apex.x + 4, apex.y});
  EXPECT_EQ(Selected(), (std::vector<bool>{false, false, false}));
  PressInView({apex.x, apex.y - 3});
  ReleaseInView({apex.x, apex.y - 3});
  EXPECT_EQ(Selected(), (std::vector<bool>{true, false, false}));
  EXPECT_EQ(Active(), (std::vector<bool>{true, false, false})) << "the 3D point follows";
  EXPECT_EQ(the_mode, texturemap);

  // The selected corner's square is navy-edged, the others black; squares are white inside.
  view = app.TexturePixels(&w, &h);
  const POINT base = CornerOnView(1);
  EXPECT_EQ(view[static_cast<size_t>(apex.y) * w + apex.x - 4], kNavy);
  EXPECT_EQ(view[static_cast<size_t>(base.y) * w + base.x - 4], kBlack);
  EXPECT_EQ(view[static_cast<size_t>(base.y) * w + base.x], kWhite);

  // Inside the triangle away from every corner: its nearest corner. Ctrl adds to the
  // selection; Ctrl on a selected corner drops it.
  const POINT b = CornerOnView(1), c = CornerOnView(2);
  const POINT near_b{(3 * b.x + apex.x + c.x) / 5, (3 * b.y + apex.y + c.y) / 5};
  ctrl = true;
  PressInView(near_b);
  ReleaseInView(near_b);
  EXPECT_EQ(Selected(), (std::vector<bool>{true, true, false}));
  PressInView(apex);
  ReleaseInView(apex);
  ctrl = false;
  EXPECT_EQ(Selected(), (std::vector<bool>{false, true, false}));
  EXPECT_EQ(Active(), (std::vector<bool>{false, true, false}));

  // Leaving the texture view gives the mode back.
  MoveTo({cx, cy});
  MoveTo({cx, cy});
  EXPECT_EQ(the_mode, create);
}

TEST_F(Texturing, DraggingACornerMovesItsCoordinateAndTheTexturedFrontViewFollows) {
  DrawTriangle();
  app.Command(274);
  // Red grows to the right across the image, so a corner moved sideways shows other red.
  Load(Write("ramp.bmp", Bitmap(64, 64, 24, [](int x, int) { return static_cast<uint32_t>(x * 4) << 16 | 0x40; })));
  ASSERT_TRUE(texture.texloaded);
  ASSERT_TRUE(app.Turn());
  const auto corners = Triangle();
  const Pixel inside{(corners[0].x + corners[1].x + corners[2].x) / 3, (corners[0].y + corners[1].y + corners[2].y) / 3};
  const uint32_t before = FrontPixel(inside);

  const POINT apex = CornerOnView(0);
  const TexCoord start = polygoner.facedata[0].tex[0];
  PressInView(apex);
  for (int step = 1; step <= 2; ++step) MoveInView({apex.x + 6 * step, apex.y + 5 * step});
  ReleaseInView({apex.x + 12, apex.y + 10});
  EXPECT_EQ(polygoner.facedata[0].tex[0].x, start.x + 12);
  EXPECT_EQ(polygoner.facedata[0].tex[0].y, start.y - 10) << "down on the screen is down the map";
  EXPECT_EQ(polygoner.facedata[0].tex[1].x, CornerOnView(1).x + texture.offset.x) << "the other corners stay";
  ASSERT_TRUE(app.Turn());
  const uint32_t moved = FrontPixel(inside);
  EXPECT_NE(moved, before) << "the solid mesh takes the new coordinate";

  // Dragged back, the mesh shows exactly what it showed.
  PressInView(CornerOnView(0));
  MoveInView({CornerOnView(0).x - 12, CornerOnView(0).y - 10});
  ReleaseInView(CornerOnView(0));
  EXPECT_EQ(polygoner.facedata[0].tex[0].x, start.x);
  ASSERT_TRUE(app.Turn());
  EXPECT_EQ(FrontPixel(inside), before);
}

TEST_F(Texturing, ABoxSelectsTheCornersStrictlyInsideItFromEitherSide) {
  DrawTriangle();
  Load(Write("grey.bmp", Bitmap(4, 4, 32, [](int, int) { return 0x808080u; })));
  const POINT apex = CornerOnView(0), b = CornerOnView(1), c = CornerOnView(2);
  // A box around the two base corners, started away from the triangle, one way and then
  // the other.
  const POINT from{std::min(b.x, c.x) - 10, std::max(b.y, c.y) + 10};
  const POINT to{std::max(b.x, c.x) + 10, (apex.y + b.y) / 2};
  for (bool reversed : {false, true}) {
    const POINT first = reversed ? to : from, second = reversed ? from : to;
    PressInView({first.x + (reversed ? 30 : 0), first.y});
    ReleaseInView({first.x + (reversed ? 30 : 0), first.y});
    ASSERT_EQ(Selected(), (std::vector<bool>{false, false, false})) << "a press on nothing clears";
    PressInView(first);
    MoveInView({(first.x + second.x) / 2, (first.y + second.y) / 2});
    MoveInView(second);
    ReleaseInView(second);
    ASSERT_TRUE(app.Turn());
    EXPECT_EQ(Selected(), (std::vector<bool>{false, true, true})) << reversed;
    EXPECT_EQ(Active(), (std::vector<bool>{false, true, true})) << reversed;
    EXPECT_FALSE(texture.last) << "the band ends with the release";
  }
}

TEST_F(Texturing, ScrollingMovesTheMapWithinItsRange) {
  DrawTriangle();
  // Columns alternate in four colours, so the first shown column names the offset.
  const uint32_t colours[4] = {0x101010, 0x202020, 0x303030, 0x404040};
  Load(Write("stripes.bmp", Bitmap(4, 1, 24, [&](int x, int) { return colours[x]; })));
  RECT client;
  GetClientRect(app.texture_view(), &client);
  HWND across = GetDlgItem(app.texture_view(), 22);
  ASSERT_NE(across, nullptr);
  ASSERT_TRUE(ScrollBarAction(across, SB_LINERIGHT));
  EXPECT_EQ(texture.offset.x, client.right / 7);
  ASSERT_TRUE(ScrollBarAction(across, SB_THUMBPOSITION, 30000));
  EXPECT_EQ(texture.offset.x, texture.mapsize_x - client.right) << "held at the end of the map";
  int w = 0, h = 0;
  const auto view = app.TexturePixels(&w, &h);
  EXPECT_EQ(view[0], 0xff000000 | colours[texture.offset.x % 4]);
  EXPECT_EQ(GetScrollPos(across, SB_CTL), texture.offset.x);
  ASSERT_TRUE(ScrollBarAction(GetDlgItem(app.texture_view(), 21), SB_PAGEUP));
  EXPECT_EQ(texture.offset.y, texture.mapsize_y - client.bottom - client.bottom / 2);
}

TEST_F(Texturing, TextureMappingRescalesResizesAndRegenerates) {
  DrawTriangle();
  app.Command(274);
  int opened = 0;
  app.drive = [&](HWND d) {
    ++opened;
    EXPECT_TRUE(ClickDlgButton(d, IDOK));
  };
  app.Command(261);
  EXPECT_EQ(opened, 1) << "OK without a texture leaves the dialog open until it is cancelled";
  EXPECT_EQ(texture.mapsize_x, 0);

  Load(Write("square.bmp", Bitmap(64, 64, 24, [](int x, int y) { return static_cast<uint32_t>(x + y); })));
  const TexCoord generated = polygoner.facedata[0].tex[0];
  polygoner.facedata[0].SetTex_x(0, 5);
  std::vector<std::string> shown;
  app.drive = [&](HWND d) {
    char text[32];
    for (int id : {107, 108, 111, 112}) {
      GetDlgItemTextA(d, id, text, sizeof text);
      shown.push_back(text);
    }
    EXPECT_TRUE(TypeDlgItemText(d, 107, "0.5"));
    EXPECT_TRUE(TypeDlgItemText(d, 108, "2"));
    EXPECT_TRUE(TypeDlgItemText(d, 111, "300"));
    EXPECT_TRUE(TypeDlgItemText(d, 112, "200"));
    EXPECT_TRUE(ClickDlgButton(d, 104));
    EXPECT_TRUE(ClickDlgButton(d, IDOK));
  };
  const int map_x = texture.mapsize_x, map_y = texture.mapsize_y;
  app.Command(261);
  EXPECT_EQ(shown, (std::vector<std::string>{"1.00", "1.00", std::to_string(map_x), std::to_string(map_y)}));
  EXPECT_EQ(texture.tswidth, 32);
  EXPECT_EQ(texture.tsheight, 128);
  EXPECT_EQ(texture.mapsize_x, 300);
  EXPECT_EQ(texture.mapsize_y, 200);
  EXPECT_EQ(polygoner.facedata[0].tex[0].x, generated.x) << "regenerated";

  // A scale that leaves no pixel keeps the map.
  app.boxes.clear();
  app.drive = [&](HWND d) {
    EXPECT_TRUE(TypeDlgItemText(d, 107, "0.001"));
    EXPECT_TRUE(ClickDlgButton(d, IDOK));
  };
  app.Command(261);
  EXPECT_TRUE(Told("dimensions can't be 0"));
  EXPECT_EQ(texture.tswidth, 32);
}

TEST_F(Texturing, EveryAcceptedDepthLoadsAndOtherBitmapsAreRefusedWithNothingReplaced) {
  auto grey = [](int, int) { return 0x606060u; };
  for (int bits : {8, 24, 32}) {
    app.boxes.clear();
    Load(Write("ok" + std::to_string(bits) + ".bmp", Bitmap(5, 3, bits, grey)));
    EXPECT_TRUE(app.boxes.empty()) << bits << ": " << app.boxes[0].text;
    EXPECT_EQ(texture.tswidth, 5) << bits;
    EXPECT_EQ(texture.bytes, bits / 8) << bits;
  }
  IDirect3DRMTexture* kept = texture.tex;
  struct Refusal {
    std::string file;
    std::string bytes;
    std::string message;
  };
  const Refusal refusals[] = {
      {"four.bmp", Bitmap(6, 6, 4, grey), "The texture can only have 8, 24, or 32 bits per pixel"},
      {"rle.bmp", Bitmap(6, 6, 8, grey, 1), "LoadTexture() failed"},
      {"cut.bmp", Bitmap(6, 6, 24, grey, 0, 20), "ReadFile3 failed"},
      {"header.bmp", Bitmap(6, 6, 24, grey).substr(0, 30), "ReadFile failed"},
  };
  for (const Refusal& r : refusals) {
    app.boxes.clear();
    Load(Write(r.file, r.bytes));
    EXPECT_TRUE(Told(r.message)) << r.file;
    EXPECT_TRUE(Told("Could not open File")) << r.file;
    EXPECT_EQ(texture.tex, kept) << r.file;
    EXPECT_EQ(texture.width, 5) << r.file;
  }
  app.boxes.clear();
  Load(dir / "missing.bmp");
  EXPECT_TRUE(Told("Error: INVALID_HANDLE_VALUE "));
  app.boxes.clear();
  app.files.push_back(std::nullopt);
  app.Command(217);
  EXPECT_TRUE(Told("GetOpenFileName Failed")) << "a cancelled dialog says so";
}

}  // namespace
