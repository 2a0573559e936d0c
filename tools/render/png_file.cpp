// png_file.cpp - see png_file.h.
#include "tools/render/png_file.h"

FILE* PngOpenTemporary(const char* path, std::string* tmpPath)
{
    *tmpPath = std::string(path) + ".tmp";
    return std::fopen(tmpPath->c_str(), "wb");
}

int PngFinish(FILE* f, const std::string& tmpPath, const char* path, bool ok)
{
    if (std::fclose(f) != 0)
        ok = false;
    if (ok) {
        std::remove(path);  // rename does not replace an existing file on Windows
        ok = std::rename(tmpPath.c_str(), path) == 0;
    }
    if (!ok)
        std::remove(tmpPath.c_str());
    return ok ? 1 : 0;
}
