// close_rules.h - what ends a saver run: a key, a button or a wheel, and
// pointer movement of more than PointerTolerance pixels (Manhattan
// distance) from the first position seen. The front ends hand their input
// here (the X11, Wayland and web savers through a CloseRulesRecord of their
// own, the Windows saver's input layer through PointerMovedTooFar) and end
// the run when a rule says so.
#pragma once

#include <cstdint>

constexpr int64_t PointerTolerance = 3;  // pixels of movement that are forgiven

// True when (x, y) lies more than PointerTolerance from (x0, y0).
bool PointerMovedTooFar(int64_t x0, int64_t y0, int64_t x, int64_t y);

// One run's rules: the first pointer position seen is where the pointer
// started, until the positions before and after can no longer be compared.
struct CloseRulesRecord {
    bool haveStart;
    int64_t startX, startY;
};

// Each is true when the input ends the run.
bool CloseOnKey(CloseRulesRecord* r);
bool CloseOnButton(CloseRulesRecord* r);
bool CloseOnWheel(CloseRulesRecord* r);  // a wheel is a button on X11
// The pointer at (x, y), in one space for the whole screen: the first
// position seen becomes the start, a later one ends the run when it lies
// too far from it.
bool CloseOnPointer(CloseRulesRecord* r, int64_t x, int64_t y);
// The screen's layout changed (an output moved or went away): the next
// position seen is the start again.
void CloseRulesRestartPointer(CloseRulesRecord* r);
