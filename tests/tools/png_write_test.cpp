// The PNG writer, read back with libpng; and the files it leaves.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/render/png_write.h"

namespace {

TEST(PngWrite, LibpngReadsBackTheSamePixels)
{
    // Noise does not compress: the data spans several IDAT chunks.
    const int w = 300, h = 257;
    std::vector<Colour> pixels(w * h);
    for (int i = 0; i < w * h; i++)
        pixels[i] = static_cast<Colour>(i * 2654435761u) & 0x00FFFFFFu;
    const char* path = "png_write_test.png";
    ASSERT_EQ(PngWritten, WritePng(path, w, h, pixels.data()));

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

std::vector<std::string> TemporaryFiles(const std::filesystem::path& dir)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0)
            names.push_back(name);
    }
    return names;
}

TEST(PngWrite, AFailedWriteLeavesNoTemporaryFile)
{
    // A folder in the way: the temporary file is written, then cannot be
    // moved into place. Someone else's file named like it stays, and the
    // listing must see it.
    const std::filesystem::path dir = "png_write_test.d";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "x.png");
    const std::string planted = "x.png.1.0.tmp";
    std::FILE* f = std::fopen((dir / planted).string().c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fclose(f);
    ASSERT_EQ(std::vector<std::string>{planted}, TemporaryFiles(dir));

    const Colour px = 0;
    EXPECT_EQ(PngCannotWrite, WritePng((dir / "x.png").string().c_str(), 1, 1, &px));
    EXPECT_EQ(std::vector<std::string>{planted}, TemporaryFiles(dir));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "x.png"));
    EXPECT_EQ(PngCannotWrite, WritePng("png_write_test.d/no-such-dir/x.png", 1, 1, &px));
    std::filesystem::remove_all(dir);
}

}  // namespace
