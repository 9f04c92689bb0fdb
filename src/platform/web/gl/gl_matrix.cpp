#include "platform/web/gl/gl_matrix.h"

#include <cmath>
#include <numbers>

Matrix4 IdentityMatrix() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

Matrix4 MultiplyMatrices(const Matrix4& a, const Matrix4& b) {
  Matrix4 product{};
  for (int column = 0; column < 4; ++column)
    for (int row = 0; row < 4; ++row) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[column * 4 + k];
      product[column * 4 + row] = sum;
    }
  return product;
}

Vector4 TransformVector(const Matrix4& m, const Vector4& v) {
  return {m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12] * v.w, m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13] * v.w,
          m[2] * v.x + m[6] * v.y + m[10] * v.z + m[14] * v.w, m[3] * v.x + m[7] * v.y + m[11] * v.z + m[15] * v.w};
}

Matrix4 RotationMatrix(float angleDegrees, float x, float y, float z) {
  const float length = std::sqrt(x * x + y * y + z * z);
  if (length == 0 || !std::isfinite(length)) return IdentityMatrix();
  x /= length;
  y /= length;
  z /= length;
  const float radians = angleDegrees * float(std::numbers::pi / 180.0);
  const float c = std::cos(radians), s = std::sin(radians), t = 1 - c;
  return {t * x * x + c,
          t * x * y + s * z,
          t * x * z - s * y,
          0,  // first column
          t * x * y - s * z,
          t * y * y + c,
          t * y * z + s * x,
          0,  // second
          t * x * z + s * y,
          t * y * z - s * x,
          t * z * z + c,
          0,  // third
          0,
          0,
          0,
          1};
}

Matrix4 TranslationMatrix(float x, float y, float z) { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1}; }

bool PerspectiveMatrix(double fovyDegrees, double aspect, double zNear, double zFar, Matrix4* out) {
  const double halfAngle = fovyDegrees / 2 * std::numbers::pi / 180.0;
  const double depth = zFar - zNear;
  const double sine = std::sin(halfAngle);
  if (depth == 0 || sine == 0 || aspect == 0) return false;
  const double cotangent = std::cos(halfAngle) / sine;
  *out = Matrix4{};
  (*out)[0] = float(cotangent / aspect);
  (*out)[5] = float(cotangent);
  (*out)[10] = float(-(zFar + zNear) / depth);
  (*out)[11] = -1;
  (*out)[14] = float(-2 * zNear * zFar / depth);
  return true;
}

std::array<float, 9> NormalMatrix(const Matrix4& m) {
  // The 3x3 part as rows r and columns c: a(r, c) = m[c * 4 + r].
  auto a = [&](int r, int c) { return double(m[c * 4 + r]); };
  // Cofactors: the inverse transpose is the cofactor matrix over the determinant.
  double cofactor[3][3];
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) {
      const int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
      cofactor[r][c] = a(r1, c1) * a(r2, c2) - a(r1, c2) * a(r2, c1);
    }
  const double determinant = a(0, 0) * cofactor[0][0] + a(0, 1) * cofactor[0][1] + a(0, 2) * cofactor[0][2];
  std::array<float, 9> normal{};
  if (determinant == 0 || !std::isfinite(determinant)) return normal;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) normal[c * 3 + r] = float(cofactor[r][c] / determinant);
  return normal;
}
