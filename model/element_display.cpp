// Points and wires on screen: the two shape templates, the frame and mesh each element
// slot owns, and the connection of wires to points.
#include <algorithm>

#include "app/errors.h"
#include "model/polygoni.h"
#include "platform/resource.h"

namespace {

constexpr int kPointResource = 3;
constexpr int kWireResource = 6;
constexpr D3DVALUE kTemplatePower = 20.0f;
constexpr D3DVALUE kPointRed = 0.3f, kPointGreen = 0.7f, kPointBlue = 0.3f;
constexpr D3DVALUE kWireRed = 1.0f, kWireGreen = 0.1f, kWireBlue = 0.1f;

bool HasVisual(IDirect3DRMFrame* frame, IDirect3DRMVisual* visual) {
  const auto& v = frame->Visuals();
  return std::find(v.begin(), v.end(), visual) != v.end();
}

// Loads a template mesh from the program's MESH resources, then gives it flat quality, a
// material of power 20 and its scale. A failed load is reported and the template stays
// as it is.
void LoadTemplate(Polygoni* model, IDirect3DRMMeshBuilder* builder, int resource, const char* failure,
                  D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) {
  D3DRMLOADRESOURCE res{nullptr, MAKEINTRESOURCEA(resource), "MESH"};
  if (HRESULT r = builder->Load(&res, nullptr, D3DRMLOAD_FROMRESOURCE, nullptr, nullptr); r != D3DRM_OK) {
    Msg(failure, D3DRMErrorToString(r));
    model->generic_error();
  }
  if (FAILED(builder->SetQuality(D3DRMRENDER_FLAT))) model->generic_error();
  if (FAILED(lpD3DRM->CreateMaterial(kTemplatePower, &model->mat))) {
    model->generic_error();
  } else {
    if (FAILED(builder->SetMaterial(model->mat))) model->generic_error();
    model->mat->Release();
    model->mat = nullptr;
  }
  if (FAILED(builder->Scale(sx, sy, sz))) model->generic_error();
}

void Prototype(Polygoni* model, IDirect3DRMMeshBuilder* builder, IDirect3DRMMesh** prototype) {
  if (*prototype) (*prototype)->Release();
  *prototype = nullptr;
  if (FAILED(builder->CreateMesh(prototype))) {
    *prototype = nullptr;
    model->generic_error();
  }
}

// A copy of the template's mesh; null when there is none.
IDirect3DRMMesh* CopyOf(IDirect3DRMMesh* prototype) {
  IDirect3DRMMesh* copy = nullptr;
  if (!prototype || FAILED(prototype->Clone(&copy))) return nullptr;
  return copy;
}

}  // namespace

void Polygoni::InitPoint() {
  if (!lpD3DRM) return generic_error();
  if (FAILED(lpD3DRM->SetSearchPath(shapepath))) generic_error();
  if (pointbuilder) pointbuilder->Release();
  pointbuilder = nullptr;
  if (FAILED(lpD3DRM->CreateMeshBuilder(&pointbuilder)) || !pointbuilder) return generic_error();
  LoadTemplate(this, pointbuilder, kPointResource, "Failed to load point.x.\n%s", 0.25f, 0.25f, 0.25f);
  Prototype(this, pointbuilder, &point_prototype);
  point_init = true;
}

void Polygoni::InitWire() {
  if (!lpD3DRM) return generic_error();
  if (meshbuilder) meshbuilder->Release();
  meshbuilder = nullptr;
  if (FAILED(lpD3DRM->CreateMeshBuilder(&meshbuilder)) || !meshbuilder) return generic_error();
  if (FAILED(lpD3DRM->SetSearchPath(shapepath))) generic_error();
  LoadTemplate(this, meshbuilder, kWireResource, "Failed to load wire2.uit.\n%s", 0.1f, 0.1f, 1.0f);
  Prototype(this, meshbuilder, &wire_prototype);
  wire_init = true;
}

void Polygoni::MakePoint(_D3DVECTOR* change) {
  if (num_points < 1) return;
  PointStuff& p = pointdata[num_points - 1];
  const _D3DVECTOR at = change ? *change : p.point;
  if (!p.frames) {
    if (!lpD3DRM || FAILED(lpD3DRM->CreateFrame(scene, &p.frames)) || !p.frames) {
      p.frames = nullptr;
      return generic_error();
    }
    // Nothing changes a point's cube (its colour comes from its frame), so every point
    // shows the one cube; a wire's prism is stretched to its length and is its own.
    p.meshes = point_prototype;
    if (p.meshes)
      p.meshes->AddRef();
    else
      generic_error();
    if (p.meshes && FAILED(p.frames->AddVisual(p.meshes))) generic_error();
    if (FAILED(p.frames->SetPosition(scene, at.x, at.y, at.z))) generic_error();
    if (FAILED(p.frames->SetMaterialMode(D3DRMMATERIAL_FROMFRAME))) generic_error();
    if (FAILED(p.frames->SetColorRGB(kPointRed, kPointGreen, kPointBlue))) generic_error();
  } else {
    // The slot's frame and cube serve the new point; the removal detached the cube.
    if (p.meshes && !HasVisual(p.frames, p.meshes) && FAILED(p.frames->AddVisual(p.meshes))) generic_error();
    if (FAILED(p.frames->SetPosition(scene, at.x, at.y, at.z))) generic_error();
    if (FAILED(p.frames->SetColorRGB(kPointRed, kPointGreen, kPointBlue))) generic_error();
  }
  p.vis = p.meshes != nullptr;
}

void Polygoni::MakeWire(_D3DVECTOR* change) {
  if (num_wireframes < 1 || createindex < 0 || createindex >= num_wireframes) return;
  const bool has_frame = wiredata[num_wireframes - 1].wireframes != nullptr;
  WireStuff& w = wiredata[createindex];
  const _D3DVECTOR at = change ? *change : _D3DVECTOR{0, 0, 0};
  if (!has_frame) {
    w.wiremeshes = CopyOf(wire_prototype);
    if (!w.wiremeshes) generic_error();
    if (!lpD3DRM || FAILED(lpD3DRM->CreateFrame(scene, &w.wireframes)) || !w.wireframes) {
      w.wireframes = nullptr;
      return generic_error();
    }
    if (FAILED(w.wireframes->SetPosition(scene, at.x, at.y, at.z))) generic_error();
    if (w.wiremeshes && FAILED(w.wireframes->AddVisual(w.wiremeshes))) generic_error();
    if (FAILED(w.wireframes->SetMaterialMode(D3DRMMATERIAL_FROMFRAME))) generic_error();
    if (FAILED(w.wireframes->SetColorRGB(kWireRed, kWireGreen, kWireBlue))) generic_error();
  } else {
    if (w.wiremeshes && !HasVisual(w.wireframes, w.wiremeshes) &&
        FAILED(w.wireframes->AddVisual(w.wiremeshes)))
      generic_error();
    if (FAILED(w.wireframes->SetPosition(scene, at.x, at.y, at.z))) generic_error();
    if (FAILED(w.wireframes->SetColorRGB(kWireRed, kWireGreen, kWireBlue))) generic_error();
    // The prism still has the length of the slot's previous wire: back to length 1.
    if (w.wiremeshes && FAILED(w.wiremeshes->Scale(1.0f, 1.0f, 1.0f / w.beforelength))) generic_error();
  }
  w.beforelength = 1.0f;
  w.vis = w.wiremeshes != nullptr;
}

void Polygoni::AllocConnectedWire(int thepoint) {
  PointStuff& p = pointdata[thepoint];
  if (p.num_connected == p.connected_capacity) {
    const uint32_t capacity = p.connected_capacity == 0 ? 4 : 2 * p.connected_capacity;
    auto* grown = new IdCell[capacity];
    std::copy(p.connectedwire, p.connectedwire + p.num_connected, grown);
    delete[] p.connectedwire;
    p.connectedwire = grown;
    p.connected_capacity = capacity;
  }
  p.connectedwire[p.num_connected] = nullptr;
  p.num_connected += 1;
}

void Polygoni::SetPointData(int connected1, int thepoint, _D3DVECTOR* point, bool /*select*/) {
  if (thepoint < -1) {
    AllocPoint(+1);
    thepoint = num_points - 1;
    if (selectedpoint < -1 && createindex >= 0 && createindex < num_wireframes)
      wiredata[createindex].points[0] = pointdata[thepoint].id;
    PointStuff& fresh = pointdata[thepoint];
    fresh.num_connected = 0;
    fresh.distance = 0;
    fresh.can_be_selected = false;
    fresh.selectsize = 3;
    fresh.cursoractive = false;
  }
  PointStuff& p = pointdata[thepoint];
  if (point) p.point = *point;
  AllocConnectedWire(thepoint);
  p.connectedwire[p.num_connected - 1] = wiredata[connected1].id;
  p.selected = false;
  p.active = false;
  p.cursoractive = false;
}
