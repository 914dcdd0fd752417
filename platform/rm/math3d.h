// Small vector and 4x4 matrix helpers, in double precision so that long chains of frames and
// repeated turns do not drift.
//
// Row-vector convention: a point p maps to p * M, the translation sits in row 3, and
// Multiply(a, b) applies a first, then b.
//
// Rotation direction: Rotation(axis, theta) turns v into
//   v cos(theta) + (axis x v) sin(theta) + axis (axis . v) (1 - cos(theta)),
// with the ordinary component formula for the cross product. In our left-handed coordinates
// (+x right, +y up, +z forward) a positive angle about z turns +x toward +y, about x turns +y
// toward +z, and about y turns +z toward +x.
#pragma once

#include "platform/rm/types.h"

namespace math3d {

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

struct Mat4 {
  double m[4][4];
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator-(Vec3 a) { return {-a.x, -a.y, -a.z}; }
inline Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }

double Dot(Vec3 a, Vec3 b);
Vec3 Cross(Vec3 a, Vec3 b);
double Length(Vec3 v);
// Scales v to unit length; a zero vector is left alone and false returned.
bool Normalise(Vec3* v);

inline Vec3 ToVec3(const D3DVECTOR& v) { return {v.x, v.y, v.z}; }
inline D3DVECTOR ToD3DVector(Vec3 v) {
  return {static_cast<D3DVALUE>(v.x), static_cast<D3DVALUE>(v.y), static_cast<D3DVALUE>(v.z)};
}

Mat4 Identity();
Mat4 Translation(Vec3 t);
Mat4 Scaling(Vec3 s);
// `axis` must have unit length.
Mat4 Rotation(Vec3 axis, double theta);
Mat4 Multiply(const Mat4& a, const Mat4& b);
Vec3 TransformPoint(Vec3 p, const Mat4& m);
// Directions ignore the translation row.
Vec3 TransformDirection(Vec3 v, const Mat4& m);
// Inverse of a matrix whose last column is (0, 0, 0, 1); false, and *inverse untouched, when
// the 3x3 part is singular.
bool AffineInverse(const Mat4& m, Mat4* inverse);

inline Vec3 Row(const Mat4& m, int r) { return {m.m[r][0], m.m[r][1], m.m[r][2]}; }
inline void SetRow(Mat4* m, int r, Vec3 v) {
  m->m[r][0] = v.x;
  m->m[r][1] = v.y;
  m->m[r][2] = v.z;
}

Mat4 FromD3DMatrix(const D3DRMMATRIX4D d);
void ToD3DMatrix(const Mat4& m, D3DRMMATRIX4D d);

}  // namespace math3d
