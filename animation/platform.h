// platform.h - the few platform services the animation controller uses.
// One implementation per platform: platform_win32.cpp (GDI and window
// timers), platform_x11.cpp with surface_x11.cpp (an XImage, timers run by
// the program's poll loop), platform_headless.cpp (memory surface and a
// virtual clock). The SaverWindow each call is handed is the platform's
// own: an HWND on Win32, the X11PlatformRecord on X11.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/surface.h"

using TimerHandler = void (*)(SaverWindow window);

// The off-screen surface for the window: a memory context compatible with
// the window's, and a bitmap of the client size selected into it (on Win32
// a 32-bpp DIB section whose pixels are stored directly; on X11 an image
// in the window's pixel format, whose picture may be smaller than the
// window and magnified when copied, see surface_x11.cpp). Reads the client
// rectangle into *clientRect. Never fails the start-up: a surface that
// cannot be built whole is missing, and the drawing calls then do nothing.
OffscreenSurface* PlatCreateSurface(SaverWindow window, SurfaceRect* clientRect);
void PlatReleaseSurface(OffscreenSurface* surface);          // the context, then the bitmap
SurfaceBrush PlatCreateBlackBrush();                         // solid colour 0, or null
void PlatReleaseBrush(SurfaceBrush brush);
int PlatStartTimer(SaverWindow window, unsigned id, uint32_t periodMs, TimerHandler handler);  // 1 or 0
void PlatStopTimer(SaverWindow window, unsigned id);
void PlatErrorBox(SaverWindow window, const char* text, const char* caption);  // modal, error icon, OK
void PlatRequestQuit(int code);                              // end the message (or event) loop with code
uint32_t PlatCalendarSeconds();                              // seconds since 1970 UTC, for the seed
void* PlatAllocate(size_t bytes);                            // zero-filled block, or null when refused
void PlatFree(void* block);                                  // accepts null
