// dialog_driver.cpp - see dialog_driver.h.
#include "tests/settings/dialog_driver.h"

#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"

static std::vector<DialogStep> g_steps;
static size_t g_nextStep;
static int g_idleTicks;
static bool g_inStep;

static BOOL CALLBACK CollectDialog(HWND window, LPARAM found)
{
    char className[16];
    if (GetClassNameA(window, className, sizeof className) && lstrcmpA(className, "#32770") == 0 &&
        IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

static std::vector<HWND> ThreadDialogs()
{
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND ConfigWindow()
{
    for (HWND w : ThreadDialogs())
        if (GetDlgItem(w, IDC_POINTS))
            return w;
    return nullptr;
}

HWND AboutWindow()
{
    for (HWND w : ThreadDialogs())
        if (!GetDlgItem(w, IDC_POINTS))
            return w;
    return nullptr;
}

void Click(HWND dialog, int control)
{
    HWND button = GetDlgItem(dialog, control);
    ASSERT_NE(nullptr, button) << "no control " << control;
    SendMessageA(button, BM_CLICK, 0, 0);
}

void PostClick(HWND dialog, int control)
{
    HWND button = GetDlgItem(dialog, control);
    ASSERT_NE(nullptr, button) << "no control " << control;
    PostMessageA(button, BM_CLICK, 0, 0);
}

void PressKey(HWND window, WPARAM key)
{
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

std::string ControlText(HWND dialog, int control)
{
    char text[512];
    if (GetDlgItemTextA(dialog, control, text, sizeof text) == 0)
        text[0] = '\0';
    return text;
}

// One tick: the next step; once the steps are done, or while a step is
// stuck in a nested modal loop, a grace period of about 3 s for the
// dialogs to close, then a forced end.
static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (!g_inStep && g_nextStep < g_steps.size()) {
        g_inStep = true;
        g_steps[g_nextStep++]();
        g_inStep = false;
        return;
    }
    if (++g_idleTicks == 100) {
        ADD_FAILURE() << "a dialog is still open " << (g_inStep ? "during step " : "after step ") << g_nextStep;
        if (HWND about = AboutWindow())
            EndDialog(about, -2);
        if (HWND config = ConfigWindow())
            EndDialog(config, -2);
        g_idleTicks = 0;
    }
}

INT_PTR RunDialog(int templateId, DLGPROC proc, std::vector<DialogStep> steps)
{
    g_steps = std::move(steps);
    g_nextStep = 0;
    g_idleTicks = 0;
    g_inStep = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, Tick);
    EXPECT_NE(0u, timer);
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), nullptr, proc, 0);
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_steps.size(), g_nextStep) << "the dialog ended before its last step";
    g_steps.clear();
    // Let go of anything the steps queued for the closed dialog.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    return result;
}
