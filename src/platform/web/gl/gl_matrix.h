// 4x4 matrices as GL 1.1 keeps them: floats, column-major (element [column *
// 4 + row]), so m[12..14] is the translation. The layer multiplies them the
// way GL does: a new transform is multiplied onto the right of the current
// matrix, and so applies to points first.
#pragma once

#include <array>

using Matrix4 = std::array<float, 16>;

struct Vector4 {
  float x, y, z, w;
};

Matrix4 IdentityMatrix();
// a * b: points are transformed by b first, then by a.
Matrix4 MultiplyMatrices(const Matrix4& a, const Matrix4& b);
Vector4 TransformVector(const Matrix4& m, const Vector4& v);

// glRotatef: a right-handed turn of angleDegrees about (x, y, z), which need
// not be of unit length. A zero axis leaves points where they are.
Matrix4 RotationMatrix(float angleDegrees, float x, float y, float z);
// glTranslatef.
Matrix4 TranslationMatrix(float x, float y, float z);
// gluPerspective, computed in double as GLU does and rounded to float once.
// A degenerate frustum (near equal to far, zero aspect, a field of view of 0
// or 180 degrees) returns false and leaves out untouched, as GLU does.
bool PerspectiveMatrix(double fovyDegrees, double aspect, double zNear, double zFar, Matrix4* out);

// The matrix that carries normals to eye space: the inverse transpose of the
// upper 3x3 of the modelview, as 9 column-major floats. A singular matrix
// gives zeros (GL's normals are then undefined; zero keeps them finite).
std::array<float, 9> NormalMatrix(const Matrix4& modelview);
