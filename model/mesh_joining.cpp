#include "model/mesh_joining.h"

PositionKey KeyOf(const _D3DVECTOR& v) {
  PositionKey k{};
  const float c[3] = {v.x == 0.0f ? 0.0f : v.x, v.y == 0.0f ? 0.0f : v.y, v.z == 0.0f ? 0.0f : v.z};
  std::memcpy(k.bits, c, sizeof c);
  return k;
}

uint64_t HashOf(const PositionKey& k) {
  uint64_t h = 0x9E3779B97F4A7C15ull;
  for (uint32_t b : k.bits) h = (h ^ b) * 0xBF58476D1CE4E5B9ull;
  return h ^ (h >> 31);
}

// Both ends list every wire, so s's list holds every candidate: the cost is s's degree.
void JoiningWires(Polygoni& m, int s, int t, int* lowest, int* highest) {
  *lowest = *highest = -1;
  const PointStuff& from = m.pointdata[s];
  const IdCell tid = m.pointdata[t].id;
  for (uint32_t k = 0; k < from.num_connected; ++k) {
    const int w = *from.connectedwire[k];
    const WireStuff& wire = m.wiredata[w];
    const bool joins = (wire.points[0] == from.id && wire.points[1] == tid) ||
                       (wire.points[0] == tid && wire.points[1] == from.id);
    if (!joins) continue;
    if (*lowest < 0 || w < *lowest) *lowest = w;
    if (w > *highest) *highest = w;
  }
}

int NewWire(Polygoni& m, int a, int b) {
  m.createindex += 1;
  m.AllocWire(+1);
  _D3DVECTOR at = m.pointdata[a].point;
  m.MakeWire(&at);
  WireStuff& w = m.wiredata[m.createindex];
  w.points[0] = m.pointdata[a].id;
  w.points[1] = m.pointdata[b].id;
  w.order = -1;
  if (w.wireframes && FAILED(w.wireframes->SetColorRGB(0.3f, 0.3f, 1.0f))) m.generic_error();
  for (int end : {a, b}) {
    m.AllocConnectedWire(end);
    PointStuff& p = m.pointdata[end];
    p.connectedwire[p.num_connected - 1] = w.id;
  }
  return m.createindex;
}
