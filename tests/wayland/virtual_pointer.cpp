// virtual_pointer.cpp - gives a compositor without input devices a pointer:
// creates a virtual pointer on the first seat and holds it until killed,
// so that the compositor's own cursor commands (sway's "seat - cursor
// move DX DY", "seat - cursor press button1") reach the clients.
// Prints "ready" once the compositor has the device.
#include <wayland-client.h>

#include <cstdio>
#include <cstring>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

struct Globals {
    wl_seat* seat;
    zwlr_virtual_pointer_manager_v1* manager;
};

static void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    auto* g = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !g->seat)
        g->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0 && !g->manager)
        g->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}

static void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

static const wl_registry_listener RegistryListener = {OnGlobal, OnGlobalRemove};

int main()
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "virtual_pointer: no Wayland compositor\n");
        return 1;
    }
    Globals g = {};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &RegistryListener, &g);
    wl_display_roundtrip(display);
    if (!g.seat || !g.manager) {
        std::fprintf(stderr, "virtual_pointer: the compositor offers no %s\n",
                     g.seat ? "zwlr_virtual_pointer_manager_v1" : "wl_seat");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(g.manager, g.seat);
    if (wl_display_roundtrip(display) < 0)
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    while (wl_display_dispatch(display) >= 0) {
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_disconnect(display);
    return 0;
}
