#include "platform/rm/mesh_data.h"

#include <algorithm>

namespace {

bool HasFaceMaterials(const MeshData& d) {
  return !d.materials.empty() && d.face_materials.size() == d.FaceCount();
}

bool HasNormals(const MeshData& d) {
  return !d.normals.empty() && d.normal_indices.size() == d.face_indices.size();
}

}  // namespace

size_t MeshData::TriangleCount() const {
  size_t n = 0;
  for (uint32_t s : face_sizes)
    if (s >= 3) n += s - 2;
  return n;
}

size_t MeshData::GroupCount() const {
  if (face_sizes.empty()) return 0;
  if (!HasFaceMaterials(*this)) return 1;
  std::vector<bool> used(materials.size(), false);
  size_t groups = 0;
  for (uint32_t m : face_materials) {
    if (m < used.size() && !used[m]) {
      used[m] = true;
      ++groups;
    }
  }
  return std::max<size_t>(groups, 1);
}

// Both sides are brought to the same optional parts before joining: a side without
// normals gets generated ones, a side without materials gets a plain white one for its
// faces, missing texture coordinates are 0 and missing vertex colours white.
void MeshData::Append(const MeshData& other_in) {
  if (other_in.positions.empty() && other_in.face_sizes.empty()) return;
  if (positions.empty() && face_sizes.empty()) {
    *this = other_in;
    return;
  }
  const MeshData* other = &other_in;
  MeshData patched;
  const bool this_normals = HasNormals(*this), other_normals = HasNormals(*other);
  if (this_normals != other_normals) {
    if (this_normals) {
      patched = *other;
      patched.GenerateNormals();
      other = &patched;
    } else {
      GenerateNormals();
    }
  } else if (!this_normals) {
    normals.clear();
    normal_indices.clear();
  }

  const bool this_materials = HasFaceMaterials(*this), other_materials = HasFaceMaterials(*other);
  if (this_materials != other_materials) {
    if (this_materials) {
      if (other != &patched) {
        patched = *other;
        other = &patched;
      }
      if (!patched.face_sizes.empty()) {
        patched.materials.assign(1, MeshMaterial{});
        patched.face_materials.assign(patched.face_sizes.size(), 0);
      }
    } else if (!face_sizes.empty()) {
      materials.assign(1, MeshMaterial{});
      face_materials.assign(face_sizes.size(), 0);
    }
  }

  const auto vertex_base = static_cast<uint32_t>(positions.size());
  const auto normal_base = static_cast<uint32_t>(normals.size());
  const auto material_base = static_cast<uint32_t>(materials.size());
  const size_t old_positions = positions.size();

  if (!texcoords.empty() || !other->texcoords.empty()) {
    texcoords.resize(old_positions * 2, 0.0f);
    if (other->texcoords.size() == other->positions.size() * 2)
      texcoords.insert(texcoords.end(), other->texcoords.begin(), other->texcoords.end());
    else
      texcoords.resize((old_positions + other->positions.size()) * 2, 0.0f);
  }
  if (!vertex_colors.empty() || !other->vertex_colors.empty()) {
    vertex_colors.resize(old_positions, 0xffffffffu);
    if (other->vertex_colors.size() == other->positions.size())
      vertex_colors.insert(vertex_colors.end(), other->vertex_colors.begin(), other->vertex_colors.end());
    else
      vertex_colors.resize(old_positions + other->positions.size(), 0xffffffffu);
  }

  positions.insert(positions.end(), other->positions.begin(), other->positions.end());
  face_sizes.insert(face_sizes.end(), other->face_sizes.begin(), other->face_sizes.end());
  face_indices.reserve(face_indices.size() + other->face_indices.size());
  for (uint32_t i : other->face_indices) face_indices.push_back(i + vertex_base);
  if (HasNormals(*other)) {
    normals.insert(normals.end(), other->normals.begin(), other->normals.end());
    normal_indices.reserve(normal_indices.size() + other->normal_indices.size());
    for (uint32_t i : other->normal_indices) normal_indices.push_back(i + normal_base);
  }
  if (HasFaceMaterials(*other)) {
    materials.insert(materials.end(), other->materials.begin(), other->materials.end());
    face_materials.reserve(face_materials.size() + other->face_materials.size());
    for (uint32_t m : other->face_materials) face_materials.push_back(m + material_base);
  }
}

void MeshData::Clear() { *this = MeshData{}; }

void MeshData::GenerateNormals() {
  std::vector<D3DVECTOR> sums(positions.size(), D3DVECTOR{0, 0, 0});
  size_t first = 0;
  for (uint32_t n : face_sizes) {
    const uint32_t* corners = face_indices.data() + first;
    // Unnormalised, so each face counts in proportion to its area.
    const D3DVECTOR fn = PolygonAreaNormal(n, [&](size_t k) { return positions[corners[k]]; });
    for (uint32_t k = 0; k < n; ++k) {
      D3DVECTOR& s = sums[corners[k]];
      s.x += fn.x;
      s.y += fn.y;
      s.z += fn.z;
    }
    first += n;
  }
  for (D3DVECTOR& s : sums) s = NormalizedOrZero(s);
  normals = std::move(sums);
  normal_indices = face_indices;
}
