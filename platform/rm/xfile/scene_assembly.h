// Turns a parsed Scene into one MeshData: material references resolved, every mesh placed
// by the product of its frames' matrices, meshes appended in file order.
#pragma once

#include "platform/rm/mesh_data.h"
#include "platform/rm/xfile/scene.h"

namespace xfile {

// False when a material list refers to a material the file does not define.
bool AssembleScene(Scene* scene, MeshData* result);

}  // namespace xfile
