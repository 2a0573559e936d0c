// close_rules.cpp - the close rules every saver front end shares
// (close_rules.h).
#include "shell/close_rules.h"

bool PointerMovedTooFar(int64_t x0, int64_t y0, int64_t x, int64_t y)
{
    const int64_t dx = x > x0 ? x - x0 : x0 - x;
    const int64_t dy = y > y0 ? y - y0 : y0 - y;
    return dx + dy > PointerTolerance;
}

bool CloseOnKey(CloseRulesRecord*)
{
    return true;
}

bool CloseOnButton(CloseRulesRecord*)
{
    return true;
}

bool CloseOnWheel(CloseRulesRecord*)
{
    return true;
}

bool CloseOnPointer(CloseRulesRecord* r, int64_t x, int64_t y)
{
    if (!r->haveStart) {
        *r = CloseRulesRecord{true, x, y};
        return false;
    }
    return PointerMovedTooFar(r->startX, r->startY, x, y);
}

void CloseRulesRestartPointer(CloseRulesRecord* r)
{
    r->haveStart = false;
}
