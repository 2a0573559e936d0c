// png_plain.cpp - PNG output without libpng (see png_write.h): the image
// data is one zlib stream of stored (uncompressed) deflate blocks, which
// every PNG reader accepts. Used where libpng is not available.
#include <cstring>
#include <vector>

#include "tools/render/png_file.h"
#include "tools/render/png_write.h"

static uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t n)
{
    static uint32_t table[256];
    if (table[1] == 0)
        for (uint32_t i = 0; i < 256; i++) {
            uint32_t c = i;
            for (int k = 0; k < 8; k++)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
    crc = ~crc;
    for (size_t i = 0; i < n; i++)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

static void PutBig32(std::vector<uint8_t>* out, uint32_t v)
{
    const uint8_t b[4] = {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
                          static_cast<uint8_t>(v)};
    out->insert(out->end(), b, b + 4);
}

static void PutChunk(std::vector<uint8_t>* out, const char* type, const std::vector<uint8_t>& data)
{
    PutBig32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data.begin(), data.end());
    PutBig32(out, Crc32(0, out->data() + start, out->size() - start));
}

int WritePng(const char* path, int32_t width, int32_t height, const Colour* pixels)
{
    // Raw scan lines: filter byte 0, then R, G, B per pixel.
    const size_t row = 1 + 3 * static_cast<size_t>(width);
    std::vector<uint8_t> raw(row * static_cast<size_t>(height));
    for (int32_t y = 0; y < height; y++) {
        uint8_t* line = raw.data() + row * static_cast<size_t>(y);
        line[0] = 0;
        for (int32_t x = 0; x < width; x++) {
            const Colour c = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
            line[1 + 3 * x] = static_cast<uint8_t>(c & 0xFF);
            line[2 + 3 * x] = static_cast<uint8_t>(c >> 8 & 0xFF);
            line[3 + 3 * x] = static_cast<uint8_t>(c >> 16 & 0xFF);
        }
    }

    std::vector<uint8_t> z = {0x78, 0x01};  // zlib header: deflate, 32K window, no preset
    uint32_t a = 1, b = 0;                  // Adler-32 of the raw data
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    size_t pos = 0;
    do {
        const size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
        const bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n & 0xFF));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n & 0xFF));
        z.push_back(static_cast<uint8_t>(~n >> 8 & 0xFF));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos), raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
        pos += n;
    } while (pos < raw.size());
    PutBig32(&z, b << 16 | a);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBig32(&header, static_cast<uint32_t>(width));
    PutBig32(&header, static_cast<uint32_t>(height));
    const uint8_t rest[5] = {8, 2, 0, 0, 0};  // 8-bit, RGB, deflate, adaptive filters, no interlace
    header.insert(header.end(), rest, rest + 5);
    PutChunk(&png, "IHDR", header);
    PutChunk(&png, "IDAT", z);
    PutChunk(&png, "IEND", {});

    std::string tmp;
    FILE* f = PngOpenTemporary(path, &tmp);
    if (!f)
        return 0;
    const bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return PngFinish(f, tmp, path, ok);
}
