// trig.cpp - see trig.h.
//
// |x| is reduced to r = |x| - n*pi/2 with n the integer nearest |x|*2/pi,
// so |r| <= pi/4. The reduction multiplies the argument's 53-bit integer
// significand by a window of the binary digits of 2/pi in exact integer
// arithmetic (the digits before the window only add multiples of 4 to
// |x|*2/pi, those after it less than 2^-202 for every double), which gives
// the quadrant n mod 4 and at least 220 bits of the fraction; the fraction
// becomes a double-double and is multiplied by pi/2. The closest any double
// comes to a multiple of pi/2 is about 2^-61, so r is accurate to about
// 2^-102 of itself.
//
// sin r and cos r are Taylor series to the term in r^29 (the first one left
// out is below 2^-118 of the sum for |r| <= pi/4): the terms from r^21 on
// are summed in double, which is enough for them, the others in
// double-double arithmetic (Dekker's exact sum and product; the product
// splits its operands, since no fused multiply-add may be assumed). Each
// result is then rounded once to double. The sum is accurate to about
// 2^-100 relative, so the double is the correctly rounded value unless the
// exact value lies within that distance of a midpoint between two doubles;
// the view angles were checked against MPFR, and elsewhere such cases are
// rare and then off by only that distance.
#include "engine/trig.h"

#include <cstdint>
#include <cstring>

namespace {

struct DoubleDouble {
    double hi, lo;  // the value hi + lo, |lo| <= ulp(hi) / 2
};

// The tables below are written from MPFR by
// tests/engine/trig_reference_gen --engine.
//
// The binary digits of 2/pi, 32 a word, most significant first:
// 2/pi = sum over k of kTwoOverPi[k] * 2^(-32 (k + 1)). Words up to the
// window that the largest double needs.
const uint32_t kTwoOverPi[39] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041,
    0xFE5163AB, 0xDEBBC561, 0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C,
    0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484, 0xE99C7026, 0xB45F7E41,
    0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D,
    0x7527BAC7, 0xEBE5F17B, 0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08,
    0x56033046, 0xFC7B6BAB, 0xF0CFBC20,
};

const DoubleDouble kHalfPi = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};  // pi/2

// Taylor coefficients (-1)^k / (2k+1)! of sin r / r - 1 and (-1)^k / (2k)!
// of cos r - 1 in powers of z = r^2, k = 1 to 9 as double-doubles (the
// rounded value and the rounded remainder), k = 10 to 14 rounded.
const DoubleDouble kSinHead[9] = {
    {-0x1.5555555555555p-3, -0x1.5555555555555p-57},  // -1/3!
    {0x1.1111111111111p-7, 0x1.1111111111111p-63},  // +1/5!
    {-0x1.a01a01a01a01ap-13, -0x1.a01a01a01a01ap-73},  // -1/7!
    {0x1.71de3a556c734p-19, -0x1.c154f8ddc6cp-73},  // +1/9!
    {-0x1.ae64567f544e4p-26, 0x1.c062e06d1f209p-80},  // -1/11!
    {0x1.6124613a86d09p-33, 0x1.f28e0cc748ebep-87},  // +1/13!
    {-0x1.ae7f3e733b81fp-41, -0x1.1d8656b0ee8cbp-97},  // -1/15!
    {0x1.952c77030ad4ap-49, 0x1.ac981465ddc6cp-103},  // +1/17!
    {-0x1.2f49b46814157p-57, -0x1.2650f61dbdcb4p-112},  // -1/19!
};
const double kSinTail[5] = {
    0x1.71b8ef6dcf572p-66,  // +1/21!
    -0x1.761b41316381ap-75,  // -1/23!
    0x1.3f3ccdd165fa9p-84,  // +1/25!
    -0x1.d1ab1c2dccea3p-94,  // -1/27!
    0x1.259f98b4358adp-103,  // +1/29!
};

const DoubleDouble kCosHead[9] = {
    {-0x1p-1, 0x0p+0},  // -1/2!
    {0x1.5555555555555p-5, 0x1.5555555555555p-59},  // +1/4!
    {-0x1.6c16c16c16c17p-10, 0x1.f49f49f49f49fp-65},  // -1/6!
    {0x1.a01a01a01a01ap-16, 0x1.a01a01a01a01ap-76},  // +1/8!
    {-0x1.27e4fb7789f5cp-22, -0x1.cbbc05b4fa99ap-76},  // -1/10!
    {0x1.1eed8eff8d898p-29, -0x1.2aec959e14c06p-83},  // +1/12!
    {-0x1.93974a8c07c9dp-37, -0x1.05d6f8a2efd1fp-92},  // -1/14!
    {0x1.ae7f3e733b81fp-45, 0x1.1d8656b0ee8cbp-101},  // +1/16!
    {-0x1.6827863b97d97p-53, -0x1.eec01221a8b0bp-107},  // -1/18!
};
const double kCosTail[5] = {
    0x1.e542ba4020225p-62,  // +1/20!
    -0x1.0ce396db7f853p-70,  // -1/22!
    0x1.f2cf01972f578p-80,  // +1/24!
    -0x1.88e85fc6a4e5ap-89,  // -1/26!
    0x1.0a18a2635085dp-98,  // +1/28!
};

// Words of 2/pi multiplied by the significand.
const int kWindow = 9;

// s + e = a + b exactly.
void TwoSum(double a, double b, double* s, double* e)
{
    const double sum = a + b;
    const double bPart = sum - a;
    const double aPart = sum - bPart;
    *e = (a - aPart) + (b - bPart);
    *s = sum;
}

// s + e = a + b exactly, when |a| >= |b| or a = 0.
void FastTwoSum(double a, double b, double* s, double* e)
{
    const double sum = a + b;
    *e = b - (sum - a);
    *s = sum;
}

// hi + lo = a, each with at most 26 significant bits (Veltkamp's split).
// |a| must stay well below 2^996; the values here are at most 2.
void Split(double a, double* hi, double* lo)
{
    const double t = 134217729.0 * a;  // 2^27 + 1
    *hi = t - (t - a);
    *lo = a - *hi;
}

// p + e = a * b exactly (Dekker), when nothing underflows.
void TwoProduct(double a, double b, double* p, double* e)
{
    double ah, al, bh, bl;
    Split(a, &ah, &al);
    Split(b, &bh, &bl);
    const double product = a * b;
    *e = ((ah * bh - product) + ah * bl + al * bh) + al * bl;
    *p = product;
}

DoubleDouble Add(DoubleDouble a, DoubleDouble b)
{
    double s, e, t, f;
    TwoSum(a.hi, b.hi, &s, &e);
    TwoSum(a.lo, b.lo, &t, &f);
    e = e + t;
    FastTwoSum(s, e, &s, &e);
    e = e + f;
    DoubleDouble r;
    FastTwoSum(s, e, &r.hi, &r.lo);
    return r;
}

DoubleDouble Multiply(DoubleDouble a, DoubleDouble b)
{
    double p, e;
    TwoProduct(a.hi, b.hi, &p, &e);
    e = e + (a.hi * b.lo + a.lo * b.hi);
    DoubleDouble r;
    FastTwoSum(p, e, &r.hi, &r.lo);
    return r;
}

// 2^e exactly, for -1022 <= e <= 1023.
double PowerOfTwo(int e)
{
    const uint64_t bits = static_cast<uint64_t>(e + 1023) << 52;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// For finite ax > pi/4: *r = ax - n*pi/2 with n the integer nearest to
// ax*2/pi; returns n mod 4.
int ReduceHalfPi(double ax, DoubleDouble* r)
{
    uint64_t bits;
    std::memcpy(&bits, &ax, sizeof bits);
    const int q = static_cast<int>(bits >> 52) - 1075;  // ax = m * 2^q, ax normal
    const uint64_t m = (bits & 0xFFFFFFFFFFFFFull) | (1ull << 52);

    // Word k of 2/pi adds m * word * 2^(q - 32 (k + 1)) to ax*2/pi, a
    // multiple of 4 for every k < k0. The product of m and the words k0 to
    // k0 + kWindow - 1 is then ax*2/pi modulo 4 with p fraction bits,
    // 32 kWindow - 33 <= p <= 32 kWindow + 53, short by less than 2^(53-p).
    const int k0 = q >= 2 ? (q - 2) / 32 : 0;
    const int p = 32 * (k0 + kWindow) - q;
    uint32_t z[kWindow + 2] = {};  // the product, least significant word first
    const uint64_t halves[2] = {m & 0xFFFFFFFFu, m >> 32};
    for (int h = 0; h < 2; h++) {
        uint64_t carry = 0;
        for (int i = 0; i < kWindow; i++) {
            const uint64_t t = halves[h] * kTwoOverPi[k0 + kWindow - 1 - i] + z[i + h] + carry;
            z[i + h] = static_cast<uint32_t>(t);
            carry = t >> 32;
        }
        for (int i = kWindow + h; i < kWindow + 2; i++) {
            const uint64_t t = z[i] + carry;
            z[i] = static_cast<uint32_t>(t);
            carry = t >> 32;
        }
    }
    const auto bit = [&z](int i) { return static_cast<int>(z[i / 32] >> (i % 32) & 1u); };
    int n = bit(p) | bit(p + 1) << 1;

    // The fraction f, bits 0 to p - 1; from one half up it is f - 1 for n + 1.
    const int words = (p + 31) / 32;
    const uint32_t topMask = p % 32 ? (1u << (p % 32)) - 1 : 0xFFFFFFFFu;
    z[words - 1] &= topMask;
    const bool negative = bit(p - 1) != 0;
    if (negative) {
        n = (n + 1) & 3;
        uint64_t carry = 1;  // 2^p - f: the complement plus one
        for (int i = 0; i < words; i++) {
            const uint64_t t = static_cast<uint64_t>(~z[i]) + carry;
            z[i] = static_cast<uint32_t>(t);
            carry = t >> 32;
        }
        z[words - 1] &= topMask;
    }
    int top = words - 1;
    while (top >= 0 && z[top] == 0)
        top--;
    DoubleDouble f = {0.0, 0.0};
    // The leading five words hold at least 129 significant bits.
    for (int i = top; i >= 0 && i > top - 5; i--) {
        const DoubleDouble word = {static_cast<double>(z[i]) * PowerOfTwo(32 * i - p), 0.0};
        f = Add(f, word);
    }
    if (negative) {
        f.hi = -f.hi;
        f.lo = -f.lo;
    }
    *r = Multiply(f, kHalfPi);
    return n;
}

// sum over k >= 1 of c_k z^(k-1), the first nine coefficients in head, the
// next five in tail.
DoubleDouble Series(const DoubleDouble* head, const double* tail, DoubleDouble z)
{
    double t = tail[4];
    for (int k = 3; k >= 0; k--)
        t = t * z.hi + tail[k];
    DoubleDouble s = {t, 0.0};
    for (int k = 8; k >= 0; k--)
        s = Add(Multiply(s, z), head[k]);
    return s;
}

}  // namespace

void EngineSinCos(double x, double* s, double* c)
{
    const double ax = x < 0.0 ? -x : x;
    if (!(ax <= 0x1.fffffffffffffp+1023)) {  // NaN or infinite
        *s = x - x;
        *c = x - x;
        return;
    }
    // sin x = x - x^3/6 and cos x = 1 - x^2/2 round to x and 1 here.
    if (ax < 0x1p-27) {
        *s = x;
        *c = 1.0;
        return;
    }
    DoubleDouble r = {ax, 0.0};
    int n = 0;
    if (ax > 0x1.921fb54442d18p-1)  // pi/4
        n = ReduceHalfPi(ax, &r);
    const DoubleDouble z = Multiply(r, r);
    const DoubleDouble one = {1.0, 0.0};
    // The high part of a sum as Add leaves it is the sum rounded to nearest.
    const double sr = Add(r, Multiply(Multiply(r, z), Series(kSinHead, kSinTail, z))).hi;
    const double cr = Add(one, Multiply(z, Series(kCosHead, kCosTail, z))).hi;
    double sv, cv;
    switch (n) {
    case 0:
        sv = sr, cv = cr;
        break;
    case 1:
        sv = cr, cv = -sr;
        break;
    case 2:
        sv = -sr, cv = -cr;
        break;
    default:
        sv = -cr, cv = sr;
        break;
    }
    *s = x < 0.0 ? -sv : sv;
    *c = cv;
}
