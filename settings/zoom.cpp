// zoom.cpp - see zoom.h.
#include "settings/zoom.h"

uint32_t ZoomForScreen(int32_t width, int32_t height)
{
    const int32_t side = width > height ? width : height;
    if (side <= ZoomFreeSide)
        return 1;
    const int64_t zoom = (static_cast<int64_t>(side) + ZoomFreeSide - 1) / ZoomFreeSide;
    return zoom > MaxZoom ? MaxZoom : static_cast<uint32_t>(zoom);
}

int32_t PictureZoom(uint32_t given, int32_t width, int32_t height)
{
    int64_t zoom = given ? given : ZoomForScreen(width, height);
    if (width > 0 && zoom > width)
        zoom = width;
    if (height > 0 && zoom > height)
        zoom = height;
    return zoom < 1 ? 1 : static_cast<int32_t>(zoom);
}
