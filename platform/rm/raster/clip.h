// Clipping in homogeneous space, before the perspective divide.
#pragma once

#include <cstdint>

#include "platform/rm/raster/raster.h"

namespace raster {

// Outcode bits: the planes a corner lies outside of. The first six are clipped against;
// the viewport bits only let whole primitives be rejected early (the viewport edges
// themselves are handled per pixel by the scissor).
enum : uint32_t {
  kOutFront = 1u << 0,  // z < 0
  kOutBack = 1u << 1,   // z > w
  kOutGuardRight = 1u << 2,
  kOutGuardLeft = 1u << 3,
  kOutGuardTop = 1u << 4,
  kOutGuardBottom = 1u << 5,
  kOutRight = 1u << 6,
  kOutLeft = 1u << 7,
  kOutTop = 1u << 8,
  kOutBottom = 1u << 9,
  kNonFinite = 1u << 10,
  kClipPlanes = 0x3Fu,
};

// A corner with a non-finite coordinate gets every bit.
uint32_t Outcode(const ClipVertex& c);

// A triangle clipped against six planes gains at most one corner per plane; the room to
// spare absorbs rounding that could make a nearly flat polygon cross a plane twice.
constexpr int kMaxClipCorners = 16;

// Clips the convex polygon poly[0..n) against the planes in mask (kClipPlanes bits), in
// place; returns the new corner count (0 when nothing is left). Corners created on a plane
// are computed from the inside corner towards the outside one, so an edge shared by two
// triangles is cut at the same point whichever way each triangle runs along it.
int ClipPolygon(ClipVertex* poly, int n, uint32_t mask);

// Clips the segment a-b against the planes in mask; false when nothing is left.
bool ClipSegment(ClipVertex* a, ClipVertex* b, uint32_t mask);

}  // namespace raster
