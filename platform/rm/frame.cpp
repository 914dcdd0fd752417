#include "platform/rm/frame.h"

#include <algorithm>
#include <cmath>

#include "platform/rm/light.h"

using math3d::Mat4;
using math3d::Vec3;

namespace {

// Below this length an up vector orthogonalised against the direction counts as parallel.
constexpr double kParallelTolerance = 1e-6;

template <class T>
bool EraseFirst(std::vector<T*>* list, const T* item) {
  auto it = std::find(list->begin(), list->end(), item);
  if (it == list->end()) return false;
  list->erase(it);
  return true;
}

}  // namespace

// Conversions between two frames, kept while neither frame nor the tree above them changes:
// the editor's per-point tests ask for tens of thousands of positions in one camera per
// pass. A hit returns the very matrix the conversion would compute, so results are exact.
struct FrameConversionCache {
  struct Entry {
    const IDirect3DRMFrame* from = nullptr;
    const IDirect3DRMFrame* to = nullptr;
    uint64_t epoch = ~uint64_t{0}, from_version = 0, to_version = 0;
    bool ok = false;
    Mat4 m;
  };
  // A few entries, the most recently used first: laying a wire converts through both its
  // ends and the scene in turn.
  static constexpr int kEntries = 4;
  struct Table {
    Entry entries[kEntries];
  };

  static uint64_t VersionOf(const IDirect3DRMFrame* f) { return f ? f->version_ : 0; }

  template <class Make>
  static bool Get(Table& table, const IDirect3DRMFrame* from, const IDirect3DRMFrame* to, Mat4* m, Make make) {
    const uint64_t epoch = IDirect3DRMFrame::tree_epoch_;
    Entry* entries = table.entries;
    for (int i = 0; i < kEntries; ++i) {
      const Entry& e = entries[i];
      if (e.from == from && e.to == to && e.epoch == epoch && e.from_version == VersionOf(from) &&
          e.to_version == VersionOf(to)) {
        std::rotate(entries, entries + i, entries + i + 1);
        *m = entries[0].m;
        return entries[0].ok;
      }
    }
    std::rotate(entries, entries + kEntries - 1, entries + kEntries);
    Entry& e = entries[0];
    e.from = from;
    e.to = to;
    e.epoch = epoch;
    e.from_version = VersionOf(from);
    e.to_version = VersionOf(to);
    e.ok = make(&e.m);
    *m = e.m;
    return e.ok;
  }
};

namespace {

// Per thread, so a frame read from another thread never races the cache.
thread_local FrameConversionCache::Table ref_to_parent_cache, parent_to_ref_cache, inverse_world_cache;

}  // namespace

void IDirect3DRMFrame::Changed() {
  ++version_;
  if (!children_.empty()) ++tree_epoch_;
}

IDirect3DRMFrame::IDirect3DRMFrame() = default;

IDirect3DRMFrame::~IDirect3DRMFrame() {
  // A later frame may be made at this address.
  ++tree_epoch_;
  move_callbacks_.clear();
  rotation_theta_ = 0;
  velocity_ = {};
  UpdateMoving();
  for (IDirect3DRMLight* light : lights_) light->Release();
  lights_.clear();
  UpdateLit();
  // A parent holds a reference, so normally there is none left here; be safe if one is.
  if (parent_) TakeOutOfParent();
  for (IDirect3DRMFrame* child : children_) {
    if (!child) continue;
    child->parent_ = nullptr;
    child->Release();
  }
  for (IDirect3DRMVisual* visual : visuals_) visual->Release();
}

// ---- tree ----

// Small lists are left with their holes until read; the threshold only keeps a long list
// from growing without bound while children come and go unread.
constexpr size_t kHolesWorthClosing = 32;

void IDirect3DRMFrame::TakeOutOfParent() {
  ++tree_epoch_;
  IDirect3DRMFrame* parent = parent_;
  const bool was_filled = parent->Filled();
  parent->children_[slot_in_parent_] = nullptr;
  parent->child_holes_ += 1;
  parent->filled_stale_ = true;
  parent_ = nullptr;
  if (parent->child_holes_ >= kHolesWorthClosing && 2 * parent->child_holes_ >= parent->children_.size())
    parent->CloseChildHoles();
  parent->FillMayHaveChanged(was_filled);
}

void IDirect3DRMFrame::FillMayHaveChanged(bool was_filled) {
  if (parent_ && Filled() != was_filled) parent_->filled_stale_ = true;
}

const std::vector<IDirect3DRMFrame*>& IDirect3DRMFrame::FilledChildren() const {
  if (filled_stale_) {
    filled_children_.clear();
    for (IDirect3DRMFrame* child : children_)
      if (child && child->Filled()) filled_children_.push_back(child);
    filled_stale_ = false;
  }
  return filled_children_;
}

void IDirect3DRMFrame::CloseChildHoles() const {
  if (child_holes_ == 0) return;
  size_t kept = 0;
  for (IDirect3DRMFrame* child : children_) {
    if (!child) continue;
    child->slot_in_parent_ = kept;
    children_[kept++] = child;
  }
  children_.resize(kept);
  child_holes_ = 0;
}

const std::vector<IDirect3DRMFrame*>& IDirect3DRMFrame::Children() const {
  CloseChildHoles();
  return children_;
}

bool IDirect3DRMFrame::IsAncestorOf(const IDirect3DRMFrame* frame) const {
  for (const IDirect3DRMFrame* f = frame ? frame->parent_ : nullptr; f; f = f->parent_) {
    if (f == this) return true;
  }
  return false;
}

HRESULT IDirect3DRMFrame::AddChild(IDirect3DRMFrame* child) {
  if (!child) return D3DRMERR_BADOBJECT;
  if (child == this || child->IsAncestorOf(this)) return D3DRMERR_BADVALUE;
  if (child->parent_ == this) return D3DRM_OK;
  // The old parent's reference passes to us, so the count does not change on a move.
  if (child->parent_) {
    child->TakeOutOfParent();
  } else {
    child->AddRef();
  }
  ++tree_epoch_;
  const bool was_filled = Filled();
  child->parent_ = this;
  child->slot_in_parent_ = children_.size();
  children_.push_back(child);
  filled_stale_ = true;
  FillMayHaveChanged(was_filled);
  return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::AddChildLast(IDirect3DRMFrame* child) {
  if (!child || child->parent_ != this) return AddChild(child);
  // Out of its slot (leaving a hole) and back in at the end; the reference stays with us.
  child->TakeOutOfParent();
  ++tree_epoch_;
  child->parent_ = this;
  child->slot_in_parent_ = children_.size();
  children_.push_back(child);
  filled_stale_ = true;
  return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::DeleteChild(IDirect3DRMFrame* child) {
  if (!child) return D3DRMERR_BADOBJECT;
  if (child->parent_ != this) return D3DRMERR_NOTFOUND;
  child->TakeOutOfParent();
  child->Release();
  return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::GetParent(IDirect3DRMFrame** parent) {
  if (!parent) return D3DRMERR_BADVALUE;
  *parent = parent_;
  if (parent_) parent_->AddRef();
  return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::GetScene(IDirect3DRMFrame** root) {
  if (!root) return D3DRMERR_BADVALUE;
  IDirect3DRMFrame* f = this;
  while (f->parent_) f = f->parent_;
  f->AddRef();
  *root = f;
  return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::AddVisual(IDirect3DRMVisual* visual) {
  if (!visual) return D3DRMERR_BADOBJECT;
  const bool was_filled = Filled();
  visual->AddRef();
  visuals_.push_back(visual);
  FillMayHaveChanged(was_filled);
  return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::DeleteVisual(IDirect3DRMVisual* visual) {
  if (!visual) return D3DRMERR_BADOBJECT;
  const bool was_filled = Filled();
  if (!EraseFirst(&visuals_, visual)) return D3DRMERR_NOTFOUND;
  FillMayHaveChanged(was_filled);
  visual->Release();
  return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::AddLight(IDirect3DRMLight* light) {
  if (!light) return D3DRMERR_BADOBJECT;
  const bool was_filled = Filled();
  light->AddRef();
  lights_.push_back(light);
  FillMayHaveChanged(was_filled);
  UpdateLit();
  return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::DeleteLight(IDirect3DRMLight* light) {
  if (!light) return D3DRMERR_BADOBJECT;
  const bool was_filled = Filled();
  if (!EraseFirst(&lights_, light)) return D3DRMERR_NOTFOUND;
  FillMayHaveChanged(was_filled);
  UpdateLit();
  light->Release();
  return D3DRM_OK;
}

// ---- coordinates ----

Mat4 IDirect3DRMFrame::World() const {
  Mat4 w = local_;
  for (const IDirect3DRMFrame* f = parent_; f; f = f->parent_) w = math3d::Multiply(w, f->local_);
  return w;
}

void IDirect3DRMFrame::WorldMatrix(D3DRMMATRIX4D m) const { math3d::ToD3DMatrix(World(), m); }

bool IDirect3DRMFrame::InverseWorld(Mat4* m) const {
  return FrameConversionCache::Get(inverse_world_cache, this, nullptr, m,
                                   [this](Mat4* out) { return math3d::AffineInverse(World(), out); });
}

Mat4 CoordinatesBetween(const IDirect3DRMFrame& from, const IDirect3DRMFrame& to) {
  D3DRMMATRIX4D from_world, to_world;
  from.WorldMatrix(from_world);
  to.WorldMatrix(to_world);
  Mat4 world_to = math3d::Identity();
  if (!math3d::AffineInverse(math3d::FromD3DMatrix(to_world), &world_to)) return math3d::Identity();
  return math3d::Multiply(math3d::FromD3DMatrix(from_world), world_to);
}

bool IDirect3DRMFrame::RefToParent(const IDirect3DRMFrame* ref, Mat4* m) const {
  if (!ref || ref == parent_) {
    *m = math3d::Identity();
    return true;
  }
  const IDirect3DRMFrame* parent = parent_;
  return FrameConversionCache::Get(ref_to_parent_cache, ref, parent, m, [ref, parent](Mat4* out) {
    Mat4 parent_inverse = math3d::Identity();
    if (parent && !parent->InverseWorld(&parent_inverse)) return false;
    *out = math3d::Multiply(ref->World(), parent_inverse);
    return true;
  });
}

bool IDirect3DRMFrame::ParentToRef(const IDirect3DRMFrame* ref, Mat4* m) const {
  if (!ref || ref == parent_) {
    *m = math3d::Identity();
    return true;
  }
  const IDirect3DRMFrame* parent = parent_;
  return FrameConversionCache::Get(parent_to_ref_cache, parent, ref, m, [ref, parent](Mat4* out) {
    Mat4 ref_inverse;
    if (!ref->InverseWorld(&ref_inverse)) return false;
    *out = parent ? math3d::Multiply(parent->World(), ref_inverse) : ref_inverse;
    return true;
  });
}

HRESULT IDirect3DRMFrame::SetPosition(IDirect3DRMFrame* ref, D3DVALUE x, D3DVALUE y, D3DVALUE z) {
  Mat4 to_parent;
  if (!RefToParent(ref, &to_parent)) return D3DRMERR_BADVALUE;
  math3d::SetRow(&local_, 3, math3d::TransformPoint({x, y, z}, to_parent));
  Changed();
  return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::GetPosition(IDirect3DRMFrame* ref, D3DVECTOR* position) {
  if (!position) return D3DRMERR_BADVALUE;
  Mat4 to_ref;
  if (!ParentToRef(ref, &to_ref)) return D3DRMERR_BADVALUE;
  *position = math3d::ToD3DVector(math3d::TransformPoint(math3d::Row(local_, 3), to_ref));
  return D3DRM_OK;
}

bool IDirect3DRMFrame::Orient(Vec3 dir, const Vec3* up_hints, int hint_count, bool any_up) {
  if (!math3d::Normalise(&dir)) return false;
  Vec3 up;
  bool found = false;
  for (int i = 0; i < hint_count && !found; ++i) {
    Vec3 hint = up_hints[i];
    if (!math3d::Normalise(&hint)) continue;
    up = hint - dir * math3d::Dot(hint, dir);
    found = math3d::Length(up) > kParallelTolerance;
  }
  if (!found) {
    if (!any_up) return false;
    // Any perpendicular will do: take the coordinate axis least aligned with dir.
    Vec3 axis{0, 1, 0};
    if (std::fabs(dir.y) > std::fabs(dir.x) || std::fabs(dir.y) > std::fabs(dir.z))
      axis = std::fabs(dir.x) < std::fabs(dir.z) ? Vec3{1, 0, 0} : Vec3{0, 0, 1};
    up = axis - dir * math3d::Dot(axis, dir);
  }
  math3d::Normalise(&up);
  // y cross z gives +x to the right in left-handed coordinates.
  Vec3 right = math3d::Cross(up, dir);
  double sx = math3d::Length(math3d::Row(local_, 0));
  double sy = math3d::Length(math3d::Row(local_, 1));
  double sz = math3d::Length(math3d::Row(local_, 2));
  math3d::SetRow(&local_, 0, right * sx);
  math3d::SetRow(&local_, 1, up * sy);
  math3d::SetRow(&local_, 2, dir * sz);
  Changed();
  return true;
}

HRESULT IDirect3DRMFrame::SetOrientation(IDirect3DRMFrame* ref, D3DVALUE dx, D3DVALUE dy, D3DVALUE dz,
                                         D3DVALUE ux, D3DVALUE uy, D3DVALUE uz) {
  Mat4 to_parent;
  if (!RefToParent(ref, &to_parent)) return D3DRMERR_BADVALUE;
  // The axes are made orthonormal in the parent's coordinates, so the local transform stays
  // a rotation with per-axis scale even under a non-uniformly scaled reference.
  Vec3 dir = math3d::TransformDirection({dx, dy, dz}, to_parent);
  Vec3 up = math3d::TransformDirection({ux, uy, uz}, to_parent);
  return Orient(dir, &up, 1, false) ? D3DRM_OK : D3DRMERR_BADVALUE;
}

HRESULT IDirect3DRMFrame::GetOrientation(IDirect3DRMFrame* ref, D3DVECTOR* dir, D3DVECTOR* up) {
  if (!dir || !up) return D3DRMERR_BADVALUE;
  Mat4 to_ref;
  if (!ParentToRef(ref, &to_ref)) return D3DRMERR_BADVALUE;
  Vec3 z = math3d::TransformDirection(math3d::Row(local_, 2), to_ref);
  Vec3 y = math3d::TransformDirection(math3d::Row(local_, 1), to_ref);
  math3d::Normalise(&z);
  math3d::Normalise(&y);
  *dir = math3d::ToD3DVector(z);
  *up = math3d::ToD3DVector(y);
  return D3DRM_OK;
}

// The z axis always ends up pointing exactly at the target; the constraint chooses which
// other axis is disturbed least:
//  - CONSTRAIN_Z: no roll; y stays in the plane of the view direction and ref's y axis.
//  - CONSTRAIN_Y: y stays as close as it can to the frame's own current y axis.
//  - CONSTRAIN_X: x stays as close as it can to the frame's own current x axis.
// When the preferred axis is parallel to the view direction the current y axis is used, and
// failing that the current -z (what a pure pitch through 90 degrees would give). A target at
// the frame's own origin leaves the frame as it is.
HRESULT IDirect3DRMFrame::LookAt(IDirect3DRMFrame* target, IDirect3DRMFrame* ref,
                                 D3DRMFRAMECONSTRAINT constraint) {
  if (!target) return D3DRMERR_BADOBJECT;
  if (constraint != D3DRMCONSTRAIN_Z && constraint != D3DRMCONSTRAIN_Y && constraint != D3DRMCONSTRAIN_X)
    return D3DRMERR_BADVALUE;
  Mat4 target_to_parent, ref_to_parent;
  if (!RefToParent(target, &target_to_parent) || !RefToParent(ref, &ref_to_parent)) return D3DRMERR_BADVALUE;
  Vec3 dir = math3d::Row(target_to_parent, 3) - math3d::Row(local_, 3);
  if (!math3d::Normalise(&dir)) return D3DRM_OK;

  Vec3 current_y = math3d::Row(local_, 1);
  Vec3 back = -math3d::Row(local_, 2);
  Vec3 hints[3];
  switch (constraint) {
    case D3DRMCONSTRAIN_Z:
      hints[0] = math3d::TransformDirection({0, 1, 0}, ref_to_parent);
      break;
    case D3DRMCONSTRAIN_Y:
      hints[0] = current_y;
      break;
    case D3DRMCONSTRAIN_X:
      // With x kept near the current x, y = z cross x.
      hints[0] = math3d::Cross(dir, math3d::Row(local_, 0));
      break;
  }
  hints[1] = current_y;
  hints[2] = back;
  Orient(dir, hints, 3, true);
  return D3DRM_OK;
}

// ---- motion ----

HRESULT IDirect3DRMFrame::SetRotation(IDirect3DRMFrame* ref, D3DVALUE x, D3DVALUE y, D3DVALUE z,
                                      D3DVALUE theta) {
  Mat4 to_parent;
  if (!RefToParent(ref, &to_parent)) return D3DRMERR_BADVALUE;
  // A zero axis is accepted and simply turns nothing.
  Vec3 axis = math3d::TransformDirection({x, y, z}, to_parent);
  if (!math3d::Normalise(&axis)) axis = {};
  rotation_axis_ = axis;
  rotation_theta_ = theta;
  UpdateMoving();
  return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::GetRotation(IDirect3DRMFrame* ref, D3DVECTOR* axis, D3DVALUE* theta) {
  if (!axis || !theta) return D3DRMERR_BADVALUE;
  Mat4 to_ref;
  if (!ParentToRef(ref, &to_ref)) return D3DRMERR_BADVALUE;
  Vec3 a = math3d::TransformDirection(rotation_axis_, to_ref);
  math3d::Normalise(&a);
  *axis = math3d::ToD3DVector(a);
  *theta = static_cast<D3DVALUE>(rotation_theta_);
  return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::SetVelocity(IDirect3DRMFrame* ref, D3DVALUE x, D3DVALUE y, D3DVALUE z) {
  Mat4 to_parent;
  if (!RefToParent(ref, &to_parent)) return D3DRMERR_BADVALUE;
  velocity_ = math3d::TransformDirection({x, y, z}, to_parent);
  UpdateMoving();
  return D3DRM_OK;
}

bool IDirect3DRMFrame::Moving() const {
  return rotation_theta_ != 0 || velocity_.x != 0 || velocity_.y != 0 || velocity_.z != 0 ||
         !move_callbacks_.empty();
}

void IDirect3DRMFrame::KeepListed(std::vector<IDirect3DRMFrame*>* list, size_t IDirect3DRMFrame::*slot,
                                  bool wanted) {
  const bool listed = this->*slot != SIZE_MAX;
  if (wanted == listed) return;
  if (wanted) {
    this->*slot = list->size();
    list->push_back(this);
    return;
  }
  IDirect3DRMFrame* last = list->back();
  (*list)[this->*slot] = last;
  last->*slot = this->*slot;
  list->pop_back();
  this->*slot = SIZE_MAX;
}

void IDirect3DRMFrame::UpdateMoving() { KeepListed(&moving_frames_, &IDirect3DRMFrame::moving_slot_, Moving()); }

void IDirect3DRMFrame::UpdateLit() { KeepListed(&lit_frames_, &IDirect3DRMFrame::lit_slot_, !lights_.empty()); }

std::vector<size_t> IDirect3DRMFrame::SlotsBelow(const IDirect3DRMFrame* descendant) const {
  std::vector<size_t> slots;
  for (const IDirect3DRMFrame* f = descendant; f != this; f = f->parent_) slots.push_back(f->slot_in_parent_);
  std::reverse(slots.begin(), slots.end());
  return slots;
}

void IDirect3DRMFrame::LitFramesBelow(std::vector<std::vector<IDirect3DRMFrame*>>* paths) {
  paths->clear();
  std::vector<std::pair<std::vector<size_t>, IDirect3DRMFrame*>> found;
  for (IDirect3DRMFrame* f : lit_frames_)
    if (f == this || IsAncestorOf(f)) found.emplace_back(SlotsBelow(f), f);
  // An ancestor comes before its descendants; of two siblings' subtrees, the later child's
  // comes first.
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    const size_t n = std::min(a.first.size(), b.first.size());
    for (size_t k = 0; k < n; ++k)
      if (a.first[k] != b.first[k]) return a.first[k] > b.first[k];
    return a.first.size() < b.first.size();
  });
  for (const auto& [slots, f] : found) {
    std::vector<IDirect3DRMFrame*> path;
    for (IDirect3DRMFrame* g = f; g != this; g = g->parent_) path.push_back(g);
    path.push_back(this);
    std::reverse(path.begin(), path.end());
    paths->push_back(std::move(path));
  }
}

void IDirect3DRMFrame::ApplyMotion(D3DVALUE delta) {
  const bool turns = rotation_theta_ != 0 && math3d::Length(rotation_axis_) > 0;
  const bool travels = velocity_.x != 0 || velocity_.y != 0 || velocity_.z != 0;
  if (!turns && !travels) return;
  if (turns) {
    // Turning about an axis through the frame's own origin changes the 3x3 part only.
    Mat4 r = math3d::Rotation(rotation_axis_, rotation_theta_ * delta);
    for (int i = 0; i < 3; ++i)
      math3d::SetRow(&local_, i, math3d::TransformDirection(math3d::Row(local_, i), r));
  }
  math3d::SetRow(&local_, 3, math3d::Row(local_, 3) + velocity_ * delta);
  Changed();
}

// ---- combining transforms ----

HRESULT IDirect3DRMFrame::Combine(D3DRMCOMBINETYPE type, const Mat4& t) {
  Changed();
  switch (type) {
    case D3DRMCOMBINE_REPLACE:
      local_ = t;
      return D3DRM_OK;
    case D3DRMCOMBINE_BEFORE:
      local_ = math3d::Multiply(t, local_);
      return D3DRM_OK;
    case D3DRMCOMBINE_AFTER:
      local_ = math3d::Multiply(local_, t);
      return D3DRM_OK;
  }
  return D3DRMERR_BADVALUE;
}

HRESULT IDirect3DRMFrame::AddScale(D3DRMCOMBINETYPE type, D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) {
  return Combine(type, math3d::Scaling({sx, sy, sz}));
}

HRESULT IDirect3DRMFrame::AddRotation(D3DRMCOMBINETYPE type, D3DVALUE x, D3DVALUE y, D3DVALUE z,
                                      D3DVALUE theta) {
  Vec3 axis{x, y, z};
  if (!math3d::Normalise(&axis)) return D3DRMERR_BADVALUE;
  return Combine(type, math3d::Rotation(axis, theta));
}

HRESULT IDirect3DRMFrame::AddTranslation(D3DRMCOMBINETYPE type, D3DVALUE x, D3DVALUE y, D3DVALUE z) {
  return Combine(type, math3d::Translation({x, y, z}));
}

HRESULT IDirect3DRMFrame::AddTransform(D3DRMCOMBINETYPE type, const D3DRMMATRIX4D m) {
  if (!m) return D3DRMERR_BADVALUE;
  // Frames hold affine transforms only; a projective last column has no meaning here.
  constexpr double kTolerance = 1e-6;
  if (std::fabs(m[0][3]) > kTolerance || std::fabs(m[1][3]) > kTolerance || std::fabs(m[2][3]) > kTolerance ||
      std::fabs(m[3][3] - 1) > kTolerance)
    return D3DRMERR_BADVALUE;
  Mat4 t = math3d::FromD3DMatrix(m);
  t.m[0][3] = t.m[1][3] = t.m[2][3] = 0;
  t.m[3][3] = 1;
  return Combine(type, t);
}

HRESULT IDirect3DRMFrame::GetTransform(D3DRMMATRIX4D m) {
  if (!m) return D3DRMERR_BADVALUE;
  math3d::ToD3DMatrix(local_, m);
  return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::Transform(D3DVECTOR* dst, const D3DVECTOR* src) {
  if (!dst || !src) return D3DRMERR_BADVALUE;
  *dst = math3d::ToD3DVector(math3d::TransformPoint(math3d::ToVec3(*src), World()));
  return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::InverseTransform(D3DVECTOR* dst, const D3DVECTOR* src) {
  if (!dst || !src) return D3DRMERR_BADVALUE;
  Mat4 inverse;
  if (!InverseWorld(&inverse)) return D3DRMERR_BADVALUE;
  *dst = math3d::ToD3DVector(math3d::TransformPoint(math3d::ToVec3(*src), inverse));
  return D3DRM_OK;
}

// ---- appearance ----

HRESULT IDirect3DRMFrame::SetColorRGB(D3DVALUE r, D3DVALUE g, D3DVALUE b) {
  color_ = D3DRMCreateColorRGB(r, g, b);
  return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::SetColor(D3DCOLOR color) {
  color_ = color;
  return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::SetMaterialMode(D3DRMMATERIALMODE mode) {
  if (mode != D3DRMMATERIAL_FROMMESH && mode != D3DRMMATERIAL_FROMPARENT && mode != D3DRMMATERIAL_FROMFRAME)
    return D3DRMERR_BADVALUE;
  material_mode_ = mode;
  return D3DRM_OK;
}

// ---- move callbacks ----

HRESULT IDirect3DRMFrame::AddMoveCallback(D3DRMFRAMEMOVECALLBACK cb, void* arg) {
  if (!cb) return D3DRMERR_BADVALUE;
  move_callbacks_.push_back({cb, arg});
  UpdateMoving();
  return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::DeleteMoveCallback(D3DRMFRAMEMOVECALLBACK cb, void* arg) {
  auto it = std::find_if(move_callbacks_.begin(), move_callbacks_.end(),
                         [&](const MoveCallback& m) { return m.cb == cb && m.arg == arg; });
  if (it == move_callbacks_.end()) return D3DRMERR_NOTFOUND;
  move_callbacks_.erase(it);
  UpdateMoving();
  return D3DRM_OK;
}

void IDirect3DRMFrame::RunMoveCallbacks(D3DVALUE delta) {
  if (move_callbacks_.empty()) return;
  // A callback may delete later ones; run from a copy and skip what has gone meanwhile.
  const std::vector<MoveCallback> callbacks = move_callbacks_;
  for (const MoveCallback& c : callbacks) {
    auto same = [&c](const MoveCallback& m) { return m.cb == c.cb && m.arg == c.arg; };
    if (std::find_if(move_callbacks_.begin(), move_callbacks_.end(), same) == move_callbacks_.end()) continue;
    c.cb(this, c.arg, delta);
  }
}

// The moving frames of the subtree are gathered (and held) before anything runs, so
// callbacks may add, move or delete frames: each frame gathered is visited once, and one
// taken out of the subtree meanwhile is skipped.
HRESULT IDirect3DRMFrame::Move(D3DVALUE delta) {
  std::vector<IDirect3DRMFrame*> frames;
  for (IDirect3DRMFrame* f : moving_frames_)
    if (f == this || IsAncestorOf(f)) frames.push_back(f);
  // Tree order: each frame's path of child slots from here, compared from the top.
  std::vector<std::pair<std::vector<size_t>, IDirect3DRMFrame*>> ordered;
  ordered.reserve(frames.size());
  for (IDirect3DRMFrame* f : frames) ordered.emplace_back(SlotsBelow(f), f);
  std::sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  frames.clear();
  for (auto& [slots, f] : ordered) {
    f->AddRef();
    frames.push_back(f);
  }
  for (IDirect3DRMFrame* f : frames) {
    if (f != this && !IsAncestorOf(f)) continue;
    f->ApplyMotion(delta);
    f->RunMoveCallbacks(delta);
  }
  for (IDirect3DRMFrame* f : frames) f->Release();
  return D3DRM_OK;
}
