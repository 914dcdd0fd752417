// The rubber-band selection box: twelve bars drawn around the dragged-out box in the active
// camera's coordinates, and the selection of the points inside it.
#include "model/selection_box.h"

#include <algorithm>
#include <cmath>

#include "app/errors.h"
#include "model/polygoni.h"
#include "platform/resource.h"
#include "views/viewport_data.h"

namespace {

constexpr int kBarResource = 5;
constexpr D3DVALUE kBarPower = 20.0f;
constexpr D3DVALUE kParkedDepth = -1000.0f;
// Depth extent beyond which the box stops being a screen rectangle.
constexpr float kFlatDepth = 1.0f;
// A bar is never scaled to nothing: a zero scale could not be undone by the next ratio.
constexpr float kLeastEdge = 0.002f;

constexpr D3DVALUE kSelected[3] = {1.0f, 1.0f, 1.0f};
constexpr D3DVALUE kUnselected[3] = {0.3f, 0.7f, 0.3f};

// One box edge: which corner each start coordinate comes from (false `UL`, true `LR`), the
// axis it runs along, whether it runs against that axis's sign, and its up vector.
struct Edge {
  bool from_lr[3];
  int axis;
  bool backward;
  D3DVALUE up[3];
};

constexpr Edge kEdges[kBoxEdges] = {
    {{false, false, false}, 2, false, {0, 1, 0}}, {{false, false, false}, 0, false, {0, 1, 0}},
    {{false, false, false}, 1, false, {1, 0, 0}}, {{true, true, true}, 2, true, {0, -1, 0}},
    {{true, true, true}, 0, true, {0, -1, 0}},    {{true, true, true}, 1, true, {-1, 0, 0}},
    {{true, false, true}, 2, true, {0, 1, 0}},    {{true, true, false}, 1, true, {1, 0, 0}},
    {{true, true, false}, 0, true, {0, -1, 0}},   {{false, true, true}, 2, true, {-1, 0, 0}},
    {{false, false, true}, 1, false, {1, 0, 0}},  {{false, false, true}, 0, false, {0, 1, 0}},
};

float Axis(const D3DVECTOR& v, int k) { return k == 0 ? v.x : k == 1 ? v.y : v.z; }

void Paint(IDirect3DRMFrame* frame, const D3DVALUE (&rgb)[3]) {
  if (frame) frame->SetColorRGB(rgb[0], rgb[1], rgb[2]);
}

}  // namespace

void SelectionBox::InitSelectionBox() {
  IDirect3DRMFrame* view1 = polygoner.view1;
  if (!lpD3DRM) return generic_error();
  for (int i = 0; i < kBoxEdges; ++i) {
    if (FAILED(lpD3DRM->CreateFrame(view1, &frames[i])) || !frames[i]) {
      frames[i] = nullptr;
      generic_error();
      continue;
    }
    if (FAILED(frames[i]->SetPosition(view1, 0, 0, kParkedDepth))) generic_error();
    IDirect3DRMMeshBuilder* builder = nullptr;
    if (FAILED(lpD3DRM->CreateMeshBuilder(&builder)) || !builder) {
      generic_error();
      continue;
    }
    D3DRMLOADRESOURCE resource{nullptr, MAKEINTRESOURCEA(kBarResource), "MESH"};
    if (HRESULT r = builder->Load(&resource, nullptr, D3DRMLOAD_FROMRESOURCE, nullptr, nullptr); FAILED(r)) {
      Msg("Failed to load wire.uit.\n%s", D3DRMErrorToString(r));
      generic_error();
    }
    IDirect3DRMMaterial* material = nullptr;
    if (FAILED(lpD3DRM->CreateMaterial(kBarPower, &material)) || !material) {
      generic_error();
    } else {
      if (FAILED(builder->SetMaterial(material))) generic_error();
      material->Release();
    }
    if (FAILED(builder->Scale(0.13f, 0.13f, 1.0f))) generic_error();
    if (FAILED(builder->SetColorRGB(0.8f, 0.8f, 1.0f))) generic_error();
    if (FAILED(builder->CreateMesh(&meshes[i])) || !meshes[i]) {
      meshes[i] = nullptr;
      generic_error();
    } else if (FAILED(frames[i]->AddVisual(meshes[i]))) {
      generic_error();
    }
    builder->Release();
  }
  for (float& s : prescale) s = 1.0f;
}

void SelectionBox::SetLR(float x, float y, float z) {
  LR = {x, y, z};
  if (latch && std::fabs(z - UL.z) > kFlatDepth) latch = false;
}

void SelectionBox::SetLR(D3DVECTOR corner) { LR = corner; }

void SelectionBox::ConstructBox() {
  Polygoni& m = polygoner;
  IDirect3DRMFrame* camera = m.ActiveCamera();
  if (!camera) return;
  for (IDirect3DRMFrame* frame : frames)
    if (frame) camera->AddChild(frame);
  const D3DVECTOR d{LR.x - UL.x, LR.y - UL.y, LR.z - UL.z};
  const float lo[3] = {std::min(UL.x, LR.x), std::min(UL.y, LR.y), std::min(UL.z, LR.z)};
  const float hi[3] = {std::max(UL.x, LR.x), std::max(UL.y, LR.y), std::max(UL.z, LR.z)};

  // While the box is flat the corners are read at the cursor's depth and the test is a
  // rectangle on the screen; a deep box tests the points' stored positions in 3D.
  D3DVECTOR cursor{0, 0, 1};
  if (latch && m.world_frame) m.world_frame->GetPosition(camera, &cursor);
  const float cz = cursor.z;
  for (int i = 0; i < m.num_points; ++i) {
    PointStuff& p = m.pointdata[i];
    bool inside = false;
    if (latch) {
      D3DVECTOR q{0, 0, 0};
      if (p.frames && SUCCEEDED(p.frames->GetPosition(camera, &q))) {
        const float sx = q.x / q.z, sy = q.y / q.z;
        inside = lo[0] / cz < sx && sx < hi[0] / cz && lo[1] / cz < sy && sy < hi[1] / cz;
      }
    } else {
      D3DVECTOR world = p.point, v{0, 0, 0};
      if (m.scene) m.scene->Transform(&world, &p.point);
      camera->InverseTransform(&v, &world);
      inside = lo[0] <= v.x && v.x <= hi[0] && lo[1] <= v.y && v.y <= hi[1] && lo[2] <= v.z && v.z <= hi[2];
    }
    if (inside) {
      p.active = true;
      Paint(p.frames, kSelected);
    } else if (!m.shift && p.active) {
      p.active = false;
      Paint(p.frames, kUnselected);
    }
  }

  float sign[3], length[3];
  for (int k = 0; k < 3; ++k) {
    const float dk = Axis(d, k);
    sign[k] = dk >= 0 ? 1.0f : -1.0f;
    length[k] = dk == 0 ? kLeastEdge : std::fabs(dk);
  }
  for (int i = 0; i < kBoxEdges; ++i) {
    const Edge& e = kEdges[i];
    float dir[3] = {0, 0, 0};
    dir[e.axis] = e.backward ? -sign[e.axis] : sign[e.axis];
    const float start[3] = {e.from_lr[0] ? LR.x : UL.x, e.from_lr[1] ? LR.y : UL.y,
                            e.from_lr[2] ? LR.z : UL.z};
    if (frames[i]) {
      frames[i]->SetPosition(camera, start[0], start[1], start[2]);
      frames[i]->SetOrientation(camera, dir[0], dir[1], dir[2], e.up[0], e.up[1], e.up[2]);
    }
    // A mesh's scale accumulates, so the new length goes in as the ratio to the old one.
    if (meshes[i]) meshes[i]->Scale(1.0f, 1.0f, length[e.axis] / prescale[i]);
    prescale[i] = length[e.axis];
  }
  m.UpdateActive();
  vp_data.MakeRoom();
}

void SelectionBox::Release() {
  IDirect3DRMFrame* view1 = polygoner.view1;
  for (IDirect3DRMFrame* frame : frames)
    if (frame) frame->SetPosition(view1, 0, 0, kParkedDepth);
}
