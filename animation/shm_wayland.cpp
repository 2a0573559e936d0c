// shm_wayland.cpp - each output's buffers: one wl_shm pool in an anonymous
// file, cut into WaylandBufferCount XRGB buffers of the picture's size.
//
// A buffer the compositor holds (attached, not yet released) is never
// written. Each buffer remembers the rectangle that changed since it was
// last up to date (the frames drawn into the others): the picture brings
// it up to date as it draws the next frame there, and it is sent along.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "animation/client_wayland.h"

static void OnRelease(void* data, wl_buffer*)
{
    static_cast<WaylandBuffer*>(data)->held = false;
}

static const wl_buffer_listener BufferListener = {OnRelease};

bool WaylandMakeBuffers(WaylandOutput* o, int32_t width, int32_t height)
{
    const size_t stride = static_cast<size_t>(width) * 4;
    const size_t bytes = stride * static_cast<size_t>(height);
    const size_t total = bytes * WaylandBufferCount;
    if (width <= 0 || height <= 0 || stride > INT32_MAX || total > INT32_MAX)
        return false;
    const int fd = memfd_create("zorvane-frames", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0 || ftruncate(fd, static_cast<off_t>(total)) != 0) {
        std::perror("zorvane: frame buffers");
        if (fd >= 0)
            close(fd);
        return false;
    }
    void* memory = mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
        std::perror("zorvane: frame buffers");
        close(fd);
        return false;
    }
    o->poolFd = fd;
    o->memory = memory;
    o->memoryBytes = total;
    o->width = width;
    o->height = height;
    o->pool = wl_shm_create_pool(o->client->shm, fd, static_cast<int32_t>(total));
    for (int i = 0; i < WaylandBufferCount; i++) {
        WaylandBuffer* b = &o->buffers[i];
        b->pixels = reinterpret_cast<uint32_t*>(static_cast<char*>(memory) + bytes * static_cast<size_t>(i));
        b->buffer = wl_shm_pool_create_buffer(o->pool, static_cast<int32_t>(bytes * static_cast<size_t>(i)),
                                              width, height, static_cast<int32_t>(stride),
                                              WL_SHM_FORMAT_XRGB8888);
        wl_buffer_add_listener(b->buffer, &BufferListener, b);
        b->held = false;
        b->stale = true;  // black, as the picture is before its first frame: a copy is harmless
        b->staleRect = {0, 0, width, height};
    }
    o->shown = -1;
    return true;
}

void WaylandFreeBuffers(WaylandOutput* o)
{
    for (WaylandBuffer& b : o->buffers) {
        if (b.buffer)
            wl_buffer_destroy(b.buffer);
        b = WaylandBuffer{};
    }
    if (o->pool)
        wl_shm_pool_destroy(o->pool);
    if (o->memory)
        munmap(o->memory, o->memoryBytes);
    if (o->poolFd >= 0)
        close(o->poolFd);
    o->pool = nullptr;
    o->memory = nullptr;
    o->memoryBytes = 0;
    o->poolFd = -1;
    o->width = o->height = 0;
    o->shown = -1;
}

int WaylandFreeBuffer(const WaylandOutput* o)
{
    // The one shown last when the compositor has let it go: it is up to date.
    if (o->shown >= 0 && !o->buffers[o->shown].held)
        return o->shown;
    for (int i = 0; i < WaylandBufferCount; i++)
        if (o->buffers[i].buffer && !o->buffers[i].held)
            return i;
    return -1;
}

void WaylandMarkDrawn(WaylandOutput* o, int b, const SurfaceRect& damage)
{
    for (int i = 0; i < WaylandBufferCount; i++) {
        WaylandBuffer* other = &o->buffers[i];
        if (i == b)
            continue;
        if (!other->stale) {
            other->staleRect = damage;
        } else {
            SurfaceRect& r = other->staleRect;
            r = {damage.left < r.left ? damage.left : r.left, damage.top < r.top ? damage.top : r.top,
                 damage.right > r.right ? damage.right : r.right, damage.bottom > r.bottom ? damage.bottom : r.bottom};
        }
        other->stale = true;
    }
}
