// render.h - turns the point cloud into one frame on the off-screen surface.
//
// RenderFrame builds one view matrix (scale * rotation * translation) from
// the view record it is given, transforms and projects every point and sets
// one pixel each, about the view's centre. It never clears and never
// presents: the animation controller does both.
#pragma once

#include <cstdint>

#include "engine/attractor.h"
#include "engine/surface.h"

struct ViewStateRecord {
    double AngleX, SpinX;   // degrees; degrees per frame
    double AngleY, SpinY;
    double AngleZ, SpinZ;
    Vec3 ViewScale;         // per-axis scale; z comes from the width table
    Vec3 EyePosition;       // the view translates by -EyePosition
    int32_t CentreX;        // where offset (0, 0) lands: surface width / 2
    int32_t CentreY;        // surface height / 2
};

// Angles 0, spin (0, 0.5, 0), scale (1, 1, 0.009), eye and centre at 0.
constexpr ViewStateRecord InitialView = {0.0, 0.0, 0.0, 0.5, 0.0, 0.0, {1.0, 1.0, 0.009}, {0.0, 0.0, 0.0}, 0, 0};

double ZScaleForWidth(int32_t width);                         // depth scale for a surface width
void SelectZScale(ViewStateRecord* view, int32_t width);      // view->ViewScale.z := ZScaleForWidth(width)
void RenderFrame(const ViewStateRecord* view, OffscreenSurface* surface, const PointCloud* cloud, uint32_t count,
                 Colour colour);
