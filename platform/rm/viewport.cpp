#include "platform/rm/viewport.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/rm/device.h"
#include "platform/rm/frame.h"
#include "platform/rm/render/lighting.h"
#include "platform/rm/render/pass.h"
#include "platform/rm/render/scene_walk.h"

namespace {

// FACETRY_RENDER_THREADS=1 keeps every pass on the calling thread, for tests and for
// comparing timings; read once.
bool OneThreadFromEnvironment() {
  static const bool one = [] {
    const char* v = std::getenv("FACETRY_RENDER_THREADS");
    return v && std::strcmp(v, "1") == 0;
  }();
  return one;
}

}  // namespace

IDirect3DRMViewport::IDirect3DRMViewport(IDirect3DRMDevice* device, IDirect3DRMFrame* camera, int x, int y,
                                         int width, int height)
    : device_(device), camera_(camera), x_(x), y_(y), width_(width), height_(height) {
  if (device_) device_->AddRef();
  if (camera_) camera_->AddRef();
}

IDirect3DRMViewport::~IDirect3DRMViewport() {
  if (camera_) camera_->Release();
  if (device_) device_->Release();
}

render::Projection IDirect3DRMViewport::MakeProjection() const {
  return render::MakeProjection(front_, back_, field_, projection_ == D3DRMPROJECT_ORTHOGRAPHIC, x_, y_,
                                width_, height_);
}

bool IDirect3DRMViewport::ViewMatrix(math3d::Mat4* view) const {
  if (!camera_) return false;
  D3DRMMATRIX4D m;
  camera_->WorldMatrix(m);
  return math3d::AffineInverse(math3d::FromD3DMatrix(m), view);
}

HRESULT IDirect3DRMViewport::Clear() {
  if (!device_) return D3DRMERR_BADOBJECT;
  device_->framebuffer_.Clear(raster::Rect{x_, y_, width_, height_}, 0xFF000000u, 1.0f);
  return D3DRM_OK;
}

HRESULT IDirect3DRMViewport::Render(IDirect3DRMFrame* frame) {
  if (!frame || !device_) return D3DRMERR_BADOBJECT;
  math3d::Mat4 view;
  if (!ViewMatrix(&view)) return D3DRMERR_BADVALUE;

  render::RenderScratch& scratch = device_->scratch_;
  IDirect3DRMFrame* root = nullptr;
  frame->GetScene(&root);
  render::GatherLights(root, device_->GetColorModel() == D3DCOLOR_MONO, &scratch.lights);
  if (root) root->Release();

  render::Pass pass;
  pass.fb = &device_->framebuffer_;
  pass.rect = raster::Viewport{x_, y_, width_, height_};
  pass.world_to_clip = math3d::Multiply(view, render::ClipMatrix(MakeProjection()));
  pass.device_quality = device_->GetQuality();
  pass.scratch = &scratch;
  const int threads = device_->GetRenderThreads();
  pass.threads = threads == 1 || (threads == 0 && OneThreadFromEnvironment()) ? 1 : 2;
  pass.always_split = threads == 2;
  render::DrawScene(pass, frame);
  return D3DRM_OK;
}

HRESULT IDirect3DRMViewport::SetFront(D3DVALUE front) {
  if (!(front > 0.0f) || !(front < back_)) return D3DRMERR_BADVALUE;
  front_ = front;
  return D3DRM_OK;
}

HRESULT IDirect3DRMViewport::SetBack(D3DVALUE back) {
  if (!(back > front_) || !std::isfinite(back)) return D3DRMERR_BADVALUE;
  back_ = back;
  return D3DRM_OK;
}

HRESULT IDirect3DRMViewport::SetField(D3DVALUE field) {
  if (!(field > 0.0f) || !std::isfinite(field)) return D3DRMERR_BADVALUE;
  field_ = field;
  return D3DRM_OK;
}

HRESULT IDirect3DRMViewport::SetProjection(D3DRMPROJECTIONTYPE type) {
  if (type != D3DRMPROJECT_PERSPECTIVE && type != D3DRMPROJECT_ORTHOGRAPHIC) return D3DRMERR_BADVALUE;
  projection_ = type;
  return D3DRM_OK;
}

HRESULT IDirect3DRMViewport::SetCamera(IDirect3DRMFrame* camera) {
  if (!camera) return D3DRMERR_BADOBJECT;
  camera->AddRef();
  if (camera_) camera_->Release();
  camera_ = camera;
  return D3DRM_OK;
}

HRESULT IDirect3DRMViewport::GetCamera(IDirect3DRMFrame** camera) {
  if (!camera) return D3DRMERR_BADVALUE;
  if (camera_) camera_->AddRef();
  *camera = camera_;
  return D3DRM_OK;
}

HRESULT IDirect3DRMViewport::Transform(D3DRMVECTOR4D* dst, const D3DVECTOR* src) {
  if (!dst || !src) return D3DRMERR_BADVALUE;
  math3d::Mat4 view;
  if (!ViewMatrix(&view)) return D3DRMERR_BADVALUE;
  *dst = render::CameraToScreen(MakeProjection(), math3d::TransformPoint(math3d::ToVec3(*src), view));
  return D3DRM_OK;
}

HRESULT IDirect3DRMViewport::InverseTransform(D3DVECTOR* dst, const D3DRMVECTOR4D* src) {
  if (!dst || !src) return D3DRMERR_BADVALUE;
  if (!camera_) return D3DRMERR_BADOBJECT;
  math3d::Vec3 c;
  if (!render::ScreenToCamera(MakeProjection(), *src, &c)) return D3DRMERR_BADVALUE;
  D3DRMMATRIX4D m;
  camera_->WorldMatrix(m);
  *dst = math3d::ToD3DVector(math3d::TransformPoint(c, math3d::FromD3DMatrix(m)));
  return D3DRM_OK;
}
