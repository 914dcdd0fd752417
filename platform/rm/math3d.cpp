#include "platform/rm/math3d.h"

#include <cmath>

namespace math3d {

double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

double Length(Vec3 v) { return std::sqrt(Dot(v, v)); }

bool Normalise(Vec3* v) {
  double len = Length(*v);
  if (!(len > 0) || !std::isfinite(len)) return false;
  *v = *v * (1.0 / len);
  return true;
}

Mat4 Identity() {
  Mat4 r{};
  for (int i = 0; i < 4; ++i) r.m[i][i] = 1;
  return r;
}

Mat4 Translation(Vec3 t) {
  Mat4 r = Identity();
  SetRow(&r, 3, t);
  return r;
}

Mat4 Scaling(Vec3 s) {
  Mat4 r = Identity();
  r.m[0][0] = s.x;
  r.m[1][1] = s.y;
  r.m[2][2] = s.z;
  return r;
}

Mat4 Rotation(Vec3 a, double theta) {
  double c = std::cos(theta), s = std::sin(theta), t = 1 - c;
  // Entry [i][j] is how much component i of the input adds to component j of the output.
  Mat4 r = Identity();
  r.m[0][0] = c + t * a.x * a.x;
  r.m[0][1] = t * a.x * a.y + s * a.z;
  r.m[0][2] = t * a.x * a.z - s * a.y;
  r.m[1][0] = t * a.y * a.x - s * a.z;
  r.m[1][1] = c + t * a.y * a.y;
  r.m[1][2] = t * a.y * a.z + s * a.x;
  r.m[2][0] = t * a.z * a.x + s * a.y;
  r.m[2][1] = t * a.z * a.y - s * a.x;
  r.m[2][2] = c + t * a.z * a.z;
  return r;
}

Mat4 Multiply(const Mat4& a, const Mat4& b) {
  Mat4 r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      r.m[i][j] =
          a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    }
  }
  return r;
}

Vec3 TransformDirection(Vec3 v, const Mat4& m) {
  return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0],
          v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
          v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

Vec3 TransformPoint(Vec3 p, const Mat4& m) { return TransformDirection(p, m) + Row(m, 3); }

bool AffineInverse(const Mat4& m, Mat4* inverse) {
  Vec3 r0 = Row(m, 0), r1 = Row(m, 1), r2 = Row(m, 2);
  // The rows of the adjugate's transpose are the cross products of the rows.
  Vec3 c0 = Cross(r1, r2), c1 = Cross(r2, r0), c2 = Cross(r0, r1);
  double det = Dot(r0, c0);
  // Compare with the product of the row lengths, the largest the determinant can be, so the
  // test does not depend on the overall scale (meshes scaled by 0.01 stay invertible).
  double bound = Length(r0) * Length(r1) * Length(r2);
  if (!(std::fabs(det) > 1e-12 * bound) || !std::isfinite(det)) return false;
  double k = 1.0 / det;
  // Column j of the inverse is c_j / det, since row i of m dotted with c_j is det when i == j
  // and 0 otherwise.
  Mat4 r = Identity();
  SetRow(&r, 0, Vec3{c0.x, c1.x, c2.x} * k);
  SetRow(&r, 1, Vec3{c0.y, c1.y, c2.y} * k);
  SetRow(&r, 2, Vec3{c0.z, c1.z, c2.z} * k);
  SetRow(&r, 3, -TransformDirection(Row(m, 3), r));
  *inverse = r;
  return true;
}

Mat4 FromD3DMatrix(const D3DRMMATRIX4D d) {
  Mat4 r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r.m[i][j] = d[i][j];
  return r;
}

void ToD3DMatrix(const Mat4& m, D3DRMMATRIX4D d) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) d[i][j] = static_cast<D3DVALUE>(m.m[i][j]);
}

}  // namespace math3d
