// Reference-counted base of every retained-mode object, with destroy callbacks.
#pragma once

#include <vector>

#include "platform/rm/types.h"

class IDirect3DRMObject;
using D3DRMOBJECTCALLBACK = void (*)(IDirect3DRMObject* obj, void* arg);

class IDirect3DRMObject {
 public:
  IDirect3DRMObject(const IDirect3DRMObject&) = delete;
  IDirect3DRMObject& operator=(const IDirect3DRMObject&) = delete;

  ULONG AddRef();
  // Destroys the object when the count reaches zero; destroy callbacks run first.
  ULONG Release();
  ULONG RefCount() const { return refs_; }

  HRESULT AddDestroyCallback(D3DRMOBJECTCALLBACK cb, void* arg);
  HRESULT DeleteDestroyCallback(D3DRMOBJECTCALLBACK cb, void* arg);
  HRESULT SetAppData(DWORD data);
  DWORD GetAppData() const { return app_data_; }

 protected:
  IDirect3DRMObject() = default;
  virtual ~IDirect3DRMObject() = default;

 private:
  struct DestroyCallback {
    D3DRMOBJECTCALLBACK cb;
    void* arg;
  };
  ULONG refs_ = 1;
  DWORD app_data_ = 0;
  std::vector<DestroyCallback> destroy_callbacks_;
};

// Anything a frame can show: meshes, mesh builders, frames, textures.
class IDirect3DRMVisual : public IDirect3DRMObject {
 protected:
  IDirect3DRMVisual() = default;
};

// Holds a reference for the lifetime of a scope or a container slot.
template <class T>
class RmRef {
 public:
  RmRef() = default;
  explicit RmRef(T* p, bool add_ref = true) : p_(p) {
    if (p_ && add_ref) p_->AddRef();
  }
  RmRef(const RmRef& o) : RmRef(o.p_) {}
  RmRef(RmRef&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  RmRef& operator=(RmRef o) noexcept {
    T* t = p_;
    p_ = o.p_;
    o.p_ = t;
    return *this;
  }
  ~RmRef() {
    if (p_) p_->Release();
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};
