// attractor.h - the random maps of the iterated function system and the
// random walk that turns them into a point cloud.
//
// The caller owns both arrays (MapCount matrices, and at least count points);
// these operations only overwrite them in place and never allocate.
#pragma once

#include <cstdint>

#include "engine/matrix.h"
#include "engine/random.h"

constexpr uint32_t MapCount = 2;  // number of affine maps; never stored or changed

using MapSet = Matrix4;      // MapSet* points at MapCount contiguous maps
using PointCloud = Vec3;     // PointCloud* points at the walk's points

// Each draws from the stream r.
void RandomizeMaps(RandomStream* r, MapSet* maps);                       // every element := RandomUnit(1.0); 96 draws
void GeneratePoints(RandomStream* r, const MapSet* maps, PointCloud* cloud, uint32_t count);  // walk count steps;
                                                                                            // count draws
Colour NewAttractor(RandomStream* r, MapSet* maps, PointCloud* cloud, uint32_t count);  // new colour, maps, walk
