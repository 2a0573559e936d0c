// png_write.h - writes 8-bit RGB PNG files from Colour pixels (0x00BBGGRR).
//
// The file is written under a temporary name and renamed into place, so a
// failed write leaves nothing half-written behind. Two implementations:
// png_libpng.cpp (with libpng, where the system has it) and png_plain.cpp
// (no dependency: uncompressed deflate blocks).
#pragma once

#include <cstdint>

#include "engine/random.h"

int WritePng(const char* path, int32_t width, int32_t height, const Colour* pixels);  // 1 on success, 0 on failure
