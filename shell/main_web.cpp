// main_web.cpp - Zorvane in a web page: the same controller as the other
// savers, its timers run by one pending timeout to the next due time, the
// picture on the page's canvas. The page's script (shell/page_web.js)
// passes the address's settings as arguments and calls the Web* functions
// below on resizing, visibility and input.
//
//   zorvane.html?seed=5&points=100000&blank=1      runs until the page closes
//   zorvane.html?seed=5&frames=3&width=640&height=480   stops after frame 3
//
// A hidden page has no timeout pending; shown again, each timer that fell
// behind runs once and the schedule goes on. In saver mode (full-screen)
// the close rules of the other savers end it.
#include <emscripten.h>
#include <emscripten/eventloop.h>

#include <ctime>
#include <string>

#include "animation/controller.h"
#include "animation/platform_web.h"
#include "settings/options.h"
#include "settings/zoom.h"
#include "shell/options_web.h"
#include "shell/close_rules.h"

// The page's one picture. Its record is the one the page's callbacks below
// reach, so it is the program's only process-wide state.
struct PageRecord {
    WebPlatformRecord web; // the canvas's picture size, the seed, a quit request
    SaverRecord saver;
    PageOptions options;
    bool running;          // started, and no quit since
    bool visible;          // the page is shown
    long timeout;          // the pending timeout's id (0: none)
    uint32_t zoom;         // the zoom in use
    uint32_t frames;       // frame ticks run
    uint32_t wakes;        // timeouts that fired
    double frameTickMs;    // time spent in those frame ticks, in total
    CloseRulesRecord rules; // saver mode: where the pointer started
};

static PageRecord g_page;

// Newer Emscripten (3.1.69 here) links a library function that an EM_JS
// body calls only when it is declared so; older ones (3.1.6) link
// UTF8ToString always and have no EM_JS_DEPS.
#ifdef EM_JS_DEPS
EM_JS_DEPS(main_web, "$UTF8ToString");
#endif
EM_JS(void, PageShowMessageFromMain, (const char* text), { PageShowMessage(UTF8ToString(text)); });
EM_JS(int, PageIsVisible, (), { return document.visibilityState !== "hidden"; });
EM_JS(int, PageDeviceWidth, (), { return PageDeviceSize()[0]; });
EM_JS(int, PageDeviceHeight, (), { return PageDeviceSize()[1]; });
EM_JS(void, PageLayoutFromMain, (int width, int height, int zoom), { PageLayout(width, height, zoom); });
EM_JS(void, PageStartedFromMain, (const char* query, int still), { PageStarted(UTF8ToString(query), still); });

static bool FramesDone()
{
    return g_page.options.stopAfterFrames && g_page.frames >= g_page.options.frames;
}

// Runs every timer event due by now, earliest first, as the schedule
// orders them. A tick that outlasts its period is due again at once, but
// runs after the page has had its turn: at the next timeout.
static void RunDueTimers()
{
    const uint64_t now = WebNowMs();
    while (g_page.running && !FramesDone()) {
        uint64_t due = 0;
        const unsigned id = WebNextDue(&g_page.saver, &due);
        if (id == 0 || due > now)
            return;
        g_page.frames += id == FrameTimerId;  // counted first: the frame it presents is the count's
        const double before = emscripten_get_now();
        WebRunTimer(&g_page.saver, id);
        if (id == FrameTimerId)
            g_page.frameTickMs += emscripten_get_now() - before;
        if (g_page.web.quit)
            g_page.running = false;
    }
}

static void Wake(void*);

// Leaves exactly one timeout pending, to the next due time, or none when
// the page is hidden, stopped or done.
static void Arm()
{
    if (g_page.timeout)
        emscripten_clear_timeout(g_page.timeout);
    g_page.timeout = 0;
    if (!g_page.running || !g_page.visible || FramesDone())
        return;
    uint64_t due = 0;
    if (WebNextDue(&g_page.saver, &due) == 0)
        return;
    const uint64_t now = WebNowMs();
    g_page.timeout = emscripten_set_timeout(Wake, due > now ? static_cast<double>(due - now) : 0.0, nullptr);
}

static void Wake(void*)
{
    g_page.timeout = 0;
    g_page.wakes++;
    RunDueTimers();
    Arm();
}

// The picture's size for a canvas of width x height device pixels: the
// given size if any, divided by the zoom.
static void Measure(int32_t width, int32_t height)
{
    const PageOptions& o = g_page.options;
    const int32_t w = o.fixedWidth ? static_cast<int32_t>(o.width) : width;
    const int32_t h = o.fixedHeight ? static_cast<int32_t>(o.height) : height;
    const int32_t zoom = PictureZoom(o.zoom, w, h);
    const int32_t pw = w / zoom, ph = h / zoom;
    const bool changed = pw != g_page.web.width || ph != g_page.web.height || static_cast<uint32_t>(zoom) != g_page.zoom;
    g_page.web.width = pw;
    g_page.web.height = ph;
    g_page.zoom = static_cast<uint32_t>(zoom);
    if (changed)
        PageLayoutFromMain(pw, ph, zoom);
}

// The address that gives this picture again, from its seed.
static std::string Query(const PageOptions& o)
{
    const SaverSettingsRecord& s = o.settings;
    std::string q = "seed=" + std::to_string(o.seed) + "&points=" + std::to_string(s.NumberPoints) +
                    "&frame-ms=" + std::to_string(s.AnimationTimer) + "&clear-ms=" + std::to_string(s.CLSTimer) +
                    "&blank=" + std::to_string(s.BlankScreen) + "&rotate=" + std::to_string(s.EnableRotation) +
                    "&continuous=" + std::to_string(s.EnableContinuous);
    if (o.zoom)
        q += "&zoom=" + std::to_string(o.zoom);
    return q;
}

extern "C" {

// The canvas is now width x height device pixels.
EMSCRIPTEN_KEEPALIVE void WebResize(int32_t width, int32_t height)
{
    const int32_t oldWidth = g_page.web.width, oldHeight = g_page.web.height;
    Measure(width, height);
    if (g_page.running && (g_page.web.width != oldWidth || g_page.web.height != oldHeight))
        SaverResize(&g_page.saver);
}

// The page was hidden (0) or shown (1).
EMSCRIPTEN_KEEPALIVE void WebVisible(int visible)
{
    g_page.visible = visible != 0;
    Arm();
}

// Saver mode began: the next pointer position seen is the first.
EMSCRIPTEN_KEEPALIVE void WebSaverBegin()
{
    CloseRulesRestartPointer(&g_page.rules);
}

// Input in saver mode: kind 0 the pointer at (x, y) in device pixels,
// 1 a button, 2 a key. Returns 1 when the saver ends.
EMSCRIPTEN_KEEPALIVE int WebSaverInput(int kind, int32_t x, int32_t y)
{
    CloseRulesRecord* rules = &g_page.rules;
    const bool close = kind == 1 ? CloseOnButton(rules) : kind == 2 ? CloseOnKey(rules) : CloseOnPointer(rules, x, y);
    return close ? 1 : 0;
}

// What the page reports: frame ticks run, timeouts fired, and the mean
// frame tick in ms.
EMSCRIPTEN_KEEPALIVE uint32_t WebFrames()
{
    return g_page.frames;
}

EMSCRIPTEN_KEEPALIVE uint32_t WebWakes()
{
    return g_page.wakes;
}

EMSCRIPTEN_KEEPALIVE double WebMeanFrameTickMs()
{
    return g_page.frames ? g_page.frameTickMs / g_page.frames : 0.0;
}

EMSCRIPTEN_KEEPALIVE int32_t WebPictureWidth()
{
    return g_page.web.width;
}

EMSCRIPTEN_KEEPALIVE int32_t WebPictureHeight()
{
    return g_page.web.height;
}

}  // extern "C"

int main(int argc, char** argv)
{
    std::string error;
    if (ParsePageOptions(argc, argv, static_cast<uint32_t>(std::time(nullptr)), &g_page.options, &error) != 0) {
        PageShowMessageFromMain(error.c_str());
        return 0;
    }
    g_page.visible = PageIsVisible() != 0;
    Measure(PageDeviceWidth(), PageDeviceHeight());
    g_page.web.seed = g_page.options.seed;
    SaverInit(&g_page.saver, &g_page.web);
    g_page.saver.Settings = g_page.options.settings;
    SaverStart(&g_page.saver);
    g_page.running = !g_page.web.quit;
    PageStartedFromMain(Query(g_page.options).c_str(), g_page.options.stopAfterFrames ? 1 : 0);
    Arm();
    return 0;
}
