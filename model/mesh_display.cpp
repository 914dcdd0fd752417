// The faces on screen: three shared meshes on `sceneframe` (the solid faces, the white
// front outline and the grey back outline) rebuilt from the face list, the cheaper vertex
// rewrite that moves and flips use, and which point cubes and wire prisms each render
// mode shows.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "app/errors.h"
#include "model/polygoni.h"
#include "platform/win/win.h"
#include "texture/texture.h"
#include "views/mouse.h"

namespace {

constexpr int kRenderCommandBase = 272;
constexpr DWORD kTextureShades = 32;

// The face's unit normal, (P1 - P0) x (P2 - P0) normalised; a degenerate face gets the
// zero vector, which the renderer lights with ambient light only.
_D3DVECTOR FaceNormal(const _D3DVECTOR& p0, const _D3DVECTOR& p1, const _D3DVECTOR& p2) {
  const float ux = p1.x - p0.x, uy = p1.y - p0.y, uz = p1.z - p0.z;
  const float vx = p2.x - p0.x, vy = p2.y - p0.y, vz = p2.z - p0.z;
  const _D3DVECTOR c{uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
  const float length = std::sqrt(c.x * c.x + c.y * c.y + c.z * c.z);
  if (!(length > 0.0f) || !std::isfinite(length)) return {0, 0, 0};
  return {c.x / length, c.y / length, c.z / length};
}

// The mesh colour as the layer wants it: alpha 255 and the COLORREF's red, green and blue.
// Each byte goes through the unit range and back, truncated.
D3DCOLOR MeshColour() {
  const uint32_t c = texture.color;
  auto channel = [](uint32_t byte) {
    return static_cast<uint32_t>(static_cast<float>(byte) * (1.0f / 255.0f) * 255.0f) & 0xffu;
  };
  const uint32_t r = channel(c & 0xffu), g = channel((c >> 8) & 0xffu), b = channel((c >> 16) & 0xffu);
  return 0xff000000u | (r << 16) | (g << 8) | b;
}

// Both vertex lists of the face meshes: per face three vertices of its own, corners 0, 1, 2
// in the front list and 2, 1, 0 in the back list, with the face's normal (recomputed here)
// and the corner's texture coordinate in units of the scaled image. The texture repeats,
// so the solid mesh shows exactly what the texture view shows.
void BuildVertexLists(Polygoni* m, D3DCOLOR colour, std::vector<D3DRMVERTEX>* front,
                      std::vector<D3DRMVERTEX>* back) {
  const size_t n = static_cast<size_t>(std::max(m->num_faces, 0));
  front->resize(3 * n);
  back->resize(3 * n);
  const int w = mesh_texture.tswidth, h = mesh_texture.tsheight;
  const bool sized = w > 0 && h > 0;
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  D3DRMVERTEX* f = front->data();
  D3DRMVERTEX* b = back->data();
  for (size_t i = 0; i < n; ++i) {
    FaceStuff& face = m->facedata[static_cast<int>(i)];
    const _D3DVECTOR& p0 = m->pointdata[*face.points[0]].point;
    const _D3DVECTOR& p1 = m->pointdata[*face.points[1]].point;
    const _D3DVECTOR& p2 = m->pointdata[*face.points[2]].point;
    face.normal = FaceNormal(p0, p1, p2);
    const _D3DVECTOR* corner[3] = {&p0, &p1, &p2};
    for (int k = 0; k < 3; ++k) {
      D3DRMVERTEX v;
      v.position = *corner[k];
      v.normal = face.normal;
      v.tu = sized ? static_cast<float>(face.tex[k].x) / fw : 0.0f;
      v.tv = sized ? 1.0f - static_cast<float>(face.tex[k].y) / fh : 0.0f;
      v.color = colour;
      f[3 * i + k] = v;
      b[3 * i + 2 - k] = v;
    }
  }
}

// The lists are kept between calls: a rebuild or update of a large mesh then writes into
// memory it already has instead of faulting in tens of megabytes each time.
struct DisplayLists {
  std::vector<D3DRMVERTEX> front, back;
  std::vector<unsigned> indices;
};

DisplayLists& Lists() {
  static DisplayLists lists;
  return lists;
}

// Takes a face mesh off the frame and drops it.
void DropMesh(IDirect3DRMFrame* frame, IDirect3DRMMesh** mesh) {
  if (!*mesh) return;
  if (frame) frame->DeleteVisual(*mesh);
  (*mesh)->Release();
  *mesh = nullptr;
}

// A new mesh with one group of the given vertices, each face its own three in order.
IDirect3DRMMesh* MakeFaceMesh(Polygoni* m, const std::vector<unsigned>& indices,
                              const std::vector<D3DRMVERTEX>& vertices, int* group) {
  IDirect3DRMMesh* mesh = nullptr;
  if (FAILED(lpD3DRM->CreateMesh(&mesh)) || !mesh) {
    m->generic_error();
    return nullptr;
  }
  const auto count = static_cast<unsigned>(vertices.size());
  D3DRMGROUPINDEX id = 0;
  if (FAILED(mesh->AddGroup(count, count / 3, 3, indices.data(), &id))) m->generic_error();
  *group = id;
  if (FAILED(mesh->SetVertices(id, 0, count, vertices.data()))) m->generic_error();
  return mesh;
}

bool Attached(IDirect3DRMFrame* frame, IDirect3DRMVisual* visual) {
  const auto& v = frame->Visuals();
  return std::find(v.begin(), v.end(), visual) != v.end();
}

// Shows or hides a point's cube, keeping `vis` in step with the frame.
void ShowPoint(PointStuff& p, bool show) {
  if (!p.frames || !p.meshes || p.vis == show) return;
  if (show) {
    if (!Attached(p.frames, p.meshes)) p.frames->AddVisual(p.meshes);
  } else {
    p.frames->DeleteVisual(p.meshes);
  }
  p.vis = show;
}

void ShowWire(WireStuff& w, bool show) {
  if (!w.wireframes || !w.wiremeshes || w.vis == show) return;
  if (show) {
    if (!Attached(w.wireframes, w.wiremeshes)) w.wireframes->AddVisual(w.wiremeshes);
  } else {
    w.wireframes->DeleteVisual(w.wiremeshes);
  }
  w.vis = show;
}

}  // namespace

void Polygoni::DrawPolygons(bool textu, bool back, bool outline_only, bool /*init*/) {
  backp = back;
  if (!texture.texloaded || !mesh_texture.tex) textu = false;
  DropMesh(sceneframe, &scenemesh);
  DropMesh(sceneframe, &scenewiremesh);
  DropMesh(sceneframe, &scenewiremesh2);
  if (!lpD3DRM) return generic_error();

  const D3DCOLOR colour = MeshColour();
  DisplayLists& lists = Lists();
  const std::vector<D3DRMVERTEX>& front = lists.front;
  const std::vector<D3DRMVERTEX>& reversed = lists.back;
  BuildVertexLists(this, colour, &lists.front, &lists.back);
  std::vector<unsigned>& indices = lists.indices;
  indices.resize(front.size());
  std::iota(indices.begin(), indices.end(), 0u);

  scenemesh = MakeFaceMesh(this, indices, back ? reversed : front, &group);
  scenewiremesh = MakeFaceMesh(this, indices, front, &groupw);
  if (scenewiremesh) {
    if (FAILED(scenewiremesh->SetGroupQuality(groupw, D3DRMRENDER_WIREFRAME)))
      Msg("failed to set quality to wireframe");
    scenewiremesh->SetGroupColorRGB(groupw, 1.0f, 1.0f, 1.0f);
  }
  scenewiremesh2 = MakeFaceMesh(this, indices, reversed, &groupw2);
  if (scenewiremesh2) {
    if (FAILED(scenewiremesh2->SetGroupQuality(groupw2, D3DRMRENDER_WIREFRAME)))
      Msg("failed to set quality to wireframe");
    const D3DVALUE grey = back ? 0.0f : 0.2f;
    scenewiremesh2->SetGroupColorRGB(groupw2, grey, grey, grey);
  }

  if (!sceneframe && (FAILED(lpD3DRM->CreateFrame(scene, &sceneframe)) || !sceneframe)) {
    sceneframe = nullptr;
    generic_error();
  }
  if (sceneframe && FAILED(sceneframe->SetPosition(scene, 0, 0, 0))) generic_error();

  if (scenemesh) {
    // An outline-only build keeps the solid mesh off the frame; its quality is only probed.
    if (outline_only) {
      if (FAILED(scenemesh->SetGroupQuality(group, D3DRMRENDER_WIREFRAME)))
        Msg("failed to set quality to wireframe");
      else if (FAILED(scenemesh->SetGroupQuality(group, D3DRMRENDER_FLAT)))
        Msg("failed to set quality to flat");
    }
    if (!textu) scenemesh->SetGroupColor(group, colour);
    if (back) scenemesh->SetGroupColorRGB(group, 0.5f, 0.5f, 0.5f);
    if (textu) {
      if (FAILED(mesh_texture.tex->SetShades(kTextureShades))) Msg("SetShades() failed");
      if (FAILED(scenemesh->SetGroupTexture(group, mesh_texture.tex))) Msg("unable to load texture");
    }
  }

  if (sceneframe) {
    if (scenemesh && !outline_only && FAILED(sceneframe->AddVisual(scenemesh))) generic_error();
    if (scenewiremesh2 && FAILED(sceneframe->AddVisual(scenewiremesh2))) generic_error();
    if (scenewiremesh && FAILED(sceneframe->AddVisual(scenewiremesh))) generic_error();
  }
  UpdateActive();
  UpdateMesh();
}

void Polygoni::UpdateMesh() {
  DisplayLists& lists = Lists();
  const std::vector<D3DRMVERTEX>& front = lists.front;
  const std::vector<D3DRMVERTEX>& reversed = lists.back;
  BuildVertexLists(this, MeshColour(), &lists.front, &lists.back);
  const auto count = static_cast<unsigned>(front.size());
  // Meshes built for another face count keep their vertices; the next rebuild fixes them.
  if (scenemesh && rmode != PW)
    scenemesh->SetVertices(group, 0, count, rmode == BF ? reversed.data() : front.data());
  if (scenewiremesh2) scenewiremesh2->SetVertices(groupw2, 0, count, reversed.data());
  if (scenewiremesh) scenewiremesh->SetVertices(groupw, 0, count, front.data());
}

void Polygoni::ReDrawMesh() {
  if (rmode == PWM || rmode == M || rmode == WFP || rmode == WF || rmode == BF)
    SendMessageA(main_window, WM_COMMAND, static_cast<WPARAM>(kRenderCommandBase + rmode), 0);
  UpdateMesh();
}

void Polygoni::ChangeVisible(bool show_points, bool show_wires) {
  for (int i = 0; i < num_points; ++i) ShowPoint(pointdata[i], show_points);
  for (int i = 0; i < num_wireframes; ++i) {
    WireStuff& w = wiredata[i];
    // The rubber band follows the cursor in every mode.
    if (!show_wires && w.callback) continue;
    ShowWire(w, show_wires);
  }
}

void Polygoni::UpdateActive() {
  for (int i = 0; i < num_points; ++i) {
    PointStuff& p = pointdata[i];
    if (points) {
      ShowPoint(p, true);
    } else {
      ShowPoint(p, p.active);
    }
  }
}

void Polygoni::ValidateMesh() {
  mouser.rdifference = {0, 0, 0};
  movelatch = true;
  const render_state saved_rmode = rmode;
  const modify_mode saved_move = move_m;
  rmode = PW;
  move_m = translate;
  for (int i = 0; i < num_points; ++i) pointdata[i].selected = true;
  MoveSelectedPoints();
  for (int i = 0; i < num_points; ++i) pointdata[i].selected = false;
  rmode = saved_rmode;
  move_m = saved_move;
  movelatch = false;
}

void Polygoni::RemovePolygons() {
  if (!scenemesh) return;
  if (sceneframe) {
    sceneframe->DeleteVisual(scenemesh);
    if (scenewiremesh) sceneframe->DeleteVisual(scenewiremesh);
    if (scenewiremesh2) sceneframe->DeleteVisual(scenewiremesh2);
  }
  DiscardFrame(&sceneframe);
  scenemesh->Release();
  scenemesh = nullptr;
  if (scenewiremesh) scenewiremesh->Release();
  scenewiremesh = nullptr;
  if (scenewiremesh2) scenewiremesh2->Release();
  scenewiremesh2 = nullptr;
}
