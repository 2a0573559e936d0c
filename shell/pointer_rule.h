// pointer_rule.h - when pointer movement ends the saver: a total movement
// of more than 3 pixels (Manhattan distance) from the first position seen.
#pragma once

#include <cstdint>

constexpr int64_t PointerTolerance = 3;  // pixels of movement that are forgiven

// True when (x, y) lies more than PointerTolerance from (x0, y0).
inline bool PointerMovedTooFar(int64_t x0, int64_t y0, int64_t x, int64_t y)
{
    const int64_t dx = x > x0 ? x - x0 : x0 - x;
    const int64_t dy = y > y0 ? y - y0 : y0 - y;
    return dx + dy > PointerTolerance;
}

// The rule over a run of pointer positions: the first one seen is where the
// pointer started, and never changes.
struct PointerWatch {
    bool haveStart;
    int64_t startX, startY;
};

// Records (x, y) as the start when none is known; otherwise true when it
// lies more than PointerTolerance from the start.
inline bool PointerWatchMovedTooFar(PointerWatch* w, int64_t x, int64_t y)
{
    if (!w->haveStart) {
        *w = PointerWatch{true, x, y};
        return false;
    }
    return PointerMovedTooFar(w->startX, w->startY, x, y);
}
