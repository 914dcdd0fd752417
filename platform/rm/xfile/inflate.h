// Compressed .x bodies: a DWORD total size, then blocks of deflate data whose history
// carries over from one block to the next.
#pragma once

#include <cstddef>
#include <vector>

namespace xfile {

// Inflates the compressed body that follows the 16-byte header. `data` starts at byte 16
// of the file. Fails on damaged blocks, and on output beyond the declared size or beyond
// 64 times the input given.
bool InflateBody(const unsigned char* data, size_t size, std::vector<unsigned char>* body);

}  // namespace xfile
