// TTriple, the value type of every formula, and its operations in 80-bit extended precision.
#pragma once

#include <cmath>
#include <cstdint>

namespace engine {

using Extended = long double;
static_assert(sizeof(long double) >= 10, "long double must be the 80-bit extended type");

struct TTriple {
    Extended X;
    Extended Y;
    Extended Z;
};

inline TTriple MakeTriple(Extended x, Extended y, Extended z) { return TTriple{x, y, z}; }

inline TTriple TripleAdd(TTriple a, TTriple b) { return {a.X + b.X, a.Y + b.Y, a.Z + b.Z}; }
inline TTriple TripleSub(TTriple a, TTriple b) { return {a.X - b.X, a.Y - b.Y, a.Z - b.Z}; }

inline TTriple TripleSqr(TTriple a)
{
    return {(a.X * a.X) - (a.Y * a.Y), (a.X * 2.0L) * a.Y, a.Z};
}

// Z of a product is read by nothing; passing A.Z through matches Sqr and Div.
inline TTriple TripleMul(TTriple a, TTriple b)
{
    return {(a.X * b.X) - (a.Y * b.Y), (a.X * b.Y) + (a.Y * b.X), a.Z};
}

// A zero divisor yields IEEE infinities or NaNs; nothing traps.
inline TTriple TripleDiv(TTriple a, TTriple b)
{
    const Extended d = (b.X * b.X) + (b.Y * b.Y);
    return {((a.X * b.X) + (a.Y * b.Y)) / d, ((b.X * a.Y) - (a.X * b.Y)) / d, a.Z};
}

// Truncation through a signed 32-bit integer, as the x87 FIST does: NaN and
// anything outside the int32 range become the "integer indefinite"
// -2147483648. Going through the integer also turns -0.5 into +0, not -0.
inline Extended TruncToInt32(Extended v)
{
    const Extended t = std::trunc(v);
    if (!(t >= -2147483648.0L && t <= 2147483647.0L))
        return -2147483648.0L;
    return static_cast<Extended>(static_cast<std::int32_t>(t));
}

inline TTriple TripleTrunc(TTriple a)
{
    return {TruncToInt32(a.X), TruncToInt32(a.Y), TruncToInt32(a.Z)};
}

// Fractional part keeping the sign of v.
inline Extended Frac(Extended v) { return v - std::trunc(v); }

// The processor's own sine and cosine (FSIN/FCOS). They only accept
// arguments below 2^63 in magnitude; beyond that (and for infinities) the
// result is 0. NaN stays NaN.
inline Extended Sin87(Extended x)
{
    if (std::fabs(x) >= 0x1p63L)
        return 0.0L;
#if defined(__x86_64__) || defined(__i386__)
    Extended r;
    __asm__("fsin" : "=t"(r) : "0"(x));
    return r;
#else
    return std::sin(x);
#endif
}

inline Extended Cos87(Extended x)
{
    if (std::fabs(x) >= 0x1p63L)
        return 0.0L;
#if defined(__x86_64__) || defined(__i386__)
    Extended r;
    __asm__("fcos" : "=t"(r) : "0"(x));
    return r;
#else
    return std::cos(x);
#endif
}

inline Extended Exp(Extended x) { return std::exp(x); }
inline Extended Ln(Extended x) { return std::log(x); }
inline Extended ArcTan(Extended x) { return std::atan(x); }

// R = A - B * trunc(A / B), componentwise truncation through int32.
inline void TripleMod(const TTriple& A, const TTriple& B, TTriple& R)
{
    R = TripleSub(A, TripleMul(TripleTrunc(TripleDiv(A, B)), B));
}

inline Extended Larger(Extended a, Extended b) { return (b >= a) ? b : a; }

} // namespace engine
