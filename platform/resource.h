// The executable's embedded resources: (type, id) -> bytes, generated at build time from
// the files in resources/. Both platform layers look resources up here.
#pragma once

#include <cstddef>
#include <cstdint>

#define MAKEINTRESOURCEA(i) (reinterpret_cast<const char*>(static_cast<uintptr_t>(static_cast<uint16_t>(i))))
#define IS_INTRESOURCE(p) ((reinterpret_cast<uintptr_t>(p) >> 16) == 0)

struct ResourceBytes {
  const unsigned char* data = nullptr;
  size_t size = 0;
};

// Looks a resource up by type and name. Either may be a string or a MAKEINTRESOURCEA
// integer; a string of the form "#12" names the integer 12. Returns {nullptr, 0} when the
// resource does not exist.
ResourceBytes FindResourceBytes(const char* type, const char* name);
