#include "platform/rm/raster/batch.h"

#include <algorithm>
#include <climits>

#include "platform/rm/raster/clip.h"
#include "platform/rm/raster/config.h"
#include "platform/rm/raster/primitive.h"

namespace raster {
namespace {

constexpr size_t kNoFaceColors = SIZE_MAX;

// Grows v to hold `used + n` elements (never shrinking) and hands out the n after `used`.
template <class T>
T* Take(std::vector<T>& v, size_t* used, size_t n) {
  if (v.size() < *used + n) v.resize(*used + n);
  T* out = v.data() + *used;
  *used += n;
  return out;
}

// Rows a primitive between snapped rows min_fy and max_fy may write, inclusive. Triangles
// write rows whose centres lie in between, lines and points the rows holding their ends or
// in between; one row of margin on each side keeps the bound safe against every rounding.
int FirstRow(int32_t min_fy) { return (min_fy >> kSubpixelBits) - 1; }
int LastRow(int32_t max_fy) { return (max_fy >> kSubpixelBits) + 1; }

// Whether a pixel centre (an integer plus one half) lies in [lo, hi], in subpixel units.
bool CentreBetween(int32_t lo, int32_t hi) {
  constexpr int64_t kHalf = kSubpixelOne / 2;
  const int64_t first = (int64_t{lo} - kHalf + kSubpixelOne - 1) >> kSubpixelBits;
  const int64_t last = (int64_t{hi} - kHalf) >> kSubpixelBits;
  return first <= last;
}

}  // namespace

void Batch::Begin(Framebuffer& fb, const Viewport& viewport) {
  fb_ = &fb;
  commands_.clear();
  clip_used_ = index_used_ = color_used_ = 0;
  pending_ = pending_index_ = pending_color_ = 0;
  triangles_ = deferred_ = 0;
  rows_ = MakeTarget(fb, viewport, RasterState{}, &base_) ? Band{base_.clip_y0, base_.clip_y1} : Band{};
}

void Batch::MakeCommandTarget(const Command& c, const Band& band, Target* t, RasterState* state) const {
  *t = base_;
  t->clip_y0 = std::max(t->clip_y0, band.y0);
  t->clip_y1 = std::min(t->clip_y1, band.y1);
  t->texture = c.textured ? &c.texture : nullptr;
  t->gouraud = c.gouraud;
  t->triangle_span = SelectSpanFn(c.gouraud, c.textured);
  t->line_span = SelectSpanFn(c.gouraud, false);
  state->fill = c.fill;
  state->shade = c.gouraud ? Shade::kGouraud : Shade::kFlat;
  state->texture = t->texture;
  state->face_colors =
      c.first_face_color != kNoFaceColors ? face_colors_.data() + c.first_face_color : nullptr;
  state->cull_back_faces = c.cull_back_faces;
}

ClipVertex* Batch::Corners(size_t n) {
  pending_ = clip_used_;
  if (corners_.size() < clip_used_ + n) corners_.resize(clip_used_ + n);
  return Take(clip_, &clip_used_, n);
}

uint32_t* Batch::Indices(size_t n) {
  pending_index_ = index_used_;
  return Take(indices_, &index_used_, n);
}

float* Batch::FaceColors(size_t ntri) {
  pending_color_ = color_used_;
  return Take(face_colors_, &color_used_, 3 * ntri);
}

void Batch::Place(Corner* out, const ClipVertex* in, size_t n, const Target& t) const {
  for (size_t i = 0; i < n; ++i) {
    Corner& k = out[i];
    k.code = Outcode(in[i]);
    ScreenVertex s;
    k.placed = !(k.code & (kClipPlanes | kNonFinite)) && ToScreen(t, in[i], &s);
    if (!k.placed) continue;
    k.fx = s.fx;
    k.fy = s.fy;
    k.z = s.z;
    k.q = s.q;
  }
}

ScreenVertex Batch::Screen(const Corner& k, const ClipVertex& c) {
  // As ToScreen fills it.
  return ScreenVertex{k.fx,
                      k.fy,
                      static_cast<float>(k.fx) * (1.0f / kSubpixelOne),
                      static_cast<float>(k.fy) * (1.0f / kSubpixelOne),
                      k.z,
                      k.q,
                      c.r,
                      c.g,
                      c.b,
                      c.u,
                      c.v};
}

void Batch::AddTriangles(const RasterState& state, size_t n, const uint32_t* indices, size_t ntri) {
  if (!fb_ || rows_.y0 >= rows_.y1 || n == 0 || ntri == 0 || !indices || pending_ + n > clip_used_) return;
  Command c;
  // The same decisions MakeTarget makes from a state.
  const Texture* tex = state.texture;
  c.textured = tex && tex->pixels && tex->width > 0 && tex->height > 0;
  c.texture = c.textured ? *tex : Texture{};
  c.gouraud = state.shade == Shade::kGouraud;
  c.fill = state.fill;
  c.cull_back_faces = state.cull_back_faces;
  c.first_face_color = state.face_colors ? pending_color_ : kNoFaceColors;
  c.first_corner = pending_;
  c.corner_count = n;
  const bool owned = index_used_ > pending_index_ && indices == indices_.data() + pending_index_;
  c.indices = owned ? nullptr : indices;
  c.owned_index = pending_index_;
  c.ntri = ntri;
  c.row0 = INT_MIN;
  c.row1 = INT_MAX;
  c.deferred = n >= kDeferredPlacement;
  if (!c.deferred) {
    Corner* corners = corners_.data() + pending_;
    const ClipVertex* in = clip_.data() + pending_;
    // An element wholly beyond one plane or viewport edge has every triangle rejected, so
    // it is dropped before any corner is put on the screen.
    uint32_t common = ~0u;
    for (size_t i = 0; i < n && common; ++i) common &= Outcode(in[i]);
    if (common) return;
    Place(corners, in, n, base_);
    int32_t lo = INT32_MAX, hi = INT32_MIN, left = INT32_MAX, right = INT32_MIN;
    bool all_placed = true;
    for (size_t i = 0; i < n; ++i) {
      if (!corners[i].placed) {
        all_placed = false;
        break;
      }
      lo = std::min(lo, corners[i].fy);
      hi = std::max(hi, corners[i].fy);
      left = std::min(left, corners[i].fx);
      right = std::max(right, corners[i].fx);
    }
    // A corner beyond a clip plane can put clipped pieces anywhere on the screen.
    if (all_placed) {
      // A solid triangle fills only pixel centres inside its corners' box, which lies in
      // this box; a distant element that fits between two rows or columns of centres draws
      // nothing at all, so it is not kept.
      if (c.fill == Fill::kSolid && (!CentreBetween(lo, hi) || !CentreBetween(left, right))) return;
      c.row0 = FirstRow(lo);
      c.row1 = LastRow(hi);
    }
  }
  commands_.push_back(c);
  triangles_ += ntri;
  if (c.deferred) deferred_ += n;
}

void Batch::PlaceCorners(int part, int parts) {
  for (const Command& c : commands_) {
    if (!c.deferred) continue;
    const size_t begin = c.corner_count * part / parts, end = c.corner_count * (part + 1) / parts;
    Place(corners_.data() + c.first_corner + begin, clip_.data() + c.first_corner + begin, end - begin,
          base_);
  }
}

void Batch::Draw(const Band& band) const {
  const Band rows{std::max(band.y0, rows_.y0), std::min(band.y1, rows_.y1)};
  if (rows.y0 >= rows.y1) return;
  for (const Command& c : commands_)
    if (c.row1 >= rows.y0 && c.row0 < rows.y1) DrawCommand(c, rows);
}

void Batch::DrawCommand(const Command& c, const Band& band) const {
  Target t;
  RasterState state;
  MakeCommandTarget(c, band, &t, &state);
  if (t.clip_y0 >= t.clip_y1) return;
  const ClipVertex* verts = clip_.data() + c.first_corner;
  const Corner* corners = corners_.data() + c.first_corner;
  const size_t n = c.corner_count;
  const uint32_t* indices = c.indices ? c.indices : indices_.data() + c.owned_index;
  const bool solid = state.fill == Fill::kSolid;
  for (size_t i = 0; i < c.ntri; ++i) {
    const uint32_t* idx = indices + 3 * i;
    if (idx[0] >= n || idx[1] >= n || idx[2] >= n) continue;
    const Corner &k0 = corners[idx[0]], &k1 = corners[idx[1]], &k2 = corners[idx[2]];
    const uint32_t o0 = k0.code, o1 = k1.code, o2 = k2.code;
    if ((o0 & o1 & o2) || ((o0 | o1 | o2) & kNonFinite)) continue;
    const uint32_t clip_mask = (o0 | o1 | o2) & kClipPlanes;
    if (!clip_mask) {
      // Every corner inside the planes but one the screen cannot hold: nothing is drawn.
      if (!(k0.placed && k1.placed && k2.placed)) continue;
      if (LastRow(std::max({k0.fy, k1.fy, k2.fy})) < t.clip_y0 ||
          FirstRow(std::min({k0.fy, k1.fy, k2.fy})) >= t.clip_y1)
        continue;
      const Color3 flat = FlatColor(state, i, verts[idx[0]]);
      const ScreenVertex s[3] = {Screen(k0, verts[idx[0]]), Screen(k1, verts[idx[1]]),
                                 Screen(k2, verts[idx[2]])};
      if (solid)
        PlacedTriangle(t, state, s[0], s[1], s[2], flat);
      else
        PlacedOutline(t, state, s, flat);
      continue;
    }
    const ClipVertex* cv[3] = {&verts[idx[0]], &verts[idx[1]], &verts[idx[2]]};
    const Color3 flat = FlatColor(state, i, *cv[0]);
    if (solid)
      SolidTriangle(t, state, cv, clip_mask, flat);
    else
      OutlineTriangle(t, state, cv, clip_mask, flat);
  }
}

}  // namespace raster
