// What the object parser collects from a file before meshes are placed and merged:
// frames with their local matrices, meshes in file order, and named materials that
// material lists may refer to.
#pragma once

#include <string>
#include <vector>

#include "platform/rm/mesh_data.h"
#include "platform/rm/types.h"

namespace xfile {

struct SceneFrame {
  // Row-vector layout, translation in elements 12..14.
  float matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  int parent = -1;
};

// A material of a material list: given inline, or a reference resolved once the whole
// file is known.
struct MaterialSlot {
  MeshMaterial material;
  bool is_reference = false;
  std::string reference_name;
  bool reference_has_guid = false;
  GUID reference_guid{};
};

struct SceneMesh {
  // face_materials holds indices into `slots` (padded to `material_count`); `materials`
  // stays empty until references are resolved.
  MeshData data;
  int frame = -1;
  bool has_material_list = false;
  uint32_t material_count = 0;
  std::vector<MaterialSlot> slots;
};

struct NamedMaterial {
  std::string name;
  bool has_guid = false;
  GUID guid{};
  MeshMaterial material;
};

struct Scene {
  std::vector<SceneFrame> frames;
  std::vector<SceneMesh> meshes;
  std::vector<NamedMaterial> materials;
};

}  // namespace xfile
