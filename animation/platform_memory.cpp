// platform_memory.cpp - the controller's memory from the C library, for
// the platforms that have no allocator of their own (X11, the web page).
#include <cstdlib>

#include "animation/platform.h"

void* PlatAllocate(SaverWindow, size_t bytes)
{
    return std::calloc(1, bytes);
}

void PlatFree(SaverWindow, void* block)
{
    std::free(block);
}
