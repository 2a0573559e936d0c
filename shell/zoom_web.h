// zoom_web.h - how large each point is drawn on a big canvas: at zoom N
// the picture is made at (width / N) x (height / N) and each of its pixels
// is shown as an N x N block. Sides up to 2560 pixels are drawn at zoom 1,
// so a 3840-pixel-wide canvas gets zoom 2.
//
// Stands in for the shared rule of the Linux programs until the page takes
// that one; the page calls nothing else to choose its zoom.
//
//   uint32_t zoom = given ? given : AutomaticZoom(width, height);
#pragma once

#include <cstdint>

constexpr uint32_t WebMaxZoom = 16;       // ?zoom= takes 0 (automatic) to WebMaxZoom
constexpr int32_t WebZoomFreeSide = 2560;  // sides up to this are drawn at zoom 1

// The smallest N from 1 to WebMaxZoom with both sides / N within
// WebZoomFreeSide (WebMaxZoom beyond that; 1 for a size that is not positive).
inline uint32_t AutomaticZoom(int32_t width, int32_t height)
{
    const int64_t side = width > height ? width : height;
    if (side <= WebZoomFreeSide)
        return 1;
    const int64_t zoom = (side + WebZoomFreeSide - 1) / WebZoomFreeSide;
    return zoom > WebMaxZoom ? WebMaxZoom : static_cast<uint32_t>(zoom);
}
