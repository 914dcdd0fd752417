// Render settings of the one device, re-making it on resize, and keeping the model's copies
// of the scene handles in step with the shell's.
#include "app/render_settings.h"

#include "app/errors.h"
#include "app/globals.h"
#include "app/shell.h"
#include "model/polygoni.h"

bool SetRenderState() {
  IDirect3DRMDevice* dev = myglobs.dev;
  if (!dev) return false;
  HRESULT rval;
  if (dev->GetQuality() != myglobs.RenderQuality) {
    rval = dev->SetQuality(myglobs.RenderQuality);
    if (FAILED(rval)) {
      Msg("Setting the render quality failed.\n%s", D3DRMErrorToString(rval));
      return false;
    }
  }
  if (dev->GetDither() != myglobs.bDithering) {
    rval = dev->SetDither(myglobs.bDithering);
    if (FAILED(rval)) {
      Msg("Setting dither mode failed.\n%s", D3DRMErrorToString(rval));
      return false;
    }
  }
  if (dev->GetTextureQuality() != myglobs.TextureQuality) {
    rval = dev->SetTextureQuality(myglobs.TextureQuality);
    if (FAILED(rval)) {
      Msg("Setting texture quality failed.\n%s", D3DRMErrorToString(rval));
      return false;
    }
  }
  // Shade counts by display depth; other depths keep the device's own.
  DWORD shades = 0, texture_colors = 0, texture_shades = 0;
  switch (myglobs.BPP) {
    case 1: shades = 4, texture_shades = 4; break;
    case 16: shades = 32, texture_colors = 64, texture_shades = 32; break;
    case 24:
    case 32: shades = 256, texture_colors = 64, texture_shades = 256; break;
    default: return true;
  }
  bool ok = SUCCEEDED(dev->SetShades(shades));
  if (ok && texture_colors) ok = lpD3DRM && SUCCEEDED(lpD3DRM->SetDefaultTextureColors(texture_colors));
  if (ok) ok = lpD3DRM && SUCCEEDED(lpD3DRM->SetDefaultTextureShades(texture_shades));
  if (!ok) {
    Msg("A failure occurred while setting color shade information.\n");
    return false;
  }
  return true;
}

void Polygoni::NewDevice(int width, int height) {
  if (myglobs.dev) myglobs.dev->Release();
  myglobs.dev = nullptr;
  if (!CreateDevAndView(lpDDClipper, myglobs.CurrDriver, width, height)) {
    Msg("failure");
    CleanUpAndPostQuit();
  }
  GlobsToPolygon();
}

void GlobsToPolygon() {
  polygoner.camera1 = myglobs.view1;
  polygoner.camera2 = myglobs.view2;
  polygoner.camera3 = myglobs.view3;
  polygoner.view1 = myglobs.camera1;
  polygoner.view2 = myglobs.camera2;
  polygoner.view3 = myglobs.camera3;
  polygoner.dev = myglobs.dev;
  polygoner.devider1 = myglobs.devider1;
  polygoner.devider2 = myglobs.devider2;
  polygoner.deviderf1 = myglobs.deviderf1;
  polygoner.deviderf2 = myglobs.deviderf2;
}

void PolygonToGlobs() {
  myglobs.view1 = polygoner.camera1;
  myglobs.view2 = polygoner.camera2;
  myglobs.view3 = polygoner.camera3;
  myglobs.camera1 = polygoner.view1;
  myglobs.camera2 = polygoner.view2;
  myglobs.camera3 = polygoner.view3;
  myglobs.dev = polygoner.dev;
  myglobs.devider1 = polygoner.devider1;
  myglobs.devider2 = polygoner.devider2;
  myglobs.deviderf1 = polygoner.deviderf1;
  myglobs.deviderf2 = polygoner.deviderf2;
}

void ColorBackground() { RenderLoop(); }
