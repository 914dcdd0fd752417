// A rendering device: colour and depth planes of a window's client size (or of memory),
// with the render settings every viewport on it draws with.
#pragma once

#include "platform/handles.h"
#include "platform/rm/ddraw.h"
#include "platform/rm/object.h"
#include "platform/rm/raster/framebuffer.h"
#include "platform/rm/render/scratch.h"

using D3DRMTEXTUREQUALITY = DWORD;
inline constexpr DWORD D3DRMTEXTURE_NEAREST = 0;
inline constexpr DWORD D3DRMTEXTURE_LINEAR = 1;

// Hands a finished image to a window; installed by the window layer. The pixels are
// 0xAARRGGBB, top row first, width * height of them.
using RmPresentHook = void (*)(HWND window, const uint32_t* pixels, int width, int height);
void SetRmPresentHook(RmPresentHook hook);

class IDirect3DRMDevice : public IDirect3DRMObject {
 public:
  IDirect3DRMDevice(int width, int height, D3DCOLORMODEL model, HWND window);

  // Presents the image to the window the device was made for; a memory device keeps it.
  HRESULT Update();
  int GetWidth() const { return framebuffer_.width; }
  int GetHeight() const { return framebuffer_.height; }
  D3DCOLORMODEL GetColorModel() const { return model_; }

  // The device's quality caps the quality of everything drawn on it, field by field.
  HRESULT SetQuality(D3DRMRENDERQUALITY quality);
  D3DRMRENDERQUALITY GetQuality() const { return quality_; }
  HRESULT SetDither(BOOL dither);
  BOOL GetDither() const { return dither_; }
  HRESULT SetShades(DWORD shades);
  DWORD GetShades() const { return shades_; }
  HRESULT SetTextureQuality(D3DRMTEXTUREQUALITY quality);
  D3DRMTEXTUREQUALITY GetTextureQuality() const { return texture_quality_; }

  // Threads a render pass may use. 0 (the default): two, with small passes drawn on one,
  // unless the environment sets FACETRY_RENDER_THREADS=1. 1: one. 2: two on every pass.
  // The picture is the same whichever is chosen.
  HRESULT SetRenderThreads(int threads);
  int GetRenderThreads() const { return render_threads_; }

  // Window-device calls: repaint from the last image, and activation changes.
  HRESULT HandlePaint(HDC dc);
  HRESULT HandleActivate(WORD active);

  raster::Framebuffer& Framebuffer() { return framebuffer_; }
  const raster::Framebuffer& Framebuffer() const { return framebuffer_; }

 protected:
  ~IDirect3DRMDevice() override = default;

 private:
  friend class IDirect3DRMViewport;  // renders with the device's scratch memory

  void Present() const;

  raster::Framebuffer framebuffer_;
  D3DCOLORMODEL model_;
  HWND window_;
  D3DRMRENDERQUALITY quality_ = D3DRMRENDER_FLAT;
  BOOL dither_ = 1;
  DWORD shades_ = 32;
  D3DRMTEXTUREQUALITY texture_quality_ = D3DRMTEXTURE_NEAREST;
  int render_threads_ = 0;
  render::RenderScratch scratch_;
};
using IDirect3DRMWinDevice = IDirect3DRMDevice;
