// The identity-cell pools of the three kinds of element.
#include <cstddef>

#include "model/element_records.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
// A returned cell is poisoned, so a reference left over from a removed element still
// faults when it is read, as it would on a freed heap block.
#define FACETRY_POISON_CELL(cell) ASAN_POISON_MEMORY_REGION(cell, sizeof(int))
#define FACETRY_UNPOISON_CELL(cell) ASAN_UNPOISON_MEMORY_REGION(cell, sizeof(int))
#else
#define FACETRY_POISON_CELL(cell) ((void)(cell))
#define FACETRY_UNPOISON_CELL(cell) ((void)(cell))
#endif

IdCell IdCellPool::Take(int value) {
  IdCell cell;
  if (!returned_.empty()) {
    cell = returned_.back();
    returned_.pop_back();
    FACETRY_UNPOISON_CELL(cell);
  } else {
    if (used_in_last_ == kBlockCells) {
      blocks_.push_back(std::make_unique<int[]>(kBlockCells));
      used_in_last_ = 0;
    }
    cell = &blocks_.back()[used_in_last_++];
  }
  *cell = value;
  return cell;
}

void IdCellPool::Give(IdCell cell) {
  if (!cell) return;
  returned_.push_back(cell);
  FACETRY_POISON_CELL(cell);
}

IdCellPool& PointCells() {
  static auto* pool = new IdCellPool;
  return *pool;
}

IdCellPool& WireCells() {
  static auto* pool = new IdCellPool;
  return *pool;
}

IdCellPool& FaceCells() {
  static auto* pool = new IdCellPool;
  return *pool;
}
