// controller.cpp - start-up, the frame and clear ticks, and teardown of one
// saver picture (see controller.h). Every platform runs this same code.
#include "animation/controller.h"

// Byte counts above this are refused whatever the allocator would do, so a
// count near 2^32 fails the same way on 32- and 64-bit builds.
static constexpr uint64_t kMaxAllocation = 0xFFFFFFE0u;

static constexpr Colour kBackground = 0;  // the clears are black

// A zero-filled array of count elements; null when the byte count, formed
// in 64 bits so that it cannot overflow, is too large or memory is short.
// An empty array is a valid one-byte block, not a failure.
static void* AllocateArray(SaverWindow window, uint32_t count, size_t elementSize)
{
    const uint64_t bytes = static_cast<uint64_t>(count) * elementSize;
    if (bytes > kMaxAllocation)
        return nullptr;
    return PlatAllocate(window, bytes == 0 ? 1 : static_cast<size_t>(bytes));
}

static void StartupFailed(SaverRecord* saver, const char* text, const char* caption)
{
    PlatErrorBox(saver->Window, text, caption);
    PlatRequestQuit(saver->Window, -1);
}

// The surface for the window's current client size, with the centre and
// the depth scale that go with it.
static void BuildSurface(SaverRecord* saver)
{
    saver->Surface = PlatCreateSurface(saver->Window, &saver->ClientRect);
    const int32_t w = saver->ClientRect.right - saver->ClientRect.left;
    const int32_t h = saver->ClientRect.bottom - saver->ClientRect.top;
    saver->View.CentreX = w / 2;
    saver->View.CentreY = h / 2;
    SelectZScale(&saver->View, w);
}

static void NewAttractor(SaverRecord* saver)
{
    saver->Colour = NewAttractor(&saver->Random, saver->Maps, saver->Cloud, saver->PointCount);
}

void SaverInit(SaverRecord* saver, SaverWindow window)
{
    *saver = SaverRecord{};
    saver->Window = window;
    saver->Settings = DefaultSettings;
    saver->Random = UnseededStream;
    saver->View = InitialView;
}

void SaverStart(SaverRecord* saver)
{
    if (saver->Started)
        SaverTeardown(saver);
    saver->Started = true;

    if (saver->ReadOnlySettings)
        ReadSettings(&saver->Settings);
    else
        LoadSettings(&saver->Settings);
    RandomSeed(&saver->Random, PlatCalendarSeconds(saver->Window));

    BuildSurface(saver);

    saver->Maps = static_cast<MapSet*>(AllocateArray(saver->Window, MapCount, sizeof(MapSet)));
    if (!saver->Maps) {
        StartupFailed(saver, "Cannot allocate memory for matrix buffer!", "Memory Error");
        return;
    }
    const uint32_t points = saver->Settings.NumberPoints;
    saver->Cloud = static_cast<PointCloud*>(AllocateArray(saver->Window, points, sizeof(PointCloud)));
    if (!saver->Cloud) {
        StartupFailed(saver, "Cannot allocate memory for point buffer!", "Memory Error");
        return;
    }
    saver->PointCount = points;
    saver->FrameTimerRunning = PlatStartTimer(saver, FrameTimerId, saver->Settings.AnimationTimer, FrameTick) != 0;
    if (!saver->FrameTimerRunning) {
        StartupFailed(saver, "Cannot create animation timer!", "Timer Error");
        return;
    }
    saver->ClearTimerRunning = PlatStartTimer(saver, ClearTimerId, saver->Settings.CLSTimer, ClearTick) != 0;
    if (!saver->ClearTimerRunning) {
        StartupFailed(saver, "Cannot create CLS timer", "Timer Error");
        return;
    }
    NewAttractor(saver);
    saver->Ready = true;
}

void FrameTick(SaverRecord* saver)
{
    if (!saver->Ready)
        return;
    const SaverSettingsRecord& settings = saver->Settings;
    ViewStateRecord& view = saver->View;
    const bool blank = settings.BlankScreen != 0;
    if (blank)
        SurfaceFill(saver->Surface, &saver->ClientRect, kBackground);
    else
        NewAttractor(saver);
    if (blank && settings.EnableRotation) {
        view.AngleX += view.SpinX;
        view.AngleY += view.SpinY;
        view.AngleZ += view.SpinZ;
    }
    if (blank && settings.EnableContinuous)
        GeneratePoints(&saver->Random, saver->Maps, saver->Cloud, saver->PointCount);
    RenderFrame(&view, saver->Surface, saver->Cloud, saver->PointCount, saver->Colour);
    SurfacePresent(saver->Surface);
}

void ClearTick(SaverRecord* saver)
{
    saver->Ready = false;
    SurfaceFill(saver->Surface, &saver->ClientRect, kBackground);
    NewAttractor(saver);
    saver->Ready = true;
}

void SaverResize(SaverRecord* saver)
{
    if (!saver->Started)
        return;
    if (saver->Surface)
        PlatReleaseSurface(saver->Surface);
    saver->Surface = nullptr;
    BuildSurface(saver);
}

void SaverTeardown(SaverRecord* saver)
{
    saver->Ready = false;
    if (saver->ClearTimerRunning)
        PlatStopTimer(saver, ClearTimerId);
    if (saver->FrameTimerRunning)
        PlatStopTimer(saver, FrameTimerId);
    saver->ClearTimerRunning = saver->FrameTimerRunning = false;
    PlatFree(saver->Window, saver->Cloud);
    PlatFree(saver->Window, saver->Maps);
    saver->Cloud = nullptr;
    saver->Maps = nullptr;
    saver->PointCount = 0;
    if (saver->Surface)
        PlatReleaseSurface(saver->Surface);
    saver->Surface = nullptr;
    saver->Started = false;
}
