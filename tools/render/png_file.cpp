// png_file.cpp - see png_file.h.
#include "tools/render/png_file.h"

#include <fcntl.h>

#include <cerrno>

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#define ZORVANE_OPEN _open
#define ZORVANE_FDOPEN _fdopen
#define ZORVANE_CLOSE _close
#define ZORVANE_PID _getpid
#define ZORVANE_CREATE (_O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY)
#define ZORVANE_MODE (_S_IREAD | _S_IWRITE)
#else
#include <unistd.h>
#define ZORVANE_OPEN open
#define ZORVANE_FDOPEN fdopen
#define ZORVANE_CLOSE close
#define ZORVANE_PID getpid
#define ZORVANE_CREATE (O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC)
#define ZORVANE_MODE 0644
#endif

FILE* PngOpenTemporary(const char* path, std::string* tmpPath)
{
    for (int n = 0; n < 100; n++) {
        *tmpPath = std::string(path) + "." + std::to_string(ZORVANE_PID()) + "." + std::to_string(n) + ".tmp";
        const int fd = ZORVANE_OPEN(tmpPath->c_str(), ZORVANE_CREATE, ZORVANE_MODE);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;  // somebody's file: leave it alone, try the next name
            return nullptr;
        }
        FILE* f = ZORVANE_FDOPEN(fd, "wb");
        if (!f) {
            ZORVANE_CLOSE(fd);
            std::remove(tmpPath->c_str());
        }
        return f;
    }
    return nullptr;
}

static bool MoveOver(const std::string& from, const char* to)
{
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from.c_str(), to) == 0;  // replaces to atomically
#endif
}

int PngFinish(FILE* f, const std::string& tmpPath, const char* path, bool ok)
{
    if (std::fclose(f) != 0)
        ok = false;
    if (ok)
        ok = MoveOver(tmpPath, path);
    if (!ok)
        std::remove(tmpPath.c_str());
    return ok ? 1 : 0;
}
