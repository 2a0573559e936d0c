// display_wayland.cpp - the connection to the compositor, its globals as
// they come and go, and the one loop: it waits in poll() on the connection,
// the caller's stop descriptor and the one it watches, at most until the
// caller's clock is due, and after every turn presents what changed on
// each output that can take a frame.
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "animation/client_wayland.h"

void WaylandEnd(WaylandClient* c, int status)
{
    if (!c->end)
        c->status = status;
    c->end = true;
}

// --- globals ---

static void OnPing(void*, xdg_wm_base* base, uint32_t serial)
{
    xdg_wm_base_pong(base, serial);
}

static const xdg_wm_base_listener WmBaseListener = {OnPing};

static void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    auto* c = static_cast<WaylandClient*>(data);
    const auto bind = [&](const wl_interface* i, uint32_t most) {
        return wl_registry_bind(registry, name, i, std::min(version, most));
    };
    if (std::strcmp(interface, wl_compositor_interface.name) == 0 && !c->compositor) {
        c->compositorVersion = std::min<uint32_t>(version, 4);  // 4 for damage in buffer pixels
        c->compositor = static_cast<wl_compositor*>(bind(&wl_compositor_interface, 4));
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0 && !c->shm) {
        c->shm = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0 && !c->layerShell) {
        c->layerShell = static_cast<zwlr_layer_shell_v1*>(bind(&zwlr_layer_shell_v1_interface, 1));
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0 && !c->wmBase) {
        c->wmBase = static_cast<xdg_wm_base*>(bind(&xdg_wm_base_interface, 2));
        xdg_wm_base_add_listener(c->wmBase, &WmBaseListener, c);
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0 && !c->xdgOutputManager) {
        c->xdgOutputManager = static_cast<zxdg_output_manager_v1*>(bind(&zxdg_output_manager_v1_interface, 2));
        for (WaylandOutput* o : c->outputs)
            WaylandDescribeOutput(c, o);
    } else if (std::strcmp(interface, wp_viewporter_interface.name) == 0 && !c->viewporter) {
        c->viewporter = static_cast<wp_viewporter*>(bind(&wp_viewporter_interface, 1));
    } else if (std::strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0 &&
               !c->fractionalScaleManager) {
        c->fractionalScaleManager =
            static_cast<wp_fractional_scale_manager_v1*>(bind(&wp_fractional_scale_manager_v1_interface, 1));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0) {
        if (c->hearInput)
            WaylandBindSeat(c, name, version);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        WaylandAddOutput(c, name, version);
    }
}

static void OnGlobalRemove(void* data, wl_registry*, uint32_t name)
{
    auto* c = static_cast<WaylandClient*>(data);
    for (WaylandOutput* o : c->outputs)
        if (o->globalName == name) {
            WaylandRemoveOutput(c, o);
            return;
        }
    if (c->seat && c->seatName == name)
        WaylandReleaseSeat(c);
}

static const wl_registry_listener RegistryListener = {OnGlobal, OnGlobalRemove};

// --- the loop ---

static void PresentAll(WaylandClient* c)
{
    for (WaylandOutput* o : c->outputs)
        WaylandPresent(o);
}

// The output whose picture is due first, among those that can take a
// frame, and in how many ms (negative: none is due).
static WaylandOutput* NextDue(WaylandClient* c, int64_t* wait)
{
    WaylandOutput* next = nullptr;
    *wait = -1;
    for (WaylandOutput* o : c->outputs) {
        if (!WaylandCanTakeFrame(o))
            continue;
        const int64_t due = c->calls.dueInMs(c->calls.context, o->picture);
        if (due >= 0 && (*wait < 0 || due < *wait)) {
            *wait = due;
            next = o;
        }
    }
    return next;
}

// The caller's word after a tick, input or a watch call: true when it ends
// the run.
static bool CallerEnds(WaylandClient* c)
{
    const int status = c->calls.status ? c->calls.status(c->calls.context) : -1;
    if (status >= 0)
        WaylandEnd(c, status);
    return c->end;
}

static void RunLoop(WaylandClient* c)
{
    wl_display* d = c->display;
    const int fd = wl_display_get_fd(d);
    const int watchFd = c->calls.watch ? c->options.watchFd : -1;
    while (!c->end) {
        // One picture's tick a turn, so that the stop descriptor and the
        // compositor are heard between frames however long they take.
        int64_t wait = -1;
        if (WaylandOutput* o = NextDue(c, &wait); o && wait == 0) {
            c->calls.tick(c->calls.context, o->picture);
            o->changed = true;
        }
        if (CallerEnds(c))
            break;
        PresentAll(c);
        while (wl_display_prepare_read(d) != 0)
            wl_display_dispatch_pending(d);
        // A full socket is flushed again once it can take more.
        const bool unsent = wl_display_flush(d) < 0 && errno == EAGAIN;
        const bool failed = !unsent && wl_display_get_error(d) != 0;
        NextDue(c, &wait);
        pollfd fds[3] = {{fd, static_cast<short>(unsent ? POLLIN | POLLOUT : POLLIN), 0},
                         {c->options.stopFd, POLLIN, 0},
                         {watchFd, POLLIN, 0}};  // a negative descriptor is passed over
        const int timeout = wait < 0 ? -1 : static_cast<int>(std::min<int64_t>(wait, INT_MAX));
        if (failed || (poll(fds, 3, timeout) < 0 && errno != EINTR)) {
            wl_display_cancel_read(d);
            std::fprintf(stderr, "zorvane: the connection to the compositor failed\n");
            WaylandEnd(c, 1);
            break;
        }
        if (fds[1].revents & POLLIN)
            WaylandEnd(c, 0);
        if (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) {
            if (wl_display_read_events(d) < 0) {
                std::fprintf(stderr, "zorvane: the compositor went away\n");
                WaylandEnd(c, 1);
                break;
            }
        } else {
            wl_display_cancel_read(d);
        }
        if (wl_display_dispatch_pending(d) < 0) {
            std::fprintf(stderr, "zorvane: protocol error %d from the compositor\n", wl_display_get_error(d));
            WaylandEnd(c, 1);
            break;
        }
        if (!c->end && (fds[2].revents & (POLLIN | POLLERR | POLLHUP)))
            c->calls.watch(c->calls.context);
        CallerEnds(c);  // input, or the watch, may have ended it
    }
}

static void Teardown(WaylandClient* c)
{
    while (!c->outputs.empty())
        WaylandRemoveOutput(c, c->outputs.back());
    WaylandReleaseSeat(c);
    if (c->fractionalScaleManager)
        wp_fractional_scale_manager_v1_destroy(c->fractionalScaleManager);
    if (c->viewporter)
        wp_viewporter_destroy(c->viewporter);
    if (c->xdgOutputManager)
        zxdg_output_manager_v1_destroy(c->xdgOutputManager);
    if (c->layerShell)
        zwlr_layer_shell_v1_destroy(c->layerShell);
    if (c->wmBase)
        xdg_wm_base_destroy(c->wmBase);
    if (c->shm)
        wl_shm_destroy(c->shm);
    if (c->compositor)
        wl_compositor_destroy(c->compositor);
    if (c->registry)
        wl_registry_destroy(c->registry);
    wl_display_flush(c->display);
    wl_display_disconnect(c->display);
}

int WaylandRun(const WaylandPictureCalls* calls, const WaylandInputCalls* input, const WaylandOptions* options)
{
    WaylandClient client = {};
    WaylandClient* c = &client;
    c->calls = *calls;
    c->options = *options;
    c->hearInput = input != nullptr;
    if (input)
        c->input = *input;
    c->display = wl_display_connect(nullptr);
    if (!c->display) {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        std::fprintf(stderr, "zorvane: cannot connect to the Wayland compositor '%s'\n", name ? name : "wayland-0");
        return 1;
    }
    c->registry = wl_display_get_registry(c->display);
    wl_registry_add_listener(c->registry, &RegistryListener, c);
    // The globals, then what the outputs and xdg-output say about them.
    if (wl_display_roundtrip(c->display) < 0 || wl_display_roundtrip(c->display) < 0) {
        std::fprintf(stderr, "zorvane: the compositor went away\n");
        WaylandEnd(c, 1);
    } else if (!c->compositor || !c->shm || (!c->layerShell && !c->wmBase)) {
        std::fprintf(stderr, "zorvane: the compositor offers no %s\n",
                     !c->compositor ? "wl_compositor" : !c->shm ? "wl_shm" : "zwlr_layer_shell_v1 or xdg_wm_base");
        WaylandEnd(c, 1);
    } else {
        c->ready = true;
        for (WaylandOutput* o : c->outputs)
            if (o->described)
                WaylandMakeSurface(o);
        RunLoop(c);
    }
    const int status = c->status;
    Teardown(c);
    return status;
}
