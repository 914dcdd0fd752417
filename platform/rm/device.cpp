#include "platform/rm/device.h"

namespace {

RmPresentHook present_hook = nullptr;

}  // namespace

void SetRmPresentHook(RmPresentHook hook) { present_hook = hook; }

IDirect3DRMDevice::IDirect3DRMDevice(int width, int height, D3DCOLORMODEL model, HWND window)
    : model_(model), window_(window) {
  // A fresh framebuffer is black and at the back plane throughout.
  framebuffer_.Resize(width, height);
}

void IDirect3DRMDevice::Present() const {
  if (window_ && present_hook)
    present_hook(window_, framebuffer_.color.data(), framebuffer_.width, framebuffer_.height);
}

HRESULT IDirect3DRMDevice::Update() {
  Present();
  return D3DRM_OK;
}

HRESULT IDirect3DRMDevice::SetRenderThreads(int threads) {
  if (threads < 0 || threads > 2) return D3DRMERR_BADVALUE;
  render_threads_ = threads;
  return D3DRM_OK;
}

HRESULT IDirect3DRMDevice::SetQuality(D3DRMRENDERQUALITY quality) {
  const DWORD shade = quality & D3DRMSHADE_MASK, light = quality & D3DRMLIGHT_MASK,
              fill = quality & D3DRMFILL_MASK;
  const bool known = shade <= D3DRMSHADE_PHONG && (light == D3DRMLIGHT_OFF || light == D3DRMLIGHT_ON) &&
                     (fill == D3DRMFILL_POINTS || fill == D3DRMFILL_WIREFRAME || fill == D3DRMFILL_SOLID) &&
                     (quality & ~(D3DRMSHADE_MASK | D3DRMLIGHT_MASK | D3DRMFILL_MASK)) == 0;
  if (!known) return D3DRMERR_BADVALUE;
  quality_ = quality;
  return D3DRM_OK;
}

HRESULT IDirect3DRMDevice::SetDither(BOOL dither) {
  dither_ = dither ? 1 : 0;
  return D3DRM_OK;
}

HRESULT IDirect3DRMDevice::SetShades(DWORD shades) {
  if (shades == 0) return D3DRMERR_BADVALUE;
  shades_ = shades;
  return D3DRM_OK;
}

HRESULT IDirect3DRMDevice::SetTextureQuality(D3DRMTEXTUREQUALITY quality) {
  if (quality != D3DRMTEXTURE_NEAREST && quality != D3DRMTEXTURE_LINEAR) return D3DRMERR_BADVALUE;
  texture_quality_ = quality;
  return D3DRM_OK;
}

HRESULT IDirect3DRMDevice::HandlePaint(HDC /*dc*/) {
  // The image of the last pass is still in the colour plane; show it again.
  Present();
  return D3DRM_OK;
}

HRESULT IDirect3DRMDevice::HandleActivate(WORD /*active*/) {
  // Software rendering holds no state that activation could invalidate.
  return D3DRM_OK;
}
