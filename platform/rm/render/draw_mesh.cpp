#include "platform/rm/render/draw_mesh.h"

#include <algorithm>
#include <cmath>

#include "platform/rm/material.h"
#include "platform/rm/render/lighting.h"
#include "platform/rm/texture.h"

namespace render {
namespace {

// The per-mesh matrices in single precision, laid out for the vertex loop.
struct MeshTransforms {
  float clip[4][4];    // model to clip
  float world[4][3];   // model to world
  float normal[3][3];  // model normals to world: the inverse transpose of the world matrix
};

// Whether a group's vertex normals are lit, which needs the normal matrix.
bool LightsVertexNormals(D3DRMRENDERQUALITY device, const IDirect3DRMMesh::Group& g) {
  const D3DRMRENDERQUALITY q = EffectiveQuality(device, g.quality);
  return (q & D3DRMLIGHT_MASK) == D3DRMLIGHT_ON && (q & D3DRMSHADE_MASK) != D3DRMSHADE_FLAT;
}

MeshTransforms MakeTransforms(const math3d::Mat4& world, const math3d::Mat4& world_to_clip, bool normals) {
  MeshTransforms t{};
  const math3d::Mat4 clip = math3d::Multiply(world, world_to_clip);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) t.clip[r][c] = static_cast<float>(clip.m[r][c]);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 3; ++c) t.world[r][c] = static_cast<float>(world.m[r][c]);
  // Row vectors: n' = n * transpose(inverse). A singular world matrix leaves the normals
  // zero, which lights them with ambient light only.
  math3d::Mat4 inverse;
  if (normals && math3d::AffineInverse(world, &inverse))
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) t.normal[r][c] = static_cast<float>(inverse.m[c][r]);
  return t;
}

struct Rgb {
  float r, g, b;
};

Rgb Lit(Rgb base, const float light[3], Rgb emissive) {
  return Rgb{base.r * light[0] + emissive.r, base.g * light[1] + emissive.g, base.b * light[2] + emissive.b};
}

// True when the rasteriser will certainly cull the triangle as a back face: the sign of
// the clip-space (x, y, w) determinant, as the rasteriser decides a clipped triangle.
bool CulledBackFace(const raster::ClipVertex& a, const raster::ClipVertex& b, const raster::ClipVertex& c) {
  const double det = double{a.x} * (double{b.y} * c.w - double{c.y} * b.w) -
                     double{a.y} * (double{b.x} * c.w - double{c.x} * b.w) +
                     double{a.w} * (double{b.x} * c.y - double{c.x} * b.y);
  return det > 0;
}

Vec3f Normalised(float x, float y, float z) {
  const float len2 = x * x + y * y + z * z;
  if (!(len2 > 1e-30f) || !std::isfinite(len2)) return Vec3f{0, 0, 0};
  const float inv = 1.0f / std::sqrt(len2);
  return Vec3f{x * inv, y * inv, z * inv};
}

// Corner indices of the group's faces as triangles: the face data itself when every face
// is a triangle, else the faces fanned into room(n), which gives space for n indices.
template <class Room>
const uint32_t* Triangles(const IDirect3DRMMesh::Group& g, Room room, size_t* count) {
  if (g.vertex_per_face == 3 && g.face_indices.size() == 3 * g.face_sizes.size()) {
    *count = g.face_sizes.size();
    return g.face_indices.data();
  }
  size_t total = 0, corners = 0;
  for (const uint32_t n : g.face_sizes) {
    if (n >= 3) total += n - 2;
    corners += n;
  }
  if (corners > g.face_indices.size()) {  // sizes promise more corners than there are
    *count = 0;
    return nullptr;
  }
  uint32_t* out = room(3 * total);
  size_t at = 0, tri = 0;
  for (const uint32_t n : g.face_sizes) {
    for (uint32_t k = 1; k + 1 < n; ++k, ++tri) {
      out[3 * tri] = g.face_indices[at];
      out[3 * tri + 1] = g.face_indices[at + k];
      out[3 * tri + 2] = g.face_indices[at + k + 1];
    }
    at += n;
  }
  *count = total;
  return out;
}

// Larger groups are not worth the quadratic search for repeated positions.
constexpr size_t kMostCompactedVertices = 64;

bool SamePosition(const D3DVECTOR& a, const D3DVECTOR& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// Flat meshes repeat each corner once per face for its normals; where nothing but the
// position shows, the distinct positions draw the same picture with a fraction of the
// vertex work. Null when the group gains nothing.
const IDirect3DRMMesh::Group* Compacted(const IDirect3DRMMesh::Group& g, uint64_t generation, RenderScratch* s) {
  const size_t nv = g.vertices.size();
  if (nv > kMostCompactedVertices) return nullptr;
  if (g.compact_generation != generation) {
    g.compact_generation = generation;
    g.compact_positions.clear();
    g.compact_triangles.clear();
    uint32_t remap[kMostCompactedVertices];
    for (size_t i = 0; i < nv; ++i) {
      const D3DVECTOR& p = g.vertices[i].position;
      size_t k = 0;
      while (k < g.compact_positions.size() && !SamePosition(g.compact_positions[k], p)) ++k;
      if (k == g.compact_positions.size()) g.compact_positions.push_back(p);
      remap[i] = static_cast<uint32_t>(k);
    }
    size_t ntri = 0;
    const uint32_t* indices = Triangles(g, [s](size_t n) { return Reserve(s->indices, n); }, &ntri);
    // The rasteriser would skip a triangle with a corner out of range; so is it here.
    for (size_t f = 0; indices && f < ntri; ++f) {
      const uint32_t* t = indices + 3 * f;
      if (t[0] >= nv || t[1] >= nv || t[2] >= nv) continue;
      for (int k = 0; k < 3; ++k) g.compact_triangles.push_back(remap[t[k]]);
    }
    if (g.compact_positions.size() == nv) g.compact_positions.clear();
  }
  return g.compact_positions.empty() ? nullptr : &g;
}

raster::Fill FillOf(D3DRMRENDERQUALITY q) {
  switch (q & D3DRMFILL_MASK) {
    case D3DRMFILL_POINTS:
      return raster::Fill::kPoints;
    case D3DRMFILL_WIREFRAME:
      return raster::Fill::kWireframe;
    default:
      return raster::Fill::kSolid;
  }
}

// The vertex loop of one group: clip-space corners with their colours, and world positions
// where lighting needs them. Each vertex depends on its own inputs only, so ranges of a
// large group can run on different threads with the same results.
struct VertexJob {
  const IDirect3DRMMesh::Group* g;
  const IDirect3DRMMesh::Group* compact;
  const MeshTransforms* t;
  const SceneLights* lights;
  Rgb base, emissive;
  bool lit, gouraud;
  raster::ClipVertex* clip;
  Vec3f* world;
  size_t nv;

  void Run(size_t begin, size_t end) const {
    const auto& m = t->clip;
    const auto& w = t->world;
    const auto& n = t->normal;
    for (size_t i = begin; i < end; ++i) {
      const D3DRMVERTEX& v = compact ? g->vertices[0] : g->vertices[i];
      const D3DVECTOR& position = compact ? compact->compact_positions[i] : v.position;
      const float x = position.x, y = position.y, z = position.z;
      raster::ClipVertex& o = clip[i];
      o.x = x * m[0][0] + y * m[1][0] + z * m[2][0] + m[3][0];
      o.y = x * m[0][1] + y * m[1][1] + z * m[2][1] + m[3][1];
      o.z = x * m[0][2] + y * m[1][2] + z * m[2][2] + m[3][2];
      o.w = x * m[0][3] + y * m[1][3] + z * m[2][3] + m[3][3];
      o.u = compact ? 0.0f : v.tu;
      o.v = compact ? 0.0f : v.tv;
      o.r = base.r;
      o.g = base.g;
      o.b = base.b;
      if (!lit) continue;
      const Vec3f p{x * w[0][0] + y * w[1][0] + z * w[2][0] + w[3][0],
                    x * w[0][1] + y * w[1][1] + z * w[2][1] + w[3][1],
                    x * w[0][2] + y * w[1][2] + z * w[2][2] + w[3][2]};
      world[i] = p;
      if (!gouraud) continue;
      const float nx = v.normal.x, ny = v.normal.y, nz = v.normal.z;
      const Vec3f normal =
          Normalised(nx * n[0][0] + ny * n[1][0] + nz * n[2][0], nx * n[0][1] + ny * n[1][1] + nz * n[2][1],
                     nx * n[0][2] + ny * n[1][2] + nz * n[2][2]);
      float light[3];
      LightAt(*lights, p, normal, light);
      const Rgb out = Lit(base, light, emissive);
      o.r = out.r;
      o.g = out.g;
      o.b = out.b;
    }
  }
};

// Groups at least this large split their vertex loop between the pass's two threads.
constexpr size_t kSplitVertices = 8192;

void RunVertexJob(const Pass& pass, VertexJob& job) {
  if (pass.threads < 2 || job.nv < kSplitVertices) {
    job.Run(0, job.nv);
    return;
  }
  pass.scratch->worker.RunBoth(
      [](void* context, int part) {
        const VertexJob& j = *static_cast<const VertexJob*>(context);
        j.Run(part == 0 ? 0 : j.nv / 2, part == 0 ? j.nv / 2 : j.nv);
      },
      &job);
}

void DrawGroup(const Pass& pass, const IDirect3DRMMesh::Group& g, uint64_t generation, const MeshTransforms& t,
               ColorSource source) {
  if (g.vertices.empty() || g.face_sizes.empty()) return;
  RenderScratch* s = pass.scratch;
  raster::Batch& batch = s->batch;
  const D3DRMRENDERQUALITY q = EffectiveQuality(pass.device_quality, g.quality);
  const bool lit = (q & D3DRMLIGHT_MASK) == D3DRMLIGHT_ON;
  const bool gouraud = (q & D3DRMSHADE_MASK) != D3DRMSHADE_FLAT;
  const IDirect3DRMTexture* tex = g.texture;
  const bool textured = tex && tex->Width() > 0 && tex->Height() > 0 &&
                        tex->Pixels().size() >= size_t(tex->Width()) * size_t(tex->Height());
  // Texture coordinates and lit vertex normals are the only vertex fields besides position
  // that reach the picture.
  const IDirect3DRMMesh::Group* compact = textured || (lit && gouraud) ? nullptr : Compacted(g, generation, s);
  const size_t nv = compact ? compact->compact_positions.size() : g.vertices.size();

  size_t ntri = 0;
  const uint32_t* indices = nullptr;
  if (compact) {
    indices = compact->compact_triangles.data();
    ntri = compact->compact_triangles.size() / 3;
  } else {
    indices = Triangles(g, [&batch](size_t n) { return batch.Indices(n); }, &ntri);
  }
  if (!indices || ntri == 0) return;

  const D3DCOLOR c = source.from_frame ? source.color : g.color;
  VertexJob job{};
  job.g = &g;
  job.compact = compact;
  job.t = &t;
  job.lights = &s->lights;
  job.base = Rgb{D3DRMColorGetRed(c), D3DRMColorGetGreen(c), D3DRMColorGetBlue(c)};
  if (lit && g.material) g.material->GetEmissive(&job.emissive.r, &job.emissive.g, &job.emissive.b);
  job.lit = lit;
  job.gouraud = gouraud;
  job.clip = batch.Corners(nv);
  job.world = lit ? Reserve(s->world, nv) : nullptr;
  job.nv = nv;
  RunVertexJob(pass, job);
  const raster::ClipVertex* clip = job.clip;
  const Vec3f* world = job.world;
  const Rgb base = job.base, emissive = job.emissive;

  raster::RasterState state;
  state.fill = FillOf(q);
  state.shade = gouraud ? raster::Shade::kGouraud : raster::Shade::kFlat;
  raster::Texture texture;
  if (textured) {
    texture.width = tex->Width();
    texture.height = tex->Height();
    texture.pixels = tex->Pixels().data();
    state.texture = &texture;
  }
  if (lit && !gouraud) {
    // One colour per triangle from its own plane, at its centroid.
    float* face = batch.FaceColors(ntri);
    for (size_t f = 0; f < ntri; ++f) {
      const uint32_t i0 = indices[3 * f], i1 = indices[3 * f + 1], i2 = indices[3 * f + 2];
      if (i0 >= nv || i1 >= nv || i2 >= nv) continue;  // the rasteriser skips it too
      // Lighting a face nobody will see is most of the cost of small flat meshes; a sliver
      // the snapped rasteriser still draws keeps the unlit colour.
      if (state.cull_back_faces && CulledBackFace(clip[i0], clip[i1], clip[i2])) {
        face[3 * f] = base.r;
        face[3 * f + 1] = base.g;
        face[3 * f + 2] = base.b;
        continue;
      }
      const Vec3f a = world[i0], b = world[i1], cc = world[i2];
      const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
      const float vx = cc.x - a.x, vy = cc.y - a.y, vz = cc.z - a.z;
      const Vec3f normal = Normalised(uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx);
      const Vec3f centre{(a.x + b.x + cc.x) / 3.0f, (a.y + b.y + cc.y) / 3.0f, (a.z + b.z + cc.z) / 3.0f};
      float light[3];
      LightAt(s->lights, centre, normal, light);
      const Rgb out = Lit(base, light, emissive);
      face[3 * f] = out.r;
      face[3 * f + 1] = out.g;
      face[3 * f + 2] = out.b;
    }
    state.face_colors = face;
  }
  batch.AddTriangles(state, nv, indices, ntri);
  if (pass.threads == 1) {
    // With one thread nothing is gained by keeping the pass: drawing each group at once
    // draws in the same order and keeps its corners in cache, so the batch stays small.
    batch.PlaceCorners(0, 1);
    batch.Draw(batch.Rows());
    batch.Begin(*pass.fb, pass.rect);
  }
}

}  // namespace

D3DRMRENDERQUALITY EffectiveQuality(D3DRMRENDERQUALITY device, D3DRMRENDERQUALITY group) {
  const DWORD shade = std::min(device & D3DRMSHADE_MASK, group & D3DRMSHADE_MASK);
  const DWORD fill = std::min(device & D3DRMFILL_MASK, group & D3DRMFILL_MASK);
  const bool lights =
      (device & D3DRMLIGHT_MASK) == D3DRMLIGHT_ON && (group & D3DRMLIGHT_MASK) == D3DRMLIGHT_ON;
  return shade | fill | (lights ? D3DRMLIGHT_ON : D3DRMLIGHT_OFF);
}

void DrawMesh(const Pass& pass, const IDirect3DRMMesh& mesh, const math3d::Mat4& world, ColorSource source) {
  if (mesh.Groups().empty()) return;
  bool normals = false;
  for (const IDirect3DRMMesh::Group& g : mesh.Groups()) normals = normals || LightsVertexNormals(pass.device_quality, g);
  // A mesh's pending scale comes first, in its own coordinates.
  const D3DVECTOR k = mesh.GroupScale();
  const bool scaled = k.x != 1 || k.y != 1 || k.z != 1;
  const MeshTransforms t = MakeTransforms(
      scaled ? math3d::Multiply(math3d::Scaling({k.x, k.y, k.z}), world) : world, pass.world_to_clip, normals);
  for (const IDirect3DRMMesh::Group& g : mesh.Groups()) DrawGroup(pass, g, mesh.Generation(), t, source);
}

}  // namespace render
