// The layer's matrices against the closed formulas GL and GLU define them by.
#include "platform/web/gl/gl_matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr float tolerance = 1e-6f;

void ExpectMatrixNear(const Matrix4& expected, const Matrix4& actual) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(expected[i], actual[i], tolerance) << "element " << i;
}

TEST(GlMatrixTest, PerspectiveMatchesGluFormula) {
  struct Case {
    double fovy, aspect, zNear, zFar;
  };
  for (const Case& c : {Case{45, 640.0 / 480.0, 0.1, 100}, Case{90, 1, 1, 10}, Case{30, 0.5, 2, 3}}) {
    Matrix4 m;
    ASSERT_TRUE(PerspectiveMatrix(c.fovy, c.aspect, c.zNear, c.zFar, &m));
    const double f = 1 / std::tan(c.fovy * std::numbers::pi / 360);
    Matrix4 expected{};
    expected[0] = float(f / c.aspect);
    expected[5] = float(f);
    expected[10] = float((c.zFar + c.zNear) / (c.zNear - c.zFar));
    expected[11] = -1;
    expected[14] = float(2 * c.zFar * c.zNear / (c.zNear - c.zFar));
    ExpectMatrixNear(expected, m);
    // The near and far planes land on -1 and +1 after the divide.
    const Vector4 near = TransformVector(m, {0, 0, float(-c.zNear), 1});
    const Vector4 far = TransformVector(m, {0, 0, float(-c.zFar), 1});
    EXPECT_NEAR(near.z / near.w, -1, 1e-5);
    EXPECT_NEAR(far.z / far.w, 1, 1e-5);
  }
}

TEST(GlMatrixTest, DegeneratePerspectiveLeavesTheMatrixAlone) {
  Matrix4 m = TranslationMatrix(1, 2, 3);
  EXPECT_FALSE(PerspectiveMatrix(45, 1, 5, 5, &m));
  EXPECT_FALSE(PerspectiveMatrix(0, 1, 0.1, 100, &m));
  EXPECT_FALSE(PerspectiveMatrix(45, 0, 0.1, 100, &m));
  ExpectMatrixNear(TranslationMatrix(1, 2, 3), m);
}

// Rodrigues' formula for a unit axis: v cos + (k x v) sin + k (k.v)(1 - cos).
Vector4 Rodrigues(float degrees, float kx, float ky, float kz, Vector4 v) {
  const double length = std::sqrt(double(kx) * kx + double(ky) * ky + double(kz) * kz);
  const double x = kx / length, y = ky / length, z = kz / length;
  const double a = degrees * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
  const double dot = x * v.x + y * v.y + z * v.z;
  return {float(v.x * c + (y * v.z - z * v.y) * s + x * dot * (1 - c)),
          float(v.y * c + (z * v.x - x * v.z) * s + y * dot * (1 - c)),
          float(v.z * c + (x * v.y - y * v.x) * s + z * dot * (1 - c)), v.w};
}

TEST(GlMatrixTest, RotationTurnsPointsAsRodriguesFormula) {
  struct Case {
    float angle, x, y, z;
  };
  const Vector4 points[] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0.3f, -2, 5, 1}};
  // Unit axes, a non-unit axis (normalised first) and a negative angle.
  for (const Case& c : {Case{90, 0, 0, 1}, Case{30, 1, 0, 0}, Case{-45, 0, 1, 0}, Case{123, 2, -1, 3}}) {
    const Matrix4 m = RotationMatrix(c.angle, c.x, c.y, c.z);
    for (const Vector4& p : points) {
      const Vector4 got = TransformVector(m, p), want = Rodrigues(c.angle, c.x, c.y, c.z, p);
      EXPECT_NEAR(got.x, want.x, 1e-5) << c.angle;
      EXPECT_NEAR(got.y, want.y, 1e-5) << c.angle;
      EXPECT_NEAR(got.z, want.z, 1e-5) << c.angle;
    }
  }
  // GL's own example: 90 degrees about z takes x to y.
  const Vector4 turned = TransformVector(RotationMatrix(90, 0, 0, 1), {1, 0, 0, 1});
  EXPECT_NEAR(turned.x, 0, tolerance);
  EXPECT_NEAR(turned.y, 1, tolerance);
}

TEST(GlMatrixTest, ZeroAxisRotationIsIdentity) { ExpectMatrixNear(IdentityMatrix(), RotationMatrix(30, 0, 0, 0)); }

TEST(GlMatrixTest, LaterTransformsApplyToPointsFirst) {
  // glRotatef(90, z) then glTranslatef(1, 0, 0): the point moves, then turns.
  const Matrix4 m = MultiplyMatrices(RotationMatrix(90, 0, 0, 1), TranslationMatrix(1, 0, 0));
  const Vector4 p = TransformVector(m, {0, 0, 0, 1});
  EXPECT_NEAR(p.x, 0, tolerance);
  EXPECT_NEAR(p.y, 1, tolerance);
  // Directions (w = 0) are not moved by a translation.
  const Vector4 d = TransformVector(TranslationMatrix(5, 6, 7), {0, 0, 1, 0});
  EXPECT_EQ(d.x, 0);
  EXPECT_EQ(d.z, 1);
}

TEST(GlMatrixTest, NormalMatrixIsTheInverseTranspose) {
  // A non-uniform scale: a normal of the plane x + y = 0 must stay at right
  // angles to the scaled plane, which the plain matrix would not keep.
  Matrix4 scale = IdentityMatrix();
  scale[0] = 2;
  scale[5] = 4;
  const Matrix4 m = MultiplyMatrices(RotationMatrix(30, 0, 0, 1), scale);
  const std::array<float, 9> n = NormalMatrix(m);
  const float normal[3] = {1, 1, 0};
  const Vector4 tangent = TransformVector(m, {1, -1, 0, 0});
  const float transformed[3] = {n[0] * normal[0] + n[3] * normal[1] + n[6] * normal[2],
                                n[1] * normal[0] + n[4] * normal[1] + n[7] * normal[2],
                                n[2] * normal[0] + n[5] * normal[1] + n[8] * normal[2]};
  EXPECT_NEAR(transformed[0] * tangent.x + transformed[1] * tangent.y + transformed[2] * tangent.z, 0, 1e-5);
  // A pure rotation is its own inverse transpose.
  const std::array<float, 9> rotation = NormalMatrix(RotationMatrix(40, 1, 2, 3));
  const Matrix4 r = RotationMatrix(40, 1, 2, 3);
  for (int c = 0; c < 3; ++c)
    for (int row = 0; row < 3; ++row) EXPECT_NEAR(rotation[c * 3 + row], r[c * 4 + row], 1e-6);
  // A singular matrix gives zeros rather than infinities.
  Matrix4 flat = IdentityMatrix();
  flat[10] = 0;
  for (float value : NormalMatrix(flat)) EXPECT_EQ(value, 0);
}

Matrix4 ScaleMatrix(float x, float y, float z) {
  Matrix4 m = IdentityMatrix();
  m[0] = x;
  m[5] = y;
  m[10] = z;
  return m;
}

TEST(GlMatrixTest, NormalMatrixKeepsTheLengthOfTheInverseTranspose) {
  // GL lights with the normal as the inverse transpose gives it, without
  // normalising it: its length matters as much as its direction. For
  // T * R * S the inverse transpose of the 3x3 part is R * S^-1.
  struct Case {
    float angle, sx, sy, sz, normalX, normalY, normalZ;
  };
  for (const Case& c : {Case{30, 2, 4, 0.5f, 1, 1, 0}, Case{0, 3, 1, 1, 1, 0, 0}, Case{-70, 0.25f, 5, 2, 0.6f, 0, 0.8f},
                        Case{45, 1, 1, 8, 0, 0.6f, 0.8f}}) {
    SCOPED_TRACE(testing::Message() << "rotation " << c.angle << ", scale " << c.sx << " " << c.sy << " " << c.sz);
    const Matrix4 rotation = RotationMatrix(c.angle, 1, 2, 3);
    const Matrix4 m =
        MultiplyMatrices(TranslationMatrix(4, -5, 6), MultiplyMatrices(rotation, ScaleMatrix(c.sx, c.sy, c.sz)));
    const Vector4 expected = TransformVector(MultiplyMatrices(rotation, ScaleMatrix(1 / c.sx, 1 / c.sy, 1 / c.sz)),
                                             {c.normalX, c.normalY, c.normalZ, 0});
    const std::array<float, 9> n = NormalMatrix(m);
    const float got[3] = {n[0] * c.normalX + n[3] * c.normalY + n[6] * c.normalZ,
                          n[1] * c.normalX + n[4] * c.normalY + n[7] * c.normalZ,
                          n[2] * c.normalX + n[5] * c.normalY + n[8] * c.normalZ};
    const double expectedLength = std::hypot(expected.x, expected.y, expected.z);
    const double gotLength = std::hypot(got[0], got[1], got[2]);
    EXPECT_NEAR(gotLength, expectedLength, 1e-5 * expectedLength);
    // The direction: the unit vectors agree.
    EXPECT_NEAR(got[0] / gotLength, expected.x / expectedLength, 1e-5);
    EXPECT_NEAR(got[1] / gotLength, expected.y / expectedLength, 1e-5);
    EXPECT_NEAR(got[2] / gotLength, expected.z / expectedLength, 1e-5);
  }
}

}  // namespace
