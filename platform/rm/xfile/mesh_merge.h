// Appending one mesh's data to another while keeping the optional arrays aligned: when
// only one side has normals, texture coordinates, vertex colours or materials, the other
// side gets defaults (flat face normals, (0, 0), white, a white material).
#pragma once

#include "platform/rm/mesh_data.h"

namespace xfile {

bool IsEmpty(const MeshData& mesh);

void AppendMeshData(MeshData* dst, MeshData&& src);

// One normal per face (its polygon's normal, or zero when degenerate), indexed by every
// corner of the face.
void ComputeFaceNormals(MeshData* mesh);

}  // namespace xfile
