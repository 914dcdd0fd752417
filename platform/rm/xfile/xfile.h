// Reading and writing .x mesh files: text, binary and compressed encodings.
#pragma once

#include <string>

#include "platform/rm/mesh_data.h"
#include "platform/rm/types.h"

namespace xfile {

// Parses a whole file held in memory. Every mesh of the file, in every nested frame, is
// appended to `out` with its frames' transforms applied. Returns D3DRM_OK, or
// D3DRMERR_BADFILE (damaged, truncated or unsupported input) with `out` unchanged
// (D3DRMERR_BADALLOC, also with `out` unchanged, when memory runs out).
HRESULT Read(const unsigned char* data, size_t size, MeshData* out);

// Serialises one mesh. format is D3DRMXOF_BINARY, D3DRMXOF_TEXT or D3DRMXOF_COMPRESSED;
// options are the D3DRMXOFSAVE_* flags (what to write besides positions and faces).
// Vertex colours are written whenever the mesh has them. Data whose indices or array sizes
// do not agree gives D3DRMERR_BADVALUE and leaves `out` unchanged.
HRESULT Write(const MeshData& mesh, D3DRMXOFFORMAT format, D3DRMSAVEOPTIONS options, std::string* out);

}  // namespace xfile
