// png_write.h - writes 8-bit RGB PNG files from Colour pixels (0x00BBGGRR).
//
// The image data is deflated with zlib at one fixed level, a row at a time,
// so that the same pixels give the same bytes on every build and memory
// stays at a few rows whatever the picture's size. The file is written
// under a temporary name and renamed into place (png_file.h), so a failed
// write leaves nothing half-written behind.
#pragma once

#include <cstdint>

#include "engine/random.h"
#include "engine/surface.h"

enum PngResult {
    PngCannotWrite = 0,  // the file cannot be created, written or moved into place
    PngWritten = 1,
    PngNoMemory = 2,     // the compressor's buffers cannot be allocated; no file was created
};

// width * height row-major pixels, written zoom times as large (each pixel
// a zoom x zoom block); the written sides from 1 to 2^30.
PngResult WritePng(const char* path, int32_t width, int32_t height, const Colour* pixels, int32_t zoom = 1);
// A surface of Colour pixels (ColourPixels), the same way; its blocks known
// to be blank are written as blank without being read.
PngResult WritePng(const char* path, const OffscreenSurface* s, int32_t zoom = 1);
