// Pixel kernels: each reads the pixel from the set's Current and counts completed iterations.
#include "engine/Kernels.h"

namespace engine {
namespace {

constexpr TTriple kZero{0.0L, 0.0L, 0.0L};
constexpr TTriple M0{32000.876123L, 31000.13143L, 0.0L};
constexpr TTriple M1{1300.876123L, 1300.13143L, 0.0L};

// Counter first, then the bailout test on the current z, then one step.
template <class Step, class Stop>
inline std::int32_t ModularLoop(TTriple z, Step step, Stop stop)
{
    std::int32_t n = 0;
    while (n < 50 && !stop(z)) {
        step(z);
        ++n;
    }
    return n;
}

inline TTriple Mod(const TTriple& a, const TTriple& b)
{
    TTriple r;
    TripleMod(a, b, r);
    return r;
}

inline TTriple Pixel(const TBasicSet& s) { return {s.Current.X, s.Current.Y, 0.0L}; }

// Bailout tests.
inline bool SquareSum(const TTriple& z, Extended bound) { return z.X * z.X + z.Y * z.Y >= bound; }
inline bool AbsSum(const TTriple& z, Extended bound) { return std::fabs(z.X) + std::fabs(z.Y) >= bound; }
inline bool AbsProduct(const TTriple& z, Extended bound) { return std::fabs(z.X * z.Y) >= bound; }
inline bool SignedLarger(const TTriple& z, Extended bound) { return Larger(z.X, z.Y) >= bound; }
inline bool CosWeighted(const TTriple& z, Extended bound)
{
    return Cos87(z.X * 0.01L) * z.X + Cos87(z.Y * 0.01L) * z.Y >= bound;
}

// z := (z*m + a) mod M
inline void AffineMod(TTriple& z, const TTriple& m, const TTriple& a, const TTriple& M)
{
    z = Mod(TripleAdd(TripleMul(z, m), a), M);
}

// Cosine-gated steps of the RN5 kernels.
inline void G1(TTriple& z) { z.X = (Cos87(z.X) > 0.0L) ? z.X * Cos87(z.X) : z.X * Sin87(z.Y); }
inline void G1A(TTriple& z) { z.X = (Cos87(z.X) > 0.0L) ? z.X * ArcTan(z.X) : z.X * Sin87(z.Y); }
inline void G2(TTriple& z) { z.Y = (Cos87(z.Y) > 0.0L) ? z.Y * Sin87(z.Y) : z.Y * Cos87(z.X); }


} // namespace

std::int32_t RN1Kernel1(TBasicSet& S)
{
    const TTriple m{2.123L, -0.523456L, 0.0L};
    return ModularLoop(Pixel(S), [&](TTriple& z) { AffineMod(z, m, kZero, M0); },
                       [](const TTriple& z) { return SquareSum(z, 1500000000.0L); });
}

std::int32_t RN1Kernel2(TBasicSet& S)
{
    const TTriple m{2.123L, -0.523456L, 0.0L};
    return ModularLoop(Pixel(S), [&](TTriple& z) { AffineMod(z, m, kZero, M0); },
                       [](const TTriple& z) { return AbsSum(z, 55000.0L); });
}

std::int32_t RN1Kernel3(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple m{1.123L, 1.123456L, 0.0L};
    return ModularLoop(kZero, [&](TTriple& z) { AffineMod(z, m, p, M0); },
                       [](const TTriple& z) { return SquareSum(z, 1500000000.0L); });
}

std::int32_t RN1Kernel4(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple m{1.123L, 1.123456L, 0.0L};
    return ModularLoop(kZero, [&](TTriple& z) { AffineMod(z, m, p, M0); },
                       [](const TTriple& z) { return AbsSum(z, 55000.0L); });
}

std::int32_t RN1Kernel5(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple m{1.123L, 2.123456L, 0.0L};
    return ModularLoop(kZero, [&](TTriple& z) { AffineMod(z, m, p, M0); },
                       [](const TTriple& z) {
                           const Extended g = Larger(std::fabs(z.X), std::fabs(z.Y));
                           return g * g + g >= 300000000.0L;
                       });
}

std::int32_t RN1Kernel6(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple m{1.123L, 2.123456L, 0.0L};
    return ModularLoop(kZero, [&](TTriple& z) { AffineMod(z, m, p, M0); },
                       [](const TTriple& z) { return SignedLarger(z, 30000.0L); });
}

std::int32_t RN2Kernel1(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple m{1.123L, 2.123456L, 0.0L};
    return ModularLoop(kZero, [&](TTriple& z) { AffineMod(z, m, p, M0); },
                       [](const TTriple& z) { return AbsProduct(z, 550000000.0L); });
}

std::int32_t RN2Kernel2(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple m{1.00123L, 1.00123456L, 0.0L};
    return ModularLoop(kZero, [&](TTriple& z) { AffineMod(z, m, p, M0); },
                       [](const TTriple& z) { return AbsProduct(z, 550000000.0L); });
}

std::int32_t RN2Kernel3(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple m{1.0000123L, 1.0000123456L, 0.0L};
    const TTriple M{1000.876123L, 31000.13143L, 0.0L};
    return ModularLoop(kZero, [&](TTriple& z) { AffineMod(z, m, p, M); },
                       [](const TTriple& z) { return AbsProduct(z, 550000000.0L); });
}

std::int32_t RN2Kernel4(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple m{1.0000123L, 1.0000123456L, 0.0L};
    return ModularLoop(kZero, [&](TTriple& z) { AffineMod(z, m, p, M1); },
                       [](const TTriple& z) { return AbsProduct(z, 800000.0L); });
}

std::int32_t RN2Kernel5(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple m{1.0000123L, 0.69123456L, 0.0L};
    return ModularLoop(kZero, [&](TTriple& z) { AffineMod(z, m, p, M1); },
                       [](const TTriple& z) { return AbsProduct(z, 800000.0L); });
}

std::int32_t RN2Kernel6(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple m{0.26000123L, 1.2659123456L, 0.0L};
    return ModularLoop(kZero, [&](TTriple& z) { AffineMod(z, m, p, M1); },
                       [](const TTriple& z) { return AbsProduct(z, 800000.0L); });
}

std::int32_t RN3Kernel1(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple m{0.16000123L, 1.3659123456L, 0.0L};
    return ModularLoop(kZero, [&](TTriple& z) { AffineMod(z, m, p, M1); },
                       [](const TTriple& z) { return AbsProduct(z, 800000.0L); });
}

std::int32_t RN3Kernel2(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple m{0.46000123L, 1.3659123456L, 0.0L};
    return ModularLoop(kZero, [&](TTriple& z) { AffineMod(z, m, p, M1); },
                       [](const TTriple& z) { return SignedLarger(z, 1100.0L); });
}

std::int32_t RN3Kernel3(TBasicSet& S) { return RN1Kernel4(S); }

std::int32_t RN3Kernel4(TBasicSet& S)
{
    const TTriple m{2.123L, 3.123456L, 0.0L};
    return ModularLoop(Pixel(S), [&](TTriple& z) { z = Mod(TripleMul(z, m), M0); },
                       [](const TTriple& z) { return AbsSum(z, 55000.0L); });
}

std::int32_t RN3Kernel5(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple m{123.123L, 321.123456L, 0.0L};
    return ModularLoop(TTriple{1.5L, 1.3L, 0.0L}, [&](TTriple& z) { AffineMod(z, m, p, M0); },
                       [](const TTriple& z) { return SquareSum(z, 1500000000.0L); });
}

std::int32_t RN3Kernel6(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple m{1.00123L, 1.002123456L, 0.0L};
    const TTriple M{32000.876123L, 1000.13143L, 0.0L};
    return ModularLoop(TTriple{1.5L, 1.3L, 0.0L}, [&](TTriple& z) { AffineMod(z, m, p, M); },
                       [](const TTriple& z) { return CosWeighted(z, 10000.0L); });
}

std::int32_t RN4Kernel1(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple m{0.16000123L, 1.3659123456L, 0.0L};
    const TTriple M{6.876123L, 26.13143L, 0.0L};
    return ModularLoop(TTriple{1.5L, 1.3L, 0.0L},
                       [&](TTriple& z) {
                           TTriple w;
                           TripleMod(TripleAdd(TripleMul(z, m), p), M, w);
                           z = TripleSqr(w);
                       },
                       [](const TTriple& z) { return CosWeighted(z, 100.0L); });
}

std::int32_t RN4Kernel2(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple M{21.123L, -1.523456L, 0.0L};
    return ModularLoop(kZero, [&](TTriple& z) { z = TripleMul(TripleAdd(Mod(z, M), p), p); },
                       [](const TTriple& z) { return SquareSum(z, 150000.0L); });
}

std::int32_t RN4Kernel3(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple M{-210.123L, -110.523456L, 0.0L};
    return ModularLoop(p, [&](TTriple& z) { z = TripleMul(TripleAdd(Mod(TripleMul(z, z), M), p), p); },
                       [](const TTriple& z) { return SquareSum(z, 150000.0L); });
}

// The modulus depends on the pixel and is zero where sin px = sin py = 0:
// the quotient then holds infinities or NaNs and the orbit goes on with them.
std::int32_t RN4Kernel4(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple d{-210.123L * Sin87(p.X), -110.523456L * Sin87(p.Y), 0.0L};
    const TTriple q{p.Y, p.X, 0.0L};
    return ModularLoop(p, [&](TTriple& z) { z = TripleMul(TripleAdd(Mod(TripleMul(z, z), d), q), p); },
                       [](const TTriple& z) { return SquareSum(z, 150000.0L); });
}

std::int32_t RN4Kernel5(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple m{1.00123L, 1.00123456L, 0.0L};
    return ModularLoop(kZero,
                       [&](TTriple& z) {
                           AffineMod(z, m, p, M0);
                           z.X = z.X * Sin87(z.X);
                           z.Y = z.Y * Cos87(z.Y);
                       },
                       [](const TTriple& z) { return AbsProduct(z, 55.0L); });
}

std::int32_t RN5Kernel1(TBasicSet& S)
{
    const TTriple m{0.16000123L, 1.3659123456L, 0.0L};
    const TTriple M{13.876123L, 13.13143L, 0.0L};
    return ModularLoop(Pixel(S),
                       [&](TTriple& z) {
                           z = Mod(TripleMul(z, m), M);
                           z.Y = (Cos87(z.Y) > 0.0L) ? z.Y * Sin87(z.Y) : z.Y * Cos87(z.Y);
                       },
                       [](const TTriple& z) { return AbsProduct(z, 8.0L); });
}

std::int32_t RN5Kernel2(TBasicSet& S)
{
    const TTriple m{0.16000123L, 1.3659123456L, 0.0L};
    const TTriple a{13.876123L, 13.13143L, 0.0L};
    return ModularLoop(Pixel(S),
                       [&](TTriple& z) {
                           z = TripleAdd(TripleMul(z, m), a);
                           G1(z);
                           G2(z);
                       },
                       [](const TTriple& z) { return AbsProduct(z, 100.0L); });
}

std::int32_t RN5Kernel3(TBasicSet& S)
{
    const TTriple m{0.16000123L, 1.3659123456L, 0.0L};
    const TTriple f{13.876123L, 13.13143L, 0.0L};
    return ModularLoop(Pixel(S),
                       [&](TTriple& z) {
                           z = TripleMul(TripleMul(z, m), f);
                           G1(z);
                           G2(z);
                       },
                       [](const TTriple& z) { return AbsProduct(z, 100.0L); });
}

std::int32_t RN5Kernel4(TBasicSet& S)
{
    const TTriple m{0.16000123L, 1.3659123456L, 0.0L};
    const TTriple f{1.876123L, 1.13143L, 0.0L};
    return ModularLoop(Pixel(S),
                       [&](TTriple& z) {
                           z = TripleMul(TripleMul(z, m), f);
                           G1(z);
                           G2(z);
                       },
                       [](const TTriple& z) { return AbsProduct(z, 100.0L); });
}

std::int32_t RN5Kernel5(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple m{1.16000123L, 1.3659123456L, 0.0L};
    const TTriple f{-1.876123L, -1.13143L, 0.0L};
    return ModularLoop(kZero,
                       [&](TTriple& z) {
                           z = TripleMul(TripleAdd(TripleMul(z, m), p), f);
                           G1(z);
                           G2(z);
                       },
                       [](const TTriple& z) { return AbsProduct(z, 100.0L); });
}

std::int32_t RN5Kernel6(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    const TTriple m{1.16000123L, 1.3659123456L, 0.0L};
    const TTriple f{-1.876123L, -1.13143L, 0.0L};
    const TTriple a{0.0L, p.Y, 0.0L};
    return ModularLoop(TTriple{p.X, 0.0L, 0.0L},
                       [&](TTriple& z) {
                           z = TripleMul(TripleAdd(TripleMul(z, m), a), f);
                           G1A(z);
                           G2(z);
                       },
                       [](const TTriple& z) { return AbsProduct(z, 100.0L); });
}

std::int32_t RN6Kernel6(TBasicSet& S)
{
    const TTriple p = Pixel(S);
    return ModularLoop(kZero,
                       [&](TTriple& z) {
                           z.X = z.X * (Cos87(z.X) + Sin87(z.Y));
                           z.Y = z.Y * (Cos87(z.Y) + Sin87(z.X));
                           z = TripleAdd(TripleSqr(z), p);
                       },
                       [](const TTriple& z) { return AbsProduct(z, 80.0L); })
        + 2;
}

// Quadratic family. y uses the x of the previous iteration, then x, then the
// (possibly perturbed) squares.
std::int32_t LevelSetAt(Extended px, Extended py)
{
    Extended x = 0.0L, y = 0.0L, u = 0.0L, v = 0.0L;
    std::int32_t n = 0;
    while (n < 200 && u + v < 10000.0L) {
        y = (x * 2.0L) * y + py;
        x = (u - v) + px;
        u = x * x;
        v = y * y;
        ++n;
    }
    return n;
}

std::int32_t RN6Kernel1At(Extended px, Extended py)
{
    Extended x = 0.0L, y = 0.0L, u = 0.0L, v = 0.0L;
    std::int32_t n = 0;
    while (n < 200 && u + v < 10000.0L) {
        y = (x * 2.0L) * y + py;
        x = (u - v) + px;
        u = Sin87(u) + x * x;
        v = Cos87(u) + y * y;
        ++n;
    }
    return n;
}

std::int32_t RN6Kernel4At(Extended px, Extended py)
{
    Extended x = 0.0L, y = 0.0L, u = 0.0L, v = 0.0L;
    std::int32_t n = 0;
    while (n < 200 && u + v < 10000.0L) {
        y = (x * 2.0L) * y + py;
        x = (u - v) + px;
        u = ArcTan(u) + x * x;
        v = ArcTan(u) + y * y;
        ++n;
    }
    return n;
}

std::int32_t LevelSetKernel(TBasicSet& S) { return LevelSetAt(S.Current.X, S.Current.Y); }
std::int32_t RN6Kernel1(TBasicSet& S) { return RN6Kernel1At(S.Current.X, S.Current.Y); }
std::int32_t RN6Kernel4(TBasicSet& S) { return RN6Kernel4At(S.Current.X, S.Current.Y); }

} // namespace engine
