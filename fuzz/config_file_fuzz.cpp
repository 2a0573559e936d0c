// config_file_fuzz.cpp - zorvane's config file on any text. A refusal is
// one line that starts with the number of the first bad line (the lines
// before it are accepted); an acceptance gives settings in range that the
// same settings, written back as a config file, give again, and an option
// on the command line still wins over the file.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/zoom.h"
#include "shell/saver_options.h"

static std::string Settings(const std::string& text, int* status)
{
    const char* argv[] = {"zorvane"};
    SaverOptions o;
    std::string error;
    *status = ParseSaverOptions(1, argv, 7, &o, &error, &text);
    return *status == 0 ? SaverSettingsText(&o) : error;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    int status;
    const std::string result = Settings(text, &status);
    if (status == SaverConfigBad) {
        // "N: ..." with N a line of the text; the N - 1 lines before it are good.
        const size_t colon = result.find(": ");
        const long line = std::strtol(result.c_str(), nullptr, 10);
        if (result.find('\n') != std::string::npos || colon == std::string::npos || line < 1 ||
            std::to_string(line) != result.substr(0, colon))
            std::abort();
        size_t start = 0;
        for (long n = 1; n < line; n++) {
            start = text.find('\n', start);
            if (start == std::string::npos)
                std::abort();
            start++;
        }
        if (start > text.size())
            std::abort();
        Settings(text.substr(0, start), &status);
        if (status != 0)
            std::abort();
        return 0;
    }
    if (status != 0)
        std::abort();

    const char* argv[] = {"zorvane", "--points", "12345"};
    SaverOptions o;
    std::string error;
    if (ParseSaverOptions(3, argv, 7, &o, &error, &text) != 0 || o.settings.NumberPoints != 12345)
        std::abort();
    ParseSaverOptions(1, argv, 7, &o, &error, &text);
    const SaverSettingsRecord& s = o.settings;
    if (s.BlankScreen > 1 || s.EnableRotation > 1 || s.EnableContinuous > 1 || o.zoom > MaxZoom ||
        (o.idle && (o.idleSeconds < 1 || o.idleSeconds > MaxIdleSeconds)))
        std::abort();
    // Written back, "name value" and "name=value" alike, the file gives the same.
    const std::string back = "points " + std::to_string(s.NumberPoints) + "\nframe-ms=" +
                             std::to_string(s.AnimationTimer) + "\nclear-ms " + std::to_string(s.CLSTimer) +
                             "\nblank=" + std::to_string(s.BlankScreen) + "\nrotate " +
                             std::to_string(s.EnableRotation) + "\ncontinuous = " +
                             std::to_string(s.EnableContinuous) + "\nseed\t" + std::to_string(o.seed) +
                             " # comment\nzoom " + std::to_string(o.zoom) + "\r\n" +
                             (o.idle ? "idle " + std::to_string(o.idleSeconds) + "\n" : "");
    if (Settings(back, &status) != result || status != 0)
        std::abort();
    return 0;
}
