// Which way round a face runs as seen from the active camera, and turning faces over.
#include <algorithm>
#include <cmath>
#include <utility>

#include "model/polygoni.h"

namespace {

// Angles in radians, to the precision the orientation test has always used.
constexpr float kHalfPi = 1.5707963f;
constexpr float kPi = 3.1415926f;
constexpr float kThreeHalvesPi = 4.7123889f;
constexpr float kTwoPi = 6.2831852f;
constexpr float kNotZero = 0.0001f;
constexpr float kThird = 1.0f / 3.0f;

float NotZero(float v) { return v == 0.0f ? kNotZero : v; }

// The angle of (x, y) clockwise from the +y axis, in 0 .. 2 pi; neither component is zero.
float Bearing(float x, float y) {
  const float a = std::atan(y / x);
  if (x > 0 && y > 0) return kHalfPi - a;
  if (x > 0) return kHalfPi + std::fabs(a);
  if (y > 0) return kThreeHalvesPi + std::fabs(a);
  return kThreeHalvesPi - std::fabs(a);
}

}  // namespace

IDirect3DRMFrame* Polygoni::ActiveCamera() {
  switch (model_links.active_view ? model_links.active_view() : 1) {
    case 2:
      return view2;
    case 3:
      return view3;
    default:
      return view1;
  }
}

bool Polygoni::IsItBackFace(int f_index) {
  if (f_index < 0 || f_index >= num_faces) return false;
  IDirect3DRMFrame* camera = ActiveCamera();
  const FaceStuff& face = facedata[f_index];
  float sx[3], sy[3];
  for (int k = 0; k < 3; ++k) {
    const PointStuff& corner = pointdata[*face.points[k]];
    _D3DVECTOR q = corner.point;
    if (corner.frames) {
      corner.frames->GetPosition(camera, &q);
    } else if (scene && camera) {
      _D3DVECTOR world{0, 0, 0};
      scene->Transform(&world, &corner.point);
      camera->InverseTransform(&q, &world);
    }
    // A corner on the camera plane has no projection; it is taken as just in front of it.
    const float z = NotZero(q.z);
    sx[k] = q.x / z;
    sy[k] = q.y / z;
  }
  const float cx = (sx[0] + sx[1] + sx[2]) * kThird;
  const float cy = (sy[0] + sy[1] + sy[2]) * kThird;
  const float t1 = Bearing(NotZero(sx[0] - cx), NotZero(sy[0] - cy));
  const float t2 = Bearing(NotZero(sx[1] - cx), NotZero(sy[1] - cy));
  float turn;
  if (t1 >= kPi) {
    turn = (kTwoPi - t1) + t2;
    if (turn > kTwoPi) turn -= kTwoPi;
  } else {
    turn = t2 - t1;
    if (turn < 0) turn += kTwoPi;
  }
  const bool back = turn > kPi;
  facedata[num_faces - 1].backface = back;
  return back;
}

void Polygoni::ChangeFace(int f_index, bool face) {
  if (f_index < 0 || f_index >= num_faces) return;
  FaceStuff& f = facedata[f_index];
  if (f.backface == face) std::swap(f.points[0], f.points[1]);
  f.backface = !face;
  f.normal = Normalize(&pointdata[*f.points[1]].point, &pointdata[*f.points[0]].point, &pointdata[*f.points[2]].point);
}

void Polygoni::ChangeSelectedFace() {
  for (int i = 0; i < num_faces; ++i) {
    const FaceStuff& f = facedata[i];
    const bool all = pointdata[*f.points[0]].active && pointdata[*f.points[1]].active && pointdata[*f.points[2]].active;
    if (all) ChangeFace(i, f.backface);
  }
  UpdateMesh();
}

void Polygoni::ChangeLastFace() {
  // Deletions since the last polygon was closed can leave num_created naming more faces
  // than exist; the range stays within the faces there are.
  const int from = std::clamp(num_faces - num_created, 0, num_faces);
  for (int i = from; i < num_faces; ++i) ChangeFace(i, facedata[i].backface);
  UpdateMesh();
}
