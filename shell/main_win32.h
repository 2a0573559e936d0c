// main_win32.h - the saver's program entry.
#pragma once

#include <windows.h>

// The WinMain contract: registers the saver window class and the picture
// class, and then, by the mode the command-line tail asks for:
// - Run or Configure: creates the topmost saver window over the whole
//   virtual screen with the tail and runs the message loop; returns the
//   quit message's code (0 after a normal end or the configuration dialog,
//   -1 after a start-up failure), or 0 at once if the window cannot be
//   created.
// - Preview: draws one picture window filling the client area of the
//   window the tail names, and returns 0 once that window is gone (its
//   picture is then destroyed with it, or by the loop, which looks for it
//   every PreviewWatchMs), or -1 after a start-up failure. A number that is
//   missing, zero or names no window returns 0 at once, with no window.
// The tail is recomputed from GetCommandLineA(), so commandTail is not
// used. Returns 0 at once if a class cannot be registered.
int SaverMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandTail, int showState);

constexpr DWORD PreviewWatchMs = 50;
