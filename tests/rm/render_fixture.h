// Small scenes for the render tests: a root object, an in-memory device, a scene with a
// camera at the origin looking along +z, one viewport, and mesh makers.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "platform/rm/d3drm.h"

template <class T>
RmRef<T> Adopt(T* p) {
  return RmRef<T>(p, false);
}

struct Vertex {
  float x, y, z;
  float nx = 0, ny = 0, nz = 0;
  float u = 0, v = 0;
};

class RenderScene : public ::testing::Test {
 protected:
  void SetUp() override { Make(160, 120); }

  void Make(int width, int height) {
    IDirect3DRM* raw = nullptr;
    ASSERT_EQ(Direct3DRMCreate(&raw), D3DRM_OK);
    rm = Adopt(raw);
    IDirect3DRMFrame* f = nullptr;
    ASSERT_EQ(rm->CreateFrame(nullptr, &f), D3DRM_OK);
    scene = Adopt(f);
    camera = Child(scene.get());
    GUID guid = kRgbDriverGuid;
    IDirect3DRMDevice* d = nullptr;
    ASSERT_EQ(rm->CreateDeviceInMemory(&guid, width, height, &d), D3DRM_OK);
    device = Adopt(d);
    view = AddViewport(camera.get(), 0, 0, width, height);
  }

  RmRef<IDirect3DRMViewport> AddViewport(IDirect3DRMFrame* cam, int x, int y, int w, int h) {
    IDirect3DRMViewport* v = nullptr;
    EXPECT_EQ(rm->CreateViewport(device.get(), cam, x, y, w, h, &v), D3DRM_OK);
    return Adopt(v);
  }

  RmRef<IDirect3DRMFrame> Child(IDirect3DRMFrame* parent) {
    IDirect3DRMFrame* f = nullptr;
    EXPECT_EQ(rm->CreateFrame(parent, &f), D3DRM_OK);
    return Adopt(f);
  }

  RmRef<IDirect3DRMLight> Light(IDirect3DRMFrame* at, D3DRMLIGHTTYPE type, float r, float g, float b) {
    IDirect3DRMLight* l = nullptr;
    EXPECT_EQ(rm->CreateLightRGB(type, r, g, b, &l), D3DRM_OK);
    at->AddLight(l);
    return Adopt(l);
  }

  // One group of the given vertices and faces (vPerFace 0 layout when sizes differ).
  RmRef<IDirect3DRMMesh> Mesh(const std::vector<Vertex>& verts, const std::vector<unsigned>& faces,
                              unsigned per_face, D3DCOLOR color,
                              D3DRMRENDERQUALITY quality = D3DRMRENDER_GOURAUD) {
    IDirect3DRMMesh* m = nullptr;
    EXPECT_EQ(rm->CreateMesh(&m), D3DRM_OK);
    auto mesh = Adopt(m);
    unsigned nfaces = 0;
    for (size_t i = 0; i < faces.size(); i += per_face ? per_face : faces[i] + 1) ++nfaces;
    D3DRMGROUPINDEX g = -1;
    EXPECT_EQ(mesh->AddGroup(unsigned(verts.size()), nfaces, per_face, faces.data(), &g), D3DRM_OK);
    std::vector<D3DRMVERTEX> rv;
    for (const Vertex& v : verts) rv.push_back({{v.x, v.y, v.z}, {v.nx, v.ny, v.nz}, v.u, v.v, 0});
    EXPECT_EQ(mesh->SetVertices(g, 0, unsigned(rv.size()), rv.data()), D3DRM_OK);
    mesh->SetGroupColor(g, color);
    mesh->SetGroupQuality(g, quality);
    return mesh;
  }

  // A square of half-size s at depth z facing the camera, as one four-cornered face.
  RmRef<IDirect3DRMMesh> Quad(float s, float z, D3DCOLOR color, D3DRMRENDERQUALITY quality,
                              float uv_max = 1) {
    return Mesh({{-s, -s, z, 0, 0, -1, 0, uv_max},
                 {-s, s, z, 0, 0, -1, 0, 0},
                 {s, s, z, 0, 0, -1, uv_max, 0},
                 {s, -s, z, 0, 0, -1, uv_max, uv_max}},
                {4, 0, 1, 2, 3}, 0, color, quality);
  }

  // A cube of half-size s around the origin, four vertices per side with the side's normal.
  RmRef<IDirect3DRMMesh> Cube(float s, D3DCOLOR color, D3DRMRENDERQUALITY quality = D3DRMRENDER_GOURAUD) {
    // Outward normal n, and right/up as a viewer outside sees the side: right = up x (-n).
    const float sides[6][3][3] = {
        {{0, 0, -1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, 1}, {-1, 0, 0}, {0, 1, 0}},
        {{-1, 0, 0}, {0, 0, -1}, {0, 1, 0}}, {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
        {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},   {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}},
    };
    const float corners[4][2] = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}};
    std::vector<Vertex> v;
    std::vector<unsigned> f;
    for (const auto& [n, r, u] : sides) {
      const unsigned base = unsigned(v.size());
      for (const auto& c : corners)
        v.push_back({s * (n[0] + c[0] * r[0] + c[1] * u[0]), s * (n[1] + c[0] * r[1] + c[1] * u[1]),
                     s * (n[2] + c[0] * r[2] + c[1] * u[2]), n[0], n[1], n[2]});
      f.insert(f.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
    }
    return Mesh(v, f, 3, color, quality);
  }

  // A latitude/longitude sphere of radius r, normals outward, faces clockwise from outside.
  RmRef<IDirect3DRMMesh> Sphere(float r, int bands, int segments, D3DCOLOR color,
                                D3DRMRENDERQUALITY quality = D3DRMRENDER_GOURAUD) {
    std::vector<Vertex> v;
    std::vector<unsigned> f;
    for (int i = 0; i <= bands; ++i) {
      const double theta = std::numbers::pi * i / bands;
      for (int j = 0; j <= segments; ++j) {
        const double phi = 2 * std::numbers::pi * j / segments;
        const float nx = float(std::sin(theta) * std::cos(phi)), ny = float(std::cos(theta)),
                    nz = float(std::sin(theta) * std::sin(phi));
        v.push_back({r * nx, r * ny, r * nz, nx, ny, nz});
      }
    }
    auto at = [segments](int i, int j) { return unsigned(i * (segments + 1) + j); };
    for (int i = 0; i < bands; ++i)
      for (int j = 0; j < segments; ++j)
        f.insert(f.end(),
                 {at(i, j), at(i, j + 1), at(i + 1, j + 1), at(i, j), at(i + 1, j + 1), at(i + 1, j)});
    return Mesh(v, f, 3, color, quality);
  }

  void Draw(IDirect3DRMFrame* what = nullptr, IDirect3DRMViewport* vp = nullptr) {
    vp = vp ? vp : view.get();
    ASSERT_EQ(vp->Clear(), D3DRM_OK);
    ASSERT_EQ(vp->Render(what ? what : scene.get()), D3DRM_OK);
  }

  uint32_t Pixel(int x, int y) const {
    const raster::Framebuffer& fb = device->Framebuffer();
    return fb.color[size_t(y) * fb.width + x];
  }

  size_t CountNonBlack() const {
    size_t n = 0;
    for (uint32_t c : device->Framebuffer().color) n += (c & 0xFFFFFF) != 0;
    return n;
  }

  RmRef<IDirect3DRM> rm;
  RmRef<IDirect3DRMFrame> scene, camera;
  RmRef<IDirect3DRMDevice> device;
  RmRef<IDirect3DRMViewport> view;
};

inline int Red(uint32_t c) { return (c >> 16) & 0xFF; }
