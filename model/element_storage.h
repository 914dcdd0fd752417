// Chunked element containers: a singly linked chain of groups of 300 records.
//
// Records never move in memory while they stay in their group: the chain grows and
// shrinks only at its end, one group at a time. The element counts, and the operations
// that grow and shrink a chain, belong to the model (Polygoni); a container offers
// indexing and the chain edits those operations are made of. A table of group pointers
// kept beside the chain makes indexing O(1).
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "model/element_records.h"

inline constexpr int kGroupSize = 300;

template <class Record>
struct ElementGroup {
  uint32_t first_element = 0;  // container index of data[0]
  ElementGroup* next_ptr = nullptr;
  Record data[kGroupSize];
};

// Reports an index outside the container and ends the program: a wrong index here would
// otherwise corrupt a user's mesh silently.
[[noreturn]] void ElementIndexFault(const char* container, long long index, long long slots);

template <class Record>
class ElementKeeper {
 public:
  using Group = ElementGroup<Record>;

  ElementKeeper(const ElementKeeper&) = delete;
  ElementKeeper& operator=(const ElementKeeper&) = delete;

  // Any index below 300 x the number of groups is valid, the spare tail included.
  Record& operator[](int i) {
    if (i < 0 || static_cast<size_t>(i) >= table_.size() * kGroupSize)
      ElementIndexFault(name_, i, static_cast<long long>(table_.size()) * kGroupSize);
    c_group = table_[static_cast<size_t>(i) / kGroupSize];
    return c_group->data[static_cast<uint32_t>(i) - c_group->first_element];
  }

  // Visits the records at indices 0 .. count - 1 in order, group by group: the whole-model
  // passes then pay no lookup per element.
  // The records are fetched a little ahead: the processor's own prefetch stops at each
  // page boundary, and these passes read only a few bytes of every record.
  template <class Fn>
  void ForEach(int count, Fn fn) {
    constexpr int kAhead = static_cast<int>(2048 / sizeof(Record)) + 1;
    for (Group* g = first_ptr; g && static_cast<int>(g->first_element) < count; g = g->next_ptr) {
      const int n = std::min(kGroupSize, count - static_cast<int>(g->first_element));
      for (int k = 0; k < n; ++k) {
        if (k + kAhead < n) __builtin_prefetch(&g->data[k + kAhead]);
        fn(g->data[k]);
      }
    }
  }

  // Links a new group of freshly constructed records behind the last one (or as the first).
  Group* AppendGroup() {
    auto* g = new Group;
    if (last_ptr) {
      g->first_element = last_ptr->first_element + kGroupSize;
      last_ptr->next_ptr = g;
    } else {
      first_ptr = g;
    }
    last_ptr = g;
    table_.push_back(g);
    return g;
  }

  // Destroys the last group; the first group is never dropped here.
  void DropLastGroup() {
    if (table_.size() < 2) return;
    delete last_ptr;
    table_.pop_back();
    last_ptr = table_.back();
    last_ptr->next_ptr = nullptr;
  }

  // Destroys every group, walking the chain from its first group.
  void DestroyChain() {
    for (Group* g = first_ptr; g;) {
      Group* next = g->next_ptr;
      delete g;
      g = next;
    }
    first_ptr = last_ptr = c_group = nullptr;
    table_.clear();
  }

  // Number of record slots (live and spare): 300 x the groups allocated.
  int Slots() const { return static_cast<int>(table_.size()) * kGroupSize; }
  size_t GroupsAllocated() const { return table_.size(); }
  Group* GroupAt(size_t k) const { return table_[k]; }

  Group* first_ptr = nullptr;
  Group* last_ptr = nullptr;
  uint32_t num_groups = 1;
  int inlastgroup = 0;
  Group* c_group = nullptr;

 protected:
  explicit ElementKeeper(const char* name) : name_(name) {}
  // Frees nothing: the model frees the groups at its tear-down.
  ~ElementKeeper() = default;

 private:
  const char* name_;
  std::vector<Group*> table_;  // table_[k] is the k-th group of the chain
};

using PointGroup = ElementGroup<PointStuff>;
using WireGroup = ElementGroup<WireStuff>;
using FaceGroup = ElementGroup<FaceStuff>;

class PointKeeper : public ElementKeeper<PointStuff> {
 public:
  PointKeeper() : ElementKeeper("PointKeeper") {}
};

class WireKeeper : public ElementKeeper<WireStuff> {
 public:
  WireKeeper() : ElementKeeper("WireKeeper") {}
};

class FaceKeeper : public ElementKeeper<FaceStuff> {
 public:
  FaceKeeper() : ElementKeeper("FaceKeeper") {}
};
