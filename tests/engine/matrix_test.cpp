// Matrix and vector arithmetic: products, rotations, composition, projection.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

#include "engine/matrix.h"
#include "engine/trig.h"

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

// Terms that straddle half a unit in the last place: each row's four terms
// sum, in the order given, to a value that no other order of them (nor a
// pairwise sum) gives. E is 2^-53, half an ulp of 1.
constexpr double E = 0x1p-53;
constexpr double kOrdered[4][4] = {
    {1.0, 5 * E, -3 * E, -E},   // 0x1.fffffffffffffp-1
    {5 * E, 1.0, -3 * E, -E},   // 0x1.fffffffffffffp-1
    {3 * E, -E, 2.0, -3 * E},   // 0x1.ffffffffffffep+0
    {E, 5 * E, 2.0, -5 * E},    // 0x1.0000000000001p+1
};
constexpr double kOrderedSums[4] = {0x1.fffffffffffffp-1, 0x1.fffffffffffffp-1, 0x1.ffffffffffffep+0,
                                    0x1.0000000000001p+1};

TEST(Matrix, MultiplySumsEachElementInOrderFromZero)
{
    // c[i][j] = sum over k of a[i][k] * 1: row i's terms in order k = 0..3.
    Matrix4 a, ones;
    for (int i = 0; i < 16; i++) {
        a.m[i] = kOrdered[i / 4][i % 4];
        ones.m[i] = 1.0;
    }
    MatMultiply(&a, &ones);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(kOrderedSums[i / 4], a.m[i]) << "row " << i / 4 << " column " << i % 4 << ": " << std::hexfloat << a.m[i];

    // Products of -0.0: a sum from 0.0 is +0.0, one from the first product -0.0.
    Matrix4 negZero;
    for (int i = 0; i < 16; i++)
        negZero.m[i] = -0.0;
    MatMultiply(&negZero, &ones);
    for (int i = 0; i < 16; i++)
        EXPECT_FALSE(std::signbit(negZero.m[i])) << "element " << i;
}

TEST(Matrix, TransformSumsEachRowInTheStatedOrder)
{
    // Row r is (m[r][1]*y + m[r][2]*z) + m[r][0]*x + m[r][3]; at (1, 1, 1)
    // the terms are the coefficients themselves.
    Matrix4 m;
    MatIdentity(&m);
    for (int r = 0; r < 3; r++) {
        m.m[4 * r + 1] = kOrdered[r][0];
        m.m[4 * r + 2] = kOrdered[r][1];
        m.m[4 * r + 0] = kOrdered[r][2];
        m.m[4 * r + 3] = kOrdered[r][3];
    }
    const Vec3 ones = {1.0, 1.0, 1.0};
    Vec3 q;
    TransformPoint(&q, &m, &ones);
    EXPECT_EQ(kOrderedSums[0], q.x) << std::hexfloat << q.x;
    EXPECT_EQ(kOrderedSums[1], q.y) << std::hexfloat << q.y;
    EXPECT_EQ(kOrderedSums[2], q.z) << std::hexfloat << q.z;

    // All terms -0.0: the sum has no 0.0 to start from, so it stays -0.0.
    for (int r = 0; r < 3; r++)
        for (int c = 0; c < 4; c++)
            m.m[4 * r + c] = -0.0;
    TransformPoint(&q, &m, &ones);
    EXPECT_TRUE(std::signbit(q.x));
    EXPECT_TRUE(std::signbit(q.y));
    EXPECT_TRUE(std::signbit(q.z));
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

TEST(Matrix, RotationAxisIsTakenModuloThree)
{
    // Any int names a plane, axis mod 3 counted from 0 up, as 1..3 do.
    const struct {
        int axis, same;
    } cases[] = {{-1, 2}, {-3, 3}, {0, 3}, {4, 1}, {INT_MIN, 1}, {INT_MAX, 1}};
    for (const auto& c : cases) {
        Matrix4 r, expected;
        MatRotateAxis(&r, c.axis, 30.0);
        MatRotateAxis(&expected, c.same, 30.0);
        EXPECT_EQ(0, std::memcmp(expected.m, r.m, sizeof r.m)) << "axis " << c.axis;
    }
}

// The rotation takes degrees to radians with the double of bits
// 0x3F91DF46A2529D3A, one unit in the last place above pi/180: the double
// just below it, pi/180 rounded, turns a 1-degree angle by a different sine.
TEST(Matrix, DegreeConstantIsTheStatedOne)
{
    const uint64_t bits = 0x3F91DF46A2529D3Aull;
    double theta, below;
    std::memcpy(&theta, &bits, sizeof theta);
    below = std::nextafter(theta, 0.0);
    Matrix4 r;
    MatRotateAxis(&r, 3, 1.0);
    double sine, cosine, sineBelow, cosineBelow;
    EngineSinCos(theta, &sine, &cosine);
    EngineSinCos(below, &sineBelow, &cosineBelow);
    ASSERT_NE(sine, sineBelow);
    EXPECT_EQ(cosine, r.m[0]);
    EXPECT_EQ(sine, r.m[1]);
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
