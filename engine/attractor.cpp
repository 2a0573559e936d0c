// attractor.cpp - see attractor.h. GeneratePoints is the hot loop of the
// saver (up to six walks a second, on the user-interface thread). Each step
// is a serial chain - a product and three dependent sums per coordinate,
// fed by the step before - so the loop is kept to that chain alone: the
// generator state stays in a register, the map is picked by indexing with
// the drawn bit (no branch), and the transform is inlined.
#include "engine/attractor.h"

void RandomizeMaps(RandomStream* r, MapSet* maps)
{
    for (uint32_t i = 0; i < MapCount; i++)
        for (int j = 0; j < 4; j++)
            for (int k = 0; k < 4; k++)
                maps[i].m[4 * j + k] = static_cast<double>(RandomUnit(r, 1.0));
}

void GeneratePoints(RandomStream* r, const MapSet* maps, PointCloud* cloud, uint32_t count)
{
    if (count == 0 || MapCount == 0)
        return;
    uint32_t state = r->state;
    // The walk starts from column 0 of map 0 every time.
    double x = maps[0].m[0], y = maps[0].m[4], z = maps[0].m[8];
    for (uint32_t i = 0; i < count; i++) {
        state = RandomNextState(state);
        const double* a = maps[static_cast<uint32_t>(RandomDrawOf(state)) % MapCount].m;
        const double nx = TransformRow(a, x, y, z);
        const double ny = TransformRow(a + 4, x, y, z);
        const double nz = TransformRow(a + 8, x, y, z);
        cloud[i] = Vec3{nx, ny, nz};
        x = nx;
        y = ny;
        z = nz;
    }
    r->state = state;
}

Colour NewAttractor(RandomStream* r, MapSet* maps, PointCloud* cloud, uint32_t count)
{
    const Colour colour = RandomColour(r);
    RandomizeMaps(r, maps);
    GeneratePoints(r, maps, cloud, count);
    return colour;
}
