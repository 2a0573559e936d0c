// platform.h - the few platform services the animation controller uses.
// One implementation per platform: platform_win32.cpp with surface_win32.cpp
// (a DIB section and window timers), platform_x11.cpp with surface_x11.cpp
// (an XImage, timers run by the program's poll loop), platform_web.cpp with
// surface_web.cpp (the page's canvas and timeout), platform_headless.cpp (a
// memory surface and a virtual clock). The SaverWindow each call is handed
// is the platform's own: an HWND on Win32, the platform record elsewhere
// (X11PlatformRecord, WebPlatformRecord, HeadlessPlatformRecord).
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/surface.h"

struct SaverRecord;
using SaverWindow = void*;
using TimerHandler = void (*)(SaverRecord* saver);

// The off-screen surface for the window's client size (on Win32 a 32-bpp DIB
// section, on X11 an image in the window's pixel format), presented to the
// window. On a large screen the picture is smaller than the window and
// magnified when presented (the zoom rule, settings/zoom.h; see
// surface_x11.cpp and surface_win32.cpp). Puts the picture's rectangle
// into *clientRect. Null when it cannot be built whole, which never fails
// the start-up: the drawing calls then do nothing.
OffscreenSurface* PlatCreateSurface(SaverWindow window, SurfaceRect* clientRect);
void PlatReleaseSurface(OffscreenSurface* surface);
// Timer id of saver->window calls handler(saver) every periodMs; 1 or 0. On
// the platforms that run their own clock the schedule is saver->Timers[id].
int PlatStartTimer(SaverRecord* saver, unsigned id, uint32_t periodMs, TimerHandler handler);
void PlatStopTimer(SaverRecord* saver, unsigned id);
void PlatErrorBox(SaverWindow window, const char* text, const char* caption);  // modal, error icon, OK
void PlatRequestQuit(SaverWindow window, int code);                  // end the message (or event) loop with code
uint32_t PlatCalendarSeconds(SaverWindow window);                    // seconds since 1970 UTC, for the seed
void* PlatAllocate(SaverWindow window, size_t bytes);                // zero-filled block, or null when refused
void PlatFree(SaverWindow window, void* block);                      // accepts null
