// zoom.h - how large each point of the picture is drawn on a big screen.
//
// At zoom N the picture is made at (width / N) x (height / N) and every
// pixel of it is shown as an N x N block, so a 3840 x 2160 screen at zoom 2
// shows what a 1920 x 1080 one shows at zoom 1, twice as large.
//
//   int32_t zoom = PictureZoom(zoomOption, width, height);
//   picture: (width / zoom) x (height / zoom), shown zoom times as large
#pragma once

#include <cstdint>

constexpr uint32_t MaxZoom = 16;         // --zoom takes 0 (automatic) to MaxZoom
constexpr int32_t ZoomFreeSide = 2560;   // sides up to this many pixels are drawn at zoom 1

// The automatic zoom for a picture of width x height pixels: the smallest
// N from 1 to MaxZoom with both sides / N within ZoomFreeSide (MaxZoom
// beyond that; 1 for a size that is not positive).
uint32_t ZoomForScreen(int32_t width, int32_t height);

// The zoom a picture shown at width x height is made with: given (from
// --zoom), or the automatic one when given is 0; never more than either
// side, so the picture keeps at least one pixel each way.
int32_t PictureZoom(uint32_t given, int32_t width, int32_t height);
