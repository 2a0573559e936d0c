// Matrix and vector arithmetic: products, rotations, composition, projection.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/matrix.h"

namespace {

Matrix4 Identity()
{
    Matrix4 m;
    MatIdentity(&m);
    return m;
}

void ExpectSameBits(const Matrix4& a, const Matrix4& b)
{
    EXPECT_EQ(0, std::memcmp(a.m, b.m, sizeof a.m));
}

TEST(Matrix, MultiplyWithItselfSquares)
{
    Matrix4 a;
    for (int i = 0; i < 16; i++)
        a.m[i] = i + 1;
    Matrix4 expected;
    for (int r = 0; r < 4; r++)
        for (int c = 0; c < 4; c++) {
            double sum = 0.0;
            for (int k = 0; k < 4; k++)
                sum = sum + a.m[4 * r + k] * a.m[4 * k + c];
            expected.m[4 * r + c] = sum;
        }
    MatMultiply(&a, &a);
    ExpectSameBits(expected, a);
    EXPECT_EQ(90.0, a.m[0]);  // row 0 (1,2,3,4) . column 0 (1,5,9,13)
}

TEST(Matrix, MultiplyUsesDestinationAsLeftOperand)
{
    Vec3 scale = {2, 3, 4};
    Vec3 shift = {1, 1, 1};
    Matrix4 s, t;
    MatScale(&s, &scale);
    MatTranslate(&t, &shift);
    MatMultiply(&s, &t);  // s * t: translate first, then scale
    const Vec3 p = {0, 0, 0};
    Vec3 q;
    TransformPoint(&q, &s, &p);
    EXPECT_EQ(-2.0, q.x);
    EXPECT_EQ(-3.0, q.y);
    EXPECT_EQ(-4.0, q.z);
}

TEST(Matrix, RotationByZeroIsIdentity)
{
    for (int axis = 1; axis <= 3; axis++) {
        Matrix4 r;
        MatRotateAxis(&r, axis, 0.0);
        const Matrix4 id = Identity();
        for (int i = 0; i < 16; i++)
            EXPECT_EQ(id.m[i], r.m[i]) << "axis " << axis << " element " << i;  // -sin 0 is -0.0
    }
}

TEST(Matrix, RotationPlanesAndDirection)
{
    Matrix4 r;
    Vec3 q;
    const Vec3 x = {1, 0, 0};
    MatRotateAxis(&r, 3, 90.0);
    TransformPoint(&q, &r, &x);
    EXPECT_NEAR(0.0, q.x, 1e-15);
    EXPECT_NEAR(-1.0, q.y, 1e-15);
    EXPECT_EQ(0.0, q.z);

    // About y: x' = cos*x - sin*z, z' = sin*x + cos*z.
    MatRotateAxis(&r, 2, 90.0);
    TransformPoint(&q, &r, &x);
    EXPECT_NEAR(0.0, q.x, 1e-15);
    EXPECT_EQ(0.0, q.y);
    EXPECT_NEAR(1.0, q.z, 1e-15);

    // Axis 1 rotates the (y, z) plane and leaves x alone.
    MatRotateAxis(&r, 1, 30.0);
    TransformPoint(&q, &r, &x);
    EXPECT_EQ(1.0, q.x);
}

TEST(Matrix, DegreeConstantIsTheStatedLiteral)
{
    Matrix4 r;
    MatRotateAxis(&r, 3, 1.0);
    const double theta = 0.0174532925199433;
    uint64_t bits;
    std::memcpy(&bits, &theta, sizeof bits);
    EXPECT_EQ(0x3F91DF46A2529D3Aull, bits);
    EXPECT_EQ(std::cos(theta), r.m[0]);
    EXPECT_EQ(std::sin(theta), r.m[1]);
}

TEST(Matrix, EulerAppliesZFirstAndXLast)
{
    const Vec3 angles = {90.0, 0.0, 90.0};
    Matrix4 e;
    MatRotateEuler(&e, &angles);
    Matrix4 rx, rz, expected = Identity();
    MatRotateAxis(&rx, 1, 90.0);
    MatRotateAxis(&rz, 3, 90.0);
    MatMultiply(&expected, &rx);
    Matrix4 ry;
    MatRotateAxis(&ry, 2, 0.0);
    MatMultiply(&expected, &ry);
    MatMultiply(&expected, &rz);
    ExpectSameBits(expected, e);

    // (1,0,0) -> Rz -> (0,-1,0) -> Rx -> (0,0,1): x is applied last.
    const Vec3 p = {1, 0, 0};
    Vec3 q;
    TransformPoint(&q, &e, &p);
    EXPECT_NEAR(0.0, q.x, 1e-15);
    EXPECT_NEAR(0.0, q.y, 1e-15);
    EXPECT_NEAR(1.0, q.z, 1e-15);
}

TEST(Matrix, ComposeScaleProjects)
{
    const Matrix4 id = Identity();
    Matrix4 c;
    MatCompose(&c, &id, &id, &id);
    ExpectSameBits(id, c);

    const Vec3 scale = {1, 1, 0.01};
    Matrix4 s;
    MatScale(&s, &scale);
    MatCompose(&c, &s, &id, &id);
    const Vec3 p = {2, 3, 4};
    Vec3 q;
    TransformPoint(&q, &c, &p);
    EXPECT_EQ(2.0, q.x);
    EXPECT_EQ(3.0, q.y);
    EXPECT_EQ(0.04, q.z);
    ScreenPoint sp;
    ProjectPoint(&sp, &q);
    EXPECT_DOUBLE_EQ(50.0, sp.X);
    EXPECT_DOUBLE_EQ(75.0, sp.Y);
}

TEST(Matrix, TranslateMovesByMinusV)
{
    const Vec3 v = {1, 2, 3};
    Matrix4 t;
    MatTranslate(&t, &v);
    const Vec3 origin = {0, 0, 0};
    Vec3 q;
    TransformPoint(&q, &t, &origin);
    EXPECT_EQ(-1.0, q.x);
    EXPECT_EQ(-2.0, q.y);
    EXPECT_EQ(-3.0, q.z);
}

TEST(Matrix, TransformIgnoresRowThreeAndKeepsSumOrder)
{
    Matrix4 m = Identity();
    m.m[12] = NAN;
    m.m[15] = INFINITY;
    // Row 0 sums (m01*y + m02*z) + m00*x + m03: chosen so that another order
    // gives a different double.
    m.m[0] = 1.0;
    m.m[1] = 1e16;
    m.m[2] = -1e16;
    m.m[3] = 0.0;
    const Vec3 p = {1.0, 1.0, 1.0};
    Vec3 q;
    TransformPoint(&q, &m, &p);
    EXPECT_EQ(1.0, q.x);  // (1e16 - 1e16) + 1 = 1; (1 + 1e16) - 1e16 would be 0
    EXPECT_TRUE(std::isfinite(q.y));
    EXPECT_TRUE(std::isfinite(q.z));
}

TEST(Matrix, ProjectionAtZeroDepthIsNonFinite)
{
    const Vec3 q0 = {1.0, 0.0, 0.0};
    ScreenPoint sp;
    ProjectPoint(&sp, &q0);
    EXPECT_TRUE(std::isinf(sp.X));
    EXPECT_TRUE(std::isnan(sp.Y));  // 0 / 0
    const Vec3 behind = {1.0, 2.0, -1.0};
    ProjectPoint(&sp, &behind);
    EXPECT_EQ(-1.0, sp.X);
    EXPECT_EQ(-2.0, sp.Y);
}

}  // namespace
