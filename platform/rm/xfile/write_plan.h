// What a save writes, decided once from the options and the data, and the encoders that
// write it.
#pragma once

#include <string>

#include "platform/rm/mesh_data.h"

namespace xfile {

struct WritePlan {
  bool templates = false;
  bool materials = false;      // a MeshMaterialList with inline materials
  bool texture_names = false;  // a TextureFilename in each material that names one
  bool normals = false;
  bool texcoords = false;
  bool vertex_colors = false;
};

// Both append a complete file, header included, to `out`.
void WriteText(const MeshData& mesh, const WritePlan& plan, std::string* out);
void WriteBinary(const MeshData& mesh, const WritePlan& plan, std::string* out);

// Turns a complete binary or text file into its compressed form (header "bzip"/"tzip").
bool CompressFile(const std::string& file, std::string* out);

}  // namespace xfile
