// Viewports: a camera frame seen into a rectangle of a device, with front and back planes,
// a field and a projection; they render frame trees and convert between world and screen.
#pragma once

#include "platform/rm/object.h"
#include "platform/rm/render/projection.h"

class IDirect3DRMDevice;
class IDirect3DRMFrame;

class IDirect3DRMViewport : public IDirect3DRMObject {
 public:
  IDirect3DRMViewport(IDirect3DRMDevice* device, IDirect3DRMFrame* camera, int x, int y, int width,
                      int height);

  // Clears the rectangle to the background colour and the depth to the back plane.
  HRESULT Clear();
  // Draws `frame` and its descendants, lit by every light of its scene.
  HRESULT Render(IDirect3DRMFrame* frame);

  HRESULT SetFront(D3DVALUE front);
  D3DVALUE GetFront() const { return front_; }
  HRESULT SetBack(D3DVALUE back);
  D3DVALUE GetBack() const { return back_; }
  // Half the extent of the view window at the front plane, along the longer side.
  HRESULT SetField(D3DVALUE field);
  D3DVALUE GetField() const { return field_; }
  HRESULT SetProjection(D3DRMPROJECTIONTYPE type);
  D3DRMPROJECTIONTYPE GetProjection() const { return projection_; }
  HRESULT SetCamera(IDirect3DRMFrame* camera);
  HRESULT GetCamera(IDirect3DRMFrame** camera);  // AddRefs

  DWORD GetWidth() const { return static_cast<DWORD>(width_); }
  DWORD GetHeight() const { return static_cast<DWORD>(height_); }
  long GetX() const { return x_; }
  long GetY() const { return y_; }

  // World to screen: x/w and y/w are device pixels (rows counted from the top), z/w the
  // depth from 0 at the front plane to 1 at the back plane.
  HRESULT Transform(D3DRMVECTOR4D* dst, const D3DVECTOR* src);
  // Screen to world, the inverse of Transform.
  HRESULT InverseTransform(D3DVECTOR* dst, const D3DRMVECTOR4D* src);

 protected:
  ~IDirect3DRMViewport() override;

 private:
  render::Projection MakeProjection() const;
  // World to camera space; false when the camera's placement cannot be inverted.
  bool ViewMatrix(math3d::Mat4* view) const;

  IDirect3DRMDevice* device_;  // referenced
  IDirect3DRMFrame* camera_;   // referenced
  int x_, y_, width_, height_;
  D3DVALUE front_ = 1.0f;
  D3DVALUE back_ = 100.0f;
  D3DVALUE field_ = 0.5f;
  D3DRMPROJECTIONTYPE projection_ = D3DRMPROJECT_PERSPECTIVE;
};
