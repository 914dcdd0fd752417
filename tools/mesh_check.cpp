#include "tools/mesh_check.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace {

// A position's bits, with -0 taken as 0 so that equal positions share a key. NaN
// coordinates compare unequal to everything, so such a vertex stays on its own.
uint64_t Bits(float f) {
  if (f == 0.0f) f = 0.0f;
  uint32_t u;
  std::memcpy(&u, &f, sizeof u);
  return u;
}

struct Key {
  uint64_t xy, z;
  bool operator==(const Key&) const = default;
};
struct KeyHash {
  size_t operator()(const Key& k) const { return std::hash<uint64_t>()(k.xy * 0x9E3779B97F4A7C15ull ^ k.z); }
};

// For each vertex, the first vertex at exactly its position.
std::vector<uint32_t> Weld(const std::vector<D3DVECTOR>& positions) {
  std::vector<uint32_t> first(positions.size());
  std::unordered_map<Key, uint32_t, KeyHash> at;
  at.reserve(positions.size());
  for (uint32_t i = 0; i < positions.size(); ++i) {
    const D3DVECTOR& p = positions[i];
    if (std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z)) {
      first[i] = i;
      continue;
    }
    first[i] = at.try_emplace(Key{Bits(p.x) << 32 | Bits(p.y), Bits(p.z)}, i).first->second;
  }
  return first;
}

// Whether the polygon through these positions has no area: its Newell normal (twice the
// area) is nothing next to its size, measured by the longest corner-to-corner span.
bool HasNoArea(const std::vector<D3DVECTOR>& positions, const std::vector<uint32_t>& corners) {
  double nx = 0, ny = 0, nz = 0, span = 0;
  const size_t n = corners.size();
  for (size_t k = 0; k < n; ++k) {
    const D3DVECTOR& a = positions[corners[k]];
    const D3DVECTOR& b = positions[corners[k + 1 == n ? 0 : k + 1]];
    nx += (double(a.y) - b.y) * (double(a.z) + b.z);
    ny += (double(a.z) - b.z) * (double(a.x) + b.x);
    nz += (double(a.x) - b.x) * (double(a.y) + b.y);
    span = std::max({span, std::abs(double(a.x) - b.x), std::abs(double(a.y) - b.y), std::abs(double(a.z) - b.z)});
  }
  const double twice_area = std::sqrt(nx * nx + ny * ny + nz * nz);
  // A NaN corner gives a NaN area, which is no area either.
  return !(twice_area > 1e-9 * span * span);
}

}  // namespace

MeshCheck CheckMesh(const MeshData& mesh) {
  MeshCheck check;
  const std::vector<D3DVECTOR>& positions = mesh.positions;
  check.vertices = positions.size();
  check.faces = mesh.FaceCount();
  const std::vector<uint32_t> welded = Weld(positions);
  std::vector<bool> used(positions.size(), false);
  std::unordered_map<uint64_t, uint32_t> edge_uses;
  edge_uses.reserve(mesh.face_indices.size());

  std::vector<uint32_t> corners, distinct;
  size_t at = 0;
  for (uint32_t n : mesh.face_sizes) {
    corners.clear();
    bool missing = false;
    for (uint32_t k = 0; k < n; ++k) {
      const uint32_t v = mesh.face_indices[at + k];
      if (v >= positions.size()) {
        missing = true;
        continue;
      }
      used[v] = true;
      corners.push_back(welded[v]);
    }
    at += n;
    distinct = corners;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    if (missing || distinct.size() < 3) {
      // Not a polygon: its "edges" would only double-count the real ones.
      ++check.degenerate_faces;
      continue;
    }
    if (HasNoArea(positions, corners)) ++check.degenerate_faces;
    for (size_t k = 0; k < corners.size(); ++k) {
      const uint32_t a = corners[k], b = corners[k + 1 == corners.size() ? 0 : k + 1];
      if (a == b) continue;
      const uint64_t key = uint64_t{std::min(a, b)} << 32 | std::max(a, b);
      if (++edge_uses[key] == 3) ++check.nonmanifold_edges;
    }
  }
  check.edges = edge_uses.size();
  check.unreferenced_vertices = static_cast<size_t>(std::count(used.begin(), used.end(), false));
  return check;
}
