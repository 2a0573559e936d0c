// The saver's surface (pixels stored into a DIB section) against the
// SetPixelV reference: the same seed and settings must show the same image
// in the window, in both modes. The reference runs as its own program,
// since a program links exactly one platform surface.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <set>
#include <string>

#include "tests/animation/surface_frames.h"

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

// Runs the reference program: the frames with BlankScreen 0, then with 1;
// empty when it failed.
std::vector<uint32_t> ReferenceFrames(uint32_t seed)
{
    const std::string folder = ProgramFolder();
    const std::string out = folder + "surface-reference.raw";
    std::string line = "\"" + folder + "surface_setpixel_render.exe\" " + std::to_string(seed) + " \"" + out + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return {};
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::vector<uint32_t> pixels(2 * static_cast<size_t>(kFrameWidth) * kFrameHeight);
    FILE* f = code == 0 ? std::fopen(out.c_str(), "rb") : nullptr;
    if (!f)
        return {};
    const size_t n = std::fread(pixels.data(), sizeof pixels[0], pixels.size(), f);
    std::fclose(f);
    std::remove(out.c_str());
    return n == pixels.size() ? pixels : std::vector<uint32_t>{};
}

size_t Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    size_t n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); i++)
        n += a[i] != b[i];
    return n;
}

TEST(SurfaceDib, ShowsTheSameImageAsSetPixelV)
{
    const uint32_t seed = 20261209;
    HWND w = CreateFrameWindow();
    ASSERT_NE(nullptr, w);
    const std::vector<uint32_t> overpaint = RenderFrames(w, 0, seed);
    const std::vector<uint32_t> blank = RenderFrames(w, 1, seed);
    const std::vector<uint32_t> otherSeed = RenderFrames(w, 1, seed + 1);
    DestroyWindow(w);

    // The frames are worth comparing: several colours over black when
    // painting over, black and one colour when every frame starts black.
    const std::set<uint32_t> overpaintColours(overpaint.begin(), overpaint.end());
    const std::set<uint32_t> blankColours(blank.begin(), blank.end());
    EXPECT_GT(overpaintColours.size(), 2u);
    EXPECT_EQ(1u, overpaintColours.count(0));
    EXPECT_EQ(2u, blankColours.size());
    EXPECT_EQ(1u, blankColours.count(0));

    // The reference's window takes the place of this one.
    const std::vector<uint32_t> reference = ReferenceFrames(seed);
    ASSERT_EQ(overpaint.size() + blank.size(), reference.size()) << "the reference program failed";
    const std::vector<uint32_t> referenceOverpaint(reference.begin(), reference.begin() + overpaint.size());
    const std::vector<uint32_t> referenceBlank(reference.begin() + overpaint.size(), reference.end());
    EXPECT_EQ(0u, Differing(overpaint, referenceOverpaint));
    EXPECT_EQ(0u, Differing(blank, referenceBlank));

    // The comparison sees a difference where there is one: another seed.
    EXPECT_GT(Differing(otherSeed, referenceBlank), 0u);
}

}  // namespace
