// The geometry a mesh builder holds and the .x reader and writer exchange: flat arrays,
// so a 100k-face file costs a handful of allocations.
#pragma once

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
};
