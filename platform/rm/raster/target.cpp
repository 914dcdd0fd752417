#include "platform/rm/raster/target.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/rm/raster/config.h"

namespace raster {

bool MakeTarget(Framebuffer& fb, const Viewport& viewport, const RasterState& state, Target* target) {
  if (viewport.width <= 0 || viewport.height <= 0 || viewport.width > kMaxViewportSize ||
      viewport.height > kMaxViewportSize || std::abs(viewport.x) > kMaxViewportSize ||
      std::abs(viewport.y) > kMaxViewportSize)
    return false;
  const size_t n = static_cast<size_t>(std::max(fb.width, 0)) * static_cast<size_t>(std::max(fb.height, 0));
  if (fb.color.size() != n || fb.depth.size() != n) return false;
  Target t;
  t.fb = &fb;
  t.clip_x0 = std::max(viewport.x, 0);
  t.clip_y0 = std::max(viewport.y, 0);
  t.clip_x1 = std::min(viewport.x + viewport.width, fb.width);
  t.clip_y1 = std::min(viewport.y + viewport.height, fb.height);
  if (t.clip_x0 >= t.clip_x1 || t.clip_y0 >= t.clip_y1) return false;
  t.scale_x = viewport.width * 0.5;
  t.scale_y = -viewport.height * 0.5;
  t.off_x = viewport.x + t.scale_x;
  t.off_y = viewport.y - t.scale_y;
  const Texture* tex = state.texture;
  const bool textured = tex && tex->pixels && tex->width > 0 && tex->height > 0;
  t.texture = textured ? tex : nullptr;
  t.gouraud = state.shade == Shade::kGouraud;
  t.triangle_span = SelectSpanFn(t.gouraud, textured);
  t.line_span = SelectSpanFn(t.gouraud, false);
  *target = t;
  return true;
}

bool ToScreen(const Target& t, const ClipVertex& c, ScreenVertex* s) {
  if (!(c.w > 0.0f)) return false;
  const double q = 1.0 / c.w;
  const double sx = (t.off_x + c.x * q * t.scale_x) * kSubpixelOne;
  const double sy = (t.off_y + c.y * q * t.scale_y) * kSubpixelOne;
  // The guard band keeps real corners far inside this; the test also rejects NaN.
  constexpr double kLimit = double{kSubpixelOne} * kMaxViewportSize * (kGuardBand + 2.0);
  if (!(std::fabs(sx) < kLimit && std::fabs(sy) < kLimit)) return false;
  s->fx = static_cast<int32_t>(std::lrint(sx));
  s->fy = static_cast<int32_t>(std::lrint(sy));
  s->x = static_cast<float>(s->fx) * (1.0f / kSubpixelOne);
  s->y = static_cast<float>(s->fy) * (1.0f / kSubpixelOne);
  s->z = static_cast<float>(c.z * q);
  s->q = static_cast<float>(q);
  s->r = c.r;
  s->g = c.g;
  s->b = c.b;
  s->u = c.u;
  s->v = c.v;
  return true;
}

}  // namespace raster
