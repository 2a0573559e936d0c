// render_main.cpp - zorvane-render: runs the saver's animation headless on a
// virtual clock and writes the presented frames as PNG files. The same seed
// and options give the same pictures, bit for bit, on every build.
//
//   zorvane-render --seed 1 --frames 5 --out last.png --frames-dir frames/
//
// Exit status: 0 done, 1 the saver's start-up failed (its error box is
// printed), 2 bad options or an output that cannot be written.
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
#include "settings/settings.h"
#include "tools/render/png_file.h"
#include "tools/render/png_write.h"
#include "tools/render/render_options.h"

struct FrameSink {
    std::string dir;
    bool failed;
    std::string failedPath;
};

static FrameSink g_sink;

static bool WriteScreen(const std::string& path)
{
    return WritePng(path.c_str(), Headless.width, Headless.height, MemorySurfacePixels(Headless.window.screen)) != 0;
}

// Called after every presented frame: write it when asked to.
static void PresentFrame()
{
    if (g_sink.dir.empty() || g_sink.failed)
        return;
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05u.png", static_cast<unsigned>(Headless.presents));
    const std::string path = (std::filesystem::path(g_sink.dir) / name).string();
    if (!WriteScreen(path)) {
        g_sink.failed = true;
        g_sink.failedPath = path;
    }
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

    SaverSettings = o.settings;
    HeadlessReset(o.width, o.height);
    if (!Headless.window.screen) {
        std::fprintf(stderr, "zorvane-render: not enough memory for a %d x %d picture\n", o.width, o.height);
        return 2;
    }
    Headless.seconds = o.seed;
    Headless.onFrame = PresentFrame;
    g_sink = FrameSink{o.framesDir, false, ""};

    const SaverWindow window = HeadlessWindow();
    SaverStart(window);
    if (Headless.quitRequests > 0 && Headless.quitCode == -1) {
        std::fprintf(stderr, "%s: %s\n", Headless.errorCaption, Headless.errorText);
        SaverTeardown(window);
        HeadlessShutdown();
        return 1;
    }

    // Progress goes to a terminal only, and only once the run takes a while.
    const bool terminal = ZORVANE_ISATTY(2) != 0;
    const auto started = std::chrono::steady_clock::now();
    auto lastReport = started;
    bool reported = false;
    uint32_t frames = 0;
    const uint64_t limit = o.byTime ? o.timeMs : UINT64_MAX;
    while (!g_sink.failed && (o.byTime || frames < o.frames)) {
        const unsigned id = HeadlessRunNext(limit);
        if (id == 0)
            break;
        frames += id == 1;
        if (terminal) {
            const auto now = std::chrono::steady_clock::now();
            if (now - started > std::chrono::seconds(1) && now - lastReport > std::chrono::milliseconds(250)) {
                lastReport = now;
                reported = true;
                if (o.byTime)
                    std::fprintf(stderr, "\rzorvane-render: %llu of %u ms, %u frames", static_cast<unsigned long long>(Headless.now),
                                 o.timeMs, frames);
                else
                    std::fprintf(stderr, "\rzorvane-render: frame %u of %u", frames, o.frames);
            }
        }
    }
    if (reported)
        std::fputs("\n", stderr);

    int status = 0;
    if (g_sink.failed) {
        std::fprintf(stderr, "zorvane-render: cannot write '%s'\n", g_sink.failedPath.c_str());
        status = 2;
    } else if (!o.out.empty() && !WriteScreen(o.out)) {
        std::fprintf(stderr, "zorvane-render: --out: cannot write '%s'\n", o.out.c_str());
        status = 2;
    }
    SaverTeardown(window);
    HeadlessShutdown();
    return status;
}
