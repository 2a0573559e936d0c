// saver_launcher - sets up the saver's registry key as a hostile user or a
// broken installation might leave it, starts the saver the way the system
// does (CreateProcess with the exact command-line bytes), and watches it:
//
//   saver_launcher STEP...      the steps in order:
//     clear                      no key "Software\Glimra\Zorv", no value "Zorv" in "Software\Glimra"
//     empty-key                  the key, holding no values
//     key-as-value               no key, but "Software\Glimra" holds a value named "Zorv"
//     put NAME TYPE HEX          a value of any type (a number) with the given bytes
//     dump                       print the key: "key=absent" or "key=present", then
//                                "value NAME TYPE HEX" for each value, and "glimra-value=..."
//     check-tail HEX             start this program with the tail; print "tail=same" when
//                                its command line ends in exactly those bytes, else "tail=differs"
//     run PATH HEX MS            start PATH with the command line "PATH" HEX-bytes; wait up to
//                                MS ms; print "box=CAPTION|TEXT" for each message box it shows,
//                                "crash=winedbg" if the debugger starts, "hang" on time-out
//                                (the process is then ended), and "exit=CODE"
//
// Exit status 0, or 2 for steps it does not understand.
#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

static const char kGlimra[] = "Software\\Glimra";
static const char kKey[] = "Software\\Glimra\\Zorv";

static std::string FromHex(const char* hex)
{
    std::string out;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) {
        const char pair[3] = {hex[i], hex[i + 1], 0};
        out += static_cast<char>(std::strtoul(pair, nullptr, 16));
    }
    return out;
}

static std::string ToHex(const std::string& bytes)
{
    std::string out;
    char b[3];
    for (unsigned char c : bytes) {
        std::snprintf(b, sizeof b, "%02x", c);
        out += b;
    }
    return out;
}

static void Clear()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    HKEY glimra;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kGlimra, 0, KEY_WRITE, &glimra) == ERROR_SUCCESS) {
        RegDeleteValueA(glimra, "Zorv");
        RegCloseKey(glimra);
    }
}

static void Put(const char* root, const char* name, DWORD type, const std::string& data)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, root, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    if (name)
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

static void Dump()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        std::printf("key=absent\n");
    } else {
        std::printf("key=present\n");
        for (DWORD i = 0;; i++) {
            char name[256];
            DWORD nameSize = sizeof name, type = 0;
            BYTE data[256];
            DWORD dataSize = sizeof data;
            if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
                break;
            std::printf("value %s %lu %s\n", name, static_cast<unsigned long>(type),
                        ToHex(std::string(reinterpret_cast<char*>(data), dataSize)).c_str());
        }
        RegCloseKey(key);
    }
    HKEY glimra;
    DWORD type = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kGlimra, 0, KEY_READ, &glimra) == ERROR_SUCCESS) {
        const bool present = RegQueryValueExA(glimra, "Zorv", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS;
        std::printf("glimra-value=%s\n", present ? "present" : "absent");
        RegCloseKey(glimra);
    } else {
        std::printf("glimra-value=absent\n");
    }
}

static bool Start(const std::string& path, const std::string& tail, PROCESS_INFORMATION* pi)
{
    std::string line = "\"" + path + "\" " + tail;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    return CreateProcessA(path.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, pi) != 0;
}

// The child side of check-tail: print the bytes after the quoted name and
// its blank.
static int EchoTail()
{
    const char* line = GetCommandLineA();
    const char* end = line[0] == '"' ? std::strchr(line + 1, '"') : nullptr;
    std::printf("%s\n", end && end[1] == ' ' ? ToHex(end + 2).c_str() : "");
    return 0;
}

static void CheckTail(const std::string& tail)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    CreatePipe(&readEnd, &writeEnd, &sa, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    std::string line = "\"" + std::string(self) + "\" " + tail;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi = {};
    SetEnvironmentVariableA("ZORVANE_ECHO_TAIL", "1");
    const bool started = CreateProcessA(self, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi) != 0;
    SetEnvironmentVariableA("ZORVANE_ECHO_TAIL", nullptr);
    CloseHandle(writeEnd);
    std::string echoed;
    char buffer[4096];
    DWORD n;
    while (started && ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0)
        echoed.append(buffer, n);
    CloseHandle(readEnd);
    if (started) {
        WaitForSingleObject(pi.hProcess, 10000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    while (!echoed.empty() && (echoed.back() == '\n' || echoed.back() == '\r'))
        echoed.pop_back();
    std::printf("tail=%s\n", echoed == ToHex(tail) ? "same" : "differs");
}

struct BoxSearch {
    DWORD pid;
    std::set<HWND>* reported;
};

// Message boxes of the process: dialogs other than the configuration one.
static BOOL CALLBACK ReportBox(HWND w, LPARAM p)
{
    BoxSearch* s = reinterpret_cast<BoxSearch*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[16] = "", caption[256] = "", text[1024] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (pid != s->pid || std::strcmp(cls, "#32770") != 0 || !IsWindowVisible(w) || s->reported->count(w))
        return TRUE;
    // Every box the saver shows has a caption; a dialog whose caption reads
    // empty is one being made or taken down, looked at again next time.
    if (GetWindowTextA(w, caption, sizeof caption) == 0 || std::strcmp(caption, "Configure Screen Saver") == 0)
        return TRUE;
    GetDlgItemTextA(w, 0xFFFF, text, sizeof text);  // the message box's text control
    std::printf("box=%s|%s\n", caption, text);
    std::fflush(stdout);
    s->reported->insert(w);
    return TRUE;
}

static DWORD FindDebugger()
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 e = {};
    e.dwSize = sizeof e;
    DWORD found = 0;
    for (BOOL more = Process32First(snap, &e); more && !found; more = Process32Next(snap, &e))
        if (lstrcmpiA(e.szExeFile, "winedbg.exe") == 0)
            found = e.th32ProcessID;
    CloseHandle(snap);
    return found;
}

static void Run(const std::string& path, const std::string& tail, DWORD limitMs)
{
    PROCESS_INFORMATION pi = {};
    if (!Start(path, tail, &pi)) {
        std::printf("start-failed=%lu\n", static_cast<unsigned long>(GetLastError()));
        return;
    }
    std::set<HWND> reported;
    BoxSearch search = {pi.dwProcessId, &reported};
    bool debugger = false;
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(pi.hProcess, 50) == WAIT_TIMEOUT) {
        EnumWindows(ReportBox, reinterpret_cast<LPARAM>(&search));
        if (const DWORD dbg = FindDebugger()) {
            // A crash: the debugger would hold the process with its dialog.
            debugger = true;
            std::printf("crash=winedbg\n");
            if (HANDLE h = OpenProcess(PROCESS_TERMINATE, FALSE, dbg)) {
                TerminateProcess(h, 1);
                CloseHandle(h);
            }
            TerminateProcess(pi.hProcess, 1);
        } else if (GetTickCount() - start > limitMs) {
            std::printf("hang\n");
            TerminateProcess(pi.hProcess, 1);
        }
        std::fflush(stdout);
        if (debugger)
            WaitForSingleObject(pi.hProcess, 5000);
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    std::printf("exit=%ld\n", static_cast<long>(static_cast<LONG>(code)));
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

int main(int argc, char** argv)
{
    if (GetEnvironmentVariableA("ZORVANE_ECHO_TAIL", nullptr, 0) != 0)
        return EchoTail();
    for (int i = 1; i < argc; i++) {
        const std::string step = argv[i];
        if (step == "clear") {
            Clear();
        } else if (step == "empty-key") {
            Clear();
            Put(kKey, nullptr, 0, "");
        } else if (step == "key-as-value") {
            Clear();
            Put(kGlimra, "Zorv", REG_SZ, std::string("Zorv", 5));
        } else if (step == "put" && i + 3 < argc) {
            Put(kKey, argv[i + 1], static_cast<DWORD>(std::strtoul(argv[i + 2], nullptr, 0)), FromHex(argv[i + 3]));
            i += 3;
        } else if (step == "dump") {
            Dump();
        } else if (step == "check-tail" && i + 1 < argc) {
            CheckTail(FromHex(argv[++i]));
        } else if (step == "run" && i + 3 < argc) {
            Run(argv[i + 1], FromHex(argv[i + 2]), static_cast<DWORD>(std::strtoul(argv[i + 3], nullptr, 10)));
            i += 3;
        } else {
            std::fprintf(stderr, "saver_launcher: cannot do %s\n", argv[i]);
            return 2;
        }
        std::fflush(stdout);
    }
    return 0;
}
