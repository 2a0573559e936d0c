// picture_win32.h - the picture window: a child window that one saver
// picture (one SaverRecord) is drawn in. The full-screen saver window holds
// one per monitor; a preview is one inside the caller's window.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr char PictureClassName[] = "ZorvanePicture";
constexpr UINT PM_REFIT = WM_APP + 1;  // the display changed: a fresh surface of the window's size

// How a picture window starts (its creation parameter; null reads as a
// full-screen picture on the clock's seed).
struct PictureStart {
    uint32_t seed;  // the picture's seed, when seeded
    bool seeded;    // false: the clock's seconds at start-up
    bool preview;   // a preview: input is ignored, the registry is only read, and the
                    // window's destruction ends the message loop with 0
};

// Registers the picture class in instance (no background brush, no cursor);
// true when it is registered now or already was.
bool RegisterPictureClass(HINSTANCE instance);

// The picture class's window procedure. The picture starts when the window
// is created (WM_CREATE) and is torn down when it is destroyed; PM_REFIT
// gives it a surface of the window's current size. Outside a preview, mouse
// movement, button presses and keys go to the parent window, whose input
// layer applies the close rules.
LRESULT CALLBACK PictureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
