// Reading and writing .x mesh files: text, binary and compressed encodings.
#pragma once

#include <string>

#include "platform/rm/mesh_data.h"
#include "platform/rm/types.h"

namespace xfile {

// Parses a whole file held in memory. Every mesh of the file, in every nested frame, is
// appended to `out` with its frames' transforms applied. Returns D3DRM_OK, or
// D3DRMERR_BADFILE (damaged, truncated or unsupported input) with `out` unchanged.
HRESULT Read(const unsigned char* data, size_t size, MeshData* out);

// Serialises one mesh. format is D3DRMXOF_BINARY or D3DRMXOF_TEXT; options are the
// D3DRMXOFSAVE_* flags (what to write besides positions and faces).
HRESULT Write(const MeshData& mesh, D3DRMXOFFORMAT format, D3DRMSAVEOPTIONS options, std::string* out);

}  // namespace xfile
