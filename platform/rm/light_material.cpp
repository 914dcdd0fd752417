#include <cmath>

#include "platform/rm/light.h"
#include "platform/rm/material.h"

namespace {

bool NonNegative(D3DVALUE v) { return v >= 0.0f && std::isfinite(v); }

}  // namespace

HRESULT IDirect3DRMLight::SetType(D3DRMLIGHTTYPE type) {
  if (type < D3DRMLIGHT_AMBIENT || type > D3DRMLIGHT_PARALLELPOINT) return D3DRMERR_BADVALUE;
  type_ = type;
  return D3DRM_OK;
}

HRESULT IDirect3DRMLight::SetColor(D3DCOLOR color) {
  color_ = color;
  return D3DRM_OK;
}

HRESULT IDirect3DRMLight::SetColorRGB(D3DVALUE r, D3DVALUE g, D3DVALUE b) {
  color_ = D3DRMCreateColorRGB(r, g, b);
  return D3DRM_OK;
}

// Negative attenuation would make light grow without bound with distance.
HRESULT IDirect3DRMLight::SetConstantAttenuation(D3DVALUE v) {
  if (!NonNegative(v)) return D3DRMERR_BADVALUE;
  constant_ = v;
  return D3DRM_OK;
}

HRESULT IDirect3DRMLight::SetLinearAttenuation(D3DVALUE v) {
  if (!NonNegative(v)) return D3DRMERR_BADVALUE;
  linear_ = v;
  return D3DRM_OK;
}

HRESULT IDirect3DRMLight::SetQuadraticAttenuation(D3DVALUE v) {
  if (!NonNegative(v)) return D3DRMERR_BADVALUE;
  quadratic_ = v;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMaterial::SetPower(D3DVALUE power) {
  if (!NonNegative(power)) return D3DRMERR_BADVALUE;
  power_ = power;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMaterial::SetSpecular(D3DVALUE r, D3DVALUE g, D3DVALUE b) {
  specular_[0] = r;
  specular_[1] = g;
  specular_[2] = b;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMaterial::GetSpecular(D3DVALUE* r, D3DVALUE* g, D3DVALUE* b) const {
  if (!r || !g || !b) return D3DRMERR_BADVALUE;
  *r = specular_[0];
  *g = specular_[1];
  *b = specular_[2];
  return D3DRM_OK;
}

HRESULT IDirect3DRMMaterial::SetEmissive(D3DVALUE r, D3DVALUE g, D3DVALUE b) {
  emissive_[0] = r;
  emissive_[1] = g;
  emissive_[2] = b;
  return D3DRM_OK;
}

HRESULT IDirect3DRMMaterial::GetEmissive(D3DVALUE* r, D3DVALUE* g, D3DVALUE* b) const {
  if (!r || !g || !b) return D3DRMERR_BADVALUE;
  *r = emissive_[0];
  *g = emissive_[1];
  *b = emissive_[2];
  return D3DRM_OK;
}
