// The display-side calls the start-up makes: a display object to enumerate the 3D drivers
// through, and the clipper that binds the one device to a window.
#pragma once

#include "platform/handles.h"
#include "platform/rm/object.h"

// Colour models a driver renders in.
using D3DCOLORMODEL = DWORD;
inline constexpr DWORD D3DCOLOR_MONO = 1;
inline constexpr DWORD D3DCOLOR_RGB = 2;

// Render bit depths a driver supports.
inline constexpr DWORD DDBD_1 = 0x4000;
inline constexpr DWORD DDBD_2 = 0x2000;
inline constexpr DWORD DDBD_4 = 0x1000;
inline constexpr DWORD DDBD_8 = 0x800;
inline constexpr DWORD DDBD_16 = 0x400;
inline constexpr DWORD DDBD_24 = 0x200;
inline constexpr DWORD DDBD_32 = 0x100;

struct D3DDEVICEDESC {
  DWORD dwSize;
  DWORD dwFlags;
  D3DCOLORMODEL dcmColorModel;  // 0 when the description is empty
  DWORD dwDeviceRenderBitDepth;
};

inline constexpr HRESULT D3DENUMRET_CANCEL = 0;
inline constexpr HRESULT D3DENUMRET_OK = 1;
using LPD3DENUMDEVICESCALLBACK = HRESULT (*)(GUID* guid, char* description, char* name,
                                             D3DDEVICEDESC* hardware, D3DDEVICEDESC* software, void* context);

// The two software drivers; both go through the one rasteriser.
extern const GUID kRampDriverGuid;
extern const GUID kRgbDriverGuid;
bool operator==(const GUID& a, const GUID& b);
// The colour model of a driver GUID; a null or unknown GUID gives the default, mono.
D3DCOLORMODEL DriverColorModel(const GUID* guid);

class IDirect3D : public IDirect3DRMObject {
 public:
  IDirect3D() = default;
  // Reports every driver, the hardware description empty (colour model 0), until the
  // callback returns D3DENUMRET_CANCEL.
  HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK cb, void* context);
};

inline constexpr int IID_IDirect3D = 1;

class IDirectDraw : public IDirect3DRMObject {
 public:
  IDirectDraw() = default;
  // Only IID_IDirect3D is offered.
  HRESULT QueryInterface(int iid, void** out);
};

// guid must be null (the display); outer is unused.
HRESULT DirectDrawCreate(GUID* guid, IDirectDraw** ddraw, void* outer);

class IDirectDrawClipper : public IDirect3DRMObject {
 public:
  IDirectDrawClipper() = default;
  HRESULT SetHWnd(DWORD flags, HWND window);
  HRESULT GetHWnd(HWND* window);
  HWND Window() const { return window_; }

 private:
  HWND window_ = nullptr;
};

HRESULT DirectDrawCreateClipper(DWORD flags, IDirectDrawClipper** clipper, void* outer);
