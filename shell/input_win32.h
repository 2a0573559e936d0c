// input_win32.h - the lower layer of the saver window procedure: turns user
// input into a request to close the window, hides the cursor, refuses
// deactivation and ends the message loop when the window is destroyed.
#pragma once

#include <windows.h>

// What the input layer keeps for one saver window, in the record the window owns.
struct SaverInputRecord {
    bool HaveStartCursor;  // false until the first movement test has run
    POINT StartCursor;     // cursor position (screen) seen by the first movement test; never updated
};

// Handles what it must and passes everything else to DefWindowProcA.
LRESULT SaverInputProc(SaverInputRecord* input, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
