#include "platform/rm/raster/span.h"

#include <cmath>

namespace raster {
namespace {

int Channel(float c) {
  // The negated test also sends NaN to 0.
  if (!(c > 0.0f)) return 0;
  if (c >= 1.0f) return 255;
  return static_cast<int>(c * 255.0f + 0.5f);
}

// Index of the texel at coordinate t along an axis of n texels, repeating every 1.0.
int Wrap(float t, int n) {
  float f = t - std::floor(t);
  if (!(f >= 0.0f)) f = 0.0f;  // NaN or infinite coordinates
  const int i = static_cast<int>(f * static_cast<float>(n));
  return i < n ? i : n - 1;  // f can round up to exactly 1.0
}

uint32_t Modulate(uint32_t texel, float r, float g, float b) {
  const uint32_t cr = Channel(r), cg = Channel(g), cb = Channel(b);
  const uint32_t tr = (texel >> 16) & 0xFF, tg = (texel >> 8) & 0xFF, tb = texel & 0xFF;
  return 0xFF000000u | ((tr * cr + 127) / 255) << 16 | ((tg * cg + 127) / 255) << 8 | (tb * cb + 127) / 255;
}

template <bool kGouraud, bool kTextured>
void DrawSpan(Framebuffer& fb, const Texture* texture, const Span& s) {
  const size_t row = static_cast<size_t>(s.y) * static_cast<size_t>(fb.width);
  uint32_t* color = fb.color.data() + row;
  float* depth = fb.depth.data() + row;
  float r = s.r, g = s.g, b = s.b;
  float uq = s.uq, vq = s.vq, q = s.q;
  for (int x = s.x0; x < s.x1; ++x) {
    // Depth from the start of the span rather than by repeated addition, so long spans do
    // not drift.
    const float z = s.z + s.dz * static_cast<float>(x - s.x0);
    if (z < depth[x]) {
      depth[x] = z;
      if constexpr (kTextured) {
        const float w = 1.0f / q;
        const int tx = Wrap(uq * w, texture->width);
        const int ty = Wrap(vq * w, texture->height);
        color[x] = Modulate(texture->pixels[static_cast<size_t>(ty) * texture->width + tx], r, g, b);
      } else if constexpr (kGouraud) {
        color[x] = PackColor(r, g, b);
      } else {
        color[x] = s.color;
      }
    }
    if constexpr (kGouraud) {
      r += s.dr;
      g += s.dg;
      b += s.db;
    }
    if constexpr (kTextured) {
      uq += s.duq;
      vq += s.dvq;
      q += s.dq;
    }
  }
}

}  // namespace

uint32_t PackColor(float r, float g, float b) {
  return 0xFF000000u | static_cast<uint32_t>(Channel(r)) << 16 | static_cast<uint32_t>(Channel(g)) << 8 |
         static_cast<uint32_t>(Channel(b));
}

SpanFn SelectSpanFn(bool gouraud, bool textured) {
  if (textured) return gouraud ? DrawSpan<true, true> : DrawSpan<false, true>;
  return gouraud ? DrawSpan<true, false> : DrawSpan<false, false>;
}

}  // namespace raster
