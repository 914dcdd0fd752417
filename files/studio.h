// The 3DS reader and writer's open file and parse state.
#pragma once

#include <cstdio>

class Studio {
 public:
  Studio() = default;
  ~Studio() {
    if (bin3ds) std::fclose(bin3ds);
  }
  Studio(const Studio&) = delete;
  Studio& operator=(const Studio&) = delete;

  FILE* bin3ds = nullptr;  // the file being read or written
};

extern Studio studio;
