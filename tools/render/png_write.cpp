// png_write.cpp - see png_write.h. Every row is filtered with "none" (a
// zero byte, then R, G, B per pixel) and fed to one deflate stream; each
// time the output buffer fills it goes out as one IDAT chunk.
#include "tools/render/png_write.h"

#include <zlib.h>

#include <cstdlib>
#include <string>

#include "tools/render/png_file.h"

static const int kLevel = 6;                // fixed: the bytes must not depend on the build
static const size_t kChunkBytes = 1 << 16;  // IDAT chunk size, and the output buffer's

struct PngOut {
    FILE* f;
    bool ok;
};

static void PutBig32(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

static void PutChunk(PngOut* out, const char* type, const uint8_t* data, size_t n)
{
    uint8_t head[8], tail[4];
    PutBig32(head, static_cast<uint32_t>(n));
    for (int i = 0; i < 4; i++)
        head[4 + i] = static_cast<uint8_t>(type[i]);
    uLong crc = crc32(0, head + 4, 4);
    if (n > 0)
        crc = crc32(crc, data, static_cast<uInt>(n));
    PutBig32(tail, static_cast<uint32_t>(crc));
    if (std::fwrite(head, 1, 8, out->f) != 8 || (n > 0 && std::fwrite(data, 1, n, out->f) != n) ||
        std::fwrite(tail, 1, 4, out->f) != 4)
        out->ok = false;
}

// Deflates what z holds with flush, writing every full output buffer as an
// IDAT chunk, and the last, partial one too when the stream ends.
static void Deflate(PngOut* out, z_stream* z, uint8_t* buffer, int flush)
{
    for (;;) {
        const int status = deflate(z, flush);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
            out->ok = false;
            return;
        }
        if (z->avail_out == 0 || status == Z_STREAM_END) {
            PutChunk(out, "IDAT", buffer, kChunkBytes - z->avail_out);
            z->next_out = buffer;
            z->avail_out = kChunkBytes;
        }
        if (status == Z_STREAM_END || (flush == Z_NO_FLUSH && z->avail_in == 0))
            return;
    }
}

PngResult WritePng(const char* path, const OffscreenSurface* s, int32_t zoom)
{
    const int32_t width = SurfaceWidth(s), height = SurfaceHeight(s);
    if (width <= 0 || height <= 0 || zoom <= 0 || static_cast<int64_t>(width) * zoom > 1 << 30 ||
        static_cast<int64_t>(height) * zoom > 1 << 30)
        return PngCannotWrite;
    const int32_t shownW = width * zoom, shownH = height * zoom;
    // Everything is allocated before the file is created: short of memory,
    // nothing is written at all.
    const size_t rowBytes = 1 + 3 * static_cast<size_t>(shownW);
    uint8_t* row = static_cast<uint8_t*>(std::malloc(rowBytes));
    uint8_t* buffer = static_cast<uint8_t*>(std::malloc(kChunkBytes));
    z_stream z = {};
    if (!row || !buffer || deflateInit2(&z, kLevel, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        std::free(row);
        std::free(buffer);
        return PngNoMemory;
    }

    std::string tmp;
    PngOut out = {PngOpenTemporary(path, &tmp), true};
    if (out.f) {
        static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        if (std::fwrite(signature, 1, 8, out.f) != 8)
            out.ok = false;
        uint8_t header[13] = {0, 0, 0, 0, 0, 0, 0, 0, 8, 2, 0, 0, 0};  // 8-bit RGB, deflate, filters, no interlace
        PutBig32(header, static_cast<uint32_t>(shownW));
        PutBig32(header + 4, static_cast<uint32_t>(shownH));
        PutChunk(&out, "IHDR", header, sizeof header);

        z.next_out = buffer;
        z.avail_out = kChunkBytes;
        row[0] = 0;
        for (int32_t y = 0; y < shownH && out.ok; y++) {
            // A new row of the picture every zoom rows; the rows between repeat it.
            if (y % zoom == 0) {
                // Blocks the surface knows to be blank are not read: never
                // written, their memory may never have been touched.
                // (A surface with that knowledge has fewer than 2^32 pixels.)
                const size_t line = static_cast<size_t>(y / zoom) * static_cast<size_t>(width);
                for (int32_t x = 0; x < shownW; x++) {
                    const size_t at = line + static_cast<size_t>(x / zoom);
                    const Colour c = SurfaceBlockBlank(s, static_cast<uint32_t>(at)) ? s->blank : s->pixels[at];
                    row[1 + 3 * static_cast<size_t>(x)] = static_cast<uint8_t>(c & 0xFF);
                    row[2 + 3 * static_cast<size_t>(x)] = static_cast<uint8_t>(c >> 8 & 0xFF);
                    row[3 + 3 * static_cast<size_t>(x)] = static_cast<uint8_t>(c >> 16 & 0xFF);
                }
            }
            z.next_in = row;
            z.avail_in = static_cast<uInt>(rowBytes);
            Deflate(&out, &z, buffer, Z_NO_FLUSH);
        }
        if (out.ok)
            Deflate(&out, &z, buffer, Z_FINISH);
        if (out.ok)
            PutChunk(&out, "IEND", nullptr, 0);
    }
    deflateEnd(&z);
    std::free(row);
    std::free(buffer);
    if (!out.f)
        return PngCannotWrite;
    return PngFinish(out.f, tmp, path, out.ok) ? PngWritten : PngCannotWrite;
}

PngResult WritePng(const char* path, int32_t width, int32_t height, const Colour* pixels, int32_t zoom)
{
    OffscreenSurface s = {};
    s.pixels = const_cast<Colour*>(pixels);  // only read
    s.width = width;
    s.height = height;
    s.format = ColourPixels;
    return WritePng(path, &s, zoom);
}
