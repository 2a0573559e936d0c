// Frame rendering: the depth-scale table, the pixel mapping and its
// rounding, the points that are skipped, and bounds safety. Every surface
// counts the set-pixel calls out of range instead of clipping them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/render.h"
#include "engine/surface_memory.h"

namespace {

// A surface and the view the controller would set up for it.
struct Frame {
    OffscreenSurface* s;
    ViewStateRecord view = InitialView;
    uint64_t rejections = 0;
    Frame(int w, int h) : s(MemorySurfaceCreate(w, h))
    {
        view.CentreX = w / 2;
        view.CentreY = h / 2;
        SelectZScale(&view, w);
        s->rejections = &rejections;
    }
    ~Frame() { MemorySurfaceDestroy(s); }
    void Render(const Vec3* points, uint32_t n, Colour c) { RenderFrame(&view, s, points, n, c); }
    Colour At(int x, int y) const { return s->pixels[y * s->width + x]; }
    int Lit() const
    {
        int n = 0;
        for (int i = 0; i < s->width * s->height; i++)
            n += s->pixels[i] != 0;
        return n;
    }
};

TEST(Render, DepthScaleByWidth)
{
    EXPECT_EQ(0.007, ZScaleForWidth(1280));
    EXPECT_EQ(0.009, ZScaleForWidth(1024));
    EXPECT_EQ(0.015, ZScaleForWidth(800));
    EXPECT_EQ(0.03, ZScaleForWidth(640));
    EXPECT_EQ(0.01, ZScaleForWidth(1152));
    EXPECT_EQ(0.01, ZScaleForWidth(0));
    ViewStateRecord view = InitialView;
    EXPECT_EQ(0.009, view.ViewScale.z);
    EXPECT_EQ(0.5, view.SpinY);
    SelectZScale(&view, 640);
    EXPECT_EQ(0.03, view.ViewScale.z);
}

TEST(Render, PointMapsToRoundedPixel)
{
    Frame f(1024, 768);
    const Vec3 p = {0.9, -0.45, 1.0};
    f.Render(&p, 1, 0x123456);
    // X = 100, Y = -50: -50 + 0.5 truncates toward zero to -49.
    EXPECT_EQ(0x123456u, f.At(512 + 100, 384 - 49));
    EXPECT_EQ(1, f.Lit());
}

TEST(Render, TruncationRoundsOnlyPositiveOffsets)
{
    Frame f(640, 480);  // z scale 0.03, so X = x / 0.03 at depth 1
    struct Case {
        double x;
        int offset;
    } cases[] = {{0.5, 1}, {-0.7, 0}, {-1.2, 0}, {-1.6, -1}, {0.49, 0}, {2.5, 3}};
    for (const Case& c : cases) {
        f.view.ViewScale.z = 1.0;  // X = x exactly
        std::memset(f.s->pixels, 0, 640 * 480 * sizeof(Colour));
        const Vec3 p = {c.x, 0.0, 1.0};
        f.Render(&p, 1, 7);
        EXPECT_EQ(7u, f.At(320 + c.offset, 240)) << "x = " << c.x;
        EXPECT_EQ(1, f.Lit());
    }
}

TEST(Render, SkipsZeroDepthNonFiniteAndOverflowingPoints)
{
    Frame f(800, 600);  // z scale 0.015
    const Vec3 pts[] = {
        {1.0, 1.0, 0.0},       // z = 0
        {0.0, 0.0, 0.0},       // 0 / 0
        {1e300, 1.0, 1e-300},  // the divide overflows to infinity
        {1e3, 1.0, 1e-7},      // finite but beyond 32 bits
        {NAN, 0.0, 1.0},
        {INFINITY, 0.0, 1.0},
        {0.0, -INFINITY, 1.0},
    };
    f.Render(pts, sizeof pts / sizeof pts[0], 0xFFFFFF);
    EXPECT_EQ(0, f.Lit());

    // With depth scale 1 at depth 1, X = x and Y = y. Converting any of
    // these offsets to a 32-bit (or, beyond 1e19, a 64-bit) integer without
    // the range test first is undefined; the sanitizer build traps it.
    f.view.ViewScale.z = 1.0;
    const Vec3 exact[] = {
        {2147483647.5, 0.0, 1.0},    // trunc(X + 0.5) = 2^31
        {-2147483649.5, 0.0, 1.0},   // trunc(X + 0.5) = -2^31 - 1
        {4294967306.0, 0.0, 1.0},    // 2^32 + 10: lands on the surface if wrapped to 32 bits
        {0.0, -4294967286.0, 1.0},   // -2^32 + 10
        {1e19, 0.0, 1.0},
        {0.0, -1e19, 1.0},
        {2147483647.0, 0.0, 1.0},    // fits, but adding CentreX needs more than 32 bits
        {0.0, -2147483648.6, 1.0},   // fits: trunc gives -2^31
    };
    f.Render(exact, sizeof exact / sizeof exact[0], 0xFFFFFF);
    EXPECT_EQ(0, f.Lit());
    EXPECT_EQ(0u, f.rejections);

    const Vec3 control = {10.0, -20.0, 1.0};
    f.Render(&control, 1, 0xFFFFFF);
    EXPECT_EQ(0xFFFFFFu, f.At(400 + 10, 300 - 19));
    EXPECT_EQ(1, f.Lit());
}

// The four corners are drawn; one pixel beyond any edge is not, also where
// a linear index y * width + x would wrap onto the next or previous row.
TEST(Render, DrawsTheCornersAndNothingBeyondTheEdges)
{
    Frame f(40, 30);  // centre (20, 15)
    f.view.ViewScale.z = 1.0;
    // Offsets are trunc(v + 0.5): -20.5 -> -20, 19 -> 19, -15.5 -> -15, 14 -> 14.
    const Vec3 corners[] = {{-20.5, -15.5, 1.0}, {19.0, -15.5, 1.0}, {-20.5, 14.0, 1.0}, {19.0, 14.0, 1.0}};
    // x = -1 and x = 40 on row 15; y = -1 and y = 30 on column 20.
    const Vec3 beyond[] = {{-21.5, 0.0, 1.0}, {20.0, 0.0, 1.0}, {0.0, -16.5, 1.0}, {0.0, 15.0, 1.0}};
    f.Render(beyond, 4, 0x0000FF);
    EXPECT_EQ(0, f.Lit());
    f.Render(corners, 4, 0x0000FF);
    EXPECT_EQ(4, f.Lit());
    EXPECT_EQ(0x0000FFu, f.At(0, 0));
    EXPECT_EQ(0x0000FFu, f.At(39, 0));
    EXPECT_EQ(0x0000FFu, f.At(0, 29));
    EXPECT_EQ(0x0000FFu, f.At(39, 29));
    EXPECT_EQ(0u, f.rejections);
}

// With the centre off the surface the first offset drawn can be positive,
// or the last one negative; the edges still fall exactly where trunc(X + 0.5)
// puts them, down to the last double on either side.
TEST(Render, CentreOffTheSurfaceKeepsExactEdges)
{
    Frame f(40, 30);
    f.view.ViewScale.z = 1.0;
    f.view.CentreX = -10;  // x offsets 10..49 are drawn
    f.view.CentreY = 35;   // y offsets -35..-6
    const double below10 = std::nextafter(10.0, 0.0), below50 = std::nextafter(50.0, 0.0);
    const double aboveMinus6 = std::nextafter(-6.0, 0.0), aboveMinus36 = std::nextafter(-36.0, 0.0);
    const Vec3 skipped[] = {
        {below10 - 0.5, -6.5, 1.0},      // x offset 9
        {9.5, aboveMinus6 - 0.5, 1.0},   // y offset -5
        {49.5, -20.5, 1.0},              // x offset 50
        {19.5, -36.5, 1.0},              // y offset -36
    };
    f.Render(skipped, 4, 0x00FF00);
    EXPECT_EQ(0, f.Lit());
    const Vec3 drawn[] = {
        {9.5, -6.5, 1.0},                              // offsets (10, -6): pixel (0, 29)
        {below50 - 0.5, aboveMinus36 - 0.5, 1.0},      // offsets (49, -35): pixel (39, 0)
    };
    f.Render(drawn, 2, 0x00FF00);
    EXPECT_EQ(0x00FF00u, f.At(0, 29));
    EXPECT_EQ(0x00FF00u, f.At(39, 0));
    EXPECT_EQ(2, f.Lit());
    EXPECT_EQ(0u, f.rejections);
}

TEST(Render, NegativeDepthIsMirroredNotCulled)
{
    Frame f(1152, 864);  // z scale 0.01: magnification 100
    const Vec3 p = {1.0, 0.5, -1.0};
    f.Render(&p, 1, 3);
    // X = -100, Y = -50 -> offsets -99, -49.
    EXPECT_EQ(3u, f.At(576 - 99, 432 - 49));
}

TEST(Render, LaterPointsOverwriteAndOnlyCountIsDrawn)
{
    Frame f(640, 480);
    const Vec3 pts[] = {{0, 0, 1}, {0, 0, 1}, {0.3, 0, 1}};
    f.Render(pts, 2, 5);
    EXPECT_EQ(5u, f.At(320, 240));
    EXPECT_EQ(1, f.Lit());
}

TEST(Render, ViewAnglesRotateTheCloud)
{
    Frame f(1152, 864);
    f.view.AngleY = 180.0;  // x -> -x, z -> -z, so x / z keeps its sign
    f.view.AngleZ = 90.0;   // then (x, y) -> (y, -x) first
    const Vec3 p = {0.5, 0.0, 1.0};
    f.Render(&p, 1, 9);
    // Rz: (0.5, 0, 1) -> (0, -0.5, 1); Ry(180): (0, -0.5, -1); project: (0, 50)
    EXPECT_EQ(9u, f.At(576, 432 + 50));
}

// Random view matrices and clouds, non-finite values included: the renderer
// must never ask the surface for a pixel outside it.
TEST(Render, NeverWritesOutsideTheSurface)
{
    {
        // The checked surface does count what it rejects.
        Frame control(3, 2);
        SurfaceSetPixel(control.s, 3, 0, 1);
        SurfaceSetPixel(control.s, 0, -1, 1);
        const uint32_t indices[] = {6, SurfaceSkipIndex, 5};
        SurfaceSetPixels(control.s, indices, 3, 1);
        EXPECT_EQ(3u, control.rejections);
        EXPECT_EQ(1, control.Lit());
    }
    std::vector<Vec3> cloud(2000);
    int lit = 0;
    for (uint32_t seed = 0; seed < 200; seed++) {
        RandomStream r = UnseededStream;
        RandomSeed(&r, seed);
        const int w = 1 + RandomInt(&r) % 97;
        const int h = 1 + RandomInt(&r) % 61;
        Frame f(w, h);
        f.view.AngleX = RandomInt(&r) * 0.1;
        f.view.AngleY = RandomInt(&r) * 0.1;
        f.view.ViewScale = {RandomUnit(&r, 1.0) * 4.0, RandomUnit(&r, 1.0) * 4.0, RandomUnit(&r, 1.0) * 0.01};
        f.view.EyePosition = {RandomUnit(&r, 1.0), RandomUnit(&r, 1.0), RandomUnit(&r, 1.0)};
        MapSet maps[MapCount];
        RandomizeMaps(&r, maps);
        if (seed % 7 == 0)
            maps[seed % 2].m[seed % 12] = seed % 3 ? INFINITY : NAN;
        GeneratePoints(&r, maps, cloud.data(), 2000);
        f.Render(cloud.data(), 2000, 0xABCDEF);
        ASSERT_EQ(0u, f.rejections) << "seed " << seed;
        lit += f.Lit();
    }
    EXPECT_GT(lit, 1000);  // the frames do draw
}

// A memory surface knows which blocks it has never written (still black),
// so black writes skip them and readers need not read them. Every write and
// copy must keep that true: a twin without the record takes the same calls,
// and after each step the pixels agree and no unmarked block holds colour.
// Rows of 1000 pixels put the 1024-pixel blocks across row ends.
TEST(Render, SurfaceKeepsItsBlankBlocksHonest)
{
    struct Twin {
        OffscreenSurface* kept;
        OffscreenSurface* plain;
        uint64_t* record;
        Twin(int w, int h) : kept(MemorySurfaceCreate(w, h)), plain(MemorySurfaceCreate(w, h)), record(plain->written)
        {
            plain->written = nullptr;
        }
        ~Twin()
        {
            plain->written = record;
            MemorySurfaceDestroy(kept);
            MemorySurfaceDestroy(plain);
        }
    };
    const auto honest = [](const OffscreenSurface* s, const OffscreenSurface* plain, const char* step) {
        const uint32_t n = static_cast<uint32_t>(s->width * s->height);
        EXPECT_EQ(0, std::memcmp(s->pixels, plain->pixels, n * 4)) << step;
        int marked = 0;
        for (uint32_t i = 0; i < n; i++) {
            EXPECT_TRUE(!SurfaceBlockBlank(s, i) || s->pixels[i] == s->blank) << step << ": pixel " << i;
            marked += i % SurfaceBlockPixels == 0 && !SurfaceBlockBlank(s, i);
        }
        return marked;
    };
    Twin t(1000, 5);
    for (OffscreenSurface* s : {t.kept, t.plain}) {
        const uint32_t spread[] = {3, 1023, 1024, SurfaceSkipIndex, 4999};
        SurfaceSetPixels(s, spread, 5, 0x0000FF);
        SurfaceSetPixel(s, 100, 2, 0);  // black onto a block never written
    }
    EXPECT_EQ(3, honest(t.kept, t.plain, "points"));  // blocks 0, 1 and 4
    for (OffscreenSurface* s : {t.kept, t.plain}) {
        const SurfaceRect part = {0, 1, 40, 2};  // pixels 1000..1039: block 0's end, block 1's start
        SurfaceFill(s, &part, 0);
        SurfaceSetPixel(s, 999, 4, 0x00FF00);
    }
    EXPECT_EQ(3, honest(t.kept, t.plain, "partial black fill"));
    const SurfaceRect all = {-5, -5, 2000, 9};
    for (OffscreenSurface* s : {t.kept, t.plain})
        SurfaceFill(s, &all, 0);
    EXPECT_EQ(0, honest(t.kept, t.plain, "black clear"));  // whole blocks across rows are blank again
    for (OffscreenSurface* s : {t.kept, t.plain}) {
        const SurfaceRect band = {990, 0, 1000, 5};
        SurfaceFill(s, &band, 0x123456);
        SurfaceSetPixel(s, 0, 0, 0x654321);
    }
    EXPECT_EQ(5, honest(t.kept, t.plain, "coloured band"));

    // Copies: onto a wider and a narrower surface, by rows and in one run.
    for (const int width : {1000, 1300, 700}) {
        Twin to(width, 3);
        SurfaceCopy(to.kept, t.kept);
        SurfaceCopy(to.plain, t.plain);
        honest(to.kept, to.plain, "copy");
    }
    Twin wide(1000, 9);  // more rows than the source: the rest stays unwritten
    SurfaceCopy(wide.kept, t.kept);
    SurfaceCopy(wide.plain, t.plain);
    EXPECT_EQ(5, honest(wide.kept, wide.plain, "copy in one run"));
}

uint64_t Fingerprint(const OffscreenSurface* s)
{
    uint64_t h = 1469598103934665603ull;  // FNV-1a over the pixels
    for (int i = 0; i < s->width * s->height; i++)
        h = (h ^ s->pixels[i]) * 1099511628211ull;
    return h;
}

// Frames from a fixed seed, fingerprinted: the same on every build, and
// changed by any reordering of the arithmetic. The turned view also pins
// the engine's sine and cosine.
TEST(Render, FixedSeedFramesAreReproducible)
{
    std::vector<Vec3> cloud(10000);
    MapSet maps[MapCount];
    RandomStream r = UnseededStream;
    RandomSeed(&r, 20261208);
    const Colour c = NewAttractor(&r, maps, cloud.data(), 10000);

    Frame still(1024, 768);
    still.Render(cloud.data(), 10000, c);
    EXPECT_EQ(0xcda1efa7261b294eull, Fingerprint(still.s)) << std::hex << Fingerprint(still.s);

    Frame turned(1024, 768);
    turned.view.AngleX = 12.5;
    turned.view.AngleY = 1234.5;
    turned.view.AngleZ = -77.0;
    turned.Render(cloud.data(), 10000, c);
    EXPECT_EQ(0x23ad74dd932ef3f2ull, Fingerprint(turned.s)) << std::hex << Fingerprint(turned.s);
}

}  // namespace
