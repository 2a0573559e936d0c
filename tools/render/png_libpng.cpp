// png_libpng.cpp - PNG output through libpng (see png_write.h).
#include <png.h>

#include <vector>

#include "tools/render/png_file.h"
#include "tools/render/png_write.h"

int WritePng(const char* path, int32_t width, int32_t height, const Colour* pixels)
{
    std::string tmp;
    FILE* f = PngOpenTemporary(path, &tmp);
    if (!f)
        return 0;
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (size_t i = 0; i < static_cast<size_t>(width) * static_cast<size_t>(height); i++) {
        rgb[3 * i + 0] = static_cast<png_byte>(pixels[i] & 0xFF);
        rgb[3 * i + 1] = static_cast<png_byte>(pixels[i] >> 8 & 0xFF);
        rgb[3 * i + 2] = static_cast<png_byte>(pixels[i] >> 16 & 0xFF);
    }
    const bool ok = png_image_write_to_stdio(&image, f, 0, rgb.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return PngFinish(f, tmp, path, ok);
}
