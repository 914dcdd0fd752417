// The generated table behind FindResourceBytes.
#pragma once

#include <cstddef>

struct ResourceEntry {
  const char* type;
  int id;
  const unsigned char* data;
  size_t size;
};

extern const ResourceEntry kResourceTable[];
extern const size_t kResourceCount;
