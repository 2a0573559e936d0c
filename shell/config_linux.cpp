// config_linux.cpp - the config file's place and its reading (see
// config_linux.h).
#include "shell/config_linux.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

constexpr size_t MaxConfigBytes = 1 << 20;

bool ConfigHome(std::string* folder, std::string* why)
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        *folder = xdg;
        return true;
    }
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        const passwd* entry = getpwuid(getuid());
        home = entry ? entry->pw_dir : nullptr;
    }
    if (!home || home[0] != '/') {
        *why = "no XDG_CONFIG_HOME and no home folder";
        return false;
    }
    *folder = std::string(home) + "/.config";
    return true;
}

int ReadSmallFile(const std::string& path, size_t limit, std::string* text)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat st;
    int error = fstat(fd, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EINVAL;
    text->clear();
    char buffer[4096];
    while (error == 0) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            error = errno;
        else if (n == 0)
            break;
        else if (text->size() + static_cast<size_t>(n) > limit)
            error = EFBIG;
        else
            text->append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return error;
}

bool ReadConfigFile(ConfigFile* c, std::string* why)
{
    *c = ConfigFile{};
    std::string folder;
    if (!ConfigHome(&folder, &c->note))
        return true;
    c->path = folder + "/zorvane/config";
    const int error = ReadSmallFile(c->path, MaxConfigBytes, &c->text);
    if (error == EFBIG) {
        *why = c->path + ": larger than " + std::to_string(MaxConfigBytes) + " bytes, not a config file";
        return false;
    }
    c->found = error == 0;
    if (!c->found) {
        c->text.clear();
        c->note = c->path + (error == ENOENT ? std::string(" not found")
                             : error == EINVAL ? std::string(": not a regular file")
                                               : ": " + std::string(std::strerror(error)));
    }
    return true;
}
