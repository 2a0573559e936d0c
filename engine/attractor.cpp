// attractor.cpp - see attractor.h. GeneratePoints is the hot loop of the
// saver (up to six walks a second): keep it free of allocation and branches
// beyond the map choice.
#include "engine/attractor.h"

void RandomizeMaps(MapSet* maps)
{
    for (uint32_t i = 0; i < MapCount; i++)
        for (int j = 0; j < 4; j++)
            for (int k = 0; k < 4; k++)
                maps[i].m[4 * j + k] = static_cast<double>(RandomUnit(1.0));
}

void GeneratePoints(const MapSet* maps, PointCloud* cloud, uint32_t count)
{
    if (count == 0 || MapCount == 0)
        return;
    // The walk starts from column 0 of map 0 every time.
    Vec3 p = {maps[0].m[0], maps[0].m[4], maps[0].m[8]};
    for (uint32_t i = 0; i < count; i++) {
        const uint32_t k = static_cast<uint32_t>(RandomInt()) % MapCount;
        TransformPoint(&cloud[i], &maps[k], &p);
        p = cloud[i];
    }
}

Colour NewAttractor(MapSet* maps, PointCloud* cloud, uint32_t count)
{
    const Colour colour = RandomColour();
    RandomizeMaps(maps);
    GeneratePoints(maps, cloud, count);
    return colour;
}
