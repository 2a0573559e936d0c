// The automatic zoom: screens up to 2560 pixels on their long side stay at
// 1, a 4K screen doubles, larger ones grow in whole steps up to the limit.
#include "settings/zoom.h"

#include <gtest/gtest.h>

TEST(ZoomForScreen, GrowsInWholeStepsOfTheLongSide)
{
    EXPECT_EQ(ZoomForScreen(640, 480), 1u);
    EXPECT_EQ(ZoomForScreen(1920, 1080), 1u);
    EXPECT_EQ(ZoomForScreen(2560, 1600), 1u);
    EXPECT_EQ(ZoomForScreen(2561, 1440), 2u);
    EXPECT_EQ(ZoomForScreen(3840, 2160), 2u);
    EXPECT_EQ(ZoomForScreen(2160, 3840), 2u);  // portrait
    EXPECT_EQ(ZoomForScreen(5120, 2880), 2u);
    EXPECT_EQ(ZoomForScreen(7680, 4320), 3u);
    EXPECT_EQ(ZoomForScreen(32767, 32767), 13u);
    EXPECT_EQ(ZoomForScreen(0x7FFFFFFF, 1), MaxZoom);
    EXPECT_EQ(ZoomForScreen(0, 0), 1u);
    EXPECT_EQ(ZoomForScreen(-5, -5), 1u);
}

TEST(PictureZoom, GivenOrAutomaticAndNeverMoreThanASide)
{
    EXPECT_EQ(PictureZoom(0, 3840, 2160), 2);
    EXPECT_EQ(PictureZoom(3, 3840, 2160), 3);
    EXPECT_EQ(PictureZoom(16, 5, 9), 5);
    EXPECT_EQ(PictureZoom(16, 9, 5), 5);
    EXPECT_EQ(PictureZoom(0, 0, 0), 1);
}
