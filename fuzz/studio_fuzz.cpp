// The 3DS reader on a file in memory. A parse it does not call damaged must leave counts
// that its arrays back, since the open path indexes the arrays by them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "files/studio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;  // a memory stream needs a byte; the open path refuses empty files
  Studio s;
  s.bin3ds = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!s.bin3ds) std::abort();
  s.ReadPrimaryChunk();
  std::fclose(s.bin3ds);
  if (!s.damaged && (s.verts.size() < s.vertex_count || s.facesl.size() < s.face_count)) std::abort();
  return 0;
}
