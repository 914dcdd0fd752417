// Lights: a type and a colour; a light shines from the frame it is added to.
#pragma once

#include "platform/rm/object.h"

class IDirect3DRMLight : public IDirect3DRMObject {
 public:
  IDirect3DRMLight(D3DRMLIGHTTYPE type, D3DCOLOR color) : type_(type), color_(color) {}
  D3DRMLIGHTTYPE GetType() const { return type_; }
  HRESULT SetType(D3DRMLIGHTTYPE type);
  D3DCOLOR GetColor() const { return color_; }
  HRESULT SetColor(D3DCOLOR color);
  HRESULT SetColorRGB(D3DVALUE r, D3DVALUE g, D3DVALUE b);
  // Attenuation of point and spot lights: 1 / (c + l*d + q*d*d).
  HRESULT SetConstantAttenuation(D3DVALUE v);
  HRESULT SetLinearAttenuation(D3DVALUE v);
  HRESULT SetQuadraticAttenuation(D3DVALUE v);
  D3DVALUE GetConstantAttenuation() const { return constant_; }
  D3DVALUE GetLinearAttenuation() const { return linear_; }
  D3DVALUE GetQuadraticAttenuation() const { return quadratic_; }

 private:
  D3DRMLIGHTTYPE type_;
  D3DCOLOR color_;
  D3DVALUE constant_ = 1, linear_ = 0, quadratic_ = 0;
};
