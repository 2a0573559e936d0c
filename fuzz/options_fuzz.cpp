// options_fuzz.cpp - the command lines of zorvane and zorvane-render on any
// arguments (the input split at zero bytes). A refusal is one line; an
// acceptance gives settings in range that the same options, printed back,
// give again.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/saver_options.h"
#include "tools/render/render_options.h"

static void RequireOneLine(const std::string& error)
{
    if (error.empty() || error.find('\n') != std::string::npos)
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> words(1, "program");
    words.emplace_back();
    for (size_t i = 0; i < size && words.size() < 64; i++) {
        if (data[i] == 0)
            words.emplace_back();
        else
            words.back() += static_cast<char>(data[i]);
    }
    std::vector<const char*> argv;
    for (const std::string& w : words)
        argv.push_back(w.c_str());
    const int argc = static_cast<int>(argv.size());

    SaverOptions saver;
    std::string error;
    const int status = ParseSaverOptions(argc, argv.data(), 7, &saver, &error);
    if (status == 2)
        RequireOneLine(error);
    if (status == 0) {
        const SaverSettingsRecord& s = saver.settings;
        if (s.BlankScreen > 1 || s.EnableRotation > 1 || s.EnableContinuous > 1)
            std::abort();
        if (saver.target == SaverTarget::WindowId && saver.windowId == 0)
            std::abort();
        if (saver.idle && (saver.idleSeconds < 1 || saver.idleSeconds > MaxIdleSeconds))
            std::abort();
        if (saver.autostart && (argc != 3 || (!saver.autostartOff && (saver.autostartSeconds < 1 ||
                                                                      saver.autostartSeconds > MaxIdleSeconds))))
            std::abort();
        // Printed back as options, the settings parse to the same values.
        std::vector<std::string> again = {"program",
                                          "--points", std::to_string(s.NumberPoints),
                                          "--frame-ms", std::to_string(s.AnimationTimer),
                                          "--clear-ms", std::to_string(s.CLSTimer),
                                          "--blank", std::to_string(s.BlankScreen),
                                          "--rotate", std::to_string(s.EnableRotation),
                                          "--continuous", std::to_string(s.EnableContinuous),
                                          "--seed", std::to_string(saver.seed),
                                          "--zoom", std::to_string(saver.zoom)};
        if (saver.idle)
            again.insert(again.end(), {"--idle", std::to_string(saver.idleSeconds)});
        std::vector<const char*> againArgv;
        for (const std::string& w : again)
            againArgv.push_back(w.c_str());
        SaverOptions reparsed;
        if (ParseSaverOptions(static_cast<int>(againArgv.size()), againArgv.data(), 0, &reparsed, &error) != 0 ||
            SaverSettingsText(&reparsed) != SaverSettingsText(&saver))
            std::abort();
    }

    RenderOptions render;
    const int renderStatus = ParseRenderOptions(argc, argv.data(), 7, &render, &error);
    if (renderStatus == 2 && !error.empty())
        RequireOneLine(error);
    if (renderStatus == 0 && (render.width < 1 || render.width > kMaxRenderSize || render.height < 1 ||
                              render.height > kMaxRenderSize || (render.out.empty() && render.framesDir.empty())))
        std::abort();
    return 0;
}
