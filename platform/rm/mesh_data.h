// The geometry a mesh builder holds and the .x reader and writer exchange: flat arrays,
// so a 100k-face file costs a handful of allocations.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "platform/rm/types.h"

struct MeshMaterial {
  D3DVALUE r = 1, g = 1, b = 1, a = 1;  // face colour
  D3DVALUE power = 0;
  D3DVALUE sr = 0, sg = 0, sb = 0;  // specular
  D3DVALUE er = 0, eg = 0, eb = 0;  // emissive
  std::string texture;              // texture file name, empty for none
};

struct MeshData {
  std::vector<D3DVECTOR> positions;
  // Polygons: face i has face_sizes[i] corners, taken in order from face_indices.
  std::vector<uint32_t> face_sizes;
  std::vector<uint32_t> face_indices;
  // Optional normals, indexed per corner in the layout of face_indices. Empty when the
  // source had none.
  std::vector<D3DVECTOR> normals;
  std::vector<uint32_t> normal_indices;
  // Optional, one entry per position.
  std::vector<D3DVALUE> texcoords;  // u0, v0, u1, v1, ...
  std::vector<D3DCOLOR> vertex_colors;
  // Optional materials; face_materials has one entry per face when materials exist.
  std::vector<MeshMaterial> materials;
  std::vector<uint32_t> face_materials;

  size_t FaceCount() const { return face_sizes.size(); }
  // Triangles after fanning every face of three or more corners.
  size_t TriangleCount() const;
  // Groups a mesh made from this data has: one per distinct material that faces use (in
  // order of first use), or one when there are faces but no materials.
  size_t GroupCount() const;
  // Appends `other`, offsetting its indices.
  void Append(const MeshData& other);
  void Clear();
  // Replaces the normals by one per position: the area-weighted mean of the normals of the
  // faces that use it; normal_indices then equal face_indices.
  void GenerateNormals();
};

// Normal of a polygon, twice its area long (Newell's sum, so slightly bent polygons work
// too). Left-handed: corners that run clockwise as seen looking along +z give a normal
// toward -z. `at(k)` yields corner k.
template <class CornerAt>
D3DVECTOR PolygonAreaNormal(size_t n, CornerAt at) {
  double x = 0, y = 0, z = 0;
  for (size_t i = 0; i < n; ++i) {
    const D3DVECTOR a = at(i), b = at(i + 1 == n ? 0 : i + 1);
    x += (double(a.y) - b.y) * (double(a.z) + b.z);
    y += (double(a.z) - b.z) * (double(a.x) + b.x);
    z += (double(a.x) - b.x) * (double(a.y) + b.y);
  }
  return {static_cast<D3DVALUE>(x), static_cast<D3DVALUE>(y), static_cast<D3DVALUE>(z)};
}

// Unit length, or (0, 0, 0) for a vector too short to have a direction.
inline D3DVECTOR NormalizedOrZero(D3DVECTOR v) {
  const double len = std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
  if (!(len > 1e-30)) return {0, 0, 0};
  return {static_cast<D3DVALUE>(v.x / len), static_cast<D3DVALUE>(v.y / len),
          static_cast<D3DVALUE>(v.z / len)};
}
