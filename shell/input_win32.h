// input_win32.h - the lower layer of the saver window procedure: turns user
// input into a request to close the window, hides the cursor, refuses
// deactivation and ends the message loop when the window is destroyed.
#pragma once

#include <windows.h>

extern bool HaveStartCursor;  // false until the first movement test has run
extern POINT StartCursor;     // cursor position (screen) seen by the first movement test; never updated

// Handles what it must and passes everything else to DefWindowProcA.
LRESULT CALLBACK SaverInputProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
