// The texture view: the texture map with every face drawn over it as a triangle at its
// corners' texture coordinates, and picking, box-selecting and dragging those corners.
// One selection is shared with the 3D views: a picked corner marks its point.
#include <algorithm>
#include <cstdlib>

#include "app/edit_input.h"
#include "app/errors.h"
#include "app/globals.h"
#include "model/polygoni.h"
#include "texture/texture.h"
#include "views/viewport_data.h"

namespace {

constexpr int kPickReach = 4;  // a click this many map pixels away on an axis misses
constexpr int kSquare = 4;     // half the side of a corner's square
constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int kHorizontalBarId = 22;
constexpr int kVerticalBarId = 21;

// The previous pointer position of a drag of corners.
int previous_x = 0, previous_y = 0;

int Clamp(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

PointStuff& CornerPoint(FaceStuff& face, int corner) { return polygoner.pointdata[*face.points[corner]]; }

// A corner taken into the selection, or out of it: the point follows, white or green.
void MarkCorner(FaceStuff& face, int corner, bool on) {
  face.texactive[corner] = on;
  const int point = *face.points[corner];
  polygoner.pointdata[point].active = on;
  ShowPointState(point);
}

// The pens of the two kinds of triangle, made once.
HPEN ActivePen() {
  static HPEN pen = CreatePen(PS_SOLID, 2, kNavy);
  return pen;
}
HPEN NonActivePen() {
  static HPEN pen = CreatePen(PS_SOLID, 1, kBlack);
  return pen;
}

}  // namespace

void TexScroll::InitTexScroll(bool vertical) {
  RECT r{0, 0, 0, 0};
  GetClientRect(vp_data.hwndtex, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int x = vertical ? w - width : 0, y = vertical ? 0 : h - width;
  const int cx = vertical ? width : w - width, cy = vertical ? h - width : width;
  if (!hwnd) {
    const auto id = static_cast<uintptr_t>(vertical ? kVerticalBarId : kHorizontalBarId);
    hwnd = CreateWindowExA(0, "SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | (vertical ? SBS_VERT : SBS_HORZ), x, y,
                           std::max(cx, 0), std::max(cy, 0), vp_data.hwndtex, reinterpret_cast<HMENU>(id),
                           GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) {
      Msg("HWND IS NULL IN The TexScroll Constructor");
      return;
    }
    SetScrollRange(hwnd, SB_CTL, 0, vertical ? h : w, TRUE);
  } else {
    MoveWindow(hwnd, x, y, std::max(cx, 0), std::max(cy, 0), TRUE);
  }
  SetScrollRange(hwnd, SB_CTL, minscroll, maxscroll, TRUE);
  init = true;
}

POINT Texture::WorldToScreen(int tx, int ty) {
  const int64_t sy = int64_t{winheight} - (int64_t{ty} - (int64_t{scroll_y.maxscroll} - offset.y));
  return {Clamp(int64_t{tx} - offset.x), Clamp(sy)};
}

POINT Texture::ScreenToWorld(int sx, int sy) {
  const int64_t ty = int64_t{winheight} - (int64_t{scroll_y.maxscroll} - offset.y) - sy;
  return {Clamp(int64_t{sx} + offset.x), Clamp(ty)};
}

void Texture::InitTexPoints() {
  Polygoni& m = polygoner;
  const float dx = std::abs(min_x), dy = std::abs(min_y);
  const auto per = static_cast<float>(pixperw);
  m.facedata.ForEach(m.num_faces, [&](FaceStuff& face) {
    for (int j = 0; j < 3; ++j) {
      const _D3DVECTOR& p = CornerPoint(face, j).point;
      face.SetTex_x(j, (p.x + dx) * per);
      face.SetTex_y(j, (p.y + dy) * per);
    }
  });
  // The solid mesh shows the new coordinates at once, as the view does.
  InvalidateRect(vp_data.hwndtex, nullptr, FALSE);
  m.UpdateMesh();
}

void Texture::DrawLine(int face1, int corner1, int face2, int corner2, HDC* dc) {
  const TexCoord& a = polygoner.facedata[face1].tex[corner1];
  const TexCoord& b = polygoner.facedata[face2].tex[corner2];
  const POINT from = WorldToScreen(a.x, a.y), to = WorldToScreen(b.x, b.y);
  MoveToEx(*dc, from.x, from.y, nullptr);
  LineTo(*dc, to.x, to.y);
}

void Texture::DrawRectangle(int face, int corner, HDC dc, bool /*active*/) {
  const TexCoord& t = polygoner.facedata[face].tex[corner];
  const POINT s = WorldToScreen(t.x, t.y);
  Rectangle(dc, s.x - kSquare, s.y - kSquare, s.x + kSquare, s.y + kSquare);
}

void Texture::DrawPoints(HDC dc) {
  HGDIOBJ previous = SelectObject(dc, ActivePen());
  DrawActivePoints(dc);
  SelectObject(dc, NonActivePen());
  DrawNonActivePoints(dc);
  if (previous) SelectObject(dc, previous);
}

namespace {

// Whether anything of face `face`'s triangle or squares can fall inside a view of
// `width` by `height`: faces wholly to one side of it are passed over, which draws the
// same pixels.
bool MayShow(Texture& t, const FaceStuff& face, int width, int height) {
  int64_t lo_x = INT64_MAX, hi_x = INT64_MIN, lo_y = INT64_MAX, hi_y = INT64_MIN;
  for (const TexCoord& c : face.tex) {
    const POINT s = t.WorldToScreen(c.x, c.y);
    lo_x = std::min<int64_t>(lo_x, s.x);
    hi_x = std::max<int64_t>(hi_x, s.x);
    lo_y = std::min<int64_t>(lo_y, s.y);
    hi_y = std::max<int64_t>(hi_y, s.y);
  }
  constexpr int kMargin = kSquare + 2;
  return hi_x >= -kMargin && lo_x < width + kMargin && hi_y >= -kMargin && lo_y < height + kMargin;
}

RECT ViewRect() {
  RECT r{0, 0, 0, 0};
  GetClientRect(vp_data.hwndtex, &r);
  return r;
}

}  // namespace

void Texture::DrawActivePoints(HDC dc) {
  Polygoni& m = polygoner;
  const RECT view = ViewRect();
  for (int f = 0; f < m.num_faces; ++f) {
    const FaceStuff& face = m.facedata[f];
    if (!face.texactive[0] && !face.texactive[1] && !face.texactive[2]) continue;
    if (!MayShow(*this, face, view.right, view.bottom)) continue;
    DrawLine(f, 0, f, 1, &dc);
    DrawLine(f, 1, f, 2, &dc);
    DrawLine(f, 2, f, 0, &dc);
    for (int j = 0; j < 3; ++j)
      if (face.texactive[j]) DrawRectangle(f, j, dc, true);
  }
}

void Texture::DrawNonActivePoints(HDC dc) {
  Polygoni& m = polygoner;
  const RECT view = ViewRect();
  std::vector<int> shown;
  for (int f = 0; f < m.num_faces; ++f) {
    const FaceStuff& face = m.facedata[f];
    if (!MayShow(*this, face, view.right, view.bottom)) continue;
    shown.push_back(f);
    if (face.texactive[0] || face.texactive[1] || face.texactive[2]) continue;
    DrawLine(f, 0, f, 1, &dc);
    DrawLine(f, 1, f, 2, &dc);
    DrawLine(f, 2, f, 0, &dc);
  }
  for (int f : shown)
    for (int j = 0; j < 3; ++j)
      if (!m.facedata[f].texactive[j]) DrawRectangle(f, j, dc, false);
}

POINT Texture::TestForSelected(int x, int y, bool toggle) {
  Polygoni& m = polygoner;
  m.UpdateMesh();
  if (!m.shift && !toggle)
    m.facedata.ForEach(m.num_faces, [](FaceStuff& face) {
      for (int j = 0; j < 3; ++j) MarkCorner(face, j, false);
    });
  const POINT at = ScreenToWorld(x, y);
  bool hit = false;
  m.facedata.ForEach(m.num_faces, [&](FaceStuff& face) {
    for (int j = 0; j < 3; ++j) {
      if (std::llabs(int64_t{face.tex[j].x} - at.x) >= kPickReach ||
          std::llabs(int64_t{face.tex[j].y} - at.y) >= kPickReach)
        continue;
      hit = texmove = startmove = true;
      if (toggle && face.texactive[j]) {
        MarkCorner(face, j, false);
      } else {
        MarkCorner(face, j, true);
        createbox = false;
      }
      return;  // one corner a face
    }
  });
  if (!hit) {
    // Inside a triangle: the point lies on the same side of every edge as the triangle's
    // own inside point.
    for (int f = 0; f < m.num_faces; ++f) {
      FaceStuff& face = m.facedata[f];
      bool bits[3];
      face.CenterToTexBits(&bits[0], &bits[1], &bits[2], static_cast<float>(at.x), static_cast<float>(at.y));
      if (bits[0] != face.texbits[0] || bits[1] != face.texbits[1] || bits[2] != face.texbits[2]) continue;
      int nearest = 0;
      int64_t best = INT64_MAX;
      for (int j = 0; j < 3; ++j) {
        const int64_t dx = int64_t{face.tex[j].x} - at.x, dy = int64_t{face.tex[j].y} - at.y;
        if (dx * dx + dy * dy < best) {
          best = dx * dx + dy * dy;
          nearest = j;
        }
      }
      MarkCorner(face, nearest, true);
      texmove = startmove = true;
      createbox = false;
      break;
    }
  }
  m.UpdateMesh();
  return at;
}

void Texture::MovePoints(int x, int y) {
  if (startmove) {
    previous_x = x;
    previous_y = y;
  }
  startmove = false;
  const int dx = x - previous_x, dy = y - previous_y;
  previous_x = x;
  previous_y = y;
  // A pass without motion moves nothing: the view and the mesh are left as they are.
  if (dx == 0 && dy == 0) return;
  Polygoni& m = polygoner;
  m.facedata.ForEach(m.num_faces, [dx, dy](FaceStuff& face) {
    for (int j = 0; j < 3; ++j) {
      if (!face.texactive[j]) continue;
      face.SetTex_x(j, static_cast<float>(int64_t{face.tex[j].x} + dx));
      face.SetTex_y(j, static_cast<float>(int64_t{face.tex[j].y} - dy));
    }
  });
  InvalidateRect(vp_data.hwndtex, nullptr, TRUE);
  m.UpdateMesh();
}

void Texture::MakeBox(bool /*done*/) {
  if (!last) return;
  InvalidateRect(vp_data.hwndtex, nullptr, FALSE);
  if (ps.hdc && ps.hdc != hdc) ReleaseDC(vp_data.hwndtex, ps.hdc);
  ps.hdc = GetDC(vp_data.hwndtex);
  if (!ps.hdc) return;
  POINT cursor{0, 0};
  GetCursorPos(&cursor);
  ScreenToClient(vp_data.hwndtex, &cursor);
  static HPEN dotted = CreatePen(PS_DOT, 1, kBlack);
  HGDIOBJ old_pen = SelectObject(ps.hdc, dotted);
  HGDIOBJ old_brush = SelectObject(ps.hdc, GetStockObject(NULL_BRUSH));
  Rectangle(ps.hdc, boxbegin.x, boxbegin.y, cursor.x, cursor.y);
  if (old_pen) SelectObject(ps.hdc, old_pen);
  if (old_brush) SelectObject(ps.hdc, old_brush);
  TestForBoxSelected(cursor);
  DrawPoints(ps.hdc);
}

void Texture::TestForBoxSelected(POINT p) {
  const int64_t left = std::min(boxbegin.x, p.x), right = std::max(boxbegin.x, p.x);
  const int64_t top = std::min(boxbegin.y, p.y), bottom = std::max(boxbegin.y, p.y);
  Polygoni& m = polygoner;
  m.facedata.ForEach(m.num_faces, [&](FaceStuff& face) {
    for (int j = 0; j < 3; ++j) {
      if (face.texactive[j]) continue;
      const POINT s = WorldToScreen(face.tex[j].x, face.tex[j].y);
      if (s.x > left && s.x < right && s.y > top && s.y < bottom) MarkCorner(face, j, true);
    }
  });
}

void Texture::UpdatePoints() {
  if (vp_data.activeview != 3) return;
  Polygoni& m = polygoner;
  m.facedata.ForEach(m.num_faces, [&m](FaceStuff& face) {
    for (int j = 0; j < 3; ++j)
      if (m.pointdata[*face.points[j]].active) face.texactive[j] = true;
  });
}

int Texture::MoveTexture() {
  if (fDisplayBitmap) InvalidateRect(vp_data.hwndtex, nullptr, FALSE);
  return 0;
}

void Texture::Paint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (!dc) return;
  RECT client{0, 0, 0, 0};
  GetClientRect(window, &client);
  const int w = client.right, h = client.bottom;
  if (!fDisplayBitmap) {
    PatBlt(dc, 0, 0, w, h, WHITENESS);
    EndPaint(window, &paint);
    return;
  }
  HDC memory = CreateCompatibleDC(dc);
  if (!memory) Msg("hdcMem == NULL");
  if (!hbm) Msg("error with hbm");
  HGDIOBJ previous = memory && hbm ? SelectObject(memory, hbm) : nullptr;
  if (memory && hbm && !previous) Msg("error with SelectObject()");
  BITMAP bm{};
  if (hbm && !GetObjectA(hbm, sizeof bm, &bm)) Msg("error with GetObject()");
  // What the map leaves uncovered shows white, as an erased window does.
  if (bm.bmWidth - offset.x < w || bm.bmHeight - offset.y < h) PatBlt(dc, 0, 0, w, h, WHITENESS);
  if (!texmove) {
    if (previous && !BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, memory, offset.x, offset.y, SRCCOPY))
      Msg("BitBlt error");
    DrawPoints(dc);
  } else {
    // While corners are dragged the frame is composed off screen and shown in one copy;
    // the map itself is never drawn on.
    HDC scratch = CreateCompatibleDC(dc);
    HBITMAP frame = CreateCompatibleBitmap(dc, std::max(w, 1), std::max(h, 1));
    HGDIOBJ old_frame = scratch && frame ? SelectObject(scratch, frame) : nullptr;
    if (old_frame) {
      PatBlt(scratch, 0, 0, w, h, WHITENESS);
      if (previous) BitBlt(scratch, 0, 0, bm.bmWidth, bm.bmHeight, memory, offset.x, offset.y, SRCCOPY);
      SetROP2(scratch, R2_COPYPEN);
      DrawPoints(scratch);
      if (!BitBlt(dc, 0, 0, w, h, scratch, 0, 0, SRCCOPY)) Msg("BitBlt error");
      SelectObject(scratch, old_frame);
    }
    if (frame) DeleteObject(frame);
    if (scratch) DeleteDC(scratch);
  }
  if (previous) SelectObject(memory, previous);
  if (memory && !DeleteDC(memory)) Msg("DeleteDC == false");
  EndPaint(window, &paint);
}
