#include "platform/rm/render/projection.h"

#include <cmath>

namespace render {

Projection MakeProjection(double front, double back, double field, bool ortho, int x, int y, int width,
                          int height) {
  Projection p;
  p.front = front;
  p.back = back;
  p.ortho = ortho;
  p.x0 = x;
  p.y0 = y;
  p.width = width;
  p.height = height;
  double xf = 1, yf = 1;
  if (width > height)
    yf = double(height) / width;
  else
    xf = double(width) / height;
  const double scale = ortho ? 1.0 : front;
  p.sx = scale / (field * xf);
  p.sy = scale / (field * yf);
  return p;
}

math3d::Mat4 ClipMatrix(const Projection& p) {
  math3d::Mat4 m{};
  const double depth = p.back - p.front;
  m.m[0][0] = p.sx;
  m.m[1][1] = p.sy;
  if (p.ortho) {
    m.m[2][2] = 1.0 / depth;
    m.m[3][2] = -p.front / depth;
    m.m[3][3] = 1;
  } else {
    m.m[2][2] = p.back / depth;
    m.m[3][2] = -p.front * p.back / depth;
    m.m[2][3] = 1;
  }
  return m;
}

D3DRMVECTOR4D CameraToScreen(const Projection& p, math3d::Vec3 c) {
  const math3d::Mat4 m = ClipMatrix(p);
  const double cx = c.x * m.m[0][0];
  const double cy = c.y * m.m[1][1];
  const double cz = c.z * m.m[2][2] + m.m[3][2];
  const double cw = c.z * m.m[2][3] + m.m[3][3];
  const double hw = p.width * 0.5, hh = p.height * 0.5;
  return D3DRMVECTOR4D{static_cast<D3DVALUE>((p.x0 + hw) * cw + hw * cx),
                       static_cast<D3DVALUE>((p.y0 + hh) * cw - hh * cy), static_cast<D3DVALUE>(cz),
                       static_cast<D3DVALUE>(cw)};
}

bool ScreenToCamera(const Projection& p, const D3DRMVECTOR4D& s, math3d::Vec3* camera) {
  if (!(s.w != 0.0f) || !std::isfinite(s.w)) return false;
  const double inv_w = 1.0 / s.w;
  const double px = s.x * inv_w, py = s.y * inv_w, depth = s.z * inv_w;
  const double hw = p.width * 0.5, hh = p.height * 0.5;
  const double x_ndc = (px - p.x0 - hw) / hw;
  const double y_ndc = (p.y0 + hh - py) / hh;
  double z;
  if (p.ortho) {
    z = p.front + depth * (p.back - p.front);
  } else {
    const double denominator = p.back - depth * (p.back - p.front);
    if (!(denominator > 0)) return false;
    z = p.back * p.front / denominator;
  }
  const double scale = p.ortho ? 1.0 : z;
  const math3d::Vec3 c{x_ndc * scale / p.sx, y_ndc * scale / p.sy, z};
  if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(c.z)) return false;
  *camera = c;
  return true;
}

}  // namespace render
