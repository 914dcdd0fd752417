#include "platform/rm/xfile/scene_assembly.h"

#include <array>
#include <cmath>

#include "platform/rm/xfile/material_index.h"
#include "platform/rm/xfile/mesh_merge.h"

namespace xfile {

namespace {

constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// Row vectors: a child's local matrix applies first, then its parent's.
void Multiply(const float* a, const float* b, float* out) {
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[r * 4 + k] * b[k * 4 + c];
      out[r * 4 + c] = sum;
    }
  }
}

bool IsIdentity(const float* m) {
  for (int i = 0; i < 16; ++i) {
    if (m[i] != kIdentity[i]) return false;
  }
  return true;
}

bool ResolveMaterials(const MaterialIndex& index, SceneMesh* mesh) {
  if (!mesh->has_material_list) return true;
  std::vector<MeshMaterial>& out = mesh->data.materials;
  out.clear();
  out.reserve(mesh->material_count);
  for (const MaterialSlot& slot : mesh->slots) {
    if (!slot.is_reference) {
      out.push_back(slot.material);
      continue;
    }
    const NamedMaterial* named = index.Find(slot);
    if (!named) return false;
    out.push_back(named->material);
  }
  // A list that names fewer materials than it counts gets white ones for the rest.
  out.resize(mesh->material_count);
  return true;
}

void TransformMesh(const float* m, MeshData* mesh) {
  for (D3DVECTOR& p : mesh->positions) {
    float x = p.x, y = p.y, z = p.z;
    p.x = x * m[0] + y * m[4] + z * m[8] + m[12];
    p.y = x * m[1] + y * m[5] + z * m[9] + m[13];
    p.z = x * m[2] + y * m[6] + z * m[10] + m[14];
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) p = {0, 0, 0};
  }
  if (mesh->normals.empty()) return;
  // Normals go through the inverse transpose of the 3x3 part, which for row vectors is the
  // cofactor matrix over the determinant; only the sign of the determinant matters before
  // renormalising. A singular matrix falls back to the matrix itself.
  auto a = [m](int r, int c) { return double{m[r * 4 + c]}; };
  double cof[3][3];
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
      cof[r][c] = a(r1, c1) * a(r2, c2) - a(r1, c2) * a(r2, c1);
    }
  }
  double det = a(0, 0) * cof[0][0] + a(0, 1) * cof[0][1] + a(0, 2) * cof[0][2];
  double n[3][3];
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) n[r][c] = det == 0 ? a(r, c) : (det < 0 ? -cof[r][c] : cof[r][c]);
  }
  for (D3DVECTOR& v : mesh->normals) {
    double x = v.x * n[0][0] + v.y * n[1][0] + v.z * n[2][0];
    double y = v.x * n[0][1] + v.y * n[1][1] + v.z * n[2][1];
    double z = v.x * n[0][2] + v.y * n[1][2] + v.z * n[2][2];
    double len = std::sqrt(x * x + y * y + z * z);
    if (len > 0 && std::isfinite(len)) {
      v = {static_cast<float>(x / len), static_cast<float>(y / len), static_cast<float>(z / len)};
    } else {
      v = {0, 0, 0};
    }
  }
}

}  // namespace

bool AssembleScene(Scene* scene, MeshData* result) {
  std::vector<std::array<float, 16>> world(scene->frames.size());
  for (size_t i = 0; i < scene->frames.size(); ++i) {
    const SceneFrame& f = scene->frames[i];
    const float* parent = f.parent < 0 ? kIdentity : world[static_cast<size_t>(f.parent)].data();
    Multiply(f.matrix, parent, world[i].data());
    for (float& v : world[i]) {
      if (!std::isfinite(v)) v = 0;
    }
  }
  const MaterialIndex materials(scene->materials);
  for (SceneMesh& mesh : scene->meshes) {
    if (!ResolveMaterials(materials, &mesh)) return false;
    if (mesh.frame >= 0) {
      const float* m = world[static_cast<size_t>(mesh.frame)].data();
      if (!IsIdentity(m)) TransformMesh(m, &mesh.data);
    }
    AppendMeshData(result, std::move(mesh.data));
  }
  return true;
}

}  // namespace xfile
