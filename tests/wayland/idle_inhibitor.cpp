// idle_inhibitor.cpp - holds the compositor's idle off, as a playing video
// does: a small window (an xdg_toplevel showing a grey buffer) with a
// zwp_idle_inhibitor_v1 on its surface, held until killed. Prints "ready"
// once the window is shown with its inhibitor.
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>

#include "idle-inhibit-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

struct Globals {
    wl_compositor* compositor;
    wl_shm* shm;
    xdg_wm_base* wmBase;
    zwp_idle_inhibit_manager_v1* manager;
    bool configured;
};

static void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    auto* g = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0 && !g->compositor)
        g->compositor = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 1));
    else if (std::strcmp(interface, wl_shm_interface.name) == 0 && !g->shm)
        g->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0 && !g->wmBase)
        g->wmBase = static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
    else if (std::strcmp(interface, zwp_idle_inhibit_manager_v1_interface.name) == 0 && !g->manager)
        g->manager = static_cast<zwp_idle_inhibit_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_idle_inhibit_manager_v1_interface, 1));
}

static void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
static const wl_registry_listener RegistryListener = {OnGlobal, OnGlobalRemove};

static void OnPing(void*, xdg_wm_base* base, uint32_t serial)
{
    xdg_wm_base_pong(base, serial);
}
static const xdg_wm_base_listener WmBaseListener = {OnPing};

static void OnConfigure(void* data, xdg_surface* surface, uint32_t serial)
{
    xdg_surface_ack_configure(surface, serial);
    static_cast<Globals*>(data)->configured = true;
}
static const xdg_surface_listener SurfaceListener = {OnConfigure};

// A grey 64 x 64 buffer in shared memory.
static wl_buffer* GreyBuffer(wl_shm* shm)
{
    constexpr int side = 64, bytes = side * side * 4;
    const int fd = memfd_create("idle-inhibitor", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, bytes) != 0)
        return nullptr;
    void* pixels = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED)
        return nullptr;
    std::memset(pixels, 0x80, bytes);
    munmap(pixels, bytes);
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, bytes);
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, side, side, side * 4, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

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
    if (!g.compositor || !g.shm || !g.wmBase || !g.manager) {
        std::fprintf(stderr, "idle_inhibitor: the compositor lacks a window or zwp_idle_inhibit_manager_v1\n");
        return 1;
    }
    xdg_wm_base_add_listener(g.wmBase, &WmBaseListener, nullptr);
    wl_surface* surface = wl_compositor_create_surface(g.compositor);
    xdg_surface* window = xdg_wm_base_get_xdg_surface(g.wmBase, surface);
    xdg_surface_add_listener(window, &SurfaceListener, &g);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(window);
    xdg_toplevel_set_title(toplevel, "idle inhibitor");
    zwp_idle_inhibitor_v1* inhibitor = zwp_idle_inhibit_manager_v1_create_inhibitor(g.manager, surface);
    wl_surface_commit(surface);
    while (!g.configured && wl_display_dispatch(display) >= 0) {
    }
    wl_buffer* buffer = GreyBuffer(g.shm);
    if (!buffer)
        return 1;
    wl_surface_attach(surface, buffer, 0, 0);
    wl_surface_commit(surface);
    if (wl_display_roundtrip(display) < 0)
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    while (wl_display_dispatch(display) >= 0) {
    }
    zwp_idle_inhibitor_v1_destroy(inhibitor);
    xdg_toplevel_destroy(toplevel);
    xdg_surface_destroy(window);
    wl_surface_destroy(surface);
    wl_buffer_destroy(buffer);
    wl_display_disconnect(display);
    return 0;
}
