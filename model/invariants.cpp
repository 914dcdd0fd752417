// A check of everything the model's cross-references and containers promise. Tests run
// it after every step; it names the first broken promise it finds.
#include <algorithm>
#include <array>
#include <sstream>
#include <unordered_set>
#include <utility>
#include <vector>

#include "model/polygoni.h"

namespace {

// Chain shape and counts of one container.
template <class Keeper>
std::optional<std::string> CheckChain(const char* name, Keeper& keeper, int count) {
  std::ostringstream out;
  out << name << ": ";
  if (!keeper.first_ptr) return out.str() + "no first group";
  const int groups = static_cast<int>(keeper.num_groups);
  if (count < 0) return out.str() + "negative count " + std::to_string(count);
  if (count != kGroupSize * (groups - 1) + keeper.inlastgroup) {
    out << "count " << count << " disagrees with " << groups << " groups and " << keeper.inlastgroup
        << " in the last";
    return out.str();
  }
  if (count > 0 && (keeper.inlastgroup < 1 || keeper.inlastgroup > kGroupSize))
    return out.str() + "last group holds " + std::to_string(keeper.inlastgroup);
  if (count == 0 && (groups != 1 || keeper.inlastgroup != 0))
    return out.str() + "empty but not one empty group";
  if (keeper.GroupsAllocated() != static_cast<size_t>(groups))
    return out.str() + "group table holds " + std::to_string(keeper.GroupsAllocated()) + " groups";
  int k = 0;
  auto* last = keeper.first_ptr;
  for (auto* g = keeper.first_ptr; g; g = g->next_ptr, ++k) {
    if (k >= groups) return out.str() + "chain longer than its group count";
    if (g != keeper.GroupAt(static_cast<size_t>(k)))
      return out.str() + "group table out of step at " + std::to_string(k);
    if (g->first_element != static_cast<uint32_t>(kGroupSize * k))
      return out.str() + "group " + std::to_string(k) + " starts at " + std::to_string(g->first_element);
    last = g;
  }
  if (k != groups) return out.str() + "chain shorter than its group count";
  if (last != keeper.last_ptr) return out.str() + "last_ptr is not the chain's end";

  // Every slot owns a cell of its own; live slots' cells hold their indices, which already
  // keeps live cells distinct. Spare cells must not be shared with any other slot.
  std::unordered_set<const int*> spare;
  for (int i = 0; i < keeper.Slots(); ++i) {
    const int* id = keeper[i].id;
    if (!id) return out.str() + "slot " + std::to_string(i) + " has no identity cell";
    if (i < count) {
      if (*id != i)
        return out.str() + "identity cell of " + std::to_string(i) + " holds " + std::to_string(*id);
      continue;
    }
    const bool names_live = *id >= 0 && *id < count && keeper[*id].id == id;
    if (names_live || !spare.insert(id).second)
      return out.str() + "spare slot " + std::to_string(i) + " shares an identity cell";
  }
  return std::nullopt;
}

bool Attached(IDirect3DRMFrame* frame, IDirect3DRMVisual* visual) {
  for (IDirect3DRMVisual* v : frame->Visuals())
    if (v == visual) return true;
  return false;
}

std::pair<int, int> Edge(int a, int b) { return a < b ? std::pair{a, b} : std::pair{b, a}; }

std::string Where(const char* kind, int i) { return std::string(kind) + " " + std::to_string(i) + ": "; }

}  // namespace

std::optional<std::string> Polygoni::CheckInvariants() {
  if (auto e = CheckChain("points", pointdata, num_points)) return e;
  if (auto e = CheckChain("wires", wiredata, num_wireframes)) return e;
  if (auto e = CheckChain("faces", facedata, num_faces)) return e;

  auto live_point = [&](IdCell c) { return c && *c >= 0 && *c < num_points && pointdata[*c].id == c; };
  auto live_wire = [&](IdCell c) { return c && *c >= 0 && *c < num_wireframes && wiredata[*c].id == c; };
  auto lists = [&](int p, int w) {
    const PointStuff& point = pointdata[p];
    for (uint32_t k = 0; k < point.num_connected; ++k)
      if (point.connectedwire[k] && *point.connectedwire[k] == w) return true;
    return false;
  };

  for (int w = 0; w < num_wireframes; ++w) {
    const WireStuff& wire = wiredata[w];
    for (int end = 0; end < 2; ++end) {
      IdCell c = wire.points[end];
      // Only the rubber band lacks its second end.
      if (!c && end == 1 && wire.callback) continue;
      if (!live_point(c)) return Where("wire", w) + "end " + std::to_string(end) + " is not a live point";
      if (!lists(*c, w)) return Where("wire", w) + "end point " + std::to_string(*c) + " does not list it";
    }
    if (wire.wireframes && wire.wiremeshes && wire.vis != Attached(wire.wireframes, wire.wiremeshes))
      return Where("wire", w) + "vis disagrees with its frame";
  }

  for (int p = 0; p < num_points; ++p) {
    const PointStuff& point = pointdata[p];
    if (point.num_connected > point.connected_capacity || (point.connected_capacity == 0) != !point.connectedwire)
      return Where("point", p) + "connected-wire array and count disagree";
    for (uint32_t k = 0; k < point.num_connected; ++k) {
      IdCell c = point.connectedwire[k];
      if (!live_wire(c)) return Where("point", p) + "entry " + std::to_string(k) + " is not a live wire";
      const WireStuff& wire = wiredata[*c];
      if (wire.points[0] != point.id && wire.points[1] != point.id)
        return Where("point", p) + "lists wire " + std::to_string(*c) + ", which does not end there";
      for (uint32_t j = 0; j < k; ++j)
        if (point.connectedwire[j] == c)
          return Where("point", p) + "lists wire " + std::to_string(*c) + " twice";
    }
    if (point.frames && point.meshes && point.vis != Attached(point.frames, point.meshes))
      return Where("point", p) + "vis disagrees with its frame";
  }

  for (int f = 0; f < num_faces; ++f) {
    const FaceStuff& face = facedata[f];
    for (int k = 0; k < 3; ++k) {
      if (!live_point(face.points[k]))
        return Where("face", f) + "corner " + std::to_string(k) + " is not a live point";
      if (!live_wire(face.sides[k]))
        return Where("face", f) + "side " + std::to_string(k) + " is not a live wire";
    }
    const int c0 = *face.points[0], c1 = *face.points[1], c2 = *face.points[2];
    auto corner = [&](IdCell c) { return c && (*c == c0 || *c == c1 || *c == c2); };
    std::array<std::pair<int, int>, 3> joined;
    for (int k = 0; k < 3; ++k) {
      const WireStuff& side = wiredata[*face.sides[k]];
      if (!corner(side.points[0]) || !corner(side.points[1]))
        return Where("face", f) + "side " + std::to_string(k) + " does not join two of its corners";
      joined[k] = Edge(*side.points[0], *side.points[1]);
    }
    // With three distinct corners the sides must be the triangle's three edges.
    std::array<std::pair<int, int>, 3> edges = {Edge(c0, c1), Edge(c1, c2), Edge(c0, c2)};
    std::sort(joined.begin(), joined.end());
    std::sort(edges.begin(), edges.end());
    if (c0 != c1 && c1 != c2 && c0 != c2 && joined != edges)
      return Where("face", f) + "sides do not run around its corners";
  }

  // QueryWire answers from the wires' counts; they must agree with a count over the faces.
  std::vector<int> uses(static_cast<size_t>(num_wireframes), 0);
  for (int f = 0; f < num_faces; ++f)
    for (IdCell side : facedata[f].sides) uses[static_cast<size_t>(*side)] += 1;
  for (int w = 0; w < num_wireframes; ++w)
    if (wiredata[w].face_sides != uses[static_cast<size_t>(w)])
      return Where("wire", w) + "counts " + std::to_string(wiredata[w].face_sides) + " face sides, faces name it " +
             std::to_string(uses[static_cast<size_t>(w)]) + " times";
  return std::nullopt;
}
