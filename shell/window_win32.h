// window_win32.h - the upper layer of the saver window procedure: chooses
// the mode when the window is created, runs the configuration dialog,
// starts and tears down the animation, and follows changes of display mode.
#pragma once

#include <windows.h>

constexpr WPARAM IDM_CONFIGURE = 50001;  // private command: run the configuration dialog

// The window procedure of the saver class. Each window owns its record: the
// command-line tail, the picture and the input layer's state, made when the
// window is created (WM_NCCREATE; no memory for it fails the creation), kept
// in the window's user data and released with the window (WM_NCDESTROY).
// The creation parameter is the tail that chooses the mode, kept cut to 1023
// characters (null reads as ""); the configuration dialog's template is
// loaded from the instance the window was created with. Hands every message
// it does not finish to SaverInputProc and returns that result.
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
