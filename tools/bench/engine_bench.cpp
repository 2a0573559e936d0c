// engine_bench.cpp - how long the saver's per-frame work takes: the walk,
// the renderer, and a whole frame tick in the heaviest mode (blank screen,
// spinning, re-walked every frame); and, in the same run, the bound the
// walk cannot beat on this machine, so that every figure is also a ratio to
// something measured alongside it.
//
// Run: build/native/zorvane-bench (or make bench). Each benchmark runs five
// times and the fastest run's CPU time counts (other load only ever adds
// time). The summary ends with two lines, at 1 000 000 points, ns per point
// over ns per point:
//   walk/bound: R     the walk over its dependency-chain bound
//   render/walk: R    the renderer over the walk
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "animation/controller.h"
#include "animation/platform_headless.h"
#include "engine/matrix.h"
#include "engine/render.h"
#include "engine/surface_memory.h"

static const int kRepetitions = 5;

static double Fastest(const std::vector<double>& v)
{
    return *std::min_element(v.begin(), v.end());
}

// The walk's dependency chain alone: each coordinate a product and three
// dependent sums of the previous point, ((a1*y + a2*z) + a0*x) + a3, in
// the walk's order, with one map held in registers - no generator, no map
// choice, no loads and no stores. The map is a contraction towards a point
// away from 0 (no subnormals, no infinities), and the compiler cannot see
// its values, so it cannot fold the chain.
static void BM_ChainBound(benchmark::State& state)
{
    const uint32_t count = static_cast<uint32_t>(state.range(0));
    double a[12] = {0.5, 0.1, -0.2, 0.3, -0.1, 0.4, 0.2, -0.5, 0.2, -0.3, 0.45, 0.7};
    benchmark::DoNotOptimize(a);
    for (auto _ : state) {
        double x = a[0], y = a[4], z = a[8];
        for (uint32_t i = 0; i < count; i++) {
            const double nx = (a[1] * y + a[2] * z) + a[0] * x + a[3];
            const double ny = (a[5] * y + a[6] * z) + a[4] * x + a[7];
            const double nz = (a[9] * y + a[10] * z) + a[8] * x + a[11];
            x = nx;
            y = ny;
            z = nz;
        }
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
        benchmark::DoNotOptimize(z);
    }
    state.SetItemsProcessed(state.iterations() * count);
}

static void BM_GeneratePoints(benchmark::State& state)
{
    const uint32_t count = static_cast<uint32_t>(state.range(0));
    std::vector<Vec3> cloud(count);
    MapSet maps[MapCount];
    RandomStream r = UnseededStream;
    RandomizeMaps(&r, maps);
    for (auto _ : state) {
        GeneratePoints(&r, maps, cloud.data(), count);
        benchmark::DoNotOptimize(cloud.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * count);
}

static void BM_RenderFrame(benchmark::State& state)
{
    const uint32_t count = static_cast<uint32_t>(state.range(0));
    std::vector<Vec3> cloud(count);
    MapSet maps[MapCount];
    RandomStream r = UnseededStream;
    const Colour c = NewAttractor(&r, maps, cloud.data(), count);
    OffscreenSurface* s = MemorySurfaceCreate(1024, 768);
    ViewStateRecord view = InitialView;
    view.CentreX = 512;
    view.CentreY = 384;
    SelectZScale(&view, 1024);
    for (auto _ : state) {
        view.AngleY += 0.5;
        RenderFrame(&view, s, cloud.data(), count, c);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * count);
    MemorySurfaceDestroy(s);
}

// One view rotation, as the renderer builds three a frame: the spin angle
// steps by half a degree from where a day of frames would have taken it.
static void BM_RotateAxis(benchmark::State& state)
{
    double angle = 4320000.0;
    Matrix4 m;
    for (auto _ : state) {
        MatRotateAxis(&m, 2, angle);
        benchmark::DoNotOptimize(m);
        angle += 0.5;
    }
}

static void BM_FrameTickBlankSpinning(benchmark::State& state)
{
    HeadlessPlatformRecord h;
    HeadlessInit(&h, 1024, 768);
    SaverRecord saver;
    SaverInit(&saver, &h);
    saver.Settings.BlankScreen = 1;
    saver.Settings.NumberPoints = static_cast<uint32_t>(state.range(0));
    SaverStart(&saver);
    for (auto _ : state)
        FrameTick(&saver);
    SaverTeardown(&saver);
    HeadlessShutdown(&h);
}

// The console report of the fastest runs only, their times kept by name for
// the summary. (The aggregate's counters are statistics of rates, so the
// fastest time per point is worked out here from its time.) The summary
// uses CPU time: the machine is shared, and the loops are single-threaded,
// so time spent descheduled is not theirs.
struct SummaryReporter : benchmark::ConsoleReporter {
    std::map<std::string, double> ns;  // "BM_GeneratePoints/1000000" -> CPU ns per iteration
    SummaryReporter() : ConsoleReporter(OO_Tabular) {}  // plain text: the output is often kept in a file
    void ReportRuns(const std::vector<Run>& runs) override
    {
        std::vector<Run> fastest;
        for (const Run& run : runs)
            if (run.aggregate_name == "fastest") {
                fastest.push_back(run);
                ns[run.run_name.function_name + "/" + run.run_name.args] =
                    run.cpu_accumulated_time / static_cast<double>(run.iterations) * 1e9;
            }
        if (!fastest.empty())
            ConsoleReporter::ReportRuns(fastest);
    }
};

int main(int argc, char** argv)
{
    const auto perPoint = [](benchmark::internal::Benchmark* b) {
        b->Arg(10000)->Arg(1000000)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
        b->ComputeStatistics("fastest", Fastest);
    };
    perPoint(benchmark::RegisterBenchmark("BM_ChainBound", BM_ChainBound));
    perPoint(benchmark::RegisterBenchmark("BM_GeneratePoints", BM_GeneratePoints));
    perPoint(benchmark::RegisterBenchmark("BM_RenderFrame", BM_RenderFrame));
    benchmark::RegisterBenchmark("BM_RotateAxis", BM_RotateAxis)
        ->Repetitions(kRepetitions)
        ->ReportAggregatesOnly(true)
        ->ComputeStatistics("fastest", Fastest);
    benchmark::RegisterBenchmark("BM_FrameTickBlankSpinning", BM_FrameTickBlankSpinning)
        ->Arg(10000)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(kRepetitions)
        ->ReportAggregatesOnly(true)
        ->ComputeStatistics("fastest", Fastest);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto cell = [&](const char* name, const char* points) {
        const auto it = reporter.ns.find(std::string(name) + "/" + points);
        return it == reporter.ns.end() ? -1.0 : it->second / std::stod(points);
    };
    std::printf("\nCPU ns per point (fastest of %d)  10000    1000000\n", kRepetitions);
    const struct {
        const char* label;
        const char* name;
    } rows[] = {{"chain bound", "BM_ChainBound"}, {"walk (GeneratePoints)", "BM_GeneratePoints"},
                {"render (RenderFrame)", "BM_RenderFrame"}};
    for (const auto& row : rows)
        if (cell(row.name, "1000000") > 0)  // not left out by --benchmark_filter
            std::printf("%-30s %9.2f  %9.2f\n", row.label, cell(row.name, "10000"), cell(row.name, "1000000"));
    const auto tick = reporter.ns.find("BM_FrameTickBlankSpinning/10000");
    if (tick != reporter.ns.end())
        std::printf("frame tick, 10000 points, blank + spin + re-walk: %.1f us\n", tick->second / 1e3);
    const double bound = cell("BM_ChainBound", "1000000");
    const double walk = cell("BM_GeneratePoints", "1000000");
    const double render = cell("BM_RenderFrame", "1000000");
    if (bound <= 0 || walk <= 0 || render <= 0)
        return 0;  // filtered run: no ratios
    std::printf("walk/bound: %.2f\n", walk / bound);
    std::printf("render/walk: %.2f\n", render / walk);
    return 0;
}
