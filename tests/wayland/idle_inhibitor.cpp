// idle_inhibitor.cpp - holds the compositor's idle off, as a playing video
// does: a surface with a zwp_idle_inhibitor_v1, held until killed. Prints
// "ready" once the compositor has it. (sway counts an inhibitor on a
// surface that is no window as visible.)
#include <wayland-client.h>

#include <cstdio>
#include <cstring>

#include "idle-inhibit-unstable-v1-client-protocol.h"

struct Globals {
    wl_compositor* compositor;
    zwp_idle_inhibit_manager_v1* manager;
};

static void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    auto* g = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0 && !g->compositor)
        g->compositor = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 1));
    else if (std::strcmp(interface, zwp_idle_inhibit_manager_v1_interface.name) == 0 && !g->manager)
        g->manager = static_cast<zwp_idle_inhibit_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_idle_inhibit_manager_v1_interface, 1));
}

static void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

static const wl_registry_listener RegistryListener = {OnGlobal, OnGlobalRemove};

int main()
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "idle_inhibitor: no Wayland compositor\n");
        return 1;
    }
    Globals g = {};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &RegistryListener, &g);
    wl_display_roundtrip(display);
    if (!g.compositor || !g.manager) {
        std::fprintf(stderr, "idle_inhibitor: the compositor offers no %s\n",
                     g.compositor ? "zwp_idle_inhibit_manager_v1" : "wl_compositor");
        return 1;
    }
    wl_surface* surface = wl_compositor_create_surface(g.compositor);
    zwp_idle_inhibitor_v1* inhibitor = zwp_idle_inhibit_manager_v1_create_inhibitor(g.manager, surface);
    if (wl_display_roundtrip(display) < 0)
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    while (wl_display_dispatch(display) >= 0) {
    }
    zwp_idle_inhibitor_v1_destroy(inhibitor);
    wl_surface_destroy(surface);
    wl_display_disconnect(display);
    return 0;
}
