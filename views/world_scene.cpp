// Scene building around the 3D cursor, and the cursor's per-pass update.
#include "views/world_scene.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/errors.h"
#include "app/globals.h"
#include "model/polygoni.h"
#include "model/selection_box.h"
#include "views/mouse.h"
#include "texture/texture.h"
#include "views/viewport_data.h"

namespace {

constexpr unsigned kMarkerVertices = 108;
constexpr int kCursorMesh = 4;
constexpr int kMarkerMesh = 2;
// The cursor never comes nearer to the active camera than this; when it is there, each
// update pushes it this much further away.
constexpr float kNearest = 5.0f;
constexpr float kCreep = 0.05f;
// The hover test runs on every this many updates.
constexpr uint16_t kHoverPeriod = 4;

HRESULT LoadMeshResource(IDirect3DRMMeshBuilder* builder, int id) {
  D3DRMLOADRESOURCE resource{nullptr, MAKEINTRESOURCEA(id), "MESH"};
  return builder->Load(&resource, nullptr, D3DRMLOAD_FROMRESOURCE, nullptr, nullptr);
}

// What the scene building made; released on the error exit, the frames also taken out of
// the tree so that a failed start leaves nothing behind in the scene.
struct Built {
  std::vector<IDirect3DRMObject*> objects;
  std::vector<IDirect3DRMFrame*> frames;
  template <class T>
  T* Keep(T* object) {
    if (object) objects.push_back(object);
    return object;
  }
  void Discard() {
    for (IDirect3DRMFrame* frame : frames) {
      IDirect3DRMFrame* parent = nullptr;
      if (SUCCEEDED(frame->GetParent(&parent)) && parent) {
        parent->DeleteChild(frame);
        parent->Release();
      }
    }
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) (*it)->Release();
    objects.clear();
    frames.clear();
  }
};

}  // namespace

int run_world_scene(IDirect3DRMFrame* scene, IDirect3DRMFrame* camera) {
  std::vector<D3DRMVERTEX> vertices(kMarkerVertices);
  Built built;
  bool reported = false;
  IDirect3DRMFrame *light_frame = nullptr, *light_frame2 = nullptr, *cursor = nullptr, *model = nullptr;
  IDirect3DRMFrame *dummy = nullptr, *dummy2 = nullptr, *dummy3 = nullptr;
  IDirect3DRMLight *ambient = nullptr, *point = nullptr;
  IDirect3DRMMeshBuilder *builder = nullptr, *builder2 = nullptr;
  IDirect3DRMMesh *cursor_mesh = nullptr, *sphere32 = nullptr, *dummymesh = nullptr;
  D3DRMBOX box;
  HRESULT rval;

  selectionbox.scene = scene;
  polygoner.scene = scene;
  if (!lpD3DRM || !scene || !camera) goto generic_error;

  // Lights ride with the front camera, so the model is lit from where it is seen.
  if (FAILED(lpD3DRM->CreateFrame(camera, &light_frame))) goto generic_error;
  built.Keep(light_frame);
  built.frames.push_back(light_frame);
  if (FAILED(light_frame->SetPosition(camera, 0, 0, 0))) goto generic_error;
  if (FAILED(lpD3DRM->CreateLightRGB(D3DRMLIGHT_AMBIENT, 0.2f, 0.2f, 0.2f, &ambient))) goto generic_error;
  built.Keep(ambient);
  if (FAILED(camera->AddLight(ambient))) goto generic_error;
  if (FAILED(lpD3DRM->CreateFrame(camera, &light_frame2))) goto generic_error;
  built.Keep(light_frame2);
  built.frames.push_back(light_frame2);
  if (FAILED(light_frame2->SetPosition(camera, 0, 0, -50))) goto generic_error;
  if (FAILED(lpD3DRM->CreateLightRGB(D3DRMLIGHT_POINT, 0.5f, 0.5f, 0.5f, &point))) goto generic_error;
  built.Keep(point);
  if (FAILED(camera->AddLight(point))) goto generic_error;

  if (FAILED(lpD3DRM->CreateFrame(scene, &cursor))) goto generic_error;
  built.Keep(cursor);
  built.frames.push_back(cursor);
  if (FAILED(lpD3DRM->CreateFrame(scene, &model))) goto generic_error;
  built.Keep(model);
  built.frames.push_back(model);
  if (FAILED(lpD3DRM->CreateFrame(scene, &dummy)) || FAILED(dummy->SetPosition(camera, 0, 0, 29)))
    goto generic_error;
  built.frames.push_back(dummy);
  if (FAILED(lpD3DRM->CreateFrame(scene, &dummy2)) || FAILED(dummy2->SetPosition(camera, 0, 1, 30)))
    goto generic_error;
  built.frames.push_back(dummy2);
  if (FAILED(lpD3DRM->CreateFrame(scene, &dummy3)) || FAILED(dummy3->SetPosition(camera, 1, 0, 30)))
    goto generic_error;
  built.frames.push_back(dummy3);

  if (FAILED(cursor->SetPosition(camera, 0, 0, 30)) || FAILED(cursor->SetOrientation(camera, 0, 0, 1, 0, 1, 0)) ||
      FAILED(cursor->SetRotation(camera, 0, 0, 1, 0)))
    goto generic_error;
  if (FAILED(model->SetPosition(camera, 0, 0, 30)) || FAILED(model->SetOrientation(camera, 0, 0, 1, 0, 1, 0)))
    goto generic_error;

  if (FAILED(lpD3DRM->CreateMeshBuilder(&builder))) goto generic_error;
  built.Keep(builder);
  rval = LoadMeshResource(builder, kCursorMesh);
  if (FAILED(rval)) {
    Msg("Failed to load cursor3D.x.\n%s", D3DRMErrorToString(rval));
    reported = true;
    goto generic_error;
  }
  if (FAILED(builder->CreateMesh(&cursor_mesh))) goto generic_error;
  built.Keep(cursor_mesh);
  if (FAILED(cursor_mesh->Scale(0.01f, 0.01f, 0.01f)) || FAILED(cursor_mesh->SetGroupColorRGB(0, 0.6f, 0.6f, 0.6f)) ||
      FAILED(cursor_mesh->GetBox(&box)))
    goto generic_error;
  if (FAILED(cursor->SetMaterialMode(D3DRMMATERIAL_FROMFRAME))) goto generic_error;

  if (FAILED(lpD3DRM->CreateMeshBuilder(&builder2))) goto generic_error;
  built.Keep(builder2);
  rval = LoadMeshResource(builder2, kMarkerMesh);
  if (FAILED(rval)) {
    Msg("Failed to load cursor3D3.x.\n%s", D3DRMErrorToString(rval));
    reported = true;
    goto generic_error;
  }
  if (FAILED(builder2->CreateMesh(&sphere32))) goto generic_error;
  built.Keep(sphere32);
  if (FAILED(builder2->CreateMesh(&dummymesh))) goto generic_error;
  built.Keep(dummymesh);
  // The copy takes the scaled vertices, so both meshes are at the marker's size.
  if (FAILED(sphere32->Scale(0.01f, 0.01f, 0.01f)) ||
      FAILED(sphere32->GetVertices(0, 0, kMarkerVertices, vertices.data())) ||
      FAILED(dummymesh->SetVertices(0, 0, kMarkerVertices, vertices.data())))
    goto generic_error;
  if (FAILED(sphere32->SetGroupColorRGB(0, 0.5f, 0.9f, 0.5f)) || FAILED(sphere32->GetBox(&box))) goto generic_error;

  if (FAILED(cursor->AddVisual(cursor_mesh)) || FAILED(model->AddVisual(sphere32))) goto generic_error;
  if (FAILED(cursor->AddMoveCallback(MoveCursor, nullptr)) || FAILED(cursor->AddDestroyCallback(cleanupPath, nullptr)))
    goto generic_error;

  polygoner.world_frame = cursor;
  polygoner.world_frame2 = model;
  polygoner.dummy = dummy;
  polygoner.dummy2 = dummy2;
  polygoner.dummy3 = dummy3;
  polygoner.sphere32 = sphere32;
  polygoner.dummymesh = dummymesh;
  selectionbox.lpD3DRM = lpD3DRM;
  selectionbox.InitSelectionBox();
  // The scene keeps the frames, lights and visuals; the model keeps the marker meshes and
  // the auxiliary frames, which it releases at exit.
  builder->Release();
  builder2->Release();
  cursor_mesh->Release();
  cursor->Release();
  model->Release();
  light_frame->Release();
  light_frame2->Release();
  ambient->Release();
  point->Release();
  return 1;

generic_error:
  if (!reported) Msg("An error occurred while building the scene.\n");
  built.Discard();
  for (IDirect3DRMFrame* frame : {dummy, dummy2, dummy3})
    if (frame) frame->Release();
  Msg("returned with an error");
  return 0;
}

void MoveCursor(IDirect3DRMFrame* frame, void* /*arg*/, D3DVALUE /*delta*/) {
  // Updates since the last hover test.
  static uint16_t t = 0;
  Polygoni& m = polygoner;
  m.world_frame = frame;
  // In depth mode the other views keep the active view's distance to the cursor.
  if (mouser.reverse && vp_data.activezoom) vp_data.ScaleViewports();

  if (++t == kHoverPeriod) {
    // While something is dragged the cursor must not snap onto points.
    if (!m.move_selected && !m.movethecamera && m.look) m.TestForSelected();
    t = 0;
  }

  mouser.GetDisplacement();
  // The mapping measures depth towards the pointer's motion; pulling the pointer down must
  // bring the cursor nearer.
  mouser.rdifference.z = -mouser.rdifference.z;

  // The texture view's rubber band: drawn while the press lasts, and once more at the
  // release, which ends it.
  if (texture.createbox) {
    texture.MakeBox(false);
  } else {
    texture.MakeBox(true);
    texture.last = false;
  }

  if (mouser.overridereverse) mouser.reverse = false;
  mouser.overridereverse = false;

  if (m.move_selected && (move_m == scale || move_m == uniform_scale)) move_m = m.shift ? uniform_scale : scale;
  if (m.move_selected) m.MoveSelectedPoints();

  if (the_mode == create && m.createindex >= 0 && m.createindex < m.num_wireframes &&
      m.wiredata[m.createindex].callback)
    m.WireCallBack(&m.createindex);

  IDirect3DRMFrame* camera = m.ActiveCamera();
  D3DVECTOR p{0, 0, 0};
  const bool placed = camera && frame && SUCCEEDED(frame->GetPosition(camera, &p));
  if (placed && m.makebox) {
    const D3DVECTOR d = mouser.rdifference;
    selectionbox.SetLR(p.x + d.x, p.y + d.y, p.z + d.z);
    selectionbox.ConstructBox();
  }

  vp_data.MakeRoom();
  const D3DVECTOR d = mouser.rdifference;
  if (m.movethecamera) {
    // The model moves instead; the camera code keeps the cursor at the view's centre.
    m.MoveCamera(d.x, d.y, d.z, none);
  } else if (placed) {
    HRESULT moved;
    if (p.z > kNearest) {
      moved = frame->SetPosition(camera, p.x + d.x, p.y + d.y, p.z + d.z);
    } else {
      // Too close to the camera: the cursor creeps away instead of following, and any
      // drag that rides on it ends.
      m.move_selected = false;
      m.makebox = false;
      moved = frame->SetPosition(camera, p.x + d.x, p.y + d.y, p.z + kCreep);
    }
    if (FAILED(moved)) Msg("SetPosition in MoveCursor failed");
    if (vp_data.depth) *vp_data.depth = p.z + d.z;
  }

  if (m.scene && m.world_frame2 && vp_data.hwndstatus && frame) {
    D3DVECTOR at;
    if (SUCCEEDED(frame->GetPosition(m.world_frame2, &at))) {
      const float values[3] = {at.x, at.y, at.z};
      const char* formats[3] = {"x: %5.2f", "y: %5.2f", "z: %5.2f"};
      for (int i = 0; i < 3; ++i) {
        char text[15];
        std::snprintf(text, sizeof text, formats[i], static_cast<double>(values[i]));
        SendMessageA(vp_data.hwndstatus, SB_SETTEXT, static_cast<WPARAM>(i + 1) | SBT_NOBORDERS,
                     reinterpret_cast<LPARAM>(text));
      }
    }
  }
  mouser.rdifference = {0, 0, 0};
}

void cleanupPath(IDirect3DRMObject* /*obj*/, void* /*arg*/) {}
