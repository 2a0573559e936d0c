// surface_frames.h - one fixed sequence of frames drawn by the controller
// into a real window and read back, so that two surface implementations,
// linked into two programs, can be compared pixel for pixel.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

constexpr int kFrameWidth = 640, kFrameHeight = 480;

HWND CreateFrameWindow();  // visible, topmost, at (0, 0), kFrameWidth x kFrameHeight

// Starts the controller in window (10000 points, rotation and continuous
// walks on, timers too slow to fire), seeds the stream, and runs clear and
// frame ticks in the given mode (BlankScreen 0 or 1); returns what the
// window shows, 0x00RRGGBB, rows from the top. Tears the controller down.
std::vector<uint32_t> RenderFrames(HWND window, uint32_t blank, uint32_t seed);
