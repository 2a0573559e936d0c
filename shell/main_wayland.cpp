// main_wayland.cpp - the zorvane saver on a Wayland compositor: one picture
// per output, each at the output's device pixels, with seeds S, S+1, ... in
// the order the compositor announced the outputs, each its own saver record
// over the shared controller. The outputs, surfaces, buffers, input and the
// loop are animation/display_wayland.h's; this file gives it the pictures.
#include <new>

#include "animation/controller.h"
#include "animation/display_wayland.h"
#include "animation/picture_wayland.h"
#include "shell/savers_linux.h"
#include "shell/signal_pipe.h"

struct WaylandPicture {
    WaylandPictureRecord platform;
    SaverRecord saver;
};

struct WaylandSaverRun {
    const SaverOptions* options;
    int status;  // negative while the pictures go on
};

static WaylandPicture* Picture(void* picture)
{
    return static_cast<WaylandPicture*>(picture);
}

// A picture that asked to quit (a start-up failure) ends the run.
static void CheckQuit(WaylandSaverRun* run, const WaylandPicture* p)
{
    if (p->platform.common.quit && run->status < 0)
        run->status = p->platform.common.quitCode != 0 ? 1 : 0;
}

static void* Make(void* context, uint32_t index, const char*, int32_t width, int32_t height)
{
    auto* run = static_cast<WaylandSaverRun*>(context);
    if (run->status >= 0)
        return nullptr;  // ending: a start-up failure is shown once, not once per output
    auto* p = new (std::nothrow) WaylandPicture{};
    if (!p)
        return nullptr;
    WaylandPictureInit(&p->platform, run->options->seed + index, run->options->zoom, width, height);
    SaverInit(&p->saver, &p->platform);
    p->saver.Settings = run->options->settings;
    SaverStart(&p->saver);
    CheckQuit(run, p);
    return p;
}

static bool Draw(void*, void* picture, uint32_t* pixels, int32_t width, int32_t height, const SurfaceRect* stale,
                 SurfaceRect* damage)
{
    return WaylandCopyFrame(&Picture(picture)->platform, pixels, width, height, stale, damage);
}

static void Release(void*, void* picture)
{
    SaverTeardown(&Picture(picture)->saver);
    delete Picture(picture);
}

static int64_t DueInMs(void*, void* picture)
{
    uint64_t due = 0;
    if (!LinuxNextDue(&Picture(picture)->saver, &due))
        return -1;
    const uint64_t now = LinuxNowMs();
    return due > now ? static_cast<int64_t>(due - now) : 0;
}

static void Tick(void* context, void* picture)
{
    WaylandPicture* p = Picture(picture);
    uint64_t due = 0;
    if (const unsigned id = LinuxNextDue(&p->saver, &due))
        LinuxRunTimer(&p->saver, id);
    CheckQuit(static_cast<WaylandSaverRun*>(context), p);
}

static int Status(void* context)
{
    return static_cast<WaylandSaverRun*>(context)->status;
}

int RunWaylandSaver(const SaverOptions* options, const SaverWatch* watch)
{
    (void)watch;
    WaylandSaverRun run = {options, -1};
    const WaylandPictureCalls calls = {&run, Make, Draw, Release, DueInMs, Tick, Status};
    const WaylandOptions display = {options->wallpaper, EndSignalFd()};
    return WaylandRun(&calls, &display);
}
