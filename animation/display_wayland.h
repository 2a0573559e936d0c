// display_wayland.h - pictures on every output of a Wayland compositor,
// through libwayland-client alone.
//
// One surface per output: on the overlay layer of the layer shell where
// the compositor offers it (anchored to every edge, over everything, with
// the keyboard), else a full-screen xdg_toplevel. Each surface shows its
// own picture, made at the output's device pixels: where the compositor
// offers fractional scales and viewports, its logical size times the scale
// the compositor prefers for it (the output's mode itself when the surface
// covers the output), shown one buffer pixel to one device pixel through
// the viewport; elsewhere its logical size times the output's integer
// scale, with the buffer scale set to match. From its first configure, until
// its picture's first frame, a surface shows black. Outputs that appear
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
// Input is handed on as it comes (WaylandInputCalls): keys, buttons,
// wheels, and the pointer's position in the compositor's global space, so
// that moving from one output to the next is the motion it is. Deciding
// which input ends the run is the caller's, through the status call. It
// ends with status 0 on the caller's stop descriptor (its signal pipe, so
// that SIGTERM, SIGINT and SIGHUP end it within a turn of the loop, see
// shell/signal_pipe.h) or a full-screen window closed by the compositor;
// with the status the caller's status call returns; with status 1 when the
// connection fails or the compositor lacks what it needs. With wallpaper
// set it draws on the background layer instead, without the keyboard.
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
    // (a picture could not start, an input ended it). Consulted after every
    // tick, every batch of input and every watch call. May be null.
    int (*status)(void* context);
    // Called when the options' watchFd is readable or hung up (it is to
    // read it, or end the run). May be null: watchFd is not watched.
    void (*watch)(void* context);
};

// The seat's input, handed on as it comes; the display decides nothing
// from it. Positions are in the compositor's global space: an output's
// logical position plus the position on its surface.
struct WaylandInputCalls {
    void* context;  // handed to every call
    void (*key)(void* context);     // a key pressed
    void (*button)(void* context);  // a pointer button pressed
    void (*wheel)(void* context);   // a wheel or another axis turned
    void (*pointer)(void* context, int64_t x, int64_t y);  // the pointer over a surface, entering or moving
    // An output moved or went away: positions before and after cannot be
    // compared (and the compositor may put the pointer on another output).
    void (*layoutChanged)(void* context);
};

struct WaylandOptions {
    bool wallpaper;  // the background layer, without the keyboard
    int stopFd;      // ends the run with status 0 once readable (the caller's signal pipe); -1: none
    int watchFd;     // the picture calls' watch is called once readable; -1: none
};

// Connects to the compositor WAYLAND_DISPLAY names, shows the pictures
// until an end, tears everything down and returns the exit status. With
// input null the seat is not taken: no input is heard, and the pointer
// keeps its cursor over the surfaces.
int WaylandRun(const WaylandPictureCalls* calls, const WaylandInputCalls* input, const WaylandOptions* options);
