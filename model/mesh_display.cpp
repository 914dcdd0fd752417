// The faces on screen: three shared meshes on `sceneframe` (the solid faces, the white
// front outline and the grey back outline) rebuilt from the face list, the cheaper vertex
// rewrite that moves and flips use, and which point cubes and wire prisms each render
// mode shows.
#include <algorithm>
#include <cmath>
#include <cstring>
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

// Where one pass over the faces writes its vertices: the storage of a face mesh's group,
// in the front winding (corners 0, 1, 2) or the back one (2, 1, 0).
struct VertexTarget {
  D3DRMVERTEX* at;
  bool reversed;
};

// The group's storage for the first 3n vertices, or nothing when the group was built for
// fewer faces (it keeps its vertices until the next rebuild).
void Aim(IDirect3DRMMesh* mesh, int group, unsigned count, bool reversed, std::vector<VertexTarget>* targets) {
  D3DRMVERTEX* at = nullptr;
  if (mesh && count > 0 && SUCCEEDED(mesh->GetVertexStorage(group, 0, count, &at)) && at)
    targets->push_back({at, reversed});
}

// One pass over the faces: recompute every face's normal and write its three vertices into
// each target, with position, normal, colour and the corner's texture coordinate in units
// of the scaled image. The texture repeats, so the solid mesh shows exactly what the
// texture view shows. The meshes' own storage is written directly: no list is built only
// to be copied, and with no face mesh shown only the normals are computed. With
// `moved_only`, faces with no selected corner are left as they are: nothing of theirs moved.
void WriteFaceVertices(Polygoni* m, D3DCOLOR colour, const std::vector<VertexTarget>& targets,
                       bool moved_only = false) {
  const int w = mesh_texture.tswidth, h = mesh_texture.tsheight;
  const bool sized = w > 0 && h > 0;
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  // Corners are reached through identity cells and then the point groups: waiting for
  // each in turn costs more than the arithmetic. The cells of a face a few places on
  // are fetched early, and the corners of a nearer face are looked up early and fetched,
  // so that the waits overlap; each corner is still looked up once.
  constexpr int kFacesAhead = 32, kCellsAhead = 16, kCornersAhead = 6;
  auto look_up = [m](const FaceStuff& f, const _D3DVECTOR** corner) {
    for (int c = 0; c < 3; ++c) {
      corner[c] = &m->pointdata[*f.points[c]].point;
      __builtin_prefetch(corner[c]);
    }
  };
  const _D3DVECTOR* ahead[kCornersAhead][3];
  size_t i = 0;
  for (FaceGroup* g = m->facedata.first_ptr; g && static_cast<int>(g->first_element) < m->num_faces;
       g = g->next_ptr) {
    const int n = std::min(kGroupSize, m->num_faces - static_cast<int>(g->first_element));
    for (int k = 0; k < std::min(n, kCornersAhead); ++k) look_up(g->data[k], ahead[k]);
    for (int k = 0; k < n; ++k, ++i) {
      const _D3DVECTOR** slot = ahead[k % kCornersAhead];
      const _D3DVECTOR& p0 = *slot[0];
      const _D3DVECTOR& p1 = *slot[1];
      const _D3DVECTOR& p2 = *slot[2];
      if (k + kCornersAhead < n) look_up(g->data[k + kCornersAhead], slot);
      if (k + kCellsAhead < n)
        for (IdCell c : g->data[k + kCellsAhead].points) __builtin_prefetch(c);
      // The face records themselves are fetched further on still: the processor's own
      // prefetch stops at page boundaries.
      if (k + kFacesAhead < n) __builtin_prefetch(&g->data[k + kFacesAhead]);
      FaceStuff& face = g->data[k];
      if (moved_only && !m->pointdata[*face.points[0]].selected && !m->pointdata[*face.points[1]].selected &&
          !m->pointdata[*face.points[2]].selected)
        continue;
      // An unchanged normal is not stored again, so the faces of a still model stay clean
      // in the cache and are not written back.
      const _D3DVECTOR normal = FaceNormal(p0, p1, p2);
      if (std::memcmp(&face.normal, &normal, sizeof normal) != 0) face.normal = normal;
      if (targets.empty()) continue;
      const _D3DVECTOR* corner[3] = {&p0, &p1, &p2};
      for (int c = 0; c < 3; ++c) {
        D3DRMVERTEX v;
        v.position = *corner[c];
        v.normal = normal;
        v.tu = sized ? static_cast<float>(face.tex[c].x) / fw : 0.0f;
        v.tv = sized ? 1.0f - static_cast<float>(face.tex[c].y) / fh : 0.0f;
        v.color = colour;
        for (const VertexTarget& t : targets) t.at[3 * i + (t.reversed ? 2 - c : c)] = v;
      }
    }
  }
}

// The face index list, kept between calls: a rebuild of a large mesh then writes into
// memory it already has.
std::vector<unsigned>& Indices() {
  static std::vector<unsigned> indices;
  return indices;
}

// Takes a face mesh off the frame and drops it.
void DropMesh(IDirect3DRMFrame* frame, IDirect3DRMMesh** mesh) {
  if (!*mesh) return;
  if (frame) frame->DeleteVisual(*mesh);
  (*mesh)->Release();
  *mesh = nullptr;
}

// A new mesh with one group of `indices.size()` vertices (zero until written), each face
// its own three in order.
IDirect3DRMMesh* MakeFaceMesh(Polygoni* m, const std::vector<unsigned>& indices, int* group) {
  IDirect3DRMMesh* mesh = nullptr;
  if (FAILED(lpD3DRM->CreateMesh(&mesh)) || !mesh) {
    m->generic_error();
    return nullptr;
  }
  const auto count = static_cast<unsigned>(indices.size());
  D3DRMGROUPINDEX id = 0;
  if (FAILED(mesh->AddGroup(count, count / 3, 3, indices.data(), &id))) m->generic_error();
  *group = id;
  return mesh;
}

// The material Material Settings chose: emissive and specular colours and the power.
void ApplyMaterial(Polygoni* m, IDirect3DRMMesh* mesh, int group) {
  IDirect3DRMMaterial* material = nullptr;
  if (!lpD3DRM || FAILED(lpD3DRM->CreateMaterial(texture.power, &material)) || !material) return m->generic_error();
  auto unit = [](int channel) { return static_cast<D3DVALUE>(channel) / 255.0f; };
  material->SetEmissive(unit(texture.emissive[0]), unit(texture.emissive[1]), unit(texture.emissive[2]));
  material->SetSpecular(unit(texture.specular[0]), unit(texture.specular[1]), unit(texture.specular[2]));
  if (FAILED(mesh->SetGroupMaterial(group, material))) m->generic_error();
  material->Release();
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
  std::vector<unsigned>& indices = Indices();
  indices.resize(3 * static_cast<size_t>(std::max(num_faces, 0)));
  std::iota(indices.begin(), indices.end(), 0u);

  scenemesh = MakeFaceMesh(this, indices, &group);
  if (scenemesh && texture.material_set) ApplyMaterial(this, scenemesh, group);
  scenewiremesh = MakeFaceMesh(this, indices, &groupw);
  if (scenewiremesh) {
    if (FAILED(scenewiremesh->SetGroupQuality(groupw, D3DRMRENDER_WIREFRAME)))
      Msg("failed to set quality to wireframe");
    scenewiremesh->SetGroupColorRGB(groupw, 1.0f, 1.0f, 1.0f);
  }
  scenewiremesh2 = MakeFaceMesh(this, indices, &groupw2);
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
  // The vertex update that ends a rebuild rewrites the solid mesh with the winding of the
  // current mode (outside PW) and the outlines as built, from unchanged points. One pass
  // writes those final vertices here, instead of writing them twice.
  const bool solid_reversed = rmode != PW ? rmode == BF : back;
  const auto count = static_cast<unsigned>(indices.size());
  std::vector<VertexTarget> targets;
  Aim(scenemesh, group, count, solid_reversed, &targets);
  Aim(scenewiremesh2, groupw2, count, true, &targets);
  Aim(scenewiremesh, groupw, count, false, &targets);
  WriteFaceVertices(this, colour, targets);
}

void Polygoni::UpdateMesh(bool moved_only) {
  const auto count = 3 * static_cast<unsigned>(std::max(num_faces, 0));
  std::vector<VertexTarget> targets;
  if (rmode != PW) Aim(scenemesh, group, count, rmode == BF, &targets);
  Aim(scenewiremesh2, groupw2, count, true, &targets);
  Aim(scenewiremesh, groupw, count, false, &targets);
  WriteFaceVertices(this, MeshColour(), targets, moved_only);
}

void Polygoni::ReDrawMesh() {
  if (rmode == PWM || rmode == M || rmode == WFP || rmode == WF || rmode == BF)
    SendMessageA(main_window, WM_COMMAND, static_cast<WPARAM>(kRenderCommandBase + rmode), 0);
  UpdateMesh();
}

void Polygoni::ChangeVisible(bool show_points, bool show_wires) {
  pointdata.ForEach(num_points, [show_points](PointStuff& p) { ShowPoint(p, show_points); });
  wiredata.ForEach(num_wireframes, [show_wires](WireStuff& w) {
    // The rubber band follows the cursor in every mode.
    if (!show_wires && w.callback) return;
    ShowWire(w, show_wires);
  });
}

void Polygoni::UpdateActive() {
  const bool all = points;
  pointdata.ForEach(num_points, [all](PointStuff& p) { ShowPoint(p, all || p.active); });
}

bool Polygoni::UpdateActiveFindingOrphans() {
  const bool all = points;
  bool orphans = false;
  pointdata.ForEach(num_points, [all, &orphans](PointStuff& p) {
    orphans |= p.num_connected == 0;
    ShowPoint(p, all || p.active);
  });
  return orphans;
}

void Polygoni::ValidateMesh() {
  mouser.rdifference = {0, 0, 0};
  movelatch = true;
  const render_state saved_rmode = rmode;
  const modify_mode saved_move = move_m;
  rmode = PW;
  move_m = translate;
  pointdata.ForEach(num_points, [](PointStuff& p) { p.selected = true; });
  MoveSelectedPoints();
  pointdata.ForEach(num_points, [](PointStuff& p) { p.selected = false; });
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
