// platform_x11.h - the animation platform on an X display: the surface is
// 32-bit pixels in memory (shared with the X server through MIT-SHM when
// it can be), presented with one image copy per frame; the rest is the
// Linux front ends' (platform_linux.h). Each picture has its own record;
// the pictures share the one connection to the X server.
//
// Usage (the event loop lives in the program, see shell/main_x11.cpp):
//   X11Connection.display = XOpenDisplay(...);
//   X11InstallErrorHandlers();
//   X11PlatformRecord x = {}; x.display = X11Connection.display; x.window = ...; x.width = ...;
//   if (!X11CheckVisual(&x, &error)) ...;    // TrueColor, 32 bits a pixel
//   X11Attach(&x);                           // its surfaces; X errors naming x.window now mark it gone
//   SaverInit(&saver, &x); SaverStart(&saver);
//   ... LinuxRunTimer(&saver, id) whenever LinuxNextDue(&saver, &due) has come ...
//   SaverTeardown(&saver); X11Detach(&x);
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <string>

#include "animation/platform_linux.h"

struct X11PlatformRecord {
    LinuxWindowRecord common;          // first: the controller's window is this record
    Display* display;
    Window window;                     // where the picture goes
    Visual* visual;                    // the window's visual and depth
    int depth;
    int32_t width, height;             // the window's size as last seen
    int32_t screenWidth, screenHeight; // its screen's: no more than this is drawn
    uint32_t zoom;                     // each point an N x N block; 0: ZoomForScreen
    bool windowGone;                   // an X error named the window: it no longer exists
    X11PlatformRecord* next;           // the connection's next picture
};

// The one connection to the X server, shared by every picture on it. Xlib's
// error handlers belong to the process, so they find the pictures here.
struct X11ConnectionRecord {
    Display* display;
    X11PlatformRecord* pictures;       // attached pictures, linked by next
    bool trapped;                      // an error arrived while a trap was set (X11Trap)
    uint64_t lastShown;                // when an error was last reported, LinuxNowMs
    bool shownOnce;
    unsigned long hidden;              // errors not reported since
};

extern X11ConnectionRecord X11Connection;

// X errors are not fatal: one naming an attached picture's window means it
// is gone, others are reported on stderr (at most a line a second); losing
// the display ends the process.
void X11InstallErrorHandlers();
void X11Attach(X11PlatformRecord* x);      // also sets x->common's surface calls
void X11Detach(X11PlatformRecord* x);
// Runs request(context) and waits for the server's answer; true when the
// server reported no error for it.
bool X11Trap(Display* d, bool (*request)(void* context), void* context);
// The window's visual can be drawn directly: TrueColor, 32 bits a pixel,
// 8 bits a channel (depth 24 or 32) or 10 (depth 30).
bool X11CheckVisual(const X11PlatformRecord* x, std::string* error);
// The surface in x's window (surface_x11.cpp), for x->common.
OffscreenSurface* X11CreateSurface(LinuxWindowRecord* window, SurfaceRect* clientRect);
void X11ReleaseSurface(OffscreenSurface* surface);
