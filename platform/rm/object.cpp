#include "platform/rm/object.h"

#include <algorithm>

ULONG IDirect3DRMObject::AddRef() { return ++refs_; }

ULONG IDirect3DRMObject::Release() {
  if (--refs_ > 0) return refs_;
  // The destroy callbacks see a live object; holding one count while they run keeps an
  // AddRef/Release pair inside a callback from destroying it a second time.
  refs_ = 1;
  // A callback may remove later ones, so run from a copy and skip entries gone meanwhile.
  const std::vector<DestroyCallback> callbacks = destroy_callbacks_;
  for (const DestroyCallback& c : callbacks) {
    auto same = [&c](const DestroyCallback& d) { return d.cb == c.cb && d.arg == c.arg; };
    if (std::find_if(destroy_callbacks_.begin(), destroy_callbacks_.end(), same) == destroy_callbacks_.end())
      continue;
    c.cb(this, c.arg);
  }
  delete this;
  return 0;
}

HRESULT IDirect3DRMObject::AddDestroyCallback(D3DRMOBJECTCALLBACK cb, void* arg) {
  if (!cb) return D3DRMERR_BADVALUE;
  destroy_callbacks_.push_back({cb, arg});
  return D3DRM_OK;
}

HRESULT IDirect3DRMObject::DeleteDestroyCallback(D3DRMOBJECTCALLBACK cb, void* arg) {
  auto it = std::find_if(destroy_callbacks_.begin(), destroy_callbacks_.end(),
                         [&](const DestroyCallback& d) { return d.cb == cb && d.arg == arg; });
  if (it == destroy_callbacks_.end()) return D3DRMERR_NOTFOUND;
  destroy_callbacks_.erase(it);
  return D3DRM_OK;
}

HRESULT IDirect3DRMObject::SetAppData(DWORD data) {
  app_data_ = data;
  return D3DRM_OK;
}
