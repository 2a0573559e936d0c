// render_main.cpp - zorvane-render: runs the saver's animation headless on a
// virtual clock and writes the presented frames as PNG files. The same seed
// and options give the same pictures, bit for bit, on every build.
//
//   zorvane-render --seed 1 --frames 5 --out last.png --frames-dir frames/
//
// Exit status: 0 done; 1 the saver's start-up failed (its error box is
// printed) or memory ran out; 2 bad options or an output that cannot be
// written. Every failure but a bad option (whose line is followed by the
// usage) is one line on standard error.
//
// Only the controller's surface holds the picture: each frame to be written
// is compressed straight from it, inside the present hook, a row at a time.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <io.h>
#define ZORVANE_ISATTY _isatty
#else
#include <unistd.h>
#define ZORVANE_ISATTY isatty
#endif

#include "animation/controller.h"
#include "animation/platform_headless.h"
#include "settings/zoom.h"
#include "tools/render/png_file.h"
#include "tools/render/png_write.h"
#include "tools/render/render_options.h"

struct FrameSink {
    const SaverRecord* saver;  // the picture whose frames are written
    std::string dir;        // --frames-dir, or empty
    std::string out;        // --out, or empty
    bool byTime;            // which of the two limits ends the run
    uint32_t frames;        // --frames
    uint64_t timeMs;        // --time-ms
    uint32_t framesRun;     // frame ticks run before the current one
    bool outWritten;
    int32_t zoom;           // every picture pixel is written as a zoom x zoom block
    PngResult failure;      // PngWritten while nothing failed
    std::string failedPath;
};

static bool WriteSurface(FrameSink* sink, const std::string& path)
{
    const OffscreenSurface* s = sink->saver->Surface;
    const PngResult r = WritePng(path.c_str(), s, sink->zoom);
    if (r != PngWritten) {
        sink->failure = r;
        sink->failedPath = path;
    }
    return r == PngWritten;
}

// Whether the frame being presented is the run's last: the last of --frames
// frame ticks, or the frame tick after which the next one (its timer has
// already been advanced) is due beyond --time-ms. A clear tick may still
// follow and wipe the surface, so --out is written now.
static bool LastFrame(const FrameSink* sink)
{
    if (sink->byTime)
        return sink->saver->Timers[FrameTimerId].due > sink->timeMs;
    return sink->framesRun + 1 >= sink->frames;
}

// Called after every presented frame, which is on the controller's surface.
static void PresentFrame(HeadlessPlatformRecord* h, const OffscreenSurface*)
{
    FrameSink* sink = static_cast<FrameSink*>(h->user);
    if (sink->failure != PngWritten)
        return;
    if (!sink->dir.empty()) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%05u.png", static_cast<unsigned>(h->presents));
        if (!WriteSurface(sink, (std::filesystem::path(sink->dir) / name).string()))
            return;
    }
    if (!sink->out.empty() && LastFrame(sink))
        sink->outWritten = WriteSurface(sink, sink->out);
}

// Whether a file could be written beside path: the writer's own temporary
// file is created and removed again, so nothing that exists is touched.
static bool CanWrite(const std::string& path)
{
    std::string probe;
    FILE* f = PngOpenTemporary(path.c_str(), &probe);
    if (!f)
        return false;
    std::fclose(f);
    std::remove(probe.c_str());
    return true;
}

int main(int argc, char** argv)
{
    RenderOptions o;
    std::string error;
    if (ParseRenderOptions(argc, argv, static_cast<uint32_t>(std::time(nullptr)), &o, &error) != 0) {
        if (error.empty()) {
            std::fputs(RenderUsage().c_str(), stdout);
            return 0;
        }
        std::fprintf(stderr, "zorvane-render: %s\n%s", error.c_str(), RenderUsage().c_str());
        return 2;
    }
    if (!o.out.empty() && !CanWrite(o.out)) {
        std::fprintf(stderr, "zorvane-render: --out: cannot write '%s'\n", o.out.c_str());
        return 2;
    }
    if (!o.framesDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(o.framesDir, ec);
        if (!CanWrite((std::filesystem::path(o.framesDir) / "frame-00000.png").string())) {
            std::fprintf(stderr, "zorvane-render: --frames-dir: cannot write in '%s'\n", o.framesDir.c_str());
            return 2;
        }
    }

    // At --zoom N the picture is made at (width / N) x (height / N) and
    // written N times as large, as the saver shows it on a screen that size.
    const int32_t zoom = PictureZoom(o.zoom, o.width, o.height);
    HeadlessPlatformRecord window;
    HeadlessInit(&window, o.width / zoom, o.height / zoom, false);  // no screen: frames are written from the surface
    window.seconds = o.seed;
    SaverRecord saver;
    SaverInit(&saver, &window);
    saver.Settings = o.settings;
    FrameSink sink = {&saver, o.framesDir, o.out, o.byTime, o.frames, o.timeMs, 0, false, zoom, PngWritten, ""};
    window.onFrame = PresentFrame;
    window.user = &sink;

    SaverStart(&saver);
    if (window.quitRequests > 0 && window.quitCode == -1) {
        std::fprintf(stderr, "%s: %s\n", window.errorCaption, window.errorText);
        SaverTeardown(&saver);
        HeadlessShutdown(&window);
        return 1;
    }
    // The saver runs on without a surface, drawing nothing; a picture needs one.
    if (!saver.Surface) {
        std::fprintf(stderr, "zorvane-render: not enough memory for a %d x %d surface\n", o.width, o.height);
        SaverTeardown(&saver);
        HeadlessShutdown(&window);
        return 1;
    }

    // Progress goes to a terminal only, and only once the run takes a while.
    const bool terminal = ZORVANE_ISATTY(2) != 0;
    const auto started = std::chrono::steady_clock::now();
    auto lastReport = started;
    bool reported = false;
    uint32_t frames = 0;
    const uint64_t limit = o.byTime ? o.timeMs : UINT64_MAX;
    while (sink.failure == PngWritten && (o.byTime || frames < o.frames)) {
        sink.framesRun = frames;
        const unsigned id = HeadlessRunNext(&saver, limit);
        if (id == 0)
            break;
        frames += id == FrameTimerId;
        if (terminal) {
            const auto now = std::chrono::steady_clock::now();
            if (now - started > std::chrono::seconds(1) && now - lastReport > std::chrono::milliseconds(250)) {
                lastReport = now;
                reported = true;
                if (o.byTime)
                    std::fprintf(stderr, "\rzorvane-render: %llu of %u ms, %u frames", static_cast<unsigned long long>(window.now),
                                 o.timeMs, frames);
                else
                    std::fprintf(stderr, "\rzorvane-render: frame %u of %u", frames, o.frames);
            }
        }
    }
    if (reported)
        std::fputs("\n", stderr);

    // No frame presented: the surface has seen nothing but clears, and --out
    // is the black window.
    if (sink.failure == PngWritten && !o.out.empty() && !sink.outWritten)
        WriteSurface(&sink, o.out);
    int status = 0;
    if (sink.failure == PngNoMemory) {
        std::fprintf(stderr, "zorvane-render: not enough memory to write '%s'\n", sink.failedPath.c_str());
        status = 1;
    } else if (sink.failure != PngWritten) {
        std::fprintf(stderr, "zorvane-render: %scannot write '%s'\n", sink.failedPath == o.out ? "--out: " : "",
                     sink.failedPath.c_str());
        status = 2;
    }
    SaverTeardown(&saver);
    HeadlessShutdown(&window);
    return status;
}
