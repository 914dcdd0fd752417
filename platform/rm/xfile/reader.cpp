// xfile::Read: the 16-byte header picks the encoding; the body is parsed into a local
// scene, and only a complete success touches the caller's data.
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

#include "platform/rm/xfile/binary_lexer.h"
#include "platform/rm/xfile/inflate.h"
#include "platform/rm/xfile/mesh_merge.h"
#include "platform/rm/xfile/object_parser.h"
#include "platform/rm/xfile/scene_assembly.h"
#include "platform/rm/xfile/text_lexer.h"
#include "platform/rm/xfile/xfile.h"

namespace xfile {

namespace {

constexpr size_t kHeaderSize = 16;

struct Header {
  bool text = false;
  bool compressed = false;
  size_t float_size = 4;
};

bool ParseHeader(const unsigned char* data, size_t size, Header* header) {
  if (size < kHeaderSize) return false;
  std::string_view h(reinterpret_cast<const char*>(data), kHeaderSize);
  if (h.substr(0, 4) != "xof ") return false;
  if (h.substr(4, 4) != "0302" && h.substr(4, 4) != "0303") return false;
  std::string_view format = h.substr(8, 4);
  if (format == "txt ") {
    header->text = true;
  } else if (format == "tzip") {
    header->text = header->compressed = true;
  } else if (format == "bzip") {
    header->compressed = true;
  } else if (format != "bin ") {
    return false;
  }
  std::string_view width = h.substr(12, 4);
  if (width == "0064") {
    header->float_size = 8;
  } else if (width != "0032") {
    return false;
  }
  return true;
}

bool ParseFile(const unsigned char* data, size_t size, MeshData* result) {
  Header header;
  if (!ParseHeader(data, size, &header)) return false;
  const unsigned char* body = data + kHeaderSize;
  const unsigned char* end = data + size;
  std::vector<unsigned char> inflated;
  if (header.compressed) {
    if (!InflateBody(body, size - kHeaderSize, &inflated)) return false;
    body = inflated.data();
    end = inflated.data() + inflated.size();
  }
  Scene scene;
  if (header.text) {
    TextLexer lexer(reinterpret_cast<const char*>(body), reinterpret_cast<const char*>(end));
    if (!ParseBody(lexer, &scene)) return false;
  } else {
    BinaryLexer lexer(body, end, header.float_size);
    if (!ParseBody(lexer, &scene)) return false;
  }
  return AssembleScene(&scene, result);
}

}  // namespace

HRESULT Read(const unsigned char* data, size_t size, MeshData* out) {
  if (!out || (!data && size > 0)) return D3DRMERR_BADFILE;
  try {
    MeshData result;
    if (!data || !ParseFile(data, size, &result)) return D3DRMERR_BADFILE;
    if (IsEmpty(*out)) {
      *out = std::move(result);
    } else {
      MeshData combined = *out;
      AppendMeshData(&combined, std::move(result));
      *out = std::move(combined);
    }
    return D3DRM_OK;
  } catch (const std::bad_alloc&) {
    return D3DRMERR_BADALLOC;
  }
}

}  // namespace xfile
