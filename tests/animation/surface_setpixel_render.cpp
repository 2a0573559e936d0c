// surface_setpixel_render - draws the fixed frames of surface_frames.h
// through the SetPixelV reference surface, with BlankScreen 0 and then 1,
// and writes what the window showed after each as raw 32-bit pixels:
//
//   surface_setpixel_render SEED FILE
#include <cstdio>
#include <cstdlib>

#include "tests/animation/surface_frames.h"

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const uint32_t seed = static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10));
    HWND w = CreateFrameWindow();
    if (!w)
        return 1;
    std::vector<uint32_t> shown = RenderFrames(w, 0, seed);
    const std::vector<uint32_t> blank = RenderFrames(w, 1, seed);
    shown.insert(shown.end(), blank.begin(), blank.end());
    DestroyWindow(w);
    FILE* f = std::fopen(argv[2], "wb");
    if (!f)
        return 1;
    const bool ok = std::fwrite(shown.data(), sizeof shown[0], shown.size(), f) == shown.size();
    return std::fclose(f) == 0 && ok ? 0 : 1;
}
