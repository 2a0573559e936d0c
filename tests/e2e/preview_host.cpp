// preview_host - plays the screen saver settings page for the saver's
// preview: a window whose client area the preview fills, the saver started
// in it as the system starts it, and a look at what it does.
//
//   preview_host SCR WIDTHxHEIGHT   a host window of that client size at (40, 40), its
//                                   background magenta; starts "SCR" /p HWND, then
//                                   answers commands, one a line, on standard input:
//     where      "child X Y W H": the preview's client area on the screen (when it
//                has appeared within 15 s), or "child none"
//     post       a key, a button press and a move sent to the preview; "posted"
//     state      "running=yes|no focus=child|none|other dialogs=N", the saver's
//                thread's focus and how many dialogs its process has shown
//     own        a child of the host's own, painted green in WM_PAINT, over its client
//                area (the control's positive side); "own"
//     destroy    destroys the host window; "exit=CODE ms=N" once the saver has
//                ended (N: ms after the window went), or "exit=none" after 10 s
//   preview_host /p HWND            the control for what the screen can show: a child of
//                                   that window filling its client area, of the preview's
//                                   class, painted green in WM_PAINT, until the window goes;
//                                   given as SCR, the host above starts it in its window
//   preview_host monitors           prints the monitors as the system lists them, one
//                                   a line: WIDTHxHEIGHT+X+Y
//   preview_host SCR run TAIL MS    starts "SCR" TAIL and watches its process for up
//                                   to MS ms: "windows=N exit=CODE", N the top-level
//                                   windows it made (ended at once when it makes one),
//                                   or "windows=N exit=hang"
//
// Exit status 0, or 2 for arguments it does not understand.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cstdint>
#include <set>
#include <string>

namespace {

constexpr UINT WM_COMMAND_LINE = WM_APP + 7;  // lParam: a heap copy of one line of input, or null at its end

struct Watch {
    DWORD pid;
    std::set<HWND>* seen;
    bool dialogsOnly;
};

BOOL CALLBACK NoteWindow(HWND w, LPARAM p)
{
    Watch* watch = reinterpret_cast<Watch*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[16] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (pid == watch->pid && (!watch->dialogsOnly || std::strcmp(cls, "#32770") == 0))
        watch->seen->insert(w);
    return TRUE;
}

bool Start(const char* scr, const std::string& tail, PROCESS_INFORMATION* pi)
{
    std::string line = "\"" + std::string(scr) + "\" " + tail;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    return CreateProcessA(scr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, pi) != 0;
}

int RunAndWatch(const char* scr, const char* tail, DWORD limitMs)
{
    PROCESS_INFORMATION pi = {};
    if (!Start(scr, tail, &pi)) {
        std::printf("start-failed\n");
        return 0;
    }
    std::set<HWND> seen;
    Watch watch = {pi.dwProcessId, &seen, false};
    const DWORD start = GetTickCount();
    bool hang = false;
    while (WaitForSingleObject(pi.hProcess, 10) == WAIT_TIMEOUT) {
        EnumWindows(NoteWindow, reinterpret_cast<LPARAM>(&watch));
        hang = GetTickCount() - start > limitMs;
        if (!seen.empty() || hang) {
            TerminateProcess(pi.hProcess, 1);
            WaitForSingleObject(pi.hProcess, 5000);
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    if (hang)
        std::printf("windows=%u exit=hang\n", static_cast<unsigned>(seen.size()));
    else
        std::printf("windows=%u exit=%ld\n", static_cast<unsigned>(seen.size()), static_cast<long>(static_cast<LONG>(code)));
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
}

DWORD WINAPI ReadCommands(void* mainThread)
{
    const DWORD thread = static_cast<DWORD>(reinterpret_cast<uintptr_t>(mainThread));
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        line[std::strcspn(line, "\r\n")] = 0;
        PostThreadMessageA(thread, WM_COMMAND_LINE, 0, reinterpret_cast<LPARAM>(_strdup(line)));
    }
    PostThreadMessageA(thread, WM_COMMAND_LINE, 0, 0);
    return 0;
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK GreenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
        FillRect(dc, &paint.rcPaint, green);
        DeleteObject(green);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A child of class className filling parent's client area, painted green.
bool OpenGreen(HWND parent, const char* className)
{
    WNDCLASSA greenClass = {};
    greenClass.lpfnWndProc = GreenProc;
    greenClass.hInstance = GetModuleHandleA(NULL);
    greenClass.lpszClassName = className;
    RECT area = {0, 0, 0, 0};
    GetClientRect(parent, &area);
    return RegisterClassA(&greenClass) &&
           CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE, 0, 0, area.right, area.bottom, parent, NULL,
                           greenClass.hInstance, NULL);
}

int PaintGreen(HWND parent)
{
    if (!OpenGreen(parent, "ZorvanePicture"))
        return 1;
    while (IsWindow(parent)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG m;
        while (PeekMessageA(&m, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
    return 0;
}

HWND FindPreview(HWND host)
{
    return IsWindow(host) ? FindWindowExA(host, NULL, "ZorvanePicture", NULL) : NULL;
}

int Host(const char* scr, int width, int height)
{
    WNDCLASSA hostClass = {};
    hostClass.lpfnWndProc = HostProc;
    hostClass.hInstance = GetModuleHandleA(NULL);
    hostClass.hbrBackground = CreateSolidBrush(RGB(255, 0, 255));
    hostClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    hostClass.lpszClassName = "ZorvanePreviewHost";
    RegisterClassA(&hostClass);
    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, WS_POPUP, FALSE);
    HWND host = CreateWindowExA(0, hostClass.lpszClassName, "zorvane preview host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40,
                                frame.right - frame.left, frame.bottom - frame.top, NULL, NULL,
                                hostClass.hInstance, NULL);
    SetForegroundWindow(host);
    PROCESS_INFORMATION pi = {};
    char tail[64];
    std::snprintf(tail, sizeof tail, "/p %llu", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(host)));
    if (!host || !Start(scr, tail, &pi)) {
        std::printf("start-failed\n");
        return 0;
    }
    CreateThread(nullptr, 0, ReadCommands, reinterpret_cast<void*>(static_cast<uintptr_t>(GetCurrentThreadId())), 0,
                 nullptr);
    std::set<HWND> dialogs;
    Watch watch = {pi.dwProcessId, &dialogs, true};
    for (;;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        EnumWindows(NoteWindow, reinterpret_cast<LPARAM>(&watch));
        MSG m;
        while (PeekMessageA(&m, NULL, 0, 0, PM_REMOVE)) {
            if (m.message != WM_COMMAND_LINE) {
                TranslateMessage(&m);
                DispatchMessageA(&m);
                continue;
            }
            char* line = reinterpret_cast<char*>(m.lParam);
            if (!line) {
                TerminateProcess(pi.hProcess, 1);
                return 0;
            }
            const std::string command = line;
            std::free(line);
            HWND preview = FindPreview(host);
            if (command == "where") {
                for (DWORD t0 = GetTickCount(); !preview && GetTickCount() - t0 < 15000; preview = FindPreview(host)) {
                    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
                    while (PeekMessageA(&m, NULL, 0, 0, PM_REMOVE) && m.message != WM_COMMAND_LINE)
                        DispatchMessageA(&m);
                }
                RECT r = {0, 0, 0, 0};
                POINT origin = {0, 0};
                if (preview) {
                    GetClientRect(preview, &r);
                    ClientToScreen(preview, &origin);
                    std::printf("child %ld %ld %ld %ld\n", origin.x, origin.y, r.right, r.bottom);
                } else {
                    std::printf("child none\n");
                }
            } else if (command == "post") {
                PostMessageA(preview, WM_KEYDOWN, 'A', 0x001E0001);
                PostMessageA(preview, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
                PostMessageA(preview, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
                PostMessageA(preview, WM_MOUSEMOVE, 0, MAKELPARAM(60, 50));
                std::printf("posted\n");
            } else if (command == "state") {
                GUITHREADINFO info = {};
                info.cbSize = sizeof info;
                const char* focus = "none";
                if (GetGUIThreadInfo(pi.dwThreadId, &info) && info.hwndFocus)
                    focus = info.hwndFocus == preview ? "child" : "other";
                const bool running = WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT;
                std::printf("running=%s focus=%s dialogs=%u\n", running ? "yes" : "no", focus,
                            static_cast<unsigned>(dialogs.size()));
            } else if (command == "own") {
                std::printf(OpenGreen(host, "ZorvaneHostGreen") ? "own\n" : "own-failed\n");
            } else if (command == "destroy") {
                DestroyWindow(host);
                const DWORD t0 = GetTickCount();
                bool ended = false;
                while (!ended && GetTickCount() - t0 < 10000) {
                    ended = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0;
                    while (PeekMessageA(&m, NULL, 0, 0, PM_REMOVE) && m.message != WM_COMMAND_LINE)
                        DispatchMessageA(&m);
                }
                const DWORD ms = GetTickCount() - t0;
                DWORD code = 0;
                GetExitCodeProcess(pi.hProcess, &code);
                if (ended)
                    std::printf("exit=%ld ms=%lu\n", static_cast<long>(static_cast<LONG>(code)),
                                static_cast<unsigned long>(ms));
                else
                    std::printf("exit=none\n");
            } else {
                std::printf("unknown %s\n", command.c_str());
            }
            std::fflush(stdout);
        }
    }
}

}  // namespace

static BOOL CALLBACK PrintMonitor(HMONITOR, HDC, LPRECT r, LPARAM)
{
    std::printf("%ldx%ld+%ld+%ld\n", r->right - r->left, r->bottom - r->top, r->left, r->top);
    return TRUE;
}

int main(int argc, char** argv)
{
    int width = 0, height = 0;
    if (argc == 5 && std::strcmp(argv[2], "run") == 0)
        return RunAndWatch(argv[1], argv[3], static_cast<DWORD>(std::strtoul(argv[4], nullptr, 10)));
    if (argc == 3 && std::strcmp(argv[1], "/p") == 0)
        return PaintGreen(reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(argv[2], nullptr, 10))));
    if (argc == 3 && std::sscanf(argv[2], "%dx%d", &width, &height) == 2)
        return Host(argv[1], width, height);
    if (argc == 2 && std::strcmp(argv[1], "monitors") == 0) {
        EnumDisplayMonitors(NULL, NULL, PrintMonitor, 0);
        return 0;
    }
    std::fprintf(stderr, "usage: preview_host SCR WIDTHxHEIGHT | SCR run TAIL MS\n");
    return 2;
}
