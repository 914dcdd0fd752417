// xfile::Write: checks that the data is consistent, decides what to write, and hands it
// to the encoder of the requested format.
#include "platform/rm/xfile/write_plan.h"
#include "platform/rm/xfile/xfile.h"

#include <new>

namespace xfile {

namespace {

// The encoders index freely; anything a reader would reject is refused here instead.
bool IsConsistent(const MeshData& m) {
  // Every count goes into a DWORD.
  if (m.positions.size() > UINT32_MAX / 3 || m.face_indices.size() > UINT32_MAX / 2) return false;
  size_t corners = 0;
  for (uint32_t k : m.face_sizes) {
    if (k == 0) return false;
    corners += k;
  }
  if (corners != m.face_indices.size()) return false;
  for (uint32_t i : m.face_indices) {
    if (i >= m.positions.size()) return false;
  }
  if (!m.normal_indices.empty()) {
    if (m.normal_indices.size() != m.face_indices.size()) return false;
    for (uint32_t i : m.normal_indices) {
      if (i >= m.normals.size()) return false;
    }
  }
  if (!m.texcoords.empty() && m.texcoords.size() != m.positions.size() * 2) return false;
  if (!m.vertex_colors.empty() && m.vertex_colors.size() != m.positions.size()) return false;
  if (!m.materials.empty()) {
    if (m.face_materials.size() != m.face_sizes.size()) return false;
    for (uint32_t i : m.face_materials) {
      if (i >= m.materials.size()) return false;
    }
  }
  return true;
}

}  // namespace

HRESULT Write(const MeshData& mesh, D3DRMXOFFORMAT format, D3DRMSAVEOPTIONS options, std::string* out) {
  if (!out) return D3DRMERR_BADVALUE;
  if (format != D3DRMXOF_BINARY && format != D3DRMXOF_TEXT && format != D3DRMXOF_COMPRESSED)
    return D3DRMERR_BADVALUE;
  if (!IsConsistent(mesh)) return D3DRMERR_BADVALUE;
  WritePlan plan;
  plan.templates = (options & D3DRMXOFSAVE_TEMPLATES) != 0;
  plan.materials = (options & D3DRMXOFSAVE_MATERIALS) && !mesh.materials.empty();
  plan.texture_names = plan.materials && (options & D3DRMXOFSAVE_TEXTURENAMES);
  plan.normals = (options & D3DRMXOFSAVE_NORMALS) && !mesh.normal_indices.empty();
  plan.texcoords = (options & D3DRMXOFSAVE_TEXTURECOORDINATES) && !mesh.texcoords.empty();
  plan.vertex_colors = !mesh.vertex_colors.empty();
  if (plan.texture_names && format == D3DRMXOF_TEXT) {
    // The text encoding has no escapes: a quote cannot appear inside a string.
    for (const MeshMaterial& m : mesh.materials) {
      if (m.texture.find('"') != std::string::npos) return D3DRMERR_BADVALUE;
    }
  }
  try {
    std::string file;
    if (format == D3DRMXOF_TEXT) {
      WriteText(mesh, plan, &file);
    } else {
      WriteBinary(mesh, plan, &file);
    }
    if (format == D3DRMXOF_COMPRESSED) {
      std::string packed;
      if (!CompressFile(file, &packed)) return DDERR_GENERIC;
      file = std::move(packed);
    }
    *out = std::move(file);
    return D3DRM_OK;
  } catch (const std::bad_alloc&) {
    return D3DRMERR_BADALLOC;
  }
}

}  // namespace xfile
