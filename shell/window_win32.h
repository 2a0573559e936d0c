// window_win32.h - the upper layer of the saver window procedure: chooses
// the mode when the window is created, runs the configuration dialog,
// keeps one picture window (picture_win32.h) on each monitor, and follows
// changes of the display.
#pragma once

#include <windows.h>

constexpr WPARAM IDM_CONFIGURE = 50001;  // private command: run the configuration dialog

// The window procedure of the saver class. Each window owns its record: the
// command-line tail, the input layer's state and its picture windows, made
// when the window is created (WM_NCCREATE; no memory for it fails the
// creation), kept in the window's user data and released with the window
// (WM_NCDESTROY). The creation parameter is the tail that chooses the mode,
// kept cut to 1023 characters (null reads as ""); the configuration
// dialog's template is loaded from the instance the window was created with.
//
// On creation (after the dialog, in Configure mode) the window takes the
// clock's seconds as the seed S and opens a picture window over each
// monitor (monitors_win32.h) in the list's order, with seeds S, S+1, ...,
// placed relative to the window's own top left corner, which the caller puts
// at the virtual screen's. A picture whose start-up asks to quit is the last
// one opened. A display change puts the window over the virtual screen
// again, moves the pictures onto the monitors, gives each a fresh surface
// of its monitor's size, opens pictures for new monitors and closes those
// of monitors gone. Input in the pictures is handled here. Hands every
// message it does not finish to SaverInputProc and returns that result.
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
