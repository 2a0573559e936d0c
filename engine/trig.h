// trig.h - the engine's own sine and cosine, the same bits on every build.
//
// The math libraries of the platforms round sin and cos differently in the
// last bit, and a view rotation built from them would make the pictures
// differ between builds. EngineSinCos uses integer arithmetic and IEEE
// double operations only, in a fixed order, so it needs nothing from any
// math library (build with -ffp-contract=off and without fast-math).
//
// Accuracy: both results are the exact sine and cosine rounded to nearest
// (correctly rounded) for every half-degree view angle the saver reaches,
// and within 0.5 + 2^-40 units in the last place for every other finite
// double (so nearly always correctly rounded there too). NaN or an
// infinity gives NaN; nothing traps.
#pragma once

// *s = sin x, *c = cos x, x in radians.
void EngineSinCos(double x, double* s, double* c);
