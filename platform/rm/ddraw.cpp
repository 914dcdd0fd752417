#include "platform/rm/ddraw.h"

#include <cstring>

#include "platform/rm/faults.h"

const GUID kRampDriverGuid = {0x6f4c1a01, 0x3c2b, 0x4d7e, {0x9a, 0x11, 0x52, 0x0e, 0x7b, 0x31, 0xa0, 0x01}};
const GUID kRgbDriverGuid = {0x6f4c1a02, 0x3c2b, 0x4d7e, {0x9a, 0x11, 0x52, 0x0e, 0x7b, 0x31, 0xa0, 0x02}};

bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

D3DCOLORMODEL DriverColorModel(const GUID* guid) {
  return (guid && *guid == kRgbDriverGuid) ? D3DCOLOR_RGB : D3DCOLOR_MONO;
}

HRESULT IDirect3D::EnumDevices(LPD3DENUMDEVICESCALLBACK cb, void* context) {
  if (!cb) return DDERR_INVALIDPARAMS;
  struct Driver {
    const GUID* guid;
    const char* description;
    const char* name;
    D3DCOLORMODEL model;
  };
  static const Driver kDrivers[] = {
      {&kRampDriverGuid, "Software renderer, white-intensity lighting", "Ramp Emulation", D3DCOLOR_MONO},
      {&kRgbDriverGuid, "Software renderer, coloured lighting", "RGB Emulation", D3DCOLOR_RGB},
  };
  const DWORD depths = GetRmFaults().no_render_depths ? 0 : DDBD_8 | DDBD_16 | DDBD_24 | DDBD_32;
  for (const Driver& d : kDrivers) {
    GUID guid = *d.guid;
    char description[64], name[32];
    std::strncpy(description, d.description, sizeof description - 1);
    description[sizeof description - 1] = '\0';
    std::strncpy(name, d.name, sizeof name - 1);
    name[sizeof name - 1] = '\0';
    D3DDEVICEDESC hardware = {sizeof(D3DDEVICEDESC), 0, 0, 0};
    D3DDEVICEDESC software = {sizeof(D3DDEVICEDESC), 0, d.model, depths};
    if (cb(&guid, description, name, &hardware, &software, context) == D3DENUMRET_CANCEL) break;
  }
  return DD_OK;
}

HRESULT IDirectDraw::QueryInterface(int iid, void** out) {
  if (!out) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (iid != IID_IDirect3D) return DDERR_UNSUPPORTED;
  *out = new IDirect3D();
  return DD_OK;
}

HRESULT DirectDrawCreate(GUID* guid, IDirectDraw** ddraw, void* /*outer*/) {
  if (!ddraw) return DDERR_INVALIDPARAMS;
  *ddraw = nullptr;
  if (guid) return MakeDDHResult(561);  // not a display this layer knows
  *ddraw = new IDirectDraw();
  return DD_OK;
}

HRESULT IDirectDrawClipper::SetHWnd(DWORD /*flags*/, HWND window) {
  window_ = window;
  return DD_OK;
}

HRESULT IDirectDrawClipper::GetHWnd(HWND* window) {
  if (!window) return DDERR_INVALIDPARAMS;
  *window = window_;
  return DD_OK;
}

HRESULT DirectDrawCreateClipper(DWORD /*flags*/, IDirectDrawClipper** clipper, void* /*outer*/) {
  if (!clipper) return DDERR_INVALIDPARAMS;
  *clipper = new IDirectDrawClipper();
  return DD_OK;
}
