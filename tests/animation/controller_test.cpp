// The animation controller on the headless platform: start-up and its
// failures, the three drawing modes, the clear tick, teardown, and the
// virtual clock that makes headless runs reproducible.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "animation/controller.h"
#include "animation/platform_headless.h"
#include "engine/render.h"
#include "settings/settings.h"

namespace {

class Controller : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSettings();
        ResetViewState();
        HeadlessReset(320, 200);
        Headless.seconds = 1700000000u;
    }
    void TearDown() override
    {
        SaverTeardown(HeadlessWindow());
        EXPECT_EQ(0, Headless.surfacesLive);
        EXPECT_EQ(0, Headless.brushesLive);
        EXPECT_EQ(0, Headless.blocksLive);
        EXPECT_EQ(0u, Headless.bytesLive);
        HeadlessShutdown();
    }
    // Runs events until n frame ticks have been handled.
    void RunFrames(int n)
    {
        while (n > 0) {
            const unsigned id = HeadlessRunNext(UINT64_MAX);
            ASSERT_NE(0u, id);
            n -= id == 1;
        }
    }
    static std::set<Colour> ScreenColours()
    {
        const Colour* px = MemorySurfacePixels(Headless.window.screen);
        return std::set<Colour>(px, px + Headless.width * Headless.height);
    }
    static std::vector<Colour> Screen()
    {
        const Colour* px = MemorySurfacePixels(Headless.window.screen);
        return std::vector<Colour>(px, px + Headless.width * Headless.height);
    }
};

TEST_F(Controller, StartupBuildsEverythingAndDrawsNothing)
{
    SaverStart(HeadlessWindow());
    // Surface, brush, 2 maps of 128 bytes, 10000 points of 24 bytes, timers.
    EXPECT_EQ("surface brush alloc:256 alloc:240000 timer:1 timer:2", Headless.calls);
    EXPECT_TRUE(AnimationState.Ready);
    EXPECT_EQ(0, Headless.errorBoxes);
    EXPECT_EQ(0, Headless.quitRequests);
    EXPECT_EQ(2u, Headless.timerStarts);
    EXPECT_EQ(200u, Headless.timers[1].period);
    EXPECT_EQ(1000u, Headless.timers[2].period);
    EXPECT_EQ(0u, Headless.presents);
    EXPECT_EQ(160, CentreX);
    EXPECT_EQ(100, CentreY);
    EXPECT_EQ(0.01, ViewState.ViewScale.z);
    // The seed is the calendar time, then the first attractor is drawn.
    const uint32_t afterStart = RandomState();
    RandomSeed(Headless.seconds);
    MapSet maps[MapCount];
    std::vector<Vec3> cloud(SaverSettings.NumberPoints);
    EXPECT_EQ(NewAttractor(maps, cloud.data(), SaverSettings.NumberPoints), AnimationState.Colour);
    EXPECT_EQ(afterStart, RandomState());
    EXPECT_EQ(0, std::memcmp(cloud.data(), AnimationState.Cloud, cloud.size() * sizeof(Vec3)));

    // Teardown: timer 2, then 1; the cloud, then the maps; brush, surface.
    Headless.calls.clear();
    SaverTeardown(HeadlessWindow());
    EXPECT_EQ("stop:2 stop:1 free:240000 free:256 release-brush release-surface", Headless.calls);
    SaverTeardown(HeadlessWindow());
    EXPECT_EQ("stop:2 stop:1 free:240000 free:256 release-brush release-surface", Headless.calls) << "runs once";
}

TEST_F(Controller, ClearTickWipesTheSurfaceAndBlankFramesStartFromBlack)
{
    SaverSettings.CLSTimer = 100000;
    SaverStart(HeadlessWindow());
    RunFrames(3);
    const Colour* px = MemorySurfacePixels(AnimationState.Surface);
    const size_t n = static_cast<size_t>(Headless.width) * static_cast<size_t>(Headless.height);
    ASSERT_GT(std::set<Colour>(px, px + n).size(), 1u);
    ClearTick(HeadlessWindow());
    EXPECT_EQ((std::set<Colour>{0}), std::set<Colour>(px, px + n)) << "the clear tick wipes the surface";
    SaverTeardown(HeadlessWindow());

    // Spinning without re-walking: every frame is the current view of the
    // one cloud on black, with no trace of the frames before.
    SaverSettings.BlankScreen = 1;
    SaverSettings.EnableContinuous = 0;
    SaverStart(HeadlessWindow());
    RunFrames(40);
    OffscreenSurface* fresh = MemorySurfaceCreate(Headless.width, Headless.height);
    RenderFrame(fresh, AnimationState.Cloud, AnimationState.PointCount, AnimationState.Colour);
    const Colour* expected = MemorySurfacePixels(fresh);
    EXPECT_EQ(std::vector<Colour>(expected, expected + n), Screen());
    MemorySurfaceDestroy(fresh);
}

TEST_F(Controller, TicksUseThePointCountTheBufferWasMadeFor)
{
    SaverSettings.BlankScreen = 1;
    SaverSettings.NumberPoints = 1000;
    SaverStart(HeadlessWindow());
    EXPECT_EQ(1000u, AnimationState.PointCount);
    SaverSettings.NumberPoints = 50000;  // changed after start-up, e.g. by a reload
    const uint32_t state = RandomState();
    RunFrames(1);
    uint32_t expected = state;
    for (int i = 0; i < 1000; i++)
        expected = expected * 214013u + 2531011u;
    EXPECT_EQ(expected, RandomState()) << "one walk of the 1000 points allocated";
}

TEST_F(Controller, SecondStartTearsDownTheFirst)
{
    SaverStart(HeadlessWindow());
    Headless.calls.clear();
    SaverStart(HeadlessWindow());
    EXPECT_EQ("stop:2 stop:1 free:240000 free:256 release-brush release-surface "
              "surface brush alloc:256 alloc:240000 timer:1 timer:2",
              Headless.calls);
    EXPECT_EQ(1, Headless.surfacesLive);
    EXPECT_EQ(1, Headless.brushesLive);
    EXPECT_EQ(2, Headless.blocksLive);
    EXPECT_TRUE(AnimationState.Ready);
}

TEST_F(Controller, ResizeRebuildsTheSurfaceOnly)
{
    SaverStart(HeadlessWindow());
    RunFrames(1);
    const uint32_t state = RandomState();
    const Colour colour = AnimationState.Colour;
    Headless.width = 640;
    Headless.height = 480;
    Headless.calls.clear();
    SaverResize(HeadlessWindow());
    EXPECT_EQ("release-surface surface", Headless.calls);
    EXPECT_EQ(640, SurfaceWidth(AnimationState.Surface));
    EXPECT_EQ(480, AnimationState.ClientRect.bottom);
    EXPECT_EQ(320, CentreX);
    EXPECT_EQ(240, CentreY);
    EXPECT_EQ(0.03, ViewState.ViewScale.z);
    EXPECT_EQ(state, RandomState()) << "no reseeding, no new attractor";
    EXPECT_EQ(colour, AnimationState.Colour);
    EXPECT_EQ(1, Headless.surfacesLive);
}

TEST_F(Controller, OverpaintModeNeverTurnsTheView)
{
    SaverSettings.BlankScreen = 0;
    SaverSettings.EnableRotation = 1;
    SaverSettings.EnableContinuous = 1;
    SaverSettings.CLSTimer = 100000;
    SaverStart(HeadlessWindow());
    std::set<Colour> colours;
    for (int i = 0; i < 20; i++) {
        const Colour before = AnimationState.Colour;
        RunFrames(1);
        EXPECT_NE(before, AnimationState.Colour) << "frame " << i;  // a new attractor every frame
        colours.insert(AnimationState.Colour);
    }
    EXPECT_EQ(0.0, ViewState.AngleX);
    EXPECT_EQ(0.0, ViewState.AngleY);
    EXPECT_EQ(0.0, ViewState.AngleZ);
    EXPECT_EQ(20u, Headless.presents);
    EXPECT_GT(ScreenColours().size(), 3u);  // painted over, never cleared
}

TEST_F(Controller, BlankModeSpinsHalfADegreePerFrame)
{
    SaverSettings.BlankScreen = 1;
    SaverSettings.EnableRotation = 1;
    SaverSettings.NumberPoints = 500;
    SaverStart(HeadlessWindow());
    RunFrames(720);
    EXPECT_EQ(0.0, ViewState.AngleX);
    EXPECT_EQ(360.0, ViewState.AngleY);
    EXPECT_EQ(0.0, ViewState.AngleZ);
    EXPECT_EQ(720u, Headless.presents);
    EXPECT_EQ(2u, ScreenColours().size());  // black and the current attractor
    EXPECT_EQ(1u, ScreenColours().count(0));
}

TEST_F(Controller, BlankModeWithoutRotationOrContinuousRedrawsTheSameFrame)
{
    SaverSettings.BlankScreen = 1;
    SaverSettings.EnableRotation = 0;
    SaverSettings.EnableContinuous = 0;
    SaverStart(HeadlessWindow());
    RunFrames(1);
    const std::vector<Colour> first = Screen();
    const uint32_t state = RandomState();
    RunFrames(3);
    EXPECT_EQ(first, Screen());
    EXPECT_EQ(state, RandomState());
    EXPECT_EQ(0.0, ViewState.AngleY);
}

TEST_F(Controller, ContinuousModeRewalksEveryFrame)
{
    SaverSettings.BlankScreen = 1;
    SaverSettings.EnableRotation = 0;
    SaverSettings.EnableContinuous = 1;
    SaverStart(HeadlessWindow());
    const Colour colour = AnimationState.Colour;
    const uint32_t state = RandomState();
    RunFrames(1);
    uint32_t expected = state;
    for (uint32_t i = 0; i < SaverSettings.NumberPoints; i++)
        expected = expected * 214013u + 2531011u;
    EXPECT_EQ(expected, RandomState());  // one walk, no new maps or colour
    EXPECT_EQ(colour, AnimationState.Colour);
}

TEST_F(Controller, ClearTickWipesAndStartsANewAttractor)
{
    SaverSettings.BlankScreen = 1;
    SaverSettings.AnimationTimer = 300;
    SaverSettings.CLSTimer = 1000;
    SaverStart(HeadlessWindow());
    std::vector<unsigned> order;
    while (Headless.now < 1200 || order.size() < 4) {
        const unsigned id = HeadlessRunNext(1200);
        if (!id)
            break;
        order.push_back(id);
    }
    // Frames at 300, 600, 900, 1200 and the clear tick at 1000.
    EXPECT_EQ((std::vector<unsigned>{1, 1, 1, 2, 1}), order);
    const double angle = ViewState.AngleY;
    const Colour before = AnimationState.Colour;
    ClearTick(HeadlessWindow());
    EXPECT_TRUE(AnimationState.Ready);
    EXPECT_NE(before, AnimationState.Colour);
    EXPECT_EQ(angle, ViewState.AngleY);  // the spin carries on
    EXPECT_EQ(4u, Headless.presents);    // the clear tick does not present
}

TEST_F(Controller, ClockTiesGoToTheFrameTimerAndPeriodsAreClamped)
{
    SaverSettings.AnimationTimer = 0;
    SaverSettings.CLSTimer = 10;
    SaverStart(HeadlessWindow());
    EXPECT_EQ(10u, Headless.timers[1].period);
    EXPECT_EQ(1u, HeadlessRunNext(10));
    EXPECT_EQ(2u, HeadlessRunNext(10));
    EXPECT_EQ(0u, HeadlessRunNext(19));
    SaverTeardown(HeadlessWindow());
    SaverSettings.AnimationTimer = 0xFFFFFFFFu;
    SaverStart(HeadlessWindow());
    EXPECT_EQ(0x7FFFFFFFu, Headless.timers[1].period);
}

TEST_F(Controller, NoPointsStillRunsAndPresentsBlack)
{
    SaverSettings.NumberPoints = 0;
    SaverStart(HeadlessWindow());
    EXPECT_TRUE(AnimationState.Ready);
    EXPECT_EQ(0, Headless.errorBoxes);
    RunFrames(3);
    EXPECT_EQ(3u, Headless.presents);
    EXPECT_EQ((std::set<Colour>{0}), ScreenColours());
}

struct Failure {
    const char* name;
    unsigned failTimer;
    int failAllocation;
    uint32_t points;
    const char* text;
    const char* caption;
    const char* startCalls;     // what start-up did, in order
    const char* teardownCalls;  // what teardown released: exactly that
};

TEST_F(Controller, EachStartupFailureShowsItsBoxAndStopsThere)
{
    const Failure failures[] = {
        {"maps", 0, 1, 10000, "Cannot allocate memory for matrix buffer!", "Memory Error",
         "surface brush alloc-refused:256 box quit:-1", "release-brush release-surface"},
        {"cloud", 0, 2, 10000, "Cannot allocate memory for point buffer!", "Memory Error",
         "surface brush alloc:256 alloc-refused:240000 box quit:-1", "free:256 release-brush release-surface"},
        {"too many points", 0, 0, 4294967295u, "Cannot allocate memory for point buffer!", "Memory Error",
         "surface brush alloc:256 box quit:-1", "free:256 release-brush release-surface"},
        // 0xAAAAAAAB points of 24 bytes is 2^32 + 8 bytes: 8 if formed in 32 bits.
        {"byte count past 2^32", 0, 0, 0xAAAAAAABu, "Cannot allocate memory for point buffer!", "Memory Error",
         "surface brush alloc:256 box quit:-1", "free:256 release-brush release-surface"},
        // 178956970 points is 4294967280 bytes, just over 0xFFFFFFE0.
        {"just over the limit", 0, 0, 178956970u, "Cannot allocate memory for point buffer!", "Memory Error",
         "surface brush alloc:256 box quit:-1", "free:256 release-brush release-surface"},
        {"frame timer", 1, 0, 10000, "Cannot create animation timer!", "Timer Error",
         "surface brush alloc:256 alloc:240000 timer-refused:1 box quit:-1",
         "free:240000 free:256 release-brush release-surface"},
        {"clear timer", 2, 0, 10000, "Cannot create CLS timer", "Timer Error",
         "surface brush alloc:256 alloc:240000 timer:1 timer-refused:2 box quit:-1",
         "stop:1 free:240000 free:256 release-brush release-surface"},
    };
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.name);
        ResetSettings();
        HeadlessReset(320, 200);
        Headless.seconds = 42;
        Headless.failTimerId = f.failTimer;
        Headless.failAllocation = f.failAllocation;
        SaverSettings.NumberPoints = f.points;
        SaverSettings.BlankScreen = 1;  // so that a frame tick could turn the view
        SaverStart(HeadlessWindow());
        EXPECT_FALSE(AnimationState.Ready);
        EXPECT_EQ(f.startCalls, Headless.calls);
        EXPECT_EQ(std::string(f.text), Headless.errorText);
        EXPECT_EQ(std::string(f.caption), Headless.errorCaption);
        EXPECT_EQ(-1, Headless.quitCode);
        EXPECT_EQ(42u, RandomState()) << "seeded, but no attractor was made";

        // A frame tick now (timer 1 may be running) changes nothing.
        FrameTick(HeadlessWindow());
        EXPECT_EQ(0u, Headless.presents);
        EXPECT_EQ(0.0, ViewState.AngleY);

        Headless.calls.clear();
        SaverTeardown(HeadlessWindow());
        SaverTeardown(HeadlessWindow());  // a second teardown does nothing
        EXPECT_EQ(f.teardownCalls, Headless.calls);
        EXPECT_EQ(0, Headless.surfacesLive);
        EXPECT_EQ(0, Headless.brushesLive);
        EXPECT_EQ(0, Headless.blocksLive);
    }
}

TEST_F(Controller, HugeButAllowedPointCountFailsCleanlyWhenMemoryIsShort)
{
    // 178956969 points of 24 bytes is 4294967256 bytes, just under the
    // limit: asked of the allocator, which here refuses it.
    SaverSettings.NumberPoints = 178956969u;
    Headless.failAllocation = 2;
    SaverStart(HeadlessWindow());
    EXPECT_EQ("surface brush alloc:256 alloc-refused:4294967256 box quit:-1", Headless.calls);
    EXPECT_EQ(std::string("Cannot allocate memory for point buffer!"), Headless.errorText);
}

TEST_F(Controller, MissingSurfaceOrBrushStillRunsAndDrawsNothing)
{
    Headless.failSurface = true;
    Headless.failBrush = true;
    SaverSettings.BlankScreen = 1;
    SaverStart(HeadlessWindow());
    EXPECT_TRUE(AnimationState.Ready);
    EXPECT_EQ(0, Headless.errorBoxes);
    RunFrames(3);
    EXPECT_EQ((std::set<Colour>{0}), ScreenColours());
    Headless.calls.clear();
    SaverTeardown(HeadlessWindow());
    EXPECT_EQ("stop:2 stop:1 free:240000 free:256", Headless.calls);
}

TEST_F(Controller, SameSeedSameFrames)
{
    std::vector<Colour> first;
    for (int run = 0; run < 2; run++) {
        ResetViewState();
        HeadlessReset(320, 200);
        Headless.seconds = 777;
        SaverSettings.BlankScreen = 1;
        SaverStart(HeadlessWindow());
        RunFrames(7);
        if (run == 0)
            first = Screen();
        else
            EXPECT_EQ(first, Screen());
        SaverTeardown(HeadlessWindow());
    }
    EXPECT_GT(ScreenColours().size(), 1u);
}

}  // namespace
