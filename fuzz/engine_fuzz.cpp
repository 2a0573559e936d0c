// engine_fuzz.cpp - the walk and the renderer on arbitrary maps and views:
// no set-pixel call may fall outside the surface (the surface counts them),
// and both must agree bit for bit with a plain restatement of their
// rules built on the matrix operations.
//
// Input, every field optional (a short input leaves the rest as drawn):
//   4 bytes   seed; the maps are drawn from it with RandomizeMaps
//   2 bytes   width: 1..300, or one of the depth-scale table's widths
//   2 bytes   height: 1..300
//   2 bytes   point count: 0..4096
//   1 byte    centre: below 128 the surface's middle, as the saver sets it;
//             otherwise two raw int32 follow, the view's CentreX and CentreY
//   then up to 41 doubles, raw bits, overwriting in order: the 32 map
//   elements, the view angles (x, y, z), the view scale, the eye position.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/render.h"
#include "engine/surface_memory.h"

namespace {

struct Input {
    const uint8_t* data;
    size_t size;
    bool Take(void* out, size_t n)
    {
        if (size < n)
            return false;
        std::memcpy(out, data, n);
        data += n;
        size -= n;
        return true;
    }
};

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

// The walk restated: start at column 0 of map 0, one draw per step.
void ReferenceWalk(RandomStream* r, const MapSet* maps, Vec3* cloud, uint32_t count)
{
    if (count == 0)
        return;
    Vec3 p = {maps[0].m[0], maps[0].m[4], maps[0].m[8]};
    for (uint32_t i = 0; i < count; i++) {
        TransformPoint(&cloud[i], &maps[static_cast<uint32_t>(RandomInt(r)) % MapCount], &p);
        p = cloud[i];
    }
}

// The pixel rule restated: trunc(X + 0.5) + centre, formed in 64 bits
// after a range test; points off the surface are skipped.
void ReferenceRender(const ViewStateRecord* v, Colour* pixels, int32_t w, int32_t h, const Vec3* cloud,
                     uint32_t count, Colour c)
{
    Matrix4 s, r, t, view;
    const Vec3 angles = {v->AngleX, v->AngleY, v->AngleZ};
    MatScale(&s, &v->ViewScale);
    MatRotateEuler(&r, &angles);
    MatTranslate(&t, &v->EyePosition);
    MatCompose(&view, &s, &r, &t);
    for (uint32_t i = 0; i < count; i++) {
        Vec3 q;
        ScreenPoint sp;
        TransformPoint(&q, &view, &cloud[i]);
        ProjectPoint(&sp, &q);
        const double tx = std::trunc(sp.X + 0.5), ty = std::trunc(sp.Y + 0.5);
        if (!(tx >= -2147483648.0 && tx <= 2147483647.0 && ty >= -2147483648.0 && ty <= 2147483647.0))
            continue;
        const int64_t px = static_cast<int64_t>(tx) + v->CentreX, py = static_cast<int64_t>(ty) + v->CentreY;
        if (px >= 0 && px < w && py >= 0 && py < h)
            pixels[py * w + px] = c;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static constexpr int32_t kTableWidths[] = {1280, 1024, 800, 640};
    Input in = {data, size};
    uint32_t seed = 1;
    uint16_t wcode = 99, hcode = 99, ncode = 1000;
    in.Take(&seed, sizeof seed);
    in.Take(&wcode, sizeof wcode);
    in.Take(&hcode, sizeof hcode);
    in.Take(&ncode, sizeof ncode);
    uint8_t centreMode = 0;
    int32_t centre[2] = {0, 0};
    const bool rawCentre = in.Take(&centreMode, 1) && centreMode >= 128 && in.Take(centre, sizeof centre);
    const int32_t w = wcode % 304 < 300 ? 1 + wcode % 304 : kTableWidths[wcode % 304 - 300];
    const int32_t h = 1 + hcode % 300;
    const uint32_t count = ncode % 4097u;

    // The unit draw stays within [-1, 1] unless its divisor was 0.
    RandomStream random = UnseededStream;
    RandomSeed(&random, seed);
    for (int i = 0; i < 8; i++) {
        const float u = RandomUnit(&random, 1.0);
        if (std::isfinite(u) && !(u >= -1.0f && u <= 1.0f))
            std::abort();
    }

    MapSet maps[MapCount];
    RandomizeMaps(&random, maps);
    ViewStateRecord v = InitialView;
    v.CentreX = rawCentre ? centre[0] : w / 2;
    v.CentreY = rawCentre ? centre[1] : h / 2;
    SelectZScale(&v, w);
    double* fields[41];
    for (int i = 0; i < 32; i++)
        fields[i] = &maps[i / 16].m[i % 16];
    double* view[9] = {&v.AngleX,      &v.AngleY,      &v.AngleZ,      &v.ViewScale.x,  &v.ViewScale.y,
                       &v.ViewScale.z, &v.EyePosition.x, &v.EyePosition.y, &v.EyePosition.z};
    for (int i = 0; i < 9; i++)
        fields[32 + i] = view[i];
    for (double* f : fields)
        if (!in.Take(f, sizeof *f))
            break;

    std::vector<Vec3> cloud(count + 1), expected(count + 1);
    RandomStream again = random;
    GeneratePoints(&random, maps, cloud.data(), count);
    ReferenceWalk(&again, maps, expected.data(), count);
    if (again.state != random.state)
        std::abort();
    for (uint32_t i = 0; i < count; i++)
        if (!SameBits(cloud[i].x, expected[i].x) || !SameBits(cloud[i].y, expected[i].y) ||
            !SameBits(cloud[i].z, expected[i].z))
            std::abort();

    OffscreenSurface* s = MemorySurfaceCreate(w, h);
    if (!s)
        return 0;
    uint64_t rejections = 0;
    s->rejections = &rejections;
    const Colour colour = 0x00ABCDEF;
    RenderFrame(&v, s, cloud.data(), count, colour);
    if (rejections != 0)
        std::abort();
    std::vector<Colour> reference(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    ReferenceRender(&v, reference.data(), w, h, cloud.data(), count, colour);
    if (std::memcmp(reference.data(), s->pixels, reference.size() * sizeof(Colour)) != 0)
        std::abort();
    MemorySurfaceDestroy(s);
    return 0;
}
