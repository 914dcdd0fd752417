// A small in-memory picture of the model as the Solid render mode shows it, seen through
// the front camera under white ambient light, for the tests that check pixels.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "model/polygoni.h"
#include "platform/rm/d3drm.h"

class SolidView {
 public:
  static constexpr int kSize = 96;

  void Open(Polygoni* model) {
    model_ = model;
    ASSERT_EQ(lpD3DRM->CreateDeviceInMemory(nullptr, kSize, kSize, &device_), D3DRM_OK);
    ASSERT_EQ(lpD3DRM->CreateViewport(device_, model->view1, 0, 0, kSize, kSize, &viewport_), D3DRM_OK);
    ASSERT_EQ(lpD3DRM->CreateLightRGB(D3DRMLIGHT_AMBIENT, 1, 1, 1, &light_), D3DRM_OK);
    model->scene->AddLight(light_);
  }
  void Close() {
    model_->scene->DeleteLight(light_);
    light_->Release();
    viewport_->Release();
    device_->Release();
  }

  // Faces and outlines, only active points, no prisms.
  void Render() {
    Polygoni& m = *model_;
    m.ChangeVisible(false, false);
    m.RemovePolygons();
    m.DrawPolygons(true, false, false, true);
    m.UpdateActive();
    ASSERT_EQ(viewport_->Clear(), D3DRM_OK);
    ASSERT_EQ(viewport_->Render(m.scene), D3DRM_OK);
  }

  // The pixel where the scene point lands, 0xAARRGGBB.
  uint32_t PixelAt(float x, float y, float z) const {
    D3DRMVECTOR4D s{};
    const D3DVECTOR world{x, y, z};
    viewport_->Transform(&s, &world);
    const int px = static_cast<int>(s.x / s.w), py = static_cast<int>(s.y / s.w);
    return device_->Framebuffer().color[static_cast<size_t>(py) * kSize + static_cast<size_t>(px)];
  }
  uint32_t Corner() const { return device_->Framebuffer().color[0]; }

 private:
  Polygoni* model_ = nullptr;
  IDirect3DRMDevice* device_ = nullptr;
  IDirect3DRMViewport* viewport_ = nullptr;
  IDirect3DRMLight* light_ = nullptr;
};
