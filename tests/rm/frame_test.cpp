#include "platform/rm/frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "platform/rm/light.h"

namespace {

constexpr float kTol = 1e-5f;
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kHalf = 0.70710678f;  // 1 / sqrt(2)

::testing::AssertionResult Near(const D3DVECTOR& v, float x, float y, float z) {
  if (std::fabs(v.x - x) <= kTol && std::fabs(v.y - y) <= kTol && std::fabs(v.z - z) <= kTol)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "(" << v.x << ", " << v.y << ", " << v.z << ") != (" << x << ", " << y << ", " << z << ")";
}
::testing::AssertionResult Near(const D3DVECTOR& v, const D3DVECTOR& e) { return Near(v, e.x, e.y, e.z); }

D3DVECTOR Pos(IDirect3DRMFrame* f, IDirect3DRMFrame* ref) {
  D3DVECTOR p{};
  EXPECT_EQ(f->GetPosition(ref, &p), D3DRM_OK);
  return p;
}

struct Orientation {
  D3DVECTOR dir, up;
};

Orientation Orient(IDirect3DRMFrame* f, IDirect3DRMFrame* ref) {
  Orientation o{};
  EXPECT_EQ(f->GetOrientation(ref, &o.dir, &o.up), D3DRM_OK);
  return o;
}

D3DVECTOR Row(IDirect3DRMFrame* f, int r) {
  D3DRMMATRIX4D m;
  f->GetTransform(m);
  return {m[r][0], m[r][1], m[r][2]};
}

D3DVECTOR ToWorld(IDirect3DRMFrame* f, D3DVECTOR p) {
  D3DVECTOR out{};
  EXPECT_EQ(f->Transform(&out, &p), D3DRM_OK);
  return out;
}

void CountDestroy(IDirect3DRMObject*, void* arg) { ++*static_cast<int*>(arg); }

// A scene whose children are held by the tree alone, as the editor leaves them.
class FrameTest : public ::testing::Test {
 protected:
  ~FrameTest() override { scene_->Release(); }
  IDirect3DRMFrame* Child(IDirect3DRMFrame* parent) {
    auto* f = new IDirect3DRMFrame();
    EXPECT_EQ(parent->AddChild(f), D3DRM_OK);
    f->Release();
    return f;
  }
  IDirect3DRMFrame* Turned(IDirect3DRMFrame* parent, float x, float y, float z) {
    IDirect3DRMFrame* f = Child(parent);
    f->AddRotation(D3DRMCOMBINE_REPLACE, x, y, z, kPi / 2);
    return f;
  }
  IDirect3DRMFrame* scene_ = new IDirect3DRMFrame();
};

TEST(ObjectTest, DestroyCallbacksRunOnceWhenTheLastReferenceGoes) {
  auto* f = new IDirect3DRMFrame();
  int first = 0, removed = 0;
  IDirect3DRMObject* seen = nullptr;
  f->AddDestroyCallback(CountDestroy, &first);
  f->AddDestroyCallback(CountDestroy, &removed);
  f->AddDestroyCallback([](IDirect3DRMObject* o, void* arg) { *static_cast<IDirect3DRMObject**>(arg) = o; },
                        &seen);
  EXPECT_EQ(f->DeleteDestroyCallback(CountDestroy, &removed), D3DRM_OK);
  EXPECT_EQ(f->AddRef(), 2u);
  EXPECT_EQ(f->Release(), 1u);
  IDirect3DRMObject* expected = f;
  EXPECT_EQ(f->Release(), 0u);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(removed, 0);
  EXPECT_EQ(seen, expected);
}

TEST(ObjectTest, ReleasingTheRootReleasesTheTree) {
  int destroyed = 0, kept_destroyed = 0;
  auto* root = new IDirect3DRMFrame();
  auto* child = new IDirect3DRMFrame();
  auto* grandchild = new IDirect3DRMFrame();
  auto* kept = new IDirect3DRMFrame();
  auto* visual = new IDirect3DRMFrame();
  auto* light = new IDirect3DRMLight(D3DRMLIGHT_AMBIENT, 0xffffffffu);
  const std::initializer_list<IDirect3DRMObject*> owned{child, grandchild, visual, light};
  root->AddDestroyCallback(CountDestroy, &destroyed);
  for (IDirect3DRMObject* o : owned) o->AddDestroyCallback(CountDestroy, &destroyed);
  kept->AddDestroyCallback(CountDestroy, &kept_destroyed);
  root->AddChild(child);
  child->AddChild(grandchild);
  child->AddChild(kept);
  child->AddVisual(visual);
  child->AddLight(light);
  EXPECT_EQ(light->RefCount(), 2u);
  for (IDirect3DRMObject* o : owned) o->Release();
  EXPECT_EQ(destroyed, 0);

  root->Release();
  EXPECT_EQ(destroyed, 5);
  EXPECT_EQ(kept->Parent(), nullptr);
  EXPECT_EQ(kept->RefCount(), 1u);
  kept->Release();
  EXPECT_EQ(kept_destroyed, 1);
}

TEST_F(FrameTest, PositionsUnderARotatedParent) {
  IDirect3DRMFrame* p = Turned(scene_, 0, 1, 0);  // p's x is world -z, its z world +x
  p->SetPosition(nullptr, 10, 0, 0);
  IDirect3DRMFrame* c = Child(p);
  c->SetPosition(nullptr, 1, 2, 3);
  EXPECT_TRUE(Near(Pos(c, scene_), 13, 2, -1));

  EXPECT_EQ(c->SetPosition(scene_, 10, 0, 5), D3DRM_OK);
  EXPECT_TRUE(Near(Pos(c, nullptr), -5, 0, 0));
  EXPECT_TRUE(Near(Pos(p, c), 5, 0, 0));            // the parent seen from its child
  EXPECT_EQ(c->SetPosition(c, 0, 0, 2), D3DRM_OK);  // along its own axes
  EXPECT_TRUE(Near(Pos(c, scene_), 12, 0, 5));
}

TEST_F(FrameTest, PositionsUnderScaledParentsSiblingsAndDeepDescendants) {
  IDirect3DRMFrame* q = Child(scene_);
  q->AddScale(D3DRMCOMBINE_REPLACE, 2, 1, 0.5f);
  q->AddTranslation(D3DRMCOMBINE_AFTER, 0, 1, 0);
  IDirect3DRMFrame* d = Child(q);
  d->SetPosition(nullptr, 1, 2, 3);
  EXPECT_TRUE(Near(Pos(d, scene_), 2, 3, 1.5f));
  d->SetPosition(scene_, 4, 4, 4);
  EXPECT_TRUE(Near(Pos(d, nullptr), 2, 3, 8));

  IDirect3DRMFrame* e = Turned(scene_, 0, 0, 1);  // e's x is world +y, its y world -x
  e->SetPosition(nullptr, 1, 1, 1);
  EXPECT_TRUE(Near(Pos(d, e), 3, -3, 3));
  d->SetPosition(e, 1, 0, 0);
  EXPECT_TRUE(Near(Pos(d, scene_), 1, 2, 1));

  IDirect3DRMFrame* g = Child(d);
  g->AddScale(D3DRMCOMBINE_REPLACE, 3, 3, 3);
  // g's axes in the world are (6,0,0), (0,3,0), (0,0,1.5) from (1,2,1).
  EXPECT_TRUE(Near(Pos(scene_, g), -1.0f / 6, -2.0f / 3, -2.0f / 3));
  EXPECT_TRUE(Near(Pos(g, scene_), 1, 2, 1));
}

TEST_F(FrameTest, ReparentingKeepsTheLocalTransformAndOneReferenceAndRefusesCycles) {
  IDirect3DRMFrame* a = Child(scene_);
  a->SetPosition(nullptr, 10, 0, 0);
  IDirect3DRMFrame* b = Turned(scene_, 0, 0, 1);
  b->SetPosition(nullptr, 0, 5, 0);
  IDirect3DRMFrame* c = Child(a);
  c->SetPosition(nullptr, 1, 2, 3);

  EXPECT_EQ(b->AddChild(c), D3DRM_OK);
  EXPECT_EQ(c->Parent(), b);
  EXPECT_TRUE(a->Children().empty());
  EXPECT_EQ(c->RefCount(), 1u);
  EXPECT_TRUE(Near(Pos(c, scene_), -2, 6, 3));

  c->AddRef();
  EXPECT_EQ(b->DeleteChild(c), D3DRM_OK);
  EXPECT_EQ(c->Parent(), nullptr);
  EXPECT_EQ(c->RefCount(), 1u);
  EXPECT_TRUE(Near(Pos(c, nullptr), 1, 2, 3));
  EXPECT_EQ(b->DeleteChild(c), D3DRMERR_NOTFOUND);
  c->Release();

  // Cycles and null children are refused and move nothing.
  IDirect3DRMFrame* aa = Child(a);
  EXPECT_EQ(scene_->AddChild(scene_), D3DRMERR_BADVALUE);
  EXPECT_EQ(aa->AddChild(scene_), D3DRMERR_BADVALUE);
  EXPECT_EQ(aa->AddChild(a), D3DRMERR_BADVALUE);
  EXPECT_EQ(a->AddChild(nullptr), D3DRMERR_BADOBJECT);
  EXPECT_EQ(a->Parent(), scene_);
  EXPECT_EQ(aa->Parent(), a);
}

TEST_F(FrameTest, SetOrientationKeepsPositionAndScale) {
  IDirect3DRMFrame* f = Child(scene_);
  f->AddScale(D3DRMCOMBINE_REPLACE, 2, 3, 4);
  f->SetPosition(nullptr, 5, 6, 7);
  EXPECT_EQ(f->SetOrientation(nullptr, 1, 0, 0, 0, 1, 0), D3DRM_OK);
  const D3DVECTOR rows[] = {{0, 0, -2}, {0, 3, 0}, {4, 0, 0}, {5, 6, 7}};
  for (int r = 0; r < 4; ++r) EXPECT_TRUE(Near(Row(f, r), rows[r])) << r;

  // Degenerate input changes nothing.
  EXPECT_EQ(f->SetOrientation(nullptr, 0, 0, 1, 0, 0, -3), D3DRMERR_BADVALUE);
  EXPECT_TRUE(Near(Row(f, 2), 4, 0, 0));
}

struct LookAtCase {
  D3DRMFRAMECONSTRAINT constraint;
  D3DVECTOR start_up, target, dir, up;
};

TEST_F(FrameTest, LookAtPointsAtTheTargetKeepingTheConstrainedAxis) {
  const LookAtCase cases[] = {
      {D3DRMCONSTRAIN_Z, {0, 1, 0}, {10, 0, 10}, {kHalf, 0, kHalf}, {0, 1, 0}},
      {D3DRMCONSTRAIN_Z, {0, 1, 0}, {0, 5, 5}, {0, kHalf, kHalf}, {0, kHalf, -kHalf}},
      // Under Z a rolled camera comes upright...
      {D3DRMCONSTRAIN_Z, {1, 0, 0}, {10, 0, 10}, {kHalf, 0, kHalf}, {0, 1, 0}},
      // ...straight above, the reference's y is useless and the current up is kept...
      {D3DRMCONSTRAIN_Z, {1, 0, 0}, {0, 10, 0}, {0, 1, 0}, {1, 0, 0}},
      // ...and when that is parallel too, the camera pitches up.
      {D3DRMCONSTRAIN_Z, {0, 1, 0}, {0, 10, 0}, {0, 1, 0}, {0, 0, -1}},
      // Y keeps the frame's own roll (x stays world -y).
      {D3DRMCONSTRAIN_Y, {1, 0, 0}, {10, 0, 10}, {kHalf, 0, kHalf}, {kHalf, 0, -kHalf}},
  };
  IDirect3DRMFrame* cam = Child(scene_);
  IDirect3DRMFrame* target = Child(scene_);
  for (const LookAtCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "constraint " << c.constraint << " target " << c.target.x << ","
                                      << c.target.y << "," << c.target.z);
    cam->SetOrientation(nullptr, 0, 0, 1, c.start_up.x, c.start_up.y, c.start_up.z);
    target->SetPosition(nullptr, c.target.x, c.target.y, c.target.z);
    EXPECT_EQ(cam->LookAt(target, scene_, c.constraint), D3DRM_OK);
    Orientation o = Orient(cam, scene_);
    EXPECT_TRUE(Near(o.dir, c.dir));
    EXPECT_TRUE(Near(o.up, c.up));
  }
}

TEST_F(FrameTest, LookAtFollowsTheReferenceUpAndKeepsScale) {
  IDirect3DRMFrame* r = Turned(scene_, 0, 0, 1);  // r's y is world -x
  IDirect3DRMFrame* target = Child(scene_);
  target->SetPosition(nullptr, 0, 0, 10);
  IDirect3DRMFrame* cam = Child(scene_);
  EXPECT_EQ(cam->LookAt(target, r, D3DRMCONSTRAIN_Z), D3DRM_OK);
  EXPECT_TRUE(Near(Orient(cam, nullptr).up, -1, 0, 0));

  IDirect3DRMFrame* parent = Child(scene_);
  parent->AddScale(D3DRMCOMBINE_REPLACE, 2, 2, 2);
  IDirect3DRMFrame* cam2 = Child(parent);
  cam2->AddScale(D3DRMCOMBINE_REPLACE, 1, 1, 3);
  cam2->SetPosition(scene_, 2, 0, 0);
  target->SetPosition(nullptr, 2, 0, -10);
  EXPECT_EQ(cam2->LookAt(target, scene_, D3DRMCONSTRAIN_Z), D3DRM_OK);
  EXPECT_TRUE(Near(Row(cam2, 2), 0, 0, -3));
  EXPECT_TRUE(Near(Row(cam2, 1), 0, 1, 0));
  EXPECT_TRUE(Near(Pos(cam2, scene_), 2, 0, 0));

  EXPECT_EQ(cam->LookAt(nullptr, r, D3DRMCONSTRAIN_Z), D3DRMERR_BADOBJECT);
}

TEST_F(FrameTest, CombiningBeforeAndAfterDiffer) {
  IDirect3DRMFrame* before = Child(scene_);
  IDirect3DRMFrame* after = Child(scene_);
  for (IDirect3DRMFrame* f : {before, after}) f->AddTranslation(D3DRMCOMBINE_REPLACE, 1, 2, 3);
  before->AddScale(D3DRMCOMBINE_BEFORE, 2, 2, 2);
  after->AddScale(D3DRMCOMBINE_AFTER, 2, 2, 2);
  EXPECT_TRUE(Near(ToWorld(before, {1, 0, 0}), 3, 2, 3));
  EXPECT_TRUE(Near(ToWorld(after, {1, 0, 0}), 4, 4, 6));

  // A non-uniform scale before a turn stretches the frame's own x; after it, the world's x.
  for (IDirect3DRMFrame* f : {before, after}) f->AddRotation(D3DRMCOMBINE_REPLACE, 0, 0, 1, kPi / 2);
  before->AddScale(D3DRMCOMBINE_BEFORE, 2, 1, 1);
  after->AddScale(D3DRMCOMBINE_AFTER, 2, 1, 1);
  EXPECT_TRUE(Near(ToWorld(before, {1, 0, 0}), 0, 2, 0));
  EXPECT_TRUE(Near(ToWorld(after, {0, 1, 0}), -2, 0, 0));

  for (IDirect3DRMFrame* f : {before, after}) f->AddRotation(D3DRMCOMBINE_REPLACE, 0, 0, 1, kPi / 2);
  before->AddTranslation(D3DRMCOMBINE_BEFORE, 1, 0, 0);
  after->AddTranslation(D3DRMCOMBINE_AFTER, 1, 0, 0);
  EXPECT_TRUE(Near(Pos(before, nullptr), 0, 1, 0));
  EXPECT_TRUE(Near(Pos(after, nullptr), 1, 0, 0));
  EXPECT_EQ(before->AddRotation(D3DRMCOMBINE_AFTER, 0, 0, 0, 1), D3DRMERR_BADVALUE);
}

TEST_F(FrameTest, InverseTransformUndoesTransformUnderShearAndRefusesFlatFrames) {
  IDirect3DRMFrame* q = Child(scene_);
  q->AddScale(D3DRMCOMBINE_REPLACE, 2, 1, 0.5f);
  q->AddTranslation(D3DRMCOMBINE_AFTER, 0, 1, 0);
  // A turned child of a non-uniformly scaled parent is sheared in the world.
  IDirect3DRMFrame* k = Child(q);
  k->AddRotation(D3DRMCOMBINE_REPLACE, 1, 0, 0, 0.7f);
  k->AddScale(D3DRMCOMBINE_BEFORE, 1, 3, 1);
  k->AddTranslation(D3DRMCOMBINE_AFTER, -2, 0.5f, 4);
  D3DVECTOR back{};
  for (D3DVECTOR p : {D3DVECTOR{0, 0, 0}, D3DVECTOR{1, -2, 3}, D3DVECTOR{-0.5f, 0.25f, 7}}) {
    D3DVECTOR w = ToWorld(k, p);
    EXPECT_EQ(k->InverseTransform(&back, &w), D3DRM_OK);
    EXPECT_TRUE(Near(back, p));
  }

  IDirect3DRMFrame* flat = Child(scene_);
  flat->AddScale(D3DRMCOMBINE_REPLACE, 1, 0, 1);
  D3DVECTOR p{}, world{2, 3, 1.5f};
  EXPECT_EQ(flat->InverseTransform(&back, &world), D3DRMERR_BADVALUE);
  EXPECT_EQ(k->GetPosition(flat, &p), D3DRMERR_BADVALUE);
  EXPECT_EQ(Child(flat)->SetPosition(scene_, 1, 1, 1), D3DRMERR_BADVALUE);
  // Singularity is judged by shape, not size: a tiny frame is still invertible.
  flat->AddScale(D3DRMCOMBINE_REPLACE, 1e-4f, 1e-4f, 1e-4f);
  world = {2e-4f, 3e-4f, 1.5e-4f};
  EXPECT_EQ(flat->InverseTransform(&back, &world), D3DRM_OK);
  EXPECT_TRUE(Near(back, 2, 3, 1.5f));
}

TEST_F(FrameTest, RotationAndVelocityApplyOnMove) {
  IDirect3DRMFrame* f = Child(scene_);
  f->SetPosition(nullptr, 5, 0, 0);
  f->SetRotation(nullptr, 0, 0, 1, kPi / 2);
  f->Move(0.5f);
  f->Move(0.5f);  // the angle scales with the time step
  EXPECT_TRUE(Near(Pos(f, nullptr), 5, 0, 0));
  EXPECT_TRUE(Near(Orient(f, nullptr).up, -1, 0, 0));

  // The axis is given in the reference's coordinates: r's z is world +x.
  IDirect3DRMFrame* r = Turned(scene_, 0, 1, 0);
  IDirect3DRMFrame* h = Child(scene_);
  h->SetRotation(r, 0, 0, 1, kPi / 2);
  h->Move(1);
  Orientation o = Orient(h, nullptr);
  EXPECT_TRUE(Near(o.up, 0, 0, 1));
  EXPECT_TRUE(Near(o.dir, 0, -1, 0));

  IDirect3DRMFrame* v = Child(scene_);
  v->SetPosition(nullptr, 1, 1, 1);
  v->SetVelocity(nullptr, 1, 2, 3);
  v->Move(2);
  EXPECT_TRUE(Near(Pos(v, nullptr), 3, 5, 7));
}

// Positions between frames are remembered between calls; every change that moves either
// frame, or anything above them, must show in the next answer.
TEST_F(FrameTest, ConversionsFollowChangesOfEitherFrameAndTheirAncestors) {
  IDirect3DRMFrame* model = Child(scene_);
  IDirect3DRMFrame* point = Child(model);
  IDirect3DRMFrame* sibling = Child(model);
  IDirect3DRMFrame* camera = Child(scene_);
  point->SetPosition(nullptr, 1, 2, 3);
  sibling->SetPosition(nullptr, 4, 0, 0);
  EXPECT_TRUE(Near(Pos(point, camera), 1, 2, 3));
  EXPECT_TRUE(Near(Pos(sibling, camera), 4, 0, 0));
  camera->SetPosition(nullptr, 0, 0, -10);  // a leaf moves: the reference itself
  EXPECT_TRUE(Near(Pos(point, camera), 1, 2, 13));
  model->AddTranslation(D3DRMCOMBINE_AFTER, 5, 0, 0);  // an ancestor of the point moves
  EXPECT_TRUE(Near(Pos(point, camera), 6, 2, 13));
  camera->AddRotation(D3DRMCOMBINE_BEFORE, 0, 1, 0, kPi / 2);
  EXPECT_TRUE(Near(Pos(point, camera), -13, 2, 6));
  D3DVECTOR world{6, 2, 3}, seen{};
  EXPECT_EQ(camera->InverseTransform(&seen, &world), D3DRM_OK);
  EXPECT_TRUE(Near(seen, -13, 2, 6));
  scene_->AddChild(point);  // taken out from under the model
  EXPECT_TRUE(Near(Pos(point, camera), -13, 2, 1));
  sibling->SetPosition(camera, 0, 0, 1);  // set through the cached conversion the other way
  EXPECT_TRUE(Near(Pos(sibling, nullptr), -4, 0, -10));
  camera->SetPosition(nullptr, 0, 0, 0);
  sibling->SetPosition(camera, 0, 0, 1);
  EXPECT_TRUE(Near(Pos(sibling, nullptr), -4, 0, 0));
}

// The render walk enters only filled children: a leaf that gains a visual, or a child of
// its own, joins its parent's list, in tree order, and leaves it again.
TEST_F(FrameTest, FilledChildrenFollowVisualsLightsAndChildren) {
  IDirect3DRMFrame* a = Child(scene_);
  IDirect3DRMFrame* b = Child(scene_);
  IDirect3DRMFrame* c = Child(scene_);
  EXPECT_TRUE(scene_->FilledChildren().empty());
  auto* shown = new IDirect3DRMFrame();
  c->AddVisual(shown);
  IDirect3DRMFrame* grandchild = Child(a);
  EXPECT_EQ(scene_->FilledChildren(), (std::vector<IDirect3DRMFrame*>{a, c}));
  auto* light = new IDirect3DRMLight(D3DRMLIGHT_AMBIENT, 0xffffffffu);
  b->AddLight(light);
  c->DeleteVisual(shown);
  a->DeleteChild(grandchild);
  EXPECT_EQ(scene_->FilledChildren(), (std::vector<IDirect3DRMFrame*>{b}));
  shown->Release();
  light->Release();
}

struct MoveLog {
  std::vector<IDirect3DRMFrame*> order;
  std::vector<int> tags;
};

void LogFrame(IDirect3DRMFrame* f, void* arg, D3DVALUE) { static_cast<MoveLog*>(arg)->order.push_back(f); }

TEST_F(FrameTest, MoveAppliesMotionThenCallsBackPreOrderOverTheSubtree) {
  IDirect3DRMFrame* a = Child(scene_);
  IDirect3DRMFrame* a1 = Child(a);
  IDirect3DRMFrame* b = Child(scene_);
  MoveLog log;
  for (IDirect3DRMFrame* f : {scene_, a, a1, b}) f->AddMoveCallback(LogFrame, &log);
  a->AddMoveCallback(
      [](IDirect3DRMFrame*, void* arg, D3DVALUE) { static_cast<MoveLog*>(arg)->tags.push_back(1); }, &log);
  a->AddMoveCallback(
      [](IDirect3DRMFrame*, void* arg, D3DVALUE) { static_cast<MoveLog*>(arg)->tags.push_back(2); }, &log);
  D3DVECTOR seen{};
  b->SetVelocity(nullptr, 1, 0, 0);
  b->AddMoveCallback([](IDirect3DRMFrame* frame, void* arg,
                        D3DVALUE) { frame->GetPosition(nullptr, static_cast<D3DVECTOR*>(arg)); },
                     &seen);
  scene_->Move(3);
  EXPECT_EQ(log.order, (std::vector<IDirect3DRMFrame*>{scene_, a, a1, b}));
  EXPECT_TRUE(Near(seen, 3, 0, 0));  // callbacks see the motion already applied
  EXPECT_EQ(log.tags, (std::vector<int>{1, 2}));

  EXPECT_EQ(a->DeleteMoveCallback(LogFrame, &log), D3DRM_OK);
  EXPECT_EQ(a->DeleteMoveCallback(LogFrame, &log), D3DRMERR_NOTFOUND);
  log.order.clear();
  a->Move(1);
  EXPECT_EQ(log.order, (std::vector<IDirect3DRMFrame*>{a1}));
}

TEST_F(FrameTest, CallbackMayDeleteItsOwnFrame) {
  IDirect3DRMFrame* a = Child(scene_);
  IDirect3DRMFrame* a1 = Child(a);
  int destroyed = 0, a1_moves = 0;
  a->AddDestroyCallback(CountDestroy, &destroyed);
  a1->AddMoveCallback([](IDirect3DRMFrame*, void* arg, D3DVALUE) { ++*static_cast<int*>(arg); }, &a1_moves);
  a->AddMoveCallback([](IDirect3DRMFrame* frame, void*, D3DVALUE) { frame->Parent()->DeleteChild(frame); },
                     nullptr);
  scene_->Move(1);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(a1_moves, 0);
  EXPECT_TRUE(scene_->Children().empty());
}

}  // namespace
