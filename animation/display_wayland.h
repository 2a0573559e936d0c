// display_wayland.h - pictures on every output of a Wayland compositor,
// through libwayland-client alone.
//
// One surface per output: on the overlay layer of the layer shell where
// the compositor offers it (anchored to every edge, over everything, with
// the keyboard), else a full-screen xdg_toplevel. Each surface shows its
// own picture, made at the output's device pixels (its logical size times
// its scale, with the buffer scale set to match). Outputs that appear
// while it runs get a picture; outputs that go away release theirs.
//
// The pictures are the caller's, through a few calls: make one of a given
// size for the k-th output the compositor announced, say when it is next
// due and run what is due (its own clock), and draw its next frame into a
// buffer that holds the previous one (but for what changed in the frames
// the other buffers got). A picture's clock is consulted only
// while its output can take a frame: the compositor has asked for one
// (frame callbacks) and one of its buffers is free. So an output that is
// hidden or powered off costs nothing, and the pictures draw no faster
// than their outputs show. Only the changed rectangle is sent.
//
// It ends with status 0 on a key, a button or a wheel, pointer motion of
// more than 3 pixels from where the pointer first appeared
// (shell/pointer_rule.h; the pointer appearing over a surface is not
// motion), or the caller's stop descriptor (its signal pipe, so that
// SIGTERM, SIGINT and SIGHUP end it within a turn of the loop, see
// shell/signal_pipe.h); with status 1 when the connection
// fails or the compositor lacks what it needs. With wallpaper set it draws
// on the background layer instead and ignores input.
#pragma once

#include <cstdint>

#include "engine/surface.h"

struct WaylandPictureCalls {
    void* context;  // handed to every call
    // A picture of width x height device pixels for the output the
    // compositor announced index-th (0, 1, ...), named name ("" when the
    // compositor gives no name); null when none can be made.
    void* (*make)(void* context, uint32_t index, const char* name, int32_t width, int32_t height);
    // Draws picture's next frame into pixels: width x height 32-bit XRGB
    // values, row after row, which hold the last frame this picture drew,
    // except within *stale (empty when nothing is), where they hold an
    // older one or zeros (all of them before its first). Returns false
    // when nothing changed, else true with the changed rectangle in
    // *damage, having brought the stale rectangle up to date as well (it
    // is sent too). The format ignores the top byte, but some compositors
    // (weston) keep it, and their screenshots read it as alpha: pictures
    // write 0xFFRRGGBB.
    bool (*draw)(void* context, void* picture, uint32_t* pixels, int32_t width, int32_t height,
                 const SurfaceRect* stale, SurfaceRect* damage);
    void (*release)(void* context, void* picture);  // the output went away or changed size
    // The picture's clock: milliseconds until tick is due (0 when it is
    // due, negative when nothing is), and tick, which runs what is due;
    // draw is called after it.
    int64_t (*dueInMs)(void* context, void* picture);
    void (*tick)(void* context, void* picture);
    // Negative while the pictures go on; else the run ends with this status
    // (a picture could not start). May be null.
    int (*status)(void* context);
};

struct WaylandOptions {
    bool wallpaper;  // the background layer, no input
    int stopFd;      // ends the run with status 0 once readable (the caller's signal pipe); -1: none
};

// Connects to the compositor WAYLAND_DISPLAY names, shows the pictures
// until an end, tears everything down and returns the exit status.
int WaylandRun(const WaylandPictureCalls* calls, const WaylandOptions* options);
