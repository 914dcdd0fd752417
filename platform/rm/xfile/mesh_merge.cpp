#include "platform/rm/xfile/mesh_merge.h"

#include <cmath>

namespace xfile {

namespace {

constexpr D3DCOLOR kWhite = 0xFFFFFFFFu;

// Gives a mesh without materials one white material used by all its faces.
void AddDefaultMaterial(MeshData* mesh) {
  mesh->materials.assign(1, MeshMaterial{});
  mesh->face_materials.assign(mesh->face_sizes.size(), 0);
}

template <typename T>
void AppendOffset(std::vector<T>* dst, const std::vector<T>& src, T offset) {
  size_t at = dst->size();
  dst->resize(at + src.size());
  for (size_t i = 0; i < src.size(); ++i) (*dst)[at + i] = src[i] + offset;
}

template <typename T>
void AppendAll(std::vector<T>* dst, const std::vector<T>& src) {
  dst->insert(dst->end(), src.begin(), src.end());
}

}  // namespace

bool IsEmpty(const MeshData& m) {
  return m.positions.empty() && m.face_sizes.empty() && m.face_indices.empty() && m.normals.empty() &&
         m.normal_indices.empty() && m.texcoords.empty() && m.vertex_colors.empty() && m.materials.empty() &&
         m.face_materials.empty();
}

void ComputeFaceNormals(MeshData* mesh) {
  mesh->normals.clear();
  mesh->normals.reserve(mesh->face_sizes.size());
  mesh->normal_indices.resize(mesh->face_indices.size());
  size_t at = 0;
  for (size_t f = 0; f < mesh->face_sizes.size(); ++f) {
    uint32_t k = mesh->face_sizes[f];
    // Newell's method: robust for polygons that are not quite planar.
    double nx = 0, ny = 0, nz = 0;
    for (uint32_t i = 0; i < k; ++i) {
      const D3DVECTOR& a = mesh->positions[mesh->face_indices[at + i]];
      const D3DVECTOR& b = mesh->positions[mesh->face_indices[at + (i + 1) % k]];
      nx += (double{a.y} - b.y) * (double{a.z} + b.z);
      ny += (double{a.z} - b.z) * (double{a.x} + b.x);
      nz += (double{a.x} - b.x) * (double{a.y} + b.y);
    }
    double len = std::sqrt(nx * nx + ny * ny + nz * nz);
    D3DVECTOR n{0, 0, 0};
    if (len > 0 && std::isfinite(len)) {
      n = {static_cast<float>(nx / len), static_cast<float>(ny / len), static_cast<float>(nz / len)};
    }
    uint32_t index = static_cast<uint32_t>(mesh->normals.size());
    mesh->normals.push_back(n);
    for (uint32_t i = 0; i < k; ++i) mesh->normal_indices[at + i] = index;
    at += k;
  }
}

void AppendMeshData(MeshData* dst, MeshData&& src) {
  if (IsEmpty(*dst)) {
    *dst = std::move(src);
    return;
  }
  bool dst_normals = !dst->normal_indices.empty(), src_normals = !src.normal_indices.empty();
  if (dst_normals && !src_normals) ComputeFaceNormals(&src);
  if (src_normals && !dst_normals) ComputeFaceNormals(dst);
  bool dst_materials = !dst->materials.empty(), src_materials = !src.materials.empty();
  if (dst_materials && !src_materials) AddDefaultMaterial(&src);
  if (src_materials && !dst_materials) AddDefaultMaterial(dst);
  bool dst_uv = !dst->texcoords.empty(), src_uv = !src.texcoords.empty();
  if (dst_uv || src_uv) {
    dst->texcoords.resize(dst->positions.size() * 2, 0.0f);
    src.texcoords.resize(src.positions.size() * 2, 0.0f);
  }
  bool dst_colors = !dst->vertex_colors.empty(), src_colors = !src.vertex_colors.empty();
  if (dst_colors || src_colors) {
    dst->vertex_colors.resize(dst->positions.size(), kWhite);
    src.vertex_colors.resize(src.positions.size(), kWhite);
  }

  uint32_t vertex_offset = static_cast<uint32_t>(dst->positions.size());
  uint32_t normal_offset = static_cast<uint32_t>(dst->normals.size());
  uint32_t material_offset = static_cast<uint32_t>(dst->materials.size());
  AppendAll(&dst->positions, src.positions);
  AppendAll(&dst->face_sizes, src.face_sizes);
  AppendOffset(&dst->face_indices, src.face_indices, vertex_offset);
  AppendAll(&dst->normals, src.normals);
  AppendOffset(&dst->normal_indices, src.normal_indices, normal_offset);
  AppendAll(&dst->texcoords, src.texcoords);
  AppendAll(&dst->vertex_colors, src.vertex_colors);
  AppendAll(&dst->materials, src.materials);
  AppendOffset(&dst->face_materials, src.face_materials, material_offset);
}

}  // namespace xfile
