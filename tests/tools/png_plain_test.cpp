// The dependency-free PNG writer, read back with libpng.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <vector>

#include "tools/render/png_write.h"

namespace {

TEST(PngPlain, LibpngReadsBackTheSamePixels)
{
    // Wide enough that the data spans several stored deflate blocks.
    const int w = 300, h = 257;
    std::vector<Colour> pixels(w * h);
    for (int i = 0; i < w * h; i++)
        pixels[i] = static_cast<Colour>(i * 2654435761u) & 0x00FFFFFFu;
    const char* path = "png_plain_test.png";
    ASSERT_EQ(1, WritePng(path, w, h, pixels.data()));

    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(0, png_image_begin_read_from_file(&image, path)) << image.message;
    EXPECT_EQ(static_cast<png_uint_32>(w), image.width);
    EXPECT_EQ(static_cast<png_uint_32>(h), image.height);
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_NE(0, png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) << image.message;
    for (int i = 0; i < w * h; i++) {
        const Colour c = static_cast<Colour>(rgb[3 * i] | rgb[3 * i + 1] << 8 | rgb[3 * i + 2] << 16);
        ASSERT_EQ(pixels[i], c) << "pixel " << i;
    }
    std::remove(path);
}

TEST(PngPlain, UnwritablePathLeavesNothingBehind)
{
    const Colour px = 0;
    EXPECT_EQ(0, WritePng("no-such-dir/x.png", 1, 1, &px));
    FILE* f = std::fopen("no-such-dir/x.png.tmp", "rb");
    EXPECT_EQ(nullptr, f);
}

}  // namespace
