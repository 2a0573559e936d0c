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

// One picture in a headless window: the window record and the saver record.
class Controller : public ::testing::Test {
protected:
    HeadlessPlatformRecord h;
    SaverRecord saver;
    void SetUp() override
    {
        HeadlessInit(&h, 320, 200);
        Fresh(1700000000u);
    }
    // A fresh window and picture, as a new saver window has them.
    void Fresh(uint32_t seconds)
    {
        HeadlessShutdown(&h);
        HeadlessInit(&h, 320, 200);
        h.seconds = seconds;
        SaverInit(&saver, &h);
    }
    void TearDown() override
    {
        SaverTeardown(&saver);
        EXPECT_EQ(0, h.surfacesLive);
        EXPECT_EQ(0, h.blocksLive);
        EXPECT_EQ(0u, h.bytesLive);
        HeadlessShutdown(&h);
    }
    // Runs events until n frame ticks have been handled.
    void RunFrames(int n)
    {
        while (n > 0) {
            const unsigned id = HeadlessRunNext(&saver, UINT64_MAX);
            ASSERT_NE(0u, id);
            n -= id == FrameTimerId;
        }
    }
    std::set<Colour> ScreenColours() const { return std::set<Colour>(h.screen->pixels, h.screen->pixels + 320 * 200); }
    std::vector<Colour> Screen() const { return std::vector<Colour>(h.screen->pixels, h.screen->pixels + 320 * 200); }
};

TEST_F(Controller, StartupBuildsEverythingAndDrawsNothing)
{
    SaverStart(&saver);
    // Surface, 2 maps of 128 bytes, 10000 points of 24 bytes, timers.
    EXPECT_EQ("surface alloc:256 alloc:240000 timer:1 timer:2", h.calls);
    EXPECT_TRUE(saver.Ready);
    EXPECT_EQ(0, h.errorBoxes);
    EXPECT_EQ(0, h.quitRequests);
    EXPECT_EQ(2u, h.timerStarts);
    EXPECT_EQ(200u, saver.Timers[1].period);
    EXPECT_EQ(1000u, saver.Timers[2].period);
    EXPECT_EQ(0u, h.presents);
    EXPECT_EQ(160, saver.View.CentreX);
    EXPECT_EQ(100, saver.View.CentreY);
    EXPECT_EQ(0.01, saver.View.ViewScale.z);
    // The seed is the calendar time, then the first attractor is drawn.
    const uint32_t afterStart = saver.Random.state;
    RandomStream r = UnseededStream;
    RandomSeed(&r, h.seconds);
    MapSet maps[MapCount];
    std::vector<Vec3> cloud(saver.Settings.NumberPoints);
    EXPECT_EQ(NewAttractor(&r, maps, cloud.data(), saver.Settings.NumberPoints), saver.Colour);
    EXPECT_EQ(afterStart, saver.Random.state);
    EXPECT_EQ(0, std::memcmp(cloud.data(), saver.Cloud, cloud.size() * sizeof(Vec3)));

    // Teardown: timer 2, then 1; the cloud, then the maps; the surface.
    h.calls.clear();
    SaverTeardown(&saver);
    EXPECT_EQ("stop:2 stop:1 free:240000 free:256 release-surface", h.calls);
    SaverTeardown(&saver);
    EXPECT_EQ("stop:2 stop:1 free:240000 free:256 release-surface", h.calls) << "runs once";
}

TEST_F(Controller, ClearTickWipesTheSurfaceAndBlankFramesStartFromBlack)
{
    saver.Settings.CLSTimer = 100000;
    SaverStart(&saver);
    RunFrames(3);
    const Colour* px = saver.Surface->pixels;
    const size_t n = static_cast<size_t>(h.width) * static_cast<size_t>(h.height);
    ASSERT_GT(std::set<Colour>(px, px + n).size(), 1u);
    ClearTick(&saver);
    EXPECT_EQ((std::set<Colour>{0}), std::set<Colour>(px, px + n)) << "the clear tick wipes the surface";
    SaverTeardown(&saver);

    // Spinning without re-walking: every frame is the current view of the
    // one cloud on black, with no trace of the frames before.
    saver.Settings.BlankScreen = 1;
    saver.Settings.EnableContinuous = 0;
    SaverStart(&saver);
    RunFrames(40);
    OffscreenSurface* fresh = MemorySurfaceCreate(h.width, h.height);
    RenderFrame(&saver.View, fresh, saver.Cloud, saver.PointCount, saver.Colour);
    const Colour* expected = fresh->pixels;
    EXPECT_EQ(std::vector<Colour>(expected, expected + n), Screen());
    MemorySurfaceDestroy(fresh);
}

TEST_F(Controller, TicksUseThePointCountTheBufferWasMadeFor)
{
    saver.Settings.BlankScreen = 1;
    saver.Settings.NumberPoints = 1000;
    SaverStart(&saver);
    EXPECT_EQ(1000u, saver.PointCount);
    saver.Settings.NumberPoints = 50000;  // changed after start-up, e.g. by a reload
    const uint32_t state = saver.Random.state;
    RunFrames(1);
    uint32_t expected = state;
    for (int i = 0; i < 1000; i++)
        expected = RandomNextState(expected);
    EXPECT_EQ(expected, saver.Random.state) << "one walk of the 1000 points allocated";
}

TEST_F(Controller, SecondStartTearsDownTheFirst)
{
    SaverStart(&saver);
    h.calls.clear();
    SaverStart(&saver);
    EXPECT_EQ("stop:2 stop:1 free:240000 free:256 release-surface "
              "surface alloc:256 alloc:240000 timer:1 timer:2",
              h.calls);
    EXPECT_EQ(1, h.surfacesLive);
    EXPECT_EQ(2, h.blocksLive);
    EXPECT_TRUE(saver.Ready);
}

TEST_F(Controller, ResizeRebuildsTheSurfaceOnly)
{
    SaverStart(&saver);
    RunFrames(1);
    const uint32_t state = saver.Random.state;
    const Colour colour = saver.Colour;
    h.width = 640;
    h.height = 480;
    h.calls.clear();
    SaverResize(&saver);
    EXPECT_EQ("release-surface surface", h.calls);
    EXPECT_EQ(640, SurfaceWidth(saver.Surface));
    EXPECT_EQ(480, saver.ClientRect.bottom);
    EXPECT_EQ(320, saver.View.CentreX);
    EXPECT_EQ(240, saver.View.CentreY);
    EXPECT_EQ(0.03, saver.View.ViewScale.z);
    EXPECT_EQ(state, saver.Random.state) << "no reseeding, no new attractor";
    EXPECT_EQ(colour, saver.Colour);
    EXPECT_EQ(1, h.surfacesLive);
}

TEST_F(Controller, OverpaintModeNeverTurnsTheView)
{
    saver.Settings.BlankScreen = 0;
    saver.Settings.EnableRotation = 1;
    saver.Settings.EnableContinuous = 1;
    saver.Settings.CLSTimer = 100000;
    SaverStart(&saver);
    std::set<Colour> colours;
    for (int i = 0; i < 20; i++) {
        const Colour before = saver.Colour;
        RunFrames(1);
        EXPECT_NE(before, saver.Colour) << "frame " << i;  // a new attractor every frame
        colours.insert(saver.Colour);
    }
    EXPECT_EQ(0.0, saver.View.AngleX);
    EXPECT_EQ(0.0, saver.View.AngleY);
    EXPECT_EQ(0.0, saver.View.AngleZ);
    EXPECT_EQ(20u, h.presents);
    EXPECT_GT(ScreenColours().size(), 3u);  // painted over, never cleared
}

TEST_F(Controller, BlankModeSpinsHalfADegreePerFrame)
{
    saver.Settings.BlankScreen = 1;
    saver.Settings.EnableRotation = 1;
    saver.Settings.NumberPoints = 500;
    SaverStart(&saver);
    RunFrames(720);
    EXPECT_EQ(0.0, saver.View.AngleX);
    EXPECT_EQ(360.0, saver.View.AngleY);
    EXPECT_EQ(0.0, saver.View.AngleZ);
    EXPECT_EQ(720u, h.presents);
    EXPECT_EQ(2u, ScreenColours().size());  // black and the current attractor
    EXPECT_EQ(1u, ScreenColours().count(0));
}

TEST_F(Controller, BlankModeWithoutRotationOrContinuousRedrawsTheSameFrame)
{
    saver.Settings.BlankScreen = 1;
    saver.Settings.EnableRotation = 0;
    saver.Settings.EnableContinuous = 0;
    SaverStart(&saver);
    RunFrames(1);
    const std::vector<Colour> first = Screen();
    const uint32_t state = saver.Random.state;
    RunFrames(3);
    EXPECT_EQ(first, Screen());
    EXPECT_EQ(state, saver.Random.state);
    EXPECT_EQ(0.0, saver.View.AngleY);
}

TEST_F(Controller, ContinuousModeRewalksEveryFrame)
{
    saver.Settings.BlankScreen = 1;
    saver.Settings.EnableRotation = 0;
    saver.Settings.EnableContinuous = 1;
    SaverStart(&saver);
    const Colour colour = saver.Colour;
    const uint32_t state = saver.Random.state;
    RunFrames(1);
    uint32_t expected = state;
    for (uint32_t i = 0; i < saver.Settings.NumberPoints; i++)
        expected = RandomNextState(expected);
    EXPECT_EQ(expected, saver.Random.state);  // one walk, no new maps or colour
    EXPECT_EQ(colour, saver.Colour);
}

TEST_F(Controller, ClearTickWipesAndStartsANewAttractor)
{
    saver.Settings.BlankScreen = 1;
    saver.Settings.AnimationTimer = 300;
    saver.Settings.CLSTimer = 1000;
    SaverStart(&saver);
    std::vector<unsigned> order;
    while (h.now < 1200 || order.size() < 4) {
        const unsigned id = HeadlessRunNext(&saver, 1200);
        if (!id)
            break;
        order.push_back(id);
    }
    // Frames at 300, 600, 900, 1200 and the clear tick at 1000.
    EXPECT_EQ((std::vector<unsigned>{1, 1, 1, 2, 1}), order);
    const double angle = saver.View.AngleY;
    const Colour before = saver.Colour;
    ClearTick(&saver);
    EXPECT_TRUE(saver.Ready);
    EXPECT_NE(before, saver.Colour);
    EXPECT_EQ(angle, saver.View.AngleY);  // the spin carries on
    EXPECT_EQ(4u, h.presents);    // the clear tick does not present
}

TEST_F(Controller, ClockTiesGoToTheFrameTimerAndPeriodsAreClamped)
{
    saver.Settings.AnimationTimer = 0;
    saver.Settings.CLSTimer = 10;
    SaverStart(&saver);
    EXPECT_EQ(10u, saver.Timers[1].period);
    EXPECT_EQ(1u, HeadlessRunNext(&saver, 10));
    EXPECT_EQ(2u, HeadlessRunNext(&saver, 10));
    EXPECT_EQ(0u, HeadlessRunNext(&saver, 19));
    SaverTeardown(&saver);
    saver.Settings.AnimationTimer = 0xFFFFFFFFu;
    SaverStart(&saver);
    EXPECT_EQ(0x7FFFFFFFu, saver.Timers[1].period);
}

TEST_F(Controller, NoPointsStillRunsAndPresentsBlack)
{
    saver.Settings.NumberPoints = 0;
    SaverStart(&saver);
    EXPECT_TRUE(saver.Ready);
    EXPECT_EQ(0, h.errorBoxes);
    RunFrames(3);
    EXPECT_EQ(3u, h.presents);
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
         "surface alloc-refused:256 box quit:-1", "release-surface"},
        {"cloud", 0, 2, 10000, "Cannot allocate memory for point buffer!", "Memory Error",
         "surface alloc:256 alloc-refused:240000 box quit:-1", "free:256 release-surface"},
        {"too many points", 0, 0, 4294967295u, "Cannot allocate memory for point buffer!", "Memory Error",
         "surface alloc:256 box quit:-1", "free:256 release-surface"},
        // 0xAAAAAAAB points of 24 bytes is 2^32 + 8 bytes: 8 if formed in 32 bits.
        {"byte count past 2^32", 0, 0, 0xAAAAAAABu, "Cannot allocate memory for point buffer!", "Memory Error",
         "surface alloc:256 box quit:-1", "free:256 release-surface"},
        // 178956970 points is 4294967280 bytes, just over 0xFFFFFFE0.
        {"just over the limit", 0, 0, 178956970u, "Cannot allocate memory for point buffer!", "Memory Error",
         "surface alloc:256 box quit:-1", "free:256 release-surface"},
        {"frame timer", 1, 0, 10000, "Cannot create animation timer!", "Timer Error",
         "surface alloc:256 alloc:240000 timer-refused:1 box quit:-1",
         "free:240000 free:256 release-surface"},
        {"clear timer", 2, 0, 10000, "Cannot create CLS timer", "Timer Error",
         "surface alloc:256 alloc:240000 timer:1 timer-refused:2 box quit:-1",
         "stop:1 free:240000 free:256 release-surface"},
    };
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.name);
        Fresh(42);
        h.failTimerId = f.failTimer;
        h.failAllocation = f.failAllocation;
        saver.Settings.NumberPoints = f.points;
        saver.Settings.BlankScreen = 1;  // so that a frame tick could turn the view
        SaverStart(&saver);
        EXPECT_FALSE(saver.Ready);
        EXPECT_EQ(f.startCalls, h.calls);
        EXPECT_EQ(std::string(f.text), h.errorText);
        EXPECT_EQ(std::string(f.caption), h.errorCaption);
        EXPECT_EQ(-1, h.quitCode);
        EXPECT_EQ(42u, saver.Random.state) << "seeded, but no attractor was made";

        // A frame tick now (timer 1 may be running) changes nothing.
        FrameTick(&saver);
        EXPECT_EQ(0u, h.presents);
        EXPECT_EQ(0.0, saver.View.AngleY);

        h.calls.clear();
        SaverTeardown(&saver);
        SaverTeardown(&saver);  // a second teardown does nothing
        EXPECT_EQ(f.teardownCalls, h.calls);
        EXPECT_EQ(0, h.surfacesLive);
        EXPECT_EQ(0, h.blocksLive);
    }
}

TEST_F(Controller, HugeButAllowedPointCountFailsCleanlyWhenMemoryIsShort)
{
    // 178956969 points of 24 bytes is 4294967256 bytes, just under the
    // limit: asked of the allocator, which here refuses it.
    saver.Settings.NumberPoints = 178956969u;
    h.failAllocation = 2;
    SaverStart(&saver);
    EXPECT_EQ("surface alloc:256 alloc-refused:4294967256 box quit:-1", h.calls);
    EXPECT_EQ(std::string("Cannot allocate memory for point buffer!"), h.errorText);
}

TEST_F(Controller, MissingSurfaceStillRunsAndDrawsNothing)
{
    h.failSurface = true;
    saver.Settings.BlankScreen = 1;
    SaverStart(&saver);
    EXPECT_TRUE(saver.Ready);
    EXPECT_EQ(0, h.errorBoxes);
    RunFrames(3);
    EXPECT_EQ((std::set<Colour>{0}), ScreenColours());
    h.calls.clear();
    SaverTeardown(&saver);
    EXPECT_EQ("stop:2 stop:1 free:240000 free:256", h.calls);
}

TEST_F(Controller, SameSeedSameFrames)
{
    std::vector<Colour> first;
    for (int run = 0; run < 2; run++) {
        Fresh(777);
        saver.Settings.BlankScreen = 1;
        SaverStart(&saver);
        RunFrames(7);
        if (run == 0)
            first = Screen();
        else
            EXPECT_EQ(first, Screen());
        SaverTeardown(&saver);
    }
    EXPECT_GT(ScreenColours().size(), 1u);
}


// One picture in a headless window of its own, with a fingerprint of every
// frame it presents.
struct Picture {
    HeadlessPlatformRecord h;
    SaverRecord saver;
    std::vector<uint64_t> frames;

    Picture(int32_t width, int32_t height, uint32_t seed, uint32_t blank, uint32_t frameMs)
    {
        HeadlessInit(&h, width, height, false);
        h.seconds = seed;
        h.user = this;
        h.onFrame = [](HeadlessPlatformRecord* w, const OffscreenSurface* s) {
            uint64_t f = 1469598103934665603ull;  // FNV-1a over the pixels
            for (int32_t i = 0; i < s->width * s->height; i++)
                f = (f ^ s->pixels[i]) * 1099511628211ull;
            static_cast<Picture*>(w->user)->frames.push_back(f);
        };
        SaverInit(&saver, &h);
        saver.Settings.BlankScreen = blank;
        saver.Settings.AnimationTimer = frameMs;
        saver.Settings.CLSTimer = 700;
        saver.Settings.NumberPoints = 3000;
        SaverStart(&saver);
    }
    ~Picture()
    {
        SaverTeardown(&saver);
        HeadlessShutdown(&h);
    }
    bool Step() { return HeadlessRunNext(&saver, 5000) != 0; }
};

// Two pictures in one process, of other sizes, seeds and modes, their
// events interleaved: each presents exactly the frames it presents alone.
TEST(Pictures, TwoRecordsSideBySideRunAsEachAlone)
{
    std::vector<uint64_t> aloneA, aloneB;
    {
        Picture a(320, 200, 5, 1, 100);
        while (a.Step()) {
        }
        aloneA = a.frames;
    }
    {
        Picture b(640, 480, 6, 0, 150);
        while (b.Step()) {
        }
        aloneB = b.frames;
    }
    Picture a(320, 200, 5, 1, 100);
    Picture b(640, 480, 6, 0, 150);
    for (bool more = true; more;) {
        const bool stepA = a.Step();
        const bool stepB = b.Step();
        more = stepA || stepB;
    }
    EXPECT_EQ(50u, aloneA.size());
    EXPECT_EQ(33u, aloneB.size());
    EXPECT_EQ(aloneA, a.frames);
    EXPECT_EQ(aloneB, b.frames);
    EXPECT_NE(aloneA[0], aloneA[1]) << "the spinning picture changes";
}

}  // namespace
