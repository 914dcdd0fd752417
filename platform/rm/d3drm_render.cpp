// The root object's drawing half: devices and viewports.
#include <new>

#include "platform/rm/d3drm.h"
#include "platform/rm/faults.h"
#include "platform/rm/raster/config.h"

namespace {

bool ValidDeviceSize(int width, int height) {
  return width > 0 && height > 0 && width <= raster::kMaxViewportSize && height <= raster::kMaxViewportSize;
}

HRESULT MakeDevice(GUID* driver, int width, int height, HWND window, IDirect3DRMDevice** device) {
  if (!ValidDeviceSize(width, height)) return D3DRMERR_BADVALUE;
  try {
    *device = new IDirect3DRMDevice(width, height, DriverColorModel(driver), window);
  } catch (const std::bad_alloc&) {
    return D3DRMERR_BADALLOC;
  }
  return D3DRM_OK;
}

RmFaults& Faults() {
  static RmFaults faults;
  return faults;
}

}  // namespace

void SetRmFaults(const RmFaults& faults) { Faults() = faults; }
const RmFaults& GetRmFaults() { return Faults(); }

HRESULT IDirect3DRM::CreateDeviceFromClipper(IDirectDrawClipper* clipper, GUID* driver, int width, int height,
                                             IDirect3DRMDevice** device) {
  if (!device) return D3DRMERR_BADVALUE;
  *device = nullptr;
  if (!clipper) return D3DRMERR_BADOBJECT;
  if (driver && GetRmFaults().driver_device_fails) return D3DRMERR_BADDEVICE;
  return MakeDevice(driver, width, height, clipper->Window(), device);
}

HRESULT IDirect3DRM::CreateDeviceInMemory(GUID* driver, int width, int height, IDirect3DRMDevice** device) {
  if (!device) return D3DRMERR_BADVALUE;
  *device = nullptr;
  return MakeDevice(driver, width, height, nullptr, device);
}

HRESULT IDirect3DRM::CreateViewport(IDirect3DRMDevice* device, IDirect3DRMFrame* camera, DWORD x, DWORD y,
                                    DWORD width, DWORD height, IDirect3DRMViewport** viewport) {
  if (!viewport) return D3DRMERR_BADVALUE;
  *viewport = nullptr;
  if (!device || !camera) return D3DRMERR_BADOBJECT;
  // The rectangle must lie on the device: compared in 64 bits so huge values cannot wrap.
  const uint64_t right = uint64_t{x} + width, bottom = uint64_t{y} + height;
  if (width == 0 || height == 0 || right > uint64_t(device->GetWidth()) ||
      bottom > uint64_t(device->GetHeight()))
    return D3DRMERR_BADVALUE;
  *viewport = new IDirect3DRMViewport(device, camera, static_cast<int>(x), static_cast<int>(y),
                                      static_cast<int>(width), static_cast<int>(height));
  return D3DRM_OK;
}
