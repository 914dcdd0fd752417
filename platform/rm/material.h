// Materials: specular power, specular and emissive colours, kept for the renderer.
#pragma once

#include "platform/rm/object.h"

class IDirect3DRMMaterial : public IDirect3DRMObject {
 public:
  explicit IDirect3DRMMaterial(D3DVALUE power) : power_(power) {}
  HRESULT SetPower(D3DVALUE power);
  D3DVALUE GetPower() const { return power_; }
  HRESULT SetSpecular(D3DVALUE r, D3DVALUE g, D3DVALUE b);
  HRESULT GetSpecular(D3DVALUE* r, D3DVALUE* g, D3DVALUE* b) const;
  HRESULT SetEmissive(D3DVALUE r, D3DVALUE g, D3DVALUE b);
  HRESULT GetEmissive(D3DVALUE* r, D3DVALUE* g, D3DVALUE* b) const;

 private:
  D3DVALUE power_;
  D3DVALUE specular_[3] = {1, 1, 1};
  D3DVALUE emissive_[3] = {0, 0, 0};
};
