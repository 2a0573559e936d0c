// pattern_wayland.cpp - a test picture for the Wayland client: on each
// output a pattern that differs from pixel to pixel and from output to
// output, and a white square that jumps to a new place every step, so
// that every frame but the first changes two small rectangles. After the
// last step the picture stays still and the program sleeps until it ends:
// as the saver does, on input by the saver's close rules (shell/
// close_rules.h), none with --wallpaper; or once the FIFO --watch names
// has been written to and closed.
//
//   pattern_wayland [--steps N] [--step-ms MS] [--wallpaper] [--watch FIFO]
//   pattern_wayland --expect INDEX WIDTH HEIGHT [--steps N] > final.ppm
//
// Prints "picture INDEX NAME WIDTHxHEIGHT" for each picture it makes and
// "released INDEX" for each it lets go; --expect writes the last frame of
// output INDEX's picture as a binary PPM instead.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "animation/display_wayland.h"
#include "shell/close_rules.h"
#include "shell/signal_pipe.h"

constexpr int32_t Side = 24;  // of the square

struct PatternClock {
    int32_t steps, stepMs;
    int watchFd;             // the FIFO, or -1
    int status;              // negative until an input or the FIFO ends the run
    CloseRulesRecord rules;
};

struct Pattern {
    uint32_t index;
    int32_t width, height;
    int32_t drawnStep;  // -1 before the first frame
    int32_t step;       // the step the picture is to show
    int64_t nextMs;     // when the step after it is due
};

static uint32_t Background(uint32_t index, int32_t x, int32_t y)
{
    const uint32_t r = (static_cast<uint32_t>(x) * 7 + index * 64) & 0xff;
    const uint32_t g = (static_cast<uint32_t>(y) * 5) & 0xff;
    const uint32_t b = static_cast<uint32_t>(x ^ y) & 0xff;
    return 0xff000000 | r << 16 | g << 8 | b;
}

static SurfaceRect Square(const Pattern* p, int32_t step)
{
    if (p->width <= Side || p->height <= Side)
        return {0, 0, 0, 0};
    const int32_t x = static_cast<int32_t>(static_cast<int64_t>(step) * 97 % (p->width - Side));
    const int32_t y = static_cast<int32_t>(static_cast<int64_t>(step) * 61 % (p->height - Side));
    return {x, y, x + Side, y + Side};
}

static void Paint(const Pattern* p, uint32_t* pixels, const SurfaceRect& r, const SurfaceRect& square)
{
    for (int32_t y = r.top; y < r.bottom; y++)
        for (int32_t x = r.left; x < r.right; x++) {
            const bool in = x >= square.left && x < square.right && y >= square.top && y < square.bottom;
            pixels[static_cast<size_t>(y) * static_cast<size_t>(p->width) + static_cast<size_t>(x)] =
                in ? 0xffffffff : Background(p->index, x, y);
        }
}

static int64_t NowMs()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

static void* Make(void* context, uint32_t index, const char* name, int32_t width, int32_t height)
{
    std::printf("picture %u %s %dx%d\n", index, name[0] ? name : "-", width, height);
    std::fflush(stdout);
    return new Pattern{index, width, height, -1, 0, NowMs() + static_cast<PatternClock*>(context)->stepMs};
}

static bool Draw(void*, void* picture, uint32_t* pixels, int32_t width, int32_t height, const SurfaceRect* stale,
                 SurfaceRect* damage)
{
    auto* p = static_cast<Pattern*>(picture);
    if (p->drawnStep == p->step)
        return false;
    const SurfaceRect now = Square(p, p->step);
    if (p->drawnStep < 0) {
        *damage = {0, 0, width, height};
    } else {
        const SurfaceRect was = Square(p, p->drawnStep);
        *damage = {std::min(was.left, now.left), std::min(was.top, now.top), std::max(was.right, now.right),
                   std::max(was.bottom, now.bottom)};
    }
    Paint(p, pixels, *damage, now);
    Paint(p, pixels, *stale, now);
    p->drawnStep = p->step;
    return true;
}

static void Release(void*, void* picture)
{
    std::printf("released %u\n", static_cast<Pattern*>(picture)->index);
    std::fflush(stdout);
    delete static_cast<Pattern*>(picture);
}

static int64_t DueInMs(void* context, void* picture)
{
    const auto* p = static_cast<Pattern*>(picture);
    if (p->step + 1 >= static_cast<PatternClock*>(context)->steps)
        return -1;
    const int64_t wait = p->nextMs - NowMs();
    return wait > 0 ? wait : 0;
}

// Every step due by now, as the saver's timers drop the ticks they missed.
static void Tick(void* context, void* picture)
{
    const auto* clock = static_cast<PatternClock*>(context);
    auto* p = static_cast<Pattern*>(picture);
    const int64_t now = NowMs();
    while (p->nextMs <= now && p->step + 1 < clock->steps) {
        p->step++;
        p->nextMs += clock->stepMs;
    }
}

static int Status(void* context)
{
    return static_cast<PatternClock*>(context)->status;
}

// The FIFO: read it out; once its writer has closed it, the run ends.
static void Watch(void* context)
{
    auto* clock = static_cast<PatternClock*>(context);
    char data[64];
    const ssize_t n = read(clock->watchFd, data, sizeof data);
    if (n == 0 && clock->status < 0)
        clock->status = 0;
}

static void Close(void* context, bool close)
{
    auto* clock = static_cast<PatternClock*>(context);
    if (close && clock->status < 0)
        clock->status = 0;
}

static void Key(void* context)
{
    Close(context, CloseOnKey(&static_cast<PatternClock*>(context)->rules));
}

static void Button(void* context)
{
    Close(context, CloseOnButton(&static_cast<PatternClock*>(context)->rules));
}

static void Wheel(void* context)
{
    Close(context, CloseOnWheel(&static_cast<PatternClock*>(context)->rules));
}

static void PointerAt(void* context, int64_t x, int64_t y)
{
    Close(context, CloseOnPointer(&static_cast<PatternClock*>(context)->rules, x, y));
}

static void LayoutChanged(void* context)
{
    CloseRulesRestartPointer(&static_cast<PatternClock*>(context)->rules);
}

static int WriteExpected(uint32_t index, int32_t width, int32_t height, int32_t steps)
{
    const Pattern p = {index, width, height, -1, 0, 0};
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    Paint(&p, pixels.data(), {0, 0, width, height}, Square(&p, steps - 1));
    std::printf("P6\n%d %d\n255\n", width, height);
    for (uint32_t v : pixels) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 8),
                                      static_cast<unsigned char>(v)};
        std::fwrite(rgb, 1, 3, stdout);
    }
    return 0;
}

int main(int argc, char** argv)
{
    PatternClock clock = {30, 20, -1, -1, {}};
    WaylandOptions options = {false, -1, -1};
    const char* watch = nullptr;
    bool expect = false;
    uint32_t index = 0;
    int32_t width = 0, height = 0;
    for (int i = 1; i < argc; i++) {
        const bool more = i + 1 < argc;
        if (std::strcmp(argv[i], "--steps") == 0 && more)
            clock.steps = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--step-ms") == 0 && more)
            clock.stepMs = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--wallpaper") == 0)
            options.wallpaper = true;
        else if (std::strcmp(argv[i], "--watch") == 0 && more)
            watch = argv[++i];
        else if (std::strcmp(argv[i], "--expect") == 0 && i + 3 < argc) {
            expect = true;
            index = static_cast<uint32_t>(std::atoi(argv[i + 1]));
            width = std::atoi(argv[i + 2]);
            height = std::atoi(argv[i + 3]);
            i += 3;
        } else {
            std::fprintf(stderr, "usage: pattern_wayland [--steps N] [--step-ms MS] [--wallpaper] "
                                 "[--watch FIFO] [--expect INDEX WIDTH HEIGHT]\n");
            return 2;
        }
    }
    if (clock.steps < 1 || clock.stepMs < 1 || (expect && (width < 1 || height < 1)))
        return 2;
    if (expect)
        return WriteExpected(index, width, height, clock.steps);
    if (!CatchEndSignals()) {
        std::perror("pattern_wayland: pipe");
        return 1;
    }
    options.stopFd = EndSignalFd();
    if (watch && (clock.watchFd = open(watch, O_RDONLY | O_NONBLOCK | O_CLOEXEC)) < 0) {
        std::perror(watch);
        return 1;
    }
    options.watchFd = clock.watchFd;
    const WaylandPictureCalls calls = {&clock, Make, Draw, Release, DueInMs, Tick, Status, Watch};
    const WaylandInputCalls input = {&clock, Key, Button, Wheel, PointerAt, LayoutChanged};
    const int status = WaylandRun(&calls, options.wallpaper ? nullptr : &input, &options);
    ReleaseEndSignals();
    if (clock.watchFd >= 0)
        close(clock.watchFd);
    return status;
}
