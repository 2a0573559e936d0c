// dialogs_win32.cpp - see dialogs_win32.h.
#include "settings/dialogs_win32.h"

#include <cstdio>

#include "resources/resource.h"
#include "settings/parse_decimal.h"
#include "settings/settings.h"

// Sets an edit control to `value` formatted with "%d": a stored number
// above 2147483647 shows as negative.
static void SetNumberText(HWND dialog, int control, uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    SetDlgItemTextA(dialog, control, text);
}

// Reads at most 255 characters of an edit control and parses them.
static uint32_t GetNumberText(HWND dialog, int control)
{
    char text[256];
    if (GetDlgItemTextA(dialog, control, text, sizeof text) == 0)
        text[0] = '\0';  // no text, or no such control
    return ParseDecimal(text);
}

// A stored flag other than 0 or 1 still means "set" to the animation, so it
// shows checked (and is saved back as 1 unless the user clears it).
static void SetFlagCheck(HWND dialog, int control, uint32_t flag)
{
    CheckDlgButton(dialog, control, flag != 0 ? BST_CHECKED : BST_UNCHECKED);
}

static uint32_t GetFlagCheck(HWND dialog, int control)
{
    return IsDlgButtonChecked(dialog, control) == BST_CHECKED ? 1u : 0u;
}

void FillConfigControls(HWND dialog, const SaverSettingsRecord* s)
{
    SetNumberText(dialog, IDC_POINTS, s->NumberPoints);
    SetNumberText(dialog, IDC_CLEAR_SECS, s->CLSTimer / 1000u);
    SetNumberText(dialog, IDC_FRAME_MS, s->AnimationTimer);
    SetFlagCheck(dialog, IDC_ROTATE, s->EnableRotation);
    SetFlagCheck(dialog, IDC_CONTINUOUS, s->EnableContinuous);
    SetFlagCheck(dialog, IDC_BLANK, s->BlankScreen);
}

void ReadConfigControls(HWND dialog, SaverSettingsRecord* s)
{
    s->NumberPoints = GetNumberText(dialog, IDC_POINTS);
    s->CLSTimer = GetNumberText(dialog, IDC_CLEAR_SECS) * 1000u;  // wraps modulo 2^32
    s->AnimationTimer = GetNumberText(dialog, IDC_FRAME_MS);
    s->EnableRotation = GetFlagCheck(dialog, IDC_ROTATE);
    s->EnableContinuous = GetFlagCheck(dialog, IDC_CONTINUOUS);
    s->BlankScreen = GetFlagCheck(dialog, IDC_BLANK);
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        SaverSettingsRecord s = DefaultSettings;
        LoadSettings(&s);
        FillConfigControls(dialog, &s);
        return TRUE;  // the platform focuses the first tab stop, OK
    }
    case WM_DESTROY:
        return FALSE;
    case WM_COMMAND:
        // wParam is compared whole: only a click (notification code 0), or
        // the dialog manager's own IDOK / IDCANCEL, matches.
        switch (wParam) {
        case IDOK: {
            // The controls hold every field: nothing of the loaded record is kept.
            SaverSettingsRecord s = DefaultSettings;
            ReadConfigControls(dialog, &s);
            SaveSettings(&s);
            EndDialog(dialog, 1);
            return FALSE;
        }
        case IDC_ABOUT: {
            // The About template lives in the module that created this dialog.
            HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
            DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUT), dialog, AboutDialogProc, 0);
            return FALSE;
        }
        case IDCANCEL:  // the Cancel button, Esc and the close box
            EndDialog(dialog, 0);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    // Only OK closes the box: Esc (IDCANCEL) is left unhandled, and
    // WM_INITDIALOG returns FALSE so no initial focus is set.
    if (message == WM_COMMAND && wParam == IDOK) {
        EndDialog(dialog, 1);
        return TRUE;
    }
    return FALSE;
}
