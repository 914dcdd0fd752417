// Helpers for building mesh pieces from positions, shared by paste and file loading:
// positions as exact keys, and finding or making the wire between two points.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>

#include "model/polygoni.h"

// A position as a key: coordinates equal as floats give equal keys (so 0 and -0 meet);
// a NaN matches only its own bits.
struct PositionKey {
  uint32_t bits[3];
  bool operator==(const PositionKey&) const = default;
};
PositionKey KeyOf(const _D3DVECTOR& v);
uint64_t HashOf(const PositionKey& k);
struct PositionHash {
  size_t operator()(const PositionKey& k) const { return static_cast<size_t>(HashOf(k)); }
};

// The lowest- and highest-indexed wires joining points s and t in either direction, or -1.
void JoiningWires(Polygoni& m, int s, int t, int* lowest, int* highest);
// A new finished wire from a to b (blue, listed by both); returns its index.
int NewWire(Polygoni& m, int a, int b);
