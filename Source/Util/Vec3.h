// Vec3 and Mat3: the engine's small vector and 3×3 matrix types, shared by messages, entities,
// the camera, the grid and physics. Vectors are three floats in x, y, z order.
//
// Rotation angles are Euler angles in degrees. The matrix built from angles (x, y, z) turns a
// vector about x first, then about y, then about z: M = Rz · Ry · Rx, acting on column vectors,
// stored row by row. The renderer and the physics hull rotation both use this one routine.
#pragma once

#include <cmath>

namespace Util {

struct Vec3 {
  float x = 0.0f, y = 0.0f, z = 0.0f;

  Vec3& operator+=(const Vec3& o) {
    x += o.x;
    y += o.y;
    z += o.z;
    return *this;
  }
  Vec3& operator-=(const Vec3& o) {
    x -= o.x;
    y -= o.y;
    z -= o.z;
    return *this;
  }
  Vec3& operator*=(float s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
  }
};

inline bool operator==(const Vec3& a, const Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
inline bool operator!=(const Vec3& a, const Vec3& b) { return !(a == b); }
inline Vec3 operator+(Vec3 a, const Vec3& b) { return a += b; }
inline Vec3 operator-(Vec3 a, const Vec3& b) { return a -= b; }
inline Vec3 operator-(const Vec3& a) { return {-a.x, -a.y, -a.z}; }
inline Vec3 operator*(Vec3 a, float s) { return a *= s; }
inline Vec3 operator*(float s, Vec3 a) { return a *= s; }

inline float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float LengthSquared(const Vec3& a) { return Dot(a, a); }
inline float Length(const Vec3& a) { return std::sqrt(Dot(a, a)); }
// The unit vector along a; a zero vector stays zero rather than turning into NaNs.
inline Vec3 Normalize(const Vec3& a) {
  const float length = Length(a);
  return length > 0.0f ? a * (1.0f / length) : Vec3{};
}

struct Mat3 {
  float m[3][3] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};

  static Mat3 Identity() { return Mat3{}; }
  static Mat3 FromEulerDegrees(const Vec3& angles);

  Vec3 Row(int i) const { return {m[i][0], m[i][1], m[i][2]}; }
  Vec3 operator*(const Vec3& v) const { return {Dot(Row(0), v), Dot(Row(1), v), Dot(Row(2), v)}; }
  Mat3 operator*(const Mat3& o) const;
};

inline bool operator==(const Mat3& a, const Mat3& b) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      if (a.m[i][j] != b.m[i][j]) return false;
  return true;
}

}  // namespace Util
