// dialogs_win32.h - the configuration dialog (template IDD_CONFIG) and the
// About box (IDD_ABOUT): their dialog procedures and the two steps that
// move the settings record into and out of the configuration controls.
//
// The saver runs the configuration dialog as
//   DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CONFIG), owner, ConfigDialogProc, 0)
// from a program that links the resources (zorvane_resources). It ends with
// 1 after OK (settings read from the controls and saved) and 0 after Cancel,
// Esc or the close box (nothing saved).
#pragma once

#include <windows.h>

#include "settings/settings.h"

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the settings in the controls: the numbers as signed decimals, the
// clear period in whole seconds, each flag checked when it is non-zero.
void FillConfigControls(HWND dialog, const SaverSettingsRecord* s);

// Stores the controls into the settings by the ParseDecimal rule, the
// seconds times 1000 modulo 2^32, each flag as 1 (checked) or 0. Nothing is
// range-checked.
void ReadConfigControls(HWND dialog, SaverSettingsRecord* s);
