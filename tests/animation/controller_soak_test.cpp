// The controller over a long run on the headless clock: at the defaults
// and in the blank-screen spinning mode, nothing is allocated or released
// after start-up and the process's memory stays flat: its resident memory,
// or under the address sanitizer the heap's live bytes (there resident
// memory also holds the sanitizer's quarantine of freed blocks, which
// grows on its own).
// ZORVANE_SOAK=1 runs 24 virtual hours per mode; otherwise 10 minutes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define ZORVANE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZORVANE_ASAN 1
#endif
#endif
#ifdef ZORVANE_ASAN
// The sanitizer runtime's count of bytes allocated and not yet freed (GCC
// installs no header for it).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

#include "animation/controller.h"
#include "animation/platform_headless.h"

namespace {

long PageKilobytes()
{
    return sysconf(_SC_PAGESIZE) / 1024;
}

#ifdef ZORVANE_ASAN
const char kMemoryName[] = "live heap";
long MemoryKilobytes()
{
    return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
}
#else
const char kMemoryName[] = "resident";
long MemoryKilobytes()
{
    long pages = 0, resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * PageKilobytes();
}
#endif

void Soak(uint32_t blank)
{
    const char* soak = std::getenv("ZORVANE_SOAK");
    const uint64_t hours = soak && std::string(soak) == "1" ? 24 : 0;
    const uint64_t end = hours ? hours * 3600000u : 600000u;
    HeadlessPlatformRecord h;
    HeadlessInit(&h, 1024, 768);
    h.seconds = 20261209;
    SaverRecord saver;
    SaverInit(&saver, &h);
    saver.Settings.BlankScreen = blank;
    SaverStart(&saver);
    ASSERT_TRUE(saver.Ready);
    const std::string startCalls = h.calls;
    const uint64_t bytes = h.bytesLive;

    // The first virtual minute settles the allocator's and the pages' state.
    while (HeadlessRunNext(&saver, 60000)) {
    }
    const long memoryAtStart = MemoryKilobytes();
    uint64_t ticks = 0;
    while (HeadlessRunNext(&saver, end))
        ticks++;
    const long memoryAtEnd = MemoryKilobytes();
    std::printf("blank %u: %llu ticks over %llu virtual s; %s %ld kB -> %ld kB\n", blank,
                static_cast<unsigned long long>(ticks), static_cast<unsigned long long>(end / 1000), kMemoryName,
                memoryAtStart, memoryAtEnd);

    EXPECT_EQ(end * 6 / 1000 - 360, ticks) << "five frames and one clear a second, after the first minute";
    EXPECT_EQ(startCalls, h.calls) << "no platform call after start-up";
    EXPECT_EQ(2, h.allocations);
    EXPECT_EQ(bytes, h.bytesLive);
    // The allocations are counted exactly above; the process's memory is
    // the outside view, allowed 256 pages of noise (1 MiB with 4 KiB pages).
    EXPECT_LE(memoryAtEnd - memoryAtStart, 256 * PageKilobytes()) << kMemoryName << " memory grew";
    SaverTeardown(&saver);
    HeadlessShutdown(&h);
}

TEST(ControllerSoak, DefaultsStayFlat)
{
    Soak(0);
}

TEST(ControllerSoak, BlankSpinningStaysFlat)
{
    Soak(1);
}

}  // namespace
