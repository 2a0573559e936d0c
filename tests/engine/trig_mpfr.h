// trig_mpfr.h - sine and cosine of a double, correctly rounded to double by
// MPFR: the reference the engine's trigonometry is held to (native only).
#pragma once
#include <mpfr.h>

// *s = sin x and *c = cos x rounded to nearest, subnormals and overflow as
// in IEEE double.
inline void ReferenceSinCos(double x, double* s, double* c)
{
    static bool ranged = false;
    if (!ranged) {
        mpfr_set_emin(-1073);  // the exponent range of double, subnormals included
        mpfr_set_emax(1024);
        ranged = true;
    }
    mpfr_t a, rs, rc;
    mpfr_inits2(53, a, rs, rc, static_cast<mpfr_ptr>(nullptr));
    mpfr_set_d(a, x, MPFR_RNDN);
    const int t = mpfr_sin_cos(rs, rc, a, MPFR_RNDN);
    // The ternary values of the two results, as mpfr_sin_cos packs them.
    const int ts = (t & 3) == 2 ? -1 : (t & 3);
    const int tc = ((t >> 2) & 3) == 2 ? -1 : ((t >> 2) & 3);
    mpfr_subnormalize(rs, ts, MPFR_RNDN);
    mpfr_subnormalize(rc, tc, MPFR_RNDN);
    *s = mpfr_get_d(rs, MPFR_RNDN);
    *c = mpfr_get_d(rc, MPFR_RNDN);
    mpfr_clears(a, rs, rc, static_cast<mpfr_ptr>(nullptr));
}
