// platform_win32.h - what a Windows front end tells the platform layer
// about one picture's window beyond the HWND itself.
#pragma once

#include <windows.h>

#include <cstdint>

// The seed the window's picture starts from (what PlatCalendarSeconds reads
// for it) is *seed instead of the clock's seconds, so that several pictures
// started over more than one second still get S, S+1, ...; the value must
// outlive the window's use of it. Null goes back to the clock, and must be
// given before the window is destroyed.
void Win32UseSeed(HWND window, const uint32_t* seed);
