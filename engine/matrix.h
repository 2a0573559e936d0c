// matrix.h - points, projected points and 4x4 row-major matrices.
//
// Every operation writes into a caller-supplied output and returns nothing.
// Arithmetic is plain IEEE double in a fixed order so that results are the
// same bit for bit on every build (the project compiles with
// -ffp-contract=off and SSE2 math on i686).
#pragma once

struct Vec3 {
    double x, y, z;
};

struct ScreenPoint {
    double X, Y;
};

// m[4 * r + c] is row r, column c. Rows 0-2 transform a point: columns 0-2
// are the linear part, column 3 the translation. Row 3 only matters when
// matrices are multiplied.
struct Matrix4 {
    double m[16];
};

void MatIdentity(Matrix4* m);                                          // the identity matrix
void MatMultiply(Matrix4* dst, const Matrix4* b);                      // dst := dst * b (dst may be b)
void MatScale(Matrix4* m, const Vec3* v);                              // identity with diagonal v.x, v.y, v.z
void MatTranslate(Matrix4* m, const Vec3* v);                          // translation by -v
void MatRotateAxis(Matrix4* m, int axis, double angle);                // axis 1..3 (x, y, z), angle in degrees
                                                                       // (any int: axis mod 3, non-negative, as 3, 1, 2)
void MatRotateEuler(Matrix4* m, const Vec3* angles);                   // Rx(a.x) * Ry(a.y) * Rz(a.z)
void MatCompose(Matrix4* dst, const Matrix4* s, const Matrix4* r, const Matrix4* t);  // s * r * t
void TransformPoint(Vec3* dst, const Matrix4* m, const Vec3* p);       // affine transform by rows 0-2 (dst != p)
// One component of TransformPoint, from a row of 4; inline for the walk and the renderer.
inline double TransformRow(const double* row, double x, double y, double z) { return (row[1] * y + row[2] * z) + row[0] * x + row[3]; }
void ProjectPoint(ScreenPoint* out, const Vec3* q);                    // perspective divide by q.z, no near plane
