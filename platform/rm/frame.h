// Frames: a tree of local transforms relative to parents, with visuals, lights and
// per-pass move callbacks. Left-handed: +x right, +y up, +z into the screen.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/rm/math3d.h"
#include "platform/rm/object.h"

class IDirect3DRMFrame;
class IDirect3DRMLight;
using D3DRMFRAMEMOVECALLBACK = void (*)(IDirect3DRMFrame* frame, void* arg, D3DVALUE delta);

class IDirect3DRMFrame : public IDirect3DRMVisual {
 public:
  IDirect3DRMFrame();

  // Tree. A frame holds a reference on each child; AddChild keeps the child's local
  // transform, so its world placement follows the new parent.
  HRESULT AddChild(IDirect3DRMFrame* child);
  HRESULT DeleteChild(IDirect3DRMFrame* child);
  // AddChild, except that a child of this frame already moves to the end of the list.
  HRESULT AddChildLast(IDirect3DRMFrame* child);
  HRESULT GetParent(IDirect3DRMFrame** parent);  // AddRefs; nullptr for a root
  HRESULT GetScene(IDirect3DRMFrame** root);     // AddRefs the root of the tree
  IDirect3DRMFrame* Parent() const { return parent_; }
  // In the order the children were added.
  const std::vector<IDirect3DRMFrame*>& Children() const;
  // The children with visuals, lights or children of their own, in the same order: all a
  // render walk needs to enter. Most frames of an editor scene are bare leaves.
  const std::vector<IDirect3DRMFrame*>& FilledChildren() const;

  HRESULT AddVisual(IDirect3DRMVisual* visual);
  HRESULT DeleteVisual(IDirect3DRMVisual* visual);
  const std::vector<IDirect3DRMVisual*>& Visuals() const { return visuals_; }
  HRESULT AddLight(IDirect3DRMLight* light);
  HRESULT DeleteLight(IDirect3DRMLight* light);
  const std::vector<IDirect3DRMLight*>& Lights() const { return lights_; }
  // The frames carrying lights at or below this one, with the path of frames from here down
  // to each (this frame first, the lit frame last), in the order a depth-first walk meets
  // them when it takes each frame's children from the last to the first.
  void LitFramesBelow(std::vector<std::vector<IDirect3DRMFrame*>>* paths);

  // Placement. `ref` is the frame whose coordinates the values are in; nullptr means the
  // parent (the world for a root).
  HRESULT SetPosition(IDirect3DRMFrame* ref, D3DVALUE x, D3DVALUE y, D3DVALUE z);
  HRESULT GetPosition(IDirect3DRMFrame* ref, D3DVECTOR* position);
  HRESULT SetOrientation(IDirect3DRMFrame* ref, D3DVALUE dx, D3DVALUE dy, D3DVALUE dz,
                         D3DVALUE ux, D3DVALUE uy, D3DVALUE uz);
  HRESULT GetOrientation(IDirect3DRMFrame* ref, D3DVECTOR* dir, D3DVECTOR* up);
  // Turns the frame's z axis toward the target's origin; the constraint names the axis
  // that is kept free of roll (the y axis stays as upright as it can for CONSTRAIN_Z).
  HRESULT LookAt(IDirect3DRMFrame* target, IDirect3DRMFrame* ref, D3DRMFRAMECONSTRAINT constraint);

  // Angular velocity: each Move(delta) turns the frame by theta * delta about the axis,
  // given in `ref` coordinates. theta 0 stops it.
  HRESULT SetRotation(IDirect3DRMFrame* ref, D3DVALUE x, D3DVALUE y, D3DVALUE z, D3DVALUE theta);
  HRESULT GetRotation(IDirect3DRMFrame* ref, D3DVECTOR* axis, D3DVALUE* theta);
  HRESULT SetVelocity(IDirect3DRMFrame* ref, D3DVALUE x, D3DVALUE y, D3DVALUE z);

  // Combine a transform with the local one: BEFORE applies it in the frame's own space
  // (new = T * M), AFTER in the parent's (new = M * T), REPLACE sets it.
  HRESULT AddScale(D3DRMCOMBINETYPE type, D3DVALUE sx, D3DVALUE sy, D3DVALUE sz);
  HRESULT AddRotation(D3DRMCOMBINETYPE type, D3DVALUE x, D3DVALUE y, D3DVALUE z, D3DVALUE theta);
  HRESULT AddTranslation(D3DRMCOMBINETYPE type, D3DVALUE x, D3DVALUE y, D3DVALUE z);
  HRESULT AddTransform(D3DRMCOMBINETYPE type, const D3DRMMATRIX4D m);
  HRESULT GetTransform(D3DRMMATRIX4D m);  // the local transform

  // Local (frame) coordinates to world coordinates, and back.
  HRESULT Transform(D3DVECTOR* dst, const D3DVECTOR* src);
  HRESULT InverseTransform(D3DVECTOR* dst, const D3DVECTOR* src);
  // Local-to-world matrix of this frame.
  void WorldMatrix(D3DRMMATRIX4D m) const;

  HRESULT SetColorRGB(D3DVALUE r, D3DVALUE g, D3DVALUE b);
  HRESULT SetColor(D3DCOLOR color);
  D3DCOLOR GetColor() const { return color_; }
  HRESULT SetMaterialMode(D3DRMMATERIALMODE mode);
  D3DRMMATERIALMODE GetMaterialMode() const { return material_mode_; }

  HRESULT AddMoveCallback(D3DRMFRAMEMOVECALLBACK cb, void* arg);
  HRESULT DeleteMoveCallback(D3DRMFRAMEMOVECALLBACK cb, void* arg);
  // Applies rotation and velocity to this frame and every descendant, then runs each
  // one's move callbacks, in tree order; every frame of the subtree is visited once. Only
  // frames with motion or callbacks when Move starts take part: one given them by a
  // callback starts at the next Move.
  HRESULT Move(D3DVALUE delta);

 protected:
  ~IDirect3DRMFrame() override;

 private:
  struct MoveCallback {
    D3DRMFRAMEMOVECALLBACK cb;
    void* arg;
  };

  math3d::Mat4 World() const;
  // The world-to-frame matrix; false when the frame cannot be inverted.
  bool InverseWorld(math3d::Mat4* m) const;
  // Called whenever local_ or the tree changes: what cached conversions read goes stale.
  void Changed();
  bool IsAncestorOf(const IDirect3DRMFrame* frame) const;
  // Matrices between `ref` coordinates (nullptr: the parent's) and the parent's; false when
  // a frame on the way cannot be inverted.
  bool RefToParent(const IDirect3DRMFrame* ref, math3d::Mat4* m) const;
  bool ParentToRef(const IDirect3DRMFrame* ref, math3d::Mat4* m) const;
  // Points the z axis along `dir` with the y axis from the first usable hint, all in the
  // parent's coordinates, keeping position and per-axis scale.
  bool Orient(math3d::Vec3 dir, const math3d::Vec3* up_hints, int hint_count, bool any_up);
  HRESULT Combine(D3DRMCOMBINETYPE type, const math3d::Mat4& t);
  void ApplyMotion(D3DVALUE delta);
  void RunMoveCallbacks(D3DVALUE delta);

  IDirect3DRMFrame* parent_ = nullptr;  // not owned: the parent owns us
  // Taking a child out leaves a hole (null) at its slot, so it costs no search; holes are
  // closed before the list is read, or once they are half of it. Read it through Children().
  mutable std::vector<IDirect3DRMFrame*> children_;
  mutable size_t child_holes_ = 0;
  size_t slot_in_parent_ = 0;  // index in parent_->children_ while it has a parent
  void TakeOutOfParent();
  void CloseChildHoles() const;
  bool Filled() const { return !visuals_.empty() || !lights_.empty() || children_.size() > child_holes_; }
  // After a change that may have filled or emptied this frame: the parent's list is stale.
  void FillMayHaveChanged(bool was_filled);
  mutable std::vector<IDirect3DRMFrame*> filled_children_;
  mutable bool filled_stale_ = true;
  // Frames with motion or move callbacks, so a Move need not visit every frame.
  bool Moving() const;
  // Keeps this frame in `list` exactly while `wanted`, its index there in this->*slot.
  void KeepListed(std::vector<IDirect3DRMFrame*>* list, size_t IDirect3DRMFrame::*slot, bool wanted);
  // The child slots from this frame down to a descendant, top first: its place in tree order.
  std::vector<size_t> SlotsBelow(const IDirect3DRMFrame* descendant) const;
  void UpdateMoving();
  static inline std::vector<IDirect3DRMFrame*> moving_frames_;
  size_t moving_slot_ = SIZE_MAX;
  // Frames with lights: a light search need not visit every frame.
  void UpdateLit();
  static inline std::vector<IDirect3DRMFrame*> lit_frames_;
  size_t lit_slot_ = SIZE_MAX;
  std::vector<IDirect3DRMVisual*> visuals_;
  std::vector<IDirect3DRMLight*> lights_;
  D3DCOLOR color_ = 0xffffffffu;
  D3DRMMATERIALMODE material_mode_ = D3DRMMATERIAL_FROMMESH;
  math3d::Mat4 local_ = math3d::Identity();  // frame to parent coordinates
  math3d::Vec3 rotation_axis_;               // parent's coordinates; unit length or zero
  double rotation_theta_ = 0;                // radians per unit of Move's delta
  math3d::Vec3 velocity_;                    // parent's coordinates per unit of delta
  std::vector<MoveCallback> move_callbacks_;
  // Bumped by every change of local_. A cached conversion between two frames depends on
  // their own transforms and on their ancestors'; ancestors have children, and a change to
  // a frame with children (or to the tree) bumps the shared epoch instead, so a change to
  // one of tens of thousands of leaf frames leaves every other conversion cached.
  uint64_t version_ = 0;
  static inline uint64_t tree_epoch_ = 0;
  friend struct FrameConversionCache;
};

// The matrix taking coordinates in frame `from` to coordinates in frame `to` (a row vector
// times the matrix, as in math3d), for converting many points with one look at the tree.
// Identity when `to` cannot be inverted.
math3d::Mat4 CoordinatesBetween(const IDirect3DRMFrame& from, const IDirect3DRMFrame& to);

