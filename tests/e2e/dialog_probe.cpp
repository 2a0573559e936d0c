// dialog_probe - looks at and operates the saver's configuration dialog
// from another process, as the end-to-end tests need:
//
//   dialog_probe wait [ms]            wait for "Configure Screen Saver"
//   dialog_probe read                 print the fields: points= secs= ms= rotate= continuous= blank=
//   dialog_probe set NAME=VALUE...    set fields (names as printed by read)
//   dialog_probe press ok|cancel|about
//   dialog_probe key-escape           Esc to the dialog (posted, as the key would be)
//   dialog_probe sync                 wait until the dialog's thread has handled what was posted before
//   dialog_probe about                print about=open or about=closed
//   dialog_probe about-key-escape     Esc to the About box
//   dialog_probe about-ok             press OK in the About box
//   dialog_probe fullscreen-timers    exit 0 when a full-screen window's timer fires
//                                     within 3 s here (tests/support/fullscreen_timers.h)
//
// Exit status 0 on success, 1 when the window is not there (or, for sync,
// when the thread did not catch up within 10 s).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "resources/resource.h"
#include "tests/support/fullscreen_timers.h"

static HWND FindConfig()
{
    return FindWindowA("#32770", "Configure Screen Saver");
}

struct AboutSearch {
    HWND owner;
    HWND found;
};

static BOOL CALLBACK MatchAbout(HWND w, LPARAM p)
{
    AboutSearch* s = reinterpret_cast<AboutSearch*>(p);
    char cls[16] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") == 0 && GetWindow(w, GW_OWNER) == s->owner && IsWindowVisible(w)) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

static HWND FindAbout(HWND config)
{
    AboutSearch s = {config, nullptr};
    EnumWindows(MatchAbout, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

static const struct {
    const char* name;
    int id;
    bool check;
} kFields[] = {
    {"points", IDC_POINTS, false},    {"secs", IDC_CLEAR_SECS, false},        {"ms", IDC_FRAME_MS, false},
    {"rotate", IDC_ROTATE, true},     {"continuous", IDC_CONTINUOUS, true}, {"blank", IDC_BLANK, true},
};

static void PostEscape(HWND window)
{
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(window, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

// Messages posted to one thread are handled in order, so once a selection
// posted to the points field shows, everything posted before it has been
// handled. Twice, with different selections: what handling those messages
// posted in turn (a command, say) has been handled as well. The selection
// changes nothing that is read or stored.
static bool Sync(HWND config)
{
    HWND edit = GetDlgItem(config, IDC_POINTS);
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    for (int round = 0; round < 2; round++) {
        const DWORD want = (start == 0 && end == 0) ? 1 : 0;  // differs from the selection now
        PostMessageA(edit, EM_SETSEL, 0, want);
        bool seen = false;
        for (int waited = 0; waited < 10000 && !seen; waited += 10) {
            SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            seen = start == 0 && end == want;
            if (!seen)
                Sleep(10);
        }
        if (!seen)
            return false;
    }
    return true;
}

static void Press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const char* cmd = argv[1];
    if (std::strcmp(cmd, "fullscreen-timers") == 0)
        return FullScreenWindowGetsTimers(3000) ? 0 : 1;
    if (std::strcmp(cmd, "wait") == 0) {
        const DWORD limit = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 15000;
        for (DWORD waited = 0; waited < limit; waited += 100) {
            if (FindConfig() && IsWindowVisible(FindConfig()))
                return 0;
            Sleep(100);
        }
        return 1;
    }
    HWND config = FindConfig();
    if (!config)
        return 1;
    if (std::strcmp(cmd, "read") == 0) {
        for (const auto& f : kFields) {
            if (f.check) {
                const LRESULT state = SendDlgItemMessageA(config, f.id, BM_GETCHECK, 0, 0);
                std::printf("%s=%d\n", f.name, static_cast<int>(state));
            } else {
                char text[256] = "";
                SendDlgItemMessageA(config, f.id, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
                std::printf("%s=%s\n", f.name, text);
            }
        }
        return 0;
    }
    if (std::strcmp(cmd, "set") == 0) {
        for (int i = 2; i < argc; i++) {
            const char* eq = std::strchr(argv[i], '=');
            if (!eq)
                return 2;
            bool known = false;
            for (const auto& f : kFields) {
                if (std::strncmp(argv[i], f.name, static_cast<size_t>(eq - argv[i])) != 0 || f.name[eq - argv[i]])
                    continue;
                known = true;
                if (f.check)
                    SendDlgItemMessageA(config, f.id, BM_SETCHECK, std::atoi(eq + 1) ? BST_CHECKED : BST_UNCHECKED, 0);
                else
                    SendDlgItemMessageA(config, f.id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(eq + 1));
            }
            if (!known)
                return 2;
        }
        return 0;
    }
    if (std::strcmp(cmd, "press") == 0 && argc > 2) {
        const int id = std::strcmp(argv[2], "ok") == 0 ? IDOK : std::strcmp(argv[2], "cancel") == 0 ? IDCANCEL : IDC_ABOUT;
        Press(config, id);
        return 0;
    }
    if (std::strcmp(cmd, "key-escape") == 0) {
        PostEscape(config);
        return 0;
    }
    if (std::strcmp(cmd, "sync") == 0)
        return Sync(config) ? 0 : 1;
    HWND about = FindAbout(config);
    if (std::strcmp(cmd, "about") == 0) {
        std::printf("about=%s\n", about ? "open" : "closed");
        return 0;
    }
    if (!about)
        return 1;
    if (std::strcmp(cmd, "about-key-escape") == 0) {
        PostEscape(about);
        return 0;
    }
    if (std::strcmp(cmd, "about-ok") == 0) {
        Press(about, IDOK);
        return 0;
    }
    return 2;
}
