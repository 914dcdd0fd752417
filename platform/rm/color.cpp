#include <cmath>

#include "platform/rm/types.h"

namespace {

// A component in 0..1 to a byte, rounded to the nearest step; NaN counts as 0.
DWORD ToByte(D3DVALUE c) {
  if (!(c > 0.0f)) return 0;
  if (c >= 1.0f) return 255;
  return static_cast<DWORD>(std::lround(c * 255.0f));
}

D3DVALUE FromByte(D3DCOLOR c, int shift) { return static_cast<D3DVALUE>((c >> shift) & 0xffu) / 255.0f; }

}  // namespace

D3DCOLOR D3DRMCreateColorRGBA(D3DVALUE red, D3DVALUE green, D3DVALUE blue, D3DVALUE alpha) {
  return (ToByte(alpha) << 24) | (ToByte(red) << 16) | (ToByte(green) << 8) | ToByte(blue);
}

D3DCOLOR D3DRMCreateColorRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) {
  return D3DRMCreateColorRGBA(red, green, blue, 1.0f);
}

D3DVALUE D3DRMColorGetAlpha(D3DCOLOR c) { return FromByte(c, 24); }
D3DVALUE D3DRMColorGetRed(D3DCOLOR c) { return FromByte(c, 16); }
D3DVALUE D3DRMColorGetGreen(D3DCOLOR c) { return FromByte(c, 8); }
D3DVALUE D3DRMColorGetBlue(D3DCOLOR c) { return FromByte(c, 0); }
