// A face's triangle in the texture view: its corners in texture-map pixels, a point
// inside it, and on which side of each edge line that point lies. The texture view tests
// a click for "inside" by comparing the click's side bits with the face's own.
#include "model/element_records.h"

namespace {

// Truncates toward zero; a value no integer pixel can hold (NaN, beyond +-2^30) is
// clamped instead of being undefined.
int32_t TruncatePixel(float v) {
  constexpr float kLimit = 1073741824.0f;
  if (!(v > -kLimit)) return v != v ? 0 : -static_cast<int32_t>(kLimit);
  if (!(v < kLimit)) return static_cast<int32_t>(kLimit);
  return static_cast<int32_t>(v);
}

}  // namespace

void FaceStuff::SetTex_x(int index, float x) {
  if (index < 0 || index > 2) return;
  tex[index].x = TruncatePixel(x);
  center = GetInsidePoint(tex[0].x, tex[1].x, tex[2].x, tex[0].y, tex[1].y, tex[2].y);
  CenterToTexBits(&texbits[0], &texbits[1], &texbits[2], static_cast<float>(center.x),
                  static_cast<float>(center.y));
}

void FaceStuff::SetTex_y(int index, float y) {
  if (index < 0 || index > 2) return;
  tex[index].y = TruncatePixel(y);
  center = GetInsidePoint(tex[0].x, tex[1].x, tex[2].x, tex[0].y, tex[1].y, tex[2].y);
  CenterToTexBits(&texbits[0], &texbits[1], &texbits[2], static_cast<float>(center.x),
                  static_cast<float>(center.y));
}

TexCoord FaceStuff::MidPt(int x1, int x2, int y1, int y2) {
  // Integer halves truncate toward zero, as the texture view's own arithmetic does. The
  // differences are taken in 64 bits so corners far apart cannot overflow.
  const int64_t dx = (int64_t{x2} - x1) / 2, dy = (int64_t{y2} - y1) / 2;
  return TexCoord{static_cast<int32_t>(x1 + dx), static_cast<int32_t>(y1 + dy)};
}

TexCoord FaceStuff::GetInsidePoint(int x1, int x2, int x3, int y1, int y2, int y3) {
  // Halfway from corner 2 to the middle of edge 0-1: inside any non-degenerate triangle.
  const TexCoord m = MidPt(x1, x2, y1, y2);
  return MidPt(x3, m.x, y3, m.y);
}

void FaceStuff::CenterToTexBits(bool* r1, bool* r2, bool* r3, float x, float y) {
  *r1 = *r2 = *r3 = false;
  const float t0x = static_cast<float>(tex[0].x), t0y = static_cast<float>(tex[0].y);
  const float t1x = static_cast<float>(tex[1].x), t1y = static_cast<float>(tex[1].y);
  const float t2x = static_cast<float>(tex[2].x), t2y = static_cast<float>(tex[2].y);
  // A vertical edge has no "below"; its flag stays false.
  if (t0x != t1x) {
    const float m = (t0y - t1y) / (t0x - t1x);
    *r1 = y < m * x - m * t0x + t0y;
  }
  if (t2x != t1x) {
    const float m = (t2y - t1y) / (t2x - t1x);
    *r2 = y < m * x - m * t2x + t2y;
  }
  if (t2x != t0x) {
    const float m = (t2y - t0y) / (t2x - t0x);
    *r3 = y < m * x - m * t2x + t2y;
  }
}
