// dialog_driver.h - runs a dialog modally on the test's thread, exactly as
// the saver does, and drives it from inside its own message loop: a thread
// timer runs one scripted step per tick (set texts, click, press keys,
// look at windows) until the dialog has ended.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

using DialogStep = std::function<void()>;

// Runs DialogBoxParamA(this program, templateId, no owner, proc, 0) and the
// steps, one per tick; returns the dialog's end code. A dialog still open
// once the steps are done is a test failure; it is then ended with -2 so
// the test never hangs.
INT_PTR RunDialog(int templateId, DLGPROC proc, std::vector<DialogStep> steps);

HWND ConfigWindow();  // the open configuration dialog of this thread, or nullptr
HWND AboutWindow();   // the open About box of this thread, or nullptr

void Click(HWND dialog, int control);      // a mouse click on a button (BM_CLICK), delivered now
void PostClick(HWND dialog, int control);  // the same, queued: for a click that opens a nested modal dialog
void PressKey(HWND window, WPARAM key);    // a key press queued to the window, as typed
std::string ControlText(HWND dialog, int control);
