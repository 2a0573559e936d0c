// engine_bench.cpp - how long the saver's per-frame work takes: the walk,
// the renderer, and a whole frame tick in the heaviest mode (blank screen,
// spinning, re-walked every frame). Run: build/native/zorvane-bench
#include <benchmark/benchmark.h>

#include <vector>

#include "animation/controller.h"
#include "animation/platform_headless.h"
#include "engine/render.h"
#include "engine/surface_memory.h"
#include "settings/settings.h"

static void BM_GeneratePoints(benchmark::State& state)
{
    const uint32_t count = static_cast<uint32_t>(state.range(0));
    std::vector<Vec3> cloud(count);
    MapSet maps[MapCount];
    RandomSeed(1);
    RandomizeMaps(maps);
    for (auto _ : state) {
        GeneratePoints(maps, cloud.data(), count);
        benchmark::DoNotOptimize(cloud.data());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_GeneratePoints)->Arg(10000)->Arg(1000000);

static void BM_RenderFrame(benchmark::State& state)
{
    const uint32_t count = static_cast<uint32_t>(state.range(0));
    std::vector<Vec3> cloud(count);
    MapSet maps[MapCount];
    RandomSeed(1);
    const Colour c = NewAttractor(maps, cloud.data(), count);
    OffscreenSurface* s = MemorySurfaceCreate(1024, 768);
    ResetViewState();
    CentreX = 512;
    CentreY = 384;
    SelectZScale(1024);
    for (auto _ : state) {
        ViewState.AngleY += 0.5;
        RenderFrame(s, cloud.data(), count, c);
    }
    state.SetItemsProcessed(state.iterations() * count);
    MemorySurfaceDestroy(s);
}
BENCHMARK(BM_RenderFrame)->Arg(10000)->Arg(1000000);

static void BM_FrameTickBlankSpinning(benchmark::State& state)
{
    ResetSettings();
    ResetViewState();
    SaverSettings.BlankScreen = 1;
    SaverSettings.NumberPoints = static_cast<uint32_t>(state.range(0));
    HeadlessReset(1024, 768);
    SaverStart(HeadlessWindow());
    for (auto _ : state)
        FrameTick(HeadlessWindow());
    SaverTeardown(HeadlessWindow());
    HeadlessShutdown();
}
BENCHMARK(BM_FrameTickBlankSpinning)->Arg(10000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
