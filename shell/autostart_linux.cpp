// autostart_linux.cpp - zorvane --autostart: the XDG autostart entry that
// runs the idle watcher at login (see config_linux.h).
//
// The entry runs "zorvane" by name when the zorvane found first on PATH is
// this very program (the package's, /usr/bin/zorvane): an upgrade or a
// move keeps it working. Any other copy (a build folder) is written with
// its absolute path, since that is the one the user ran and PATH may have
// no zorvane at all. An entry is ours when it holds the marker line; any
// other file at that path is neither replaced nor removed.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/config_linux.h"

static const char Marker[] = "X-Zorvane-Autostart=1";

std::string AutostartEntryText(const std::string& exec, uint32_t seconds)
{
    const std::string s = std::to_string(seconds);
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Zorvane idle watcher\n"
           "Comment=Starts the Zorvane screen saver after " + s + " seconds without input\n"
           "Exec=" + exec + " --idle " + s + "\n"
           "Terminal=false\n"
           "NoDisplay=true\n" +
           Marker + "\n";
}

bool IsOurAutostartEntry(const std::string& text)
{
    for (size_t at = 0; (at = text.find(Marker, at)) != std::string::npos; at++) {
        const size_t end = at + sizeof Marker - 1;
        if ((at == 0 || text[at - 1] == '\n') && (end == text.size() || text[end] == '\n' || text[end] == '\r'))
            return true;
    }
    return false;
}

// A path as one word of an Exec key: double-quoted when it holds a
// reserved character, with '"', '`', '$' and '\' escaped inside the quotes,
// '%' doubled, and then every '\' doubled by the string escaping of the
// file format. False for a path with control characters, which no Exec
// key can hold.
static bool ExecWord(const std::string& path, std::string* word)
{
    bool quote = false;
    std::string inner;
    for (const char c : path) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
        if (std::strchr(" \"'\\><~|&;$*?#()`", c))
            quote = true;
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            inner += '\\';
        inner += c == '%' ? "%%" : std::string(1, c);
    }
    if (!quote) {
        *word = inner;
        return true;
    }
    word->assign("\"");
    for (const char c : inner)
        *word += c == '\\' ? "\\\\" : std::string(1, c);
    *word += '"';
    return true;
}

// This program's absolute path, or empty.
static std::string ProgramPath()
{
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

// True when the first zorvane on PATH is this program.
static bool FirstOnPath(const std::string& self)
{
    const char* path = std::getenv("PATH");
    char* selfReal = realpath(self.c_str(), nullptr);
    bool same = false;
    for (const char* dir = path; selfReal && dir && *dir;) {
        const char* colon = std::strchr(dir, ':');
        const std::string folder = colon ? std::string(dir, static_cast<size_t>(colon - dir)) : std::string(dir);
        dir = colon ? colon + 1 : nullptr;
        const std::string candidate = folder + "/zorvane";
        if (folder.empty() || access(candidate.c_str(), X_OK) != 0)
            continue;
        char* real = realpath(candidate.c_str(), nullptr);
        same = real && std::strcmp(real, selfReal) == 0;
        std::free(real);
        break;
    }
    std::free(selfReal);
    return same;
}

// Makes folder and the folders above it that are missing (mode 0700, as
// the base-directory rules ask). Returns 0 or an errno value.
static int MakeFolders(const std::string& folder)
{
    for (size_t at = 1; at <= folder.size(); at++) {
        if (at < folder.size() && folder[at] != '/')
            continue;
        const std::string part = folder.substr(0, at);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
    }
    struct stat st;
    return stat(folder.c_str(), &st) != 0 ? errno : S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

// Written beside the entry and renamed over it, so a session starting at
// that moment reads the old entry or the new one, never half of one.
static int WriteBeside(const std::string& folder, const std::string& path, const std::string& text)
{
    std::string temporary = folder + "/.zorvane.desktop.XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0)
        return errno;
    int error = 0;
    for (size_t done = 0; error == 0 && done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno != EINTR)
            error = errno;
        else if (n > 0)
            done += static_cast<size_t>(n);
    }
    if (error == 0 && (fchmod(fd, 0644) != 0 || fsync(fd) != 0))
        error = errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0)
        unlink(temporary.c_str());
    return error;
}

int RunAutostart(const SaverOptions* o)
{
    std::string folder, why;
    if (!ConfigHome(&folder, &why)) {
        std::fprintf(stderr, "zorvane: --autostart: %s\n", why.c_str());
        return 1;
    }
    folder += "/autostart";
    const std::string path = folder + "/zorvane.desktop";
    std::string existing;
    const int readError = ReadSmallFile(path, 1 << 16, &existing);
    struct stat st;
    const bool present = lstat(path.c_str(), &st) == 0;
    if (present && (readError != 0 || !IsOurAutostartEntry(existing))) {
        std::fprintf(stderr, "zorvane: %s was not written by zorvane --autostart: left as it is\n", path.c_str());
        return 1;
    }
    if (o->autostartOff) {
        if (!present) {
            std::printf("nothing to remove: %s does not exist\n", path.c_str());
            return 0;
        }
        if (unlink(path.c_str()) != 0) {
            std::fprintf(stderr, "zorvane: cannot remove %s: %s\n", path.c_str(), std::strerror(errno));
            return 1;
        }
        std::printf("removed %s\n", path.c_str());
        return 0;
    }
    std::string program = ProgramPath();
    if (program.empty() || FirstOnPath(program))
        program = "zorvane";
    std::string exec;
    if (!ExecWord(program, &exec)) {
        std::fprintf(stderr, "zorvane: --autostart: this program's path holds control characters, "
                             "which a desktop entry cannot run\n");
        return 1;
    }
    const std::string text = AutostartEntryText(exec, o->autostartSeconds);
    int error = MakeFolders(folder);
    if (error == 0)
        error = WriteBeside(folder, path, text);
    if (error != 0) {
        std::fprintf(stderr, "zorvane: cannot write %s: %s\n", path.c_str(), std::strerror(error));
        return 1;
    }
    std::printf("wrote %s: at login it runs %s --idle %u\n", path.c_str(), program.c_str(), o->autostartSeconds);
    return 0;
}
