// The viewport's projection: camera space to clip space, to device pixels, and back.
//
// The camera looks along its +z with +x right and +y up. With F the front plane, B the back
// plane, f the field and W x H the viewport, the longer side spans the field: xf = 1 and
// yf = H / W when W > H, else xf = W / H and yf = 1. Perspective puts a camera-space point at
//   x_ndc = F x / (f xf z),  y_ndc = F y / (f yf z),  depth = (z - F) B / ((B - F) z),
// so with the default field 0.5 the visible half-width at distance D is xf D / (2 F), the
// mapping the editor's mouse code inverts. Orthographic uses x_ndc = x / (f xf),
// y_ndc = y / (f yf) and depth = (z - F) / (B - F).
#pragma once

#include "platform/rm/math3d.h"
#include "platform/rm/types.h"

namespace render {

struct Projection {
  double front = 1, back = 100;
  bool ortho = false;
  double sx = 1, sy = 1;                         // x_ndc = sx x (/ z for perspective), likewise y
  double x0 = 0, y0 = 0, width = 1, height = 1;  // the viewport on the device
};

Projection MakeProjection(double front, double back, double field, bool ortho, int x, int y, int width,
                          int height);

// Camera space to clip space as a row-vector matrix: (x, y, z, 1) * M = (cx, cy, cz, cw), with
// the rasteriser's convention 0 <= cz <= cw between the planes.
math3d::Mat4 ClipMatrix(const Projection& p);

// Camera space to homogeneous device coordinates (px w, py w, depth w, w): px, py in device
// pixels with rows counted from the top.
D3DRMVECTOR4D CameraToScreen(const Projection& p, math3d::Vec3 camera);

// The inverse: from the divided px, py and depth back to camera space. False when the
// coordinates name no point (w zero, or a depth at or beyond infinity).
bool ScreenToCamera(const Projection& p, const D3DRMVECTOR4D& screen, math3d::Vec3* camera);

}  // namespace render
