// The three element records of the mesh model: points, wires (edges) and faces.
//
// Every record owns an identity cell, an integer of its own (taken from the pool of its
// kind) that always holds the element's current index. Elements refer to each other through pointers to those cells,
// so a reference keeps naming the same element when compaction moves it to another slot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rm/d3drm.h"

// Identity cell of an element; the value is its current index in its container.
using IdCell = int*;

// Where the identity cells of one kind of element live: blocks of cells with a list of the
// returned ones. The whole-model passes follow cells of neighbouring elements one after
// another; single heap blocks would scatter them, blocks keep them side by side. A cell
// keeps its address until it is returned.
class IdCellPool {
 public:
  IdCell Take(int value);
  void Give(IdCell cell);

 private:
  static constexpr size_t kBlockCells = 4096;
  std::vector<std::unique_ptr<int[]>> blocks_;
  size_t used_in_last_ = kBlockCells;
  std::vector<IdCell> returned_;
};

// One pool per kind of element. The pools are never destroyed, so a model torn down at
// program exit still has somewhere to return its cells.
IdCellPool& PointCells();
IdCellPool& WireCells();
IdCellPool& FaceCells();

struct TexCoord {
  int32_t x = 0, y = 0;
};

struct PointStuff {
  PointStuff() : id(PointCells().Take(0)) {}
  // The model owns and frees the cell, the array and the retained-mode objects; a record
  // is destroyed with its group only.
  ~PointStuff() = default;

  IdCell id;
  int realid = 0;
  int selectsize = 0;
  _D3DVECTOR point{0, 0, 0};
  float tu = 0, tv = 0;
  // The wires ending here: num_connected entries in an array of connected_capacity. The
  // array grows by doubling and is kept when entries go, so attaching and detaching wires
  // does not reallocate each time.
  IdCell* connectedwire = nullptr;
  bool selected = false;
  bool active = false;
  bool cursoractive = false;
  bool can_be_selected = false;
  bool added = false;
  bool vis = false;
  bool mapped = false;
  uint16_t deleteit = 0;
  uint32_t num_connected = 0;
  uint32_t connected_capacity = 0;
  int distance = 0;
  IDirect3DRMFrame* frames = nullptr;
  IDirect3DRMMesh* meshes = nullptr;

  // Drops the last entry of connectedwire.
  void DropLastConnectedWire();
};

struct WireStuff {
  WireStuff() : id(WireCells().Take(0)) {}
  ~WireStuff() = default;

  IdCell id;
  IDirect3DRMFrame* wireframes = nullptr;
  IDirect3DRMMesh* wiremeshes = nullptr;
  bool callback = false;
  bool selected = false;
  bool deleteit = false;
  bool gone = true;
  bool vis = false;
  float beforelength = 1.0f;
  int order = 0;
  IdCell points[2] = {nullptr, nullptr};  // first end (frame origin), second end
  int face_sides = 0;  // face sides that are this wire; AddFace and RemoveFace keep it
};

struct FaceStuff {
  FaceStuff() : id(FaceCells().Take(0)) {}
  ~FaceStuff() = default;

  // Texture triangle of the texture view, in its pixels (mesh display).
  void SetTex_x(int index, float x);
  void SetTex_y(int index, float y);
  TexCoord GetInsidePoint(int x1, int x2, int x3, int y1, int y2, int y3);
  TexCoord MidPt(int x1, int x2, int y1, int y2);
  void CenterToTexBits(bool* r1, bool* r2, bool* r3, float x, float y);

  TexCoord tex[3];
  bool added = false;
  IdCell id;
  IdCell points[3] = {nullptr, nullptr, nullptr};  // corners in winding order
  // Each side counts in its wire's face_sides: whoever writes sides keeps that count.
  IdCell sides[3] = {nullptr, nullptr, nullptr};
  bool backface = false;
  bool texbits[3] = {false, false, false};
  bool texactive[3] = {false, false, false};
  TexCoord center;
  IDirect3DRMFace* face = nullptr;
  _D3DVECTOR normal{0, 0, 0};
};
