// main_win32.h - the saver's program entry.
#pragma once

#include <windows.h>

// The WinMain contract: registers the saver window class, creates the
// full-screen topmost saver window with the command-line tail and runs
// the message loop; returns the quit message's code (0 after a normal end
// or the configuration dialog, -1 after a start-up failure). The tail is
// recomputed from GetCommandLineA(), so commandTail is not used. Returns 0
// at once if the class cannot be registered or the window not created.
int SaverMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandTail, int showState);
