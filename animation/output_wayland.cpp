// output_wayland.cpp - one record per wl_output: what the compositor says
// about it (scale, mode, name, position), its surface (a layer surface, or
// a full-screen xdg_toplevel where there is no layer shell), its picture
// at device pixels, black until the picture's first frame, and presenting
// the picture's frames as the compositor asks for them.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "animation/client_wayland.h"

static void CopyName(WaylandOutput* o, const char* name)
{
    std::snprintf(o->name, sizeof o->name, "%s", name ? name : "");
}

// --- what the compositor says about the output ---

static void MoveOutput(WaylandOutput* o, int32_t x, int32_t y)
{
    if (o->described && (x != o->x || y != o->y))
        WaylandLayoutChanged(o->client);
    o->x = x;
    o->y = y;
}

static void OnGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char*,
                       const char*, int32_t transform)
{
    auto* o = static_cast<WaylandOutput*>(data);
    o->transform = transform;
    if (!o->xdgOutput)  // xdg-output's logical position is the one to trust
        MoveOutput(o, x, y);
}

static void OnMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t)
{
    auto* o = static_cast<WaylandOutput*>(data);
    if (flags & WL_OUTPUT_MODE_CURRENT) {
        o->modeWidth = width;
        o->modeHeight = height;
    }
}

static void Reshape(WaylandOutput* o);

static void OnDone(void* data, wl_output*)
{
    auto* o = static_cast<WaylandOutput*>(data);
    o->described = true;
    if (!o->surface) {
        if (o->client->ready)
            WaylandMakeSurface(o);
    } else {
        Reshape(o);  // a new scale or mode
    }
}

static void OnScale(void* data, wl_output*, int32_t factor)
{
    static_cast<WaylandOutput*>(data)->scale = factor > 0 ? factor : 1;
}

static void OnName(void* data, wl_output*, const char* name)
{
    CopyName(static_cast<WaylandOutput*>(data), name);
}

static void OnDescription(void*, wl_output*, const char*) {}

static const wl_output_listener OutputListener = {OnGeometry, OnMode, OnDone, OnScale, OnName, OnDescription};

static void OnLogicalPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y)
{
    MoveOutput(static_cast<WaylandOutput*>(data), x, y);
}

static void OnLogicalSize(void* data, zxdg_output_v1*, int32_t width, int32_t height)
{
    auto* o = static_cast<WaylandOutput*>(data);
    o->outputWidth = width;
    o->outputHeight = height;
}
static void OnXdgDone(void*, zxdg_output_v1*) {}

static void OnXdgName(void* data, zxdg_output_v1*, const char* name)
{
    auto* o = static_cast<WaylandOutput*>(data);
    if (!o->name[0])
        CopyName(o, name);
}

static void OnXdgDescription(void*, zxdg_output_v1*, const char*) {}

static const zxdg_output_v1_listener XdgOutputListener = {OnLogicalPosition, OnLogicalSize, OnXdgDone,
                                                          OnXdgName, OnXdgDescription};

WaylandOutput* WaylandAddOutput(WaylandClient* c, uint32_t globalName, uint32_t version)
{
    auto* o = new WaylandOutput{};
    o->client = c;
    o->globalName = globalName;
    o->index = c->announced++;
    o->outputVersion = std::min<uint32_t>(version, 4);  // 2 for the scale, 4 for the name
    o->output = static_cast<wl_output*>(
        wl_registry_bind(c->registry, globalName, &wl_output_interface, o->outputVersion));
    o->scale = 1;
    o->poolFd = -1;
    o->shown = -1;
    wl_output_add_listener(o->output, &OutputListener, o);
    WaylandDescribeOutput(c, o);
    c->outputs.push_back(o);
    return o;
}

void WaylandDescribeOutput(WaylandClient* c, WaylandOutput* o)
{
    if (!c->xdgOutputManager || o->xdgOutput)
        return;
    o->xdgOutput = zxdg_output_manager_v1_get_xdg_output(c->xdgOutputManager, o->output);
    zxdg_output_v1_add_listener(o->xdgOutput, &XdgOutputListener, o);
}

// --- the picture and its size ---

static void OnFrameDone(void* data, wl_callback* callback, uint32_t)
{
    auto* o = static_cast<WaylandOutput*>(data);
    wl_callback_destroy(callback);
    o->frame = nullptr;
}

static const wl_callback_listener FrameListener = {OnFrameDone};

static void DropPicture(WaylandOutput* o)
{
    if (o->picture)
        o->client->calls.release(o->client->calls.context, o->picture);
    o->picture = nullptr;
    WaylandFreeBuffers(o);
}

// Black in the first buffer, shown at once: the surface covers its output
// from its first configure, before the picture's first frame (which
// brings the whole buffer up to date, as it is stale).
static void ShowBlack(WaylandOutput* o)
{
    WaylandBuffer* b = &o->buffers[0];
    std::fill_n(b->pixels, static_cast<size_t>(o->width) * static_cast<size_t>(o->height), 0xFF000000u);
    wl_surface_attach(o->surface, b->buffer, 0, 0);
    wl_surface_damage(o->surface, 0, 0, INT32_MAX, INT32_MAX);
    if (!o->frame) {
        o->frame = wl_surface_frame(o->surface);
        wl_callback_add_listener(o->frame, &FrameListener, o);
    }
    wl_surface_commit(o->surface);
    b->held = true;
    o->shown = 0;
}

// The output's mode as the surface lies on it: a quarter turn swaps its
// sides.
static void ModeSize(const WaylandOutput* o, int32_t* width, int32_t* height)
{
    const bool turned = o->transform & 1;
    *width = turned ? o->modeHeight : o->modeWidth;
    *height = turned ? o->modeWidth : o->modeHeight;
}

// Device pixels along a side of logical points at scale/120, rounded as
// the fractional scale protocol rounds them; but the output's own side
// (its mode's) where that lies within a logical point of it: the surface
// covers the output, whose logical size the compositor rounded.
static int32_t DeviceSide(int32_t logical, uint32_t scale, int32_t mode)
{
    const int64_t side = (static_cast<int64_t>(logical) * scale + 60) / 120;
    const int64_t off = side > mode ? side - mode : mode - side;
    return static_cast<int32_t>(mode > 0 && off * 120 <= scale ? mode : side);
}

// The scale of the surface, in 120ths: the compositor's preferred one; until
// it says, the one that maps the output's logical size to its mode (where
// xdg-output gives it), else its integer scale.
static uint32_t FractionalScale(const WaylandOutput* o, int32_t modeWidth)
{
    if (o->preferredScale > 0)
        return o->preferredScale;
    if (o->outputWidth > 0 && modeWidth > 0)
        return static_cast<uint32_t>((static_cast<int64_t>(modeWidth) * 120 + o->outputWidth / 2) / o->outputWidth);
    return static_cast<uint32_t>(o->scale) * 120;
}

// The surface's size in device pixels changed (a configure, a new scale or
// mode): a new picture and new buffers of that size, black until its first
// frame. With a viewport the buffer is at the output's own pixels and
// scale 1, mapped onto the surface's logical size; else at the output's
// integer scale.
static void Reshape(WaylandOutput* o)
{
    if (!o->configured)
        return;
    int32_t modeWidth = 0, modeHeight = 0;
    ModeSize(o, &modeWidth, &modeHeight);
    int32_t lw = o->logicalWidth, lh = o->logicalHeight;
    if (lw <= 0 || lh <= 0) {  // the client chooses: the whole output
        lw = o->outputWidth > 0 ? o->outputWidth : modeWidth / o->scale;
        lh = o->outputHeight > 0 ? o->outputHeight : modeHeight / o->scale;
    }
    int32_t width = lw * o->scale, height = lh * o->scale;
    if (o->viewport) {
        const uint32_t scale = FractionalScale(o, modeWidth);
        width = DeviceSide(lw, scale, modeWidth);
        height = DeviceSide(lh, scale, modeHeight);
        if (lw != o->viewWidth || lh != o->viewHeight) {
            o->viewWidth = lw;
            o->viewHeight = lh;
            wp_viewport_set_destination(o->viewport, lw, lh);  // takes effect with the next buffer
        }
    } else if (o->bufferScale != o->scale) {
        o->bufferScale = o->scale;
        wl_surface_set_buffer_scale(o->surface, o->scale);  // takes effect with the next buffer
    }
    if (o->picture && width == o->width && height == o->height)
        return;
    wl_region* opaque = wl_compositor_create_region(o->client->compositor);  // with the next buffer too
    wl_region_add(opaque, 0, 0, lw, lh);
    wl_surface_set_opaque_region(o->surface, opaque);
    wl_region_destroy(opaque);
    DropPicture(o);
    if (!WaylandMakeBuffers(o, width, height))
        return;
    ShowBlack(o);
    WaylandClient* c = o->client;
    o->picture = c->calls.make(c->calls.context, o->index, o->name, width, height);
    o->changed = true;
}

// --- the surface ---

static void OnLayerConfigure(void* data, zwlr_layer_surface_v1* surface, uint32_t serial, uint32_t width,
                             uint32_t height)
{
    auto* o = static_cast<WaylandOutput*>(data);
    zwlr_layer_surface_v1_ack_configure(surface, serial);
    o->configured = true;
    o->logicalWidth = static_cast<int32_t>(std::min<uint32_t>(width, INT32_MAX));
    o->logicalHeight = static_cast<int32_t>(std::min<uint32_t>(height, INT32_MAX));
    Reshape(o);
}

static void DropSurface(WaylandOutput* o);

static void OnLayerClosed(void* data, zwlr_layer_surface_v1*)
{
    auto* o = static_cast<WaylandOutput*>(data);
    DropPicture(o);
    DropSurface(o);
    o->closed = true;
}

static const zwlr_layer_surface_v1_listener LayerListener = {OnLayerConfigure, OnLayerClosed};

static void OnXdgSurfaceConfigure(void* data, xdg_surface* surface, uint32_t serial)
{
    auto* o = static_cast<WaylandOutput*>(data);
    xdg_surface_ack_configure(surface, serial);
    o->configured = true;
    Reshape(o);
}

static const xdg_surface_listener XdgSurfaceListener = {OnXdgSurfaceConfigure};

static void OnPreferredScale(void* data, wp_fractional_scale_v1*, uint32_t scale)
{
    auto* o = static_cast<WaylandOutput*>(data);
    o->preferredScale = scale;
    Reshape(o);
}

static const wp_fractional_scale_v1_listener FractionalScaleListener = {OnPreferredScale};

static void OnToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*)
{
    auto* o = static_cast<WaylandOutput*>(data);  // applied by the xdg_surface configure that follows
    o->logicalWidth = width;
    o->logicalHeight = height;
}

static void OnToplevelClose(void* data, xdg_toplevel*)
{
    WaylandEnd(static_cast<WaylandOutput*>(data)->client, 0);  // closed as a window is closed
}

// Empty, then filled by name (as the pointer's): bound at version 2, the
// toplevel is sent no later event.
static constexpr xdg_toplevel_listener ToplevelListener = [] {
    xdg_toplevel_listener l = {};
    l.configure = OnToplevelConfigure;
    l.close = OnToplevelClose;
    return l;
}();

void WaylandMakeSurface(WaylandOutput* o)
{
    WaylandClient* c = o->client;
    if (o->surface || o->closed)
        return;
    o->surface = wl_compositor_create_surface(c->compositor);
    wl_surface_set_user_data(o->surface, o);
    if (c->viewporter && c->fractionalScaleManager) {
        o->viewport = wp_viewporter_get_viewport(c->viewporter, o->surface);
        o->fractionalScale = wp_fractional_scale_manager_v1_get_fractional_scale(c->fractionalScaleManager, o->surface);
        wp_fractional_scale_v1_add_listener(o->fractionalScale, &FractionalScaleListener, o);
        o->bufferScale = 1;
    } else {
        o->bufferScale = o->scale;
        wl_surface_set_buffer_scale(o->surface, o->scale);
    }
    if (c->layerShell) {
        const bool wallpaper = c->options.wallpaper;
        o->layerSurface = zwlr_layer_shell_v1_get_layer_surface(
            c->layerShell, o->surface, o->output,
            wallpaper ? ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND : ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "zorvane");
        zwlr_layer_surface_v1_set_anchor(o->layerSurface,
                                         ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                             ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        zwlr_layer_surface_v1_set_size(o->layerSurface, 0, 0);
        zwlr_layer_surface_v1_set_exclusive_zone(o->layerSurface, -1);
        zwlr_layer_surface_v1_set_keyboard_interactivity(
            o->layerSurface, wallpaper ? ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE
                                       : ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
        zwlr_layer_surface_v1_add_listener(o->layerSurface, &LayerListener, o);
    } else {
        o->xdgSurface = xdg_wm_base_get_xdg_surface(c->wmBase, o->surface);
        xdg_surface_add_listener(o->xdgSurface, &XdgSurfaceListener, o);
        o->toplevel = xdg_surface_get_toplevel(o->xdgSurface);
        xdg_toplevel_add_listener(o->toplevel, &ToplevelListener, o);
        xdg_toplevel_set_title(o->toplevel, "Zorvane");
        xdg_toplevel_set_app_id(o->toplevel, "zorvane");
        xdg_toplevel_set_fullscreen(o->toplevel, o->output);
    }
    wl_surface_commit(o->surface);  // no buffer: asks for the first configure
}

static void DropSurface(WaylandOutput* o)
{
    if (o->frame)
        wl_callback_destroy(o->frame);
    o->frame = nullptr;
    if (o->layerSurface)
        zwlr_layer_surface_v1_destroy(o->layerSurface);
    if (o->toplevel)
        xdg_toplevel_destroy(o->toplevel);
    if (o->xdgSurface)
        xdg_surface_destroy(o->xdgSurface);
    if (o->fractionalScale)
        wp_fractional_scale_v1_destroy(o->fractionalScale);
    if (o->viewport)
        wp_viewport_destroy(o->viewport);
    if (o->surface)
        wl_surface_destroy(o->surface);
    if (o->client->pointerOver == o)
        o->client->pointerOver = nullptr;
    o->layerSurface = nullptr;
    o->toplevel = nullptr;
    o->xdgSurface = nullptr;
    o->fractionalScale = nullptr;
    o->viewport = nullptr;
    o->surface = nullptr;
    o->configured = false;
    o->preferredScale = 0;
    o->viewWidth = o->viewHeight = 0;
}

void WaylandRemoveOutput(WaylandClient* c, WaylandOutput* o)
{
    if (c->pointerOver == o)
        c->pointerOver = nullptr;
    WaylandLayoutChanged(c);
    DropPicture(o);
    DropSurface(o);
    if (o->xdgOutput)
        zxdg_output_v1_destroy(o->xdgOutput);
    if (o->outputVersion >= WL_OUTPUT_RELEASE_SINCE_VERSION)
        wl_output_release(o->output);
    else
        wl_output_destroy(o->output);
    c->outputs.erase(std::find(c->outputs.begin(), c->outputs.end(), o));
    delete o;
}

// --- presenting ---

bool WaylandCanTakeFrame(const WaylandOutput* o)
{
    // The compositor has asked for the next frame, and not every buffer is
    // held (a release brings that back).
    return o->picture && o->configured && !o->frame && WaylandFreeBuffer(o) >= 0;
}

void WaylandPresent(WaylandOutput* o)
{
    if (!o->changed || !WaylandCanTakeFrame(o))
        return;
    const int b = WaylandFreeBuffer(o);
    WaylandClient* c = o->client;
    WaylandBuffer* buffer = &o->buffers[b];
    const SurfaceRect stale = buffer->stale ? buffer->staleRect : SurfaceRect{0, 0, 0, 0};
    o->changed = false;
    SurfaceRect d = {};
    if (!c->calls.draw(c->calls.context, o->picture, buffer->pixels, o->width, o->height, &stale, &d))
        return;
    buffer->stale = false;
    if (d.left >= d.right || d.top >= d.bottom)
        d = stale;
    else if (stale.left < stale.right && stale.top < stale.bottom)
        d = {std::min(d.left, stale.left), std::min(d.top, stale.top), std::max(d.right, stale.right),
             std::max(d.bottom, stale.bottom)};
    d = {std::max(d.left, 0), std::max(d.top, 0), std::min(d.right, o->width), std::min(d.bottom, o->height)};
    if (d.left >= d.right || d.top >= d.bottom)
        return;
    WaylandMarkDrawn(o, b, d);
    wl_surface_attach(o->surface, o->buffers[b].buffer, 0, 0);
    if (c->compositorVersion >= WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION)
        wl_surface_damage_buffer(o->surface, d.left, d.top, d.right - d.left, d.bottom - d.top);
    else
        wl_surface_damage(o->surface, 0, 0, INT32_MAX, INT32_MAX);
    o->frame = wl_surface_frame(o->surface);
    wl_callback_add_listener(o->frame, &FrameListener, o);
    wl_surface_commit(o->surface);
    buffer->held = true;
    o->shown = b;
}
