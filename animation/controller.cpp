// controller.cpp - start-up, the frame and clear ticks, and teardown of the
// saver's picture (see controller.h). Every platform runs this same code.
#include "animation/controller.h"

#include "animation/platform.h"
#include "engine/render.h"
#include "settings/settings.h"

AnimationStateRecord AnimationState = {};

// What start-up created beyond AnimationState's pointers, so that teardown
// stops only those timers, and the window they belong to.
static bool g_started = false;
static SaverWindow g_window = nullptr;
static bool g_frameTimerRunning = false;
static bool g_clearTimerRunning = false;

static const unsigned kFrameTimer = 1;
static const unsigned kClearTimer = 2;

// Byte counts above this are refused whatever the allocator would do, so a
// count near 2^32 fails the same way on 32- and 64-bit builds.
static const uint64_t kMaxAllocation = 0xFFFFFFE0u;

// A zero-filled array of count elements; null when the byte count, formed
// in 64 bits so that it cannot overflow, is too large or memory is short.
// An empty array is a valid one-byte block, not a failure.
static void* AllocateArray(uint32_t count, size_t elementSize)
{
    const uint64_t bytes = static_cast<uint64_t>(count) * elementSize;
    if (bytes > kMaxAllocation)
        return nullptr;
    return PlatAllocate(bytes == 0 ? 1 : static_cast<size_t>(bytes));
}

static void StartupFailed(SaverWindow window, const char* text, const char* caption)
{
    PlatErrorBox(window, text, caption);
    PlatRequestQuit(-1);
}

// The surface for the window's current client size, with the centre and
// the depth scale that go with it.
static void BuildSurface(SaverWindow window)
{
    AnimationState.Surface = PlatCreateSurface(window, &AnimationState.ClientRect);
    const int32_t w = AnimationState.ClientRect.right - AnimationState.ClientRect.left;
    const int32_t h = AnimationState.ClientRect.bottom - AnimationState.ClientRect.top;
    CentreX = w / 2;
    CentreY = h / 2;
    SelectZScale(w);
}

static void NewAttractor()
{
    AnimationState.Colour = NewAttractor(AnimationState.Maps, AnimationState.Cloud, AnimationState.PointCount);
}

void SaverStart(SaverWindow window)
{
    if (g_started)
        SaverTeardown(g_window);
    g_started = true;
    g_window = window;

    LoadSettings();
    RandomSeed(PlatCalendarSeconds());

    BuildSurface(window);
    AnimationState.BackgroundBrush = PlatCreateBlackBrush();

    AnimationState.Maps = static_cast<MapSet*>(AllocateArray(MapCount, sizeof(MapSet)));
    if (!AnimationState.Maps) {
        StartupFailed(window, "Cannot allocate memory for matrix buffer!", "Memory Error");
        return;
    }
    AnimationState.Cloud = static_cast<PointCloud*>(AllocateArray(SaverSettings.NumberPoints, sizeof(PointCloud)));
    if (!AnimationState.Cloud) {
        StartupFailed(window, "Cannot allocate memory for point buffer!", "Memory Error");
        return;
    }
    AnimationState.PointCount = SaverSettings.NumberPoints;
    g_frameTimerRunning = PlatStartTimer(window, kFrameTimer, SaverSettings.AnimationTimer, FrameTick) != 0;
    if (!g_frameTimerRunning) {
        StartupFailed(window, "Cannot create animation timer!", "Timer Error");
        return;
    }
    g_clearTimerRunning = PlatStartTimer(window, kClearTimer, SaverSettings.CLSTimer, ClearTick) != 0;
    if (!g_clearTimerRunning) {
        StartupFailed(window, "Cannot create CLS timer", "Timer Error");
        return;
    }
    NewAttractor();
    AnimationState.Ready = true;
}

void FrameTick(SaverWindow window)
{
    if (!AnimationState.Ready)
        return;
    const bool blank = SaverSettings.BlankScreen != 0;
    if (blank)
        SurfaceFill(AnimationState.Surface, &AnimationState.ClientRect, AnimationState.BackgroundBrush);
    else
        NewAttractor();
    if (blank && SaverSettings.EnableRotation) {
        ViewState.AngleX += ViewState.SpinX;
        ViewState.AngleY += ViewState.SpinY;
        ViewState.AngleZ += ViewState.SpinZ;
    }
    if (blank && SaverSettings.EnableContinuous)
        GeneratePoints(AnimationState.Maps, AnimationState.Cloud, AnimationState.PointCount);
    RenderFrame(AnimationState.Surface, AnimationState.Cloud, AnimationState.PointCount, AnimationState.Colour);
    SurfaceCopyToWindow(AnimationState.Surface, window);
}

void ClearTick(SaverWindow)
{
    AnimationState.Ready = false;
    SurfaceFill(AnimationState.Surface, &AnimationState.ClientRect, AnimationState.BackgroundBrush);
    NewAttractor();
    AnimationState.Ready = true;
}

void SaverResize(SaverWindow window)
{
    if (!g_started)
        return;
    if (AnimationState.Surface)
        PlatReleaseSurface(AnimationState.Surface);
    AnimationState.Surface = nullptr;
    BuildSurface(window);
}

void SaverTeardown(SaverWindow window)
{
    AnimationState.Ready = false;
    if (g_clearTimerRunning)
        PlatStopTimer(window, kClearTimer);
    if (g_frameTimerRunning)
        PlatStopTimer(window, kFrameTimer);
    g_clearTimerRunning = g_frameTimerRunning = false;
    PlatFree(AnimationState.Cloud);
    PlatFree(AnimationState.Maps);
    AnimationState.Cloud = nullptr;
    AnimationState.Maps = nullptr;
    AnimationState.PointCount = 0;
    if (AnimationState.BackgroundBrush)
        PlatReleaseBrush(AnimationState.BackgroundBrush);
    AnimationState.BackgroundBrush = nullptr;
    if (AnimationState.Surface)
        PlatReleaseSurface(AnimationState.Surface);
    AnimationState.Surface = nullptr;
    g_started = false;
    g_window = nullptr;
}
