// matrix.cpp - see matrix.h. The evaluation order of every sum is part of
// the picture's exactness; do not reorder.
#include "engine/matrix.h"

#include "engine/trig.h"

// Degrees to radians. This decimal literal is one unit in the last place
// above pi/180; pictures depend on it, so it must not be "corrected".
static const double kDegreesToRadians = 0.0174532925199433;

void MatIdentity(Matrix4* m)
{
    for (int i = 0; i < 16; i++)
        m->m[i] = 0.0;
    for (int i = 0; i < 4; i++)
        m->m[4 * i + i] = 1.0;
}

void MatMultiply(Matrix4* dst, const Matrix4* b)
{
    const Matrix4 a = *dst;
    const Matrix4 bb = *b;
    Matrix4 c;
    for (int i = 0; i < 4; i++) {
        for (int j = 0; j < 4; j++) {
            double sum = 0.0;
            for (int k = 0; k < 4; k++)
                sum = sum + a.m[4 * i + k] * bb.m[4 * k + j];
            c.m[4 * i + j] = sum;
        }
    }
    *dst = c;
}

void MatScale(Matrix4* m, const Vec3* v)
{
    MatIdentity(m);
    m->m[0] = v->x;
    m->m[5] = v->y;
    m->m[10] = v->z;
}

void MatTranslate(Matrix4* m, const Vec3* v)
{
    MatIdentity(m);
    m->m[3] = -v->x;
    m->m[7] = -v->y;
    m->m[11] = -v->z;
}

void MatRotateAxis(Matrix4* m, int axis, double angle)
{
    MatIdentity(m);
    // The mathematical modulo, 0..2 for every int: C++'s % keeps the sign
    // of a negative axis, which would index before the matrix.
    const int i = (axis % 3 + 3) % 3;
    const int j = (i + 1) % 3;
    const double theta = angle * kDegreesToRadians;
    // The engine's own sine and cosine: correctly rounded, so the same
    // bits on every build, where the math libraries differ.
    double s, c;
    EngineSinCos(theta, &s, &c);
    m->m[4 * i + i] = c;
    m->m[4 * i + j] = s;
    m->m[4 * j + j] = c;
    m->m[4 * j + i] = -s;
}

void MatRotateEuler(Matrix4* m, const Vec3* angles)
{
    Matrix4 rx, ry, rz;
    MatRotateAxis(&rx, 1, angles->x);
    MatRotateAxis(&ry, 2, angles->y);
    MatRotateAxis(&rz, 3, angles->z);
    MatIdentity(m);
    MatMultiply(m, &rx);
    MatMultiply(m, &ry);
    MatMultiply(m, &rz);
}

void MatCompose(Matrix4* dst, const Matrix4* s, const Matrix4* r, const Matrix4* t)
{
    *dst = *s;
    MatMultiply(dst, r);
    MatMultiply(dst, t);
}

void TransformPoint(Vec3* dst, const Matrix4* m, const Vec3* p)
{
    dst->x = TransformRow(m->m, p->x, p->y, p->z);
    dst->y = TransformRow(m->m + 4, p->x, p->y, p->z);
    dst->z = TransformRow(m->m + 8, p->x, p->y, p->z);
}

void ProjectPoint(ScreenPoint* out, const Vec3* q)
{
    out->X = q->x / q->z;
    out->Y = q->y / q->z;
}
