// render.h - turns the point cloud into one frame on the off-screen surface.
//
// RenderFrame builds one view matrix (scale * rotation * translation) from
// ViewState, transforms and projects every point and sets one pixel each.
// It never clears and never presents: the animation controller does both.
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
};

extern ViewStateRecord ViewState;  // process-wide view record
extern int32_t CentreX;            // surface width / 2
extern int32_t CentreY;            // surface height / 2

void ResetViewState();                       // back to the initial view (angles 0, spin (0, 0.5, 0))
double ZScaleForWidth(int32_t width);        // depth scale for a surface width
void SelectZScale(int32_t width);            // ViewState.ViewScale.z := ZScaleForWidth(width)
void RenderFrame(OffscreenSurface* surface, const PointCloud* cloud, uint32_t count, Colour colour);
