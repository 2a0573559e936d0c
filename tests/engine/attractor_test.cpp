// Map set and point walk: draw counts, start point, repeatability and the
// propagation of non-finite coefficients.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/attractor.h"

namespace {

uint32_t Steps(uint32_t s, int n)
{
    while (n-- > 0)
        s = s * 214013u + 2531011u;
    return s;
}

TEST(Attractor, RandomizeMapsDrawsEveryElement)
{
    MapSet maps[MapCount];
    std::memset(maps, 0, sizeof maps);
    RandomSeed(7);
    RandomizeMaps(maps);
    EXPECT_EQ(Steps(7, 96), RandomState());
    // Element order: map, row, column. Re-draw the same stream by hand.
    RandomSeed(7);
    for (uint32_t i = 0; i < MapCount; i++)
        for (int e = 0; e < 16; e++) {
            const float expected = RandomUnit(1.0);
            if (std::isnan(expected))
                EXPECT_TRUE(std::isnan(maps[i].m[e]));
            else
                EXPECT_EQ(static_cast<double>(expected), maps[i].m[e]) << "map " << i << " element " << e;
        }
}

TEST(Attractor, ZeroCountDrawsNothingAndTouchesNothing)
{
    MapSet maps[MapCount];
    RandomSeed(3);
    RandomizeMaps(maps);
    Vec3 cloud[4] = {{9, 9, 9}, {9, 9, 9}, {9, 9, 9}, {9, 9, 9}};
    const uint32_t before = RandomState();
    GeneratePoints(maps, cloud, 0);
    EXPECT_EQ(before, RandomState());
    EXPECT_EQ(9.0, cloud[0].x);
}

TEST(Attractor, IdentityMapsStayOnTheStartPoint)
{
    MapSet maps[MapCount];
    MatIdentity(&maps[0]);
    MatIdentity(&maps[1]);
    std::vector<Vec3> cloud(100);
    RandomSeed(11);
    GeneratePoints(maps, cloud.data(), 100);
    EXPECT_EQ(Steps(11, 100), RandomState());  // exactly count draws
    for (const Vec3& p : cloud) {
        EXPECT_EQ(1.0, p.x);
        EXPECT_EQ(0.0, p.y);
        EXPECT_EQ(0.0, p.z);
    }
}

TEST(Attractor, WalkFollowsTheDrawnMapChoices)
{
    MapSet maps[MapCount];
    RandomSeed(21);
    RandomizeMaps(maps);
    const uint32_t seed = RandomState();
    std::vector<Vec3> cloud(50);
    GeneratePoints(maps, cloud.data(), 50);

    RandomSeed(seed);
    Vec3 p = {maps[0].m[0], maps[0].m[4], maps[0].m[8]};
    for (int i = 0; i < 50; i++) {
        Vec3 q;
        TransformPoint(&q, &maps[RandomInt() % 2], &p);
        ASSERT_EQ(0, std::memcmp(&q, &cloud[i], sizeof q)) << "point " << i;
        p = q;
    }

    // A second walk restarts from the same start point; only the choices differ.
    std::vector<Vec3> again(50);
    RandomSeed(seed);
    GeneratePoints(maps, again.data(), 50);
    EXPECT_EQ(0, std::memcmp(cloud.data(), again.data(), 50 * sizeof(Vec3)));
}

TEST(Attractor, NonFiniteCoefficientPoisonsTheRestOfTheWalk)
{
    MapSet maps[MapCount];
    MatIdentity(&maps[0]);
    MatIdentity(&maps[1]);
    maps[1].m[5] = INFINITY;  // row 1 of map 1
    maps[0].m[13] = NAN;      // row 3 has no effect
    std::vector<Vec3> cloud(200);
    RandomSeed(5);
    GeneratePoints(maps, cloud.data(), 200);
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
    RandomSeed(1234);
    const Colour c = NewAttractor(maps, cloud.data(), 300);
    EXPECT_EQ(Steps(1234, 3 + 96 + 300), RandomState());

    MapSet maps2[MapCount];
    std::vector<Vec3> cloud2(300);
    RandomSeed(1234);
    EXPECT_EQ(c, RandomColour());
    RandomizeMaps(maps2);
    GeneratePoints(maps2, cloud2.data(), 300);
    EXPECT_EQ(0, std::memcmp(cloud.data(), cloud2.data(), 300 * sizeof(Vec3)));
}

}  // namespace
