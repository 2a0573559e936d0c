// Map set and point walk: draw counts, element order, start point, the map
// each step takes, repeatability and the propagation of non-finite
// coefficients. The walk's arithmetic is pinned by the frame fingerprints
// (render_test.cpp) and restated by the engine fuzz target.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/attractor.h"

namespace {

uint32_t Steps(uint32_t s, int n)
{
    while (n-- > 0)
        s = RandomNextState(s);
    return s;
}

RandomStream Seeded(uint32_t seed)
{
    RandomStream r = UnseededStream;
    RandomSeed(&r, seed);
    return r;
}

TEST(Attractor, RandomizeMapsDrawsEveryElement)
{
    MapSet maps[MapCount];
    std::memset(maps, 0, sizeof maps);
    RandomStream r = Seeded(7);
    RandomizeMaps(&r, maps);
    EXPECT_EQ(Steps(7, 96), r.state);
    // Element order: map, row, column.
    RandomStream again = Seeded(7);
    for (uint32_t i = 0; i < MapCount; i++)
        for (int e = 0; e < 16; e++) {
            const float expected = RandomUnit(&again, 1.0);
            if (std::isnan(expected))
                EXPECT_TRUE(std::isnan(maps[i].m[e]));
            else
                EXPECT_EQ(static_cast<double>(expected), maps[i].m[e]) << "map " << i << " element " << e;
        }
}

TEST(Attractor, ZeroCountDrawsNothingAndTouchesNothing)
{
    MapSet maps[MapCount];
    RandomStream r = Seeded(3);
    RandomizeMaps(&r, maps);
    Vec3 cloud[4] = {{9, 9, 9}, {9, 9, 9}, {9, 9, 9}, {9, 9, 9}};
    const uint32_t before = r.state;
    GeneratePoints(&r, maps, cloud, 0);
    EXPECT_EQ(before, r.state);
    EXPECT_EQ(9.0, cloud[0].x);
}

TEST(Attractor, IdentityMapsStayOnTheStartPoint)
{
    MapSet maps[MapCount];
    MatIdentity(&maps[0]);
    MatIdentity(&maps[1]);
    std::vector<Vec3> cloud(100);
    RandomStream r = Seeded(11);
    GeneratePoints(&r, maps, cloud.data(), 100);
    EXPECT_EQ(Steps(11, 100), r.state);  // exactly count draws
    for (const Vec3& p : cloud) {
        EXPECT_EQ(1.0, p.x);
        EXPECT_EQ(0.0, p.y);
        EXPECT_EQ(0.0, p.z);
    }
}

// Map 0 keeps a point, map 1 moves it by 1 along x: each point's x counts
// the steps that took map 1, which are the steps whose draw is odd. A
// second walk restarts from the same start point.
TEST(Attractor, EachStepTakesTheMapItsDrawNames)
{
    MapSet maps[MapCount];
    MatIdentity(&maps[0]);
    MatIdentity(&maps[1]);
    maps[1].m[3] = 1.0;
    std::vector<Vec3> cloud(300), again(300);
    RandomStream r = Seeded(21);
    GeneratePoints(&r, maps, cloud.data(), 300);
    uint32_t state = 21;
    double x = 1.0;  // column 0 of map 0
    for (int i = 0; i < 300; i++) {
        state = RandomNextState(state);
        x += RandomDrawOf(state) % 2;
        ASSERT_EQ(x, cloud[i].x) << "point " << i;
    }
    EXPECT_GT(x, 100.0);  // both maps were taken
    EXPECT_LT(x, 200.0);
    r = Seeded(21);
    GeneratePoints(&r, maps, again.data(), 300);
    EXPECT_EQ(0, std::memcmp(cloud.data(), again.data(), 300 * sizeof(Vec3)));
}

TEST(Attractor, NonFiniteCoefficientPoisonsTheRestOfTheWalk)
{
    MapSet maps[MapCount];
    MatIdentity(&maps[0]);
    MatIdentity(&maps[1]);
    maps[1].m[5] = INFINITY;  // row 1 of map 1
    maps[0].m[13] = NAN;      // row 3 has no effect
    std::vector<Vec3> cloud(200);
    RandomStream r = Seeded(5);
    GeneratePoints(&r, maps, cloud.data(), 200);
    size_t firstBad = cloud.size();
    for (size_t i = 0; i < cloud.size(); i++)
        if (!std::isfinite(cloud[i].x) || !std::isfinite(cloud[i].y) || !std::isfinite(cloud[i].z)) {
            firstBad = i;
            break;
        }
    ASSERT_LT(firstBad, cloud.size());
    for (size_t i = firstBad; i < cloud.size(); i++)
        EXPECT_FALSE(std::isfinite(cloud[i].x) && std::isfinite(cloud[i].y) && std::isfinite(cloud[i].z)) << i;
    for (size_t i = 0; i < firstBad; i++)
        EXPECT_EQ(1.0, cloud[i].x);
}

TEST(Attractor, NewAttractorIsColourThenMapsThenWalk)
{
    MapSet maps[MapCount];
    std::vector<Vec3> cloud(300);
    RandomStream r = Seeded(1234);
    const Colour c = NewAttractor(&r, maps, cloud.data(), 300);
    EXPECT_EQ(Steps(1234, 3 + 96 + 300), r.state);

    MapSet maps2[MapCount];
    std::vector<Vec3> cloud2(300);
    RandomStream r2 = Seeded(1234);
    EXPECT_EQ(c, RandomColour(&r2));
    RandomizeMaps(&r2, maps2);
    GeneratePoints(&r2, maps2, cloud2.data(), 300);
    EXPECT_EQ(0, std::memcmp(cloud.data(), cloud2.data(), 300 * sizeof(Vec3)));
}

}  // namespace
