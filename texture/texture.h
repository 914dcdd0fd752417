// The mesh's one texture: the bitmap read from a file, the texture map the texture view
// shows (the bitmap scaled and repeated), the view's scrolling, picking and dragging of
// face corners, and the mesh's colour and material.
#pragma once

#include <vector>

#include "platform/win/commdlg.h"
#include "platform/win/win.h"
#include "platform/win/wingdi.h"

class IDirect3DRMTexture;

// One scroll bar of the texture view and the range it lets the view's offset take.
struct TexScroll {
  // Makes the bar the first time, moves it to the view's edge later, and sets its range.
  void InitTexScroll(bool vertical);

  HWND hwnd = nullptr;
  bool init = false;
  int width = 20;
  int maxscroll = 0, minscroll = 0;
  int maxoff = 0, minoff = 0;
};

class Texture {
 public:
  Texture() = default;
  ~Texture();
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  // --- The bitmap and the texture map (texture_bitmap.cpp)
  // The "Load a texture from disk" command: asks for a file and reads it.
  void LoadTexture();
  // Reads the bitmap `ofn` names, makes it the mesh's texture and the view's map; false
  // when the file is refused, with nothing replaced.
  bool ReadTheFile(OPENFILENAMEA ofn, HWND hwnd);
  // Rebuilds the map from the loaded bitmap at scale (x1, y1), `offsetx` by `offsety`
  // pixels, or twice the view's client size for (0, 0). 0 when nothing could be made.
  int ScaleBitmap(float x1, float y1, int offsetx, int offsety);
  // A new bitmap of |trunc(width * x)| by |trunc(height * y)| holding `src` stretched.
  HBITMAP StretchBitmap(HBITMAP src, float x, float y);

  // --- The texture view (texture_view.cpp)
  // Gives every face's corners coordinates from their points' x and y, 20 pixels a unit.
  void InitTexPoints();
  POINT WorldToScreen(int tx, int ty);
  POINT ScreenToWorld(int sx, int sy);
  void DrawPoints(HDC dc);
  void DrawActivePoints(HDC dc);
  void DrawNonActivePoints(HDC dc);
  void DrawLine(int face1, int corner1, int face2, int corner2, HDC* dc);
  void DrawRectangle(int face, int corner, HDC dc, bool active);
  // Picks the corner at client position (x, y); `toggle` (Ctrl held) adds or drops a
  // corner instead of replacing the selection. Returns the position in map pixels.
  POINT TestForSelected(int x, int y, bool toggle);
  // Drags the selected corners to client position (x, y).
  void MovePoints(int x, int y);
  // Draws the rubber band to the pointer and selects the corners inside it.
  void MakeBox(bool done);
  void TestForBoxSelected(POINT p);
  // Selects the corners of the points selected in the top view.
  void UpdatePoints();
  int MoveTexture();
  // Paints the map at the view's offset and the faces over it (the view's WM_PAINT).
  void Paint(HWND window);

  // --- The file and the bitmap
  char filename[246] = {};
  IDirect3DRMTexture* tex = nullptr;  // referenced
  int width = 0, height = 0;
  int bmBitsPixel = 0, bmPlanes = 0, compression = 0;
  int bytes = 0, shades = 0;
  HDC hdc = nullptr;
  HBITMAP hbm = nullptr;            // the texture map the view shows
  HBITMAP fundamentalbm = nullptr;  // the bitmap as loaded, the source of every rescale
  BITMAPINFOHEADER tbmih{};
  std::vector<unsigned char> tlpbmi;  // the info header and the first colour entry

  // --- The texture map
  float scale_x = 1.0f, scale_y = 1.0f;
  float mscale_x = 1.0f, mscale_y = 1.0f;
  int mapsize_x = 0, mapsize_y = 0;
  int tswidth = 0, tsheight = 0;  // the scaled image, the unit of the mesh's texture coordinates
  int tnwidth = 0, tnheight = 0;  // its row length in bytes and its rows
  int tbiSize = 0, tnColors = 0;
  BITMAPINFOHEADER ttbmih2{};  // the map's header
  TexScroll scroll_x, scroll_y;

  bool fDisplayBitmap = false;  // a bitmap is loaded and shown in the texture view
  bool texloaded = false;       // the bitmap is applied to the mesh
  bool pointsinit = false;      // coordinates were generated once

  // --- The view
  POINT offset{0, 0};  // x: the map column at the left edge; y: the vertical bar's position
  int winheight = 0;
  int pixperw = 20;
  float min_x = 0.0f, min_y = 0.0f;
  POINT boxbegin{0, 0};
  bool createbox = false;  // a rubber band is being drawn in the texture view
  bool last = false;
  bool startmove = false;
  bool texmove = false;  // a texture point is being dragged
  PAINTSTRUCT ps;

  // --- The mesh's look
  COLORREF color = 0x004CFFFF;  // red in the low byte: a light yellow at start
  COLORREF colorarray[16] = {};
  // The mesh's material as Material Settings last set it: channels 0 to 255 and a power.
  int emissive[3] = {0, 0, 0};
  int specular[3] = {0, 0, 0};
  float power = 5.0f;
  bool material_set = false;  // until then the solid mesh has no material of its own

 private:
  void ReplaceBitmap(HBITMAP* slot, HBITMAP bitmap);
  void PublishSize();
};

extern Texture texture;

// Texture Mapping: the bitmap's scale and the map's size, and whether to generate the
// corners' coordinates again. Ends with 1 on OK, 0 on Cancel.
INT_PTR WrapDlgProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam);
