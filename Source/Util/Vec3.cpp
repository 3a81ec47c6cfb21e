#include "Util/Vec3.h"

namespace Util {

Mat3 Mat3::operator*(const Mat3& o) const {
  Mat3 r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r.m[i][j] = m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j];
  return r;
}

Mat3 Mat3::FromEulerDegrees(const Vec3& angles) {
  const float toRadians = 3.14159265358979323846f / 180.0f;
  const float cx = std::cos(angles.x * toRadians), sx = std::sin(angles.x * toRadians);
  const float cy = std::cos(angles.y * toRadians), sy = std::sin(angles.y * toRadians);
  const float cz = std::cos(angles.z * toRadians), sz = std::sin(angles.z * toRadians);
  Mat3 rx, ry, rz;
  rx.m[1][1] = cx;
  rx.m[1][2] = -sx;
  rx.m[2][1] = sx;
  rx.m[2][2] = cx;
  ry.m[0][0] = cy;
  ry.m[0][2] = sy;
  ry.m[2][0] = -sy;
  ry.m[2][2] = cy;
  rz.m[0][0] = cz;
  rz.m[0][1] = -sz;
  rz.m[1][0] = sz;
  rz.m[1][1] = cz;
  return rz * ry * rx;
}

}  // namespace Util
