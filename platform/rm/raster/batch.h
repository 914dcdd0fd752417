// The triangles of a whole render pass, recorded first and then drawn in horizontal bands
// that can run on different threads. A band only limits which rows are written: every pixel
// is evaluated exactly as one draw over the whole viewport would evaluate it, and each band
// draws the primitives in the order they were recorded, so any split gives the same colour
// and depth planes, byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/rm/raster/framebuffer.h"
#include "platform/rm/raster/raster.h"
#include "platform/rm/raster/target.h"

namespace raster {

// Framebuffer rows [y0, y1).
struct Band {
  int y0 = 0, y1 = 0;
};

class Batch {
 public:
  // Starts an empty recording for `viewport` on `fb`, keeping the memory of earlier passes.
  // Nothing is recorded when the viewport cannot be drawn on.
  void Begin(Framebuffer& fb, const Viewport& viewport);

  // Room for the corners of the next AddTriangles, valid until then.
  ClipVertex* Corners(size_t n);
  // Room for corner indices or per-triangle colours that AddTriangles should own, valid
  // until then.
  uint32_t* Indices(size_t n);
  float* FaceColors(size_t ntri);

  // Records ntri triangles over the corners last given by Corners(n), drawn as DrawTriangles
  // would draw them. `indices` is either the block last given by Indices() or memory that
  // stays unchanged until the batch is drawn; state.face_colors, when set, must be the block
  // last given by FaceColors(). The texture's pixels must stay until the batch is drawn.
  void AddTriangles(const RasterState& state, size_t n, const uint32_t* indices, size_t ntri);

  size_t TriangleCount() const { return triangles_; }
  // Corners of large draws still to be placed by PlaceCorners.
  size_t DeferredCorners() const { return deferred_; }
  // The rows the viewport covers on the framebuffer (empty when nothing can be drawn).
  Band Rows() const { return rows_; }

  // Puts on the screen the corners that were left for later (those of large draws): part
  // `part` of `parts`, each a disjoint range of corners. Every part must have run before Draw.
  void PlaceCorners(int part, int parts);
  // Draws every recorded triangle's pixels that lie in `band`. Bands drawn at the same time
  // must not overlap.
  void Draw(const Band& band) const;

 private:
  // The part of a ScreenVertex placing computes; colour and texture coordinates are read
  // from the corner itself when it is drawn, which keeps a pass's corners half the size.
  struct Corner {
    int32_t fx, fy;
    float z, q;
    uint32_t code;
    bool placed;
  };
  static ScreenVertex Screen(const Corner& k, const ClipVertex& c);
  // Kept small: the editor records one per element, tens of thousands a pass.
  struct Command {
    Texture texture;
    const uint32_t* indices;  // null: owned, from owned_index
    size_t owned_index;
    size_t first_face_color;  // SIZE_MAX: none
    size_t first_corner, corner_count;
    size_t ntri;
    int row0, row1;  // rows its placed corners can reach, inclusive
    Fill fill;
    bool gouraud, textured, cull_back_faces;
    bool deferred;  // corners placed by PlaceCorners
  };

  // Where and how command c draws, limited to `band`.
  void MakeCommandTarget(const Command& c, const Band& band, Target* t, RasterState* state) const;
  void Place(Corner* out, const ClipVertex* in, size_t n, const Target& t) const;
  void DrawCommand(const Command& c, const Band& band) const;

  Framebuffer* fb_ = nullptr;
  Target base_;  // the viewport's mapping and scissor, shared by every command
  Band rows_;
  std::vector<Command> commands_;
  std::vector<ClipVertex> clip_;
  std::vector<Corner> corners_;
  std::vector<uint32_t> indices_;
  std::vector<float> face_colors_;
  size_t clip_used_ = 0, index_used_ = 0, color_used_ = 0, pending_ = 0, pending_index_ = 0;
  size_t pending_color_ = 0, triangles_ = 0, deferred_ = 0;
};

}  // namespace raster
