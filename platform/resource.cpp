#include "platform/resource.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "platform/resource_table.h"

namespace {

// A name given as an integer, or as "#n", yields n; any other string yields -1.
int ResourceNumber(const char* name) {
  if (IS_INTRESOURCE(name)) return static_cast<int>(reinterpret_cast<uintptr_t>(name));
  if (name[0] != '#') return -1;
  char* end = nullptr;
  long n = std::strtol(name + 1, &end, 10);
  return (*end == '\0' && n >= 0 && n <= 0xffff) ? static_cast<int>(n) : -1;
}

}  // namespace

ResourceBytes FindResourceBytes(const char* type, const char* name) {
  if (!type || !name || IS_INTRESOURCE(type)) return {};
  const int id = ResourceNumber(name);
  if (id < 0) return {};
  for (size_t i = 0; i < kResourceCount; ++i) {
    const ResourceEntry& e = kResourceTable[i];
    if (e.id == id && strcasecmp(e.type, type) == 0) return {e.data, e.size};
  }
  return {};
}
