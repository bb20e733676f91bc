// Pixel kernels: each reads the pixel from the set's Current and counts completed iterations.
#include "engine/Kernels.h"

#include "engine/ModularFormulas.h"

namespace engine {
namespace {

// The arithmetic of the per-point kernels: the triple operations as they
// stand, TripleMod's truncation through TruncToInt32, and FSIN and FCOS
// apart.
struct TripleArith {
    using Value = TTriple;
    static TTriple Make(Extended x, Extended y) { return {x, y, 0.0L}; }
    static TTriple Add(TTriple a, TTriple b) { return TripleAdd(a, b); }
    static TTriple Mul(TTriple a, TTriple b) { return TripleMul(a, b); }
    static TTriple Sqr(TTriple a) { return TripleSqr(a); }
    static TTriple Mod(const TTriple& a, const TTriple& b)
    {
        TTriple r;
        TripleMod(a, b, r);
        return r;
    }
    static void SinCos(Extended v, Extended& s, Extended& c)
    {
        s = Sin87(v);
        c = Cos87(v);
    }
};

} // namespace

#define QUILLON_POINT_KERNEL(NAME)                                                                         \
    std::int32_t NAME(TBasicSet& S) { return formulas::NAME<TripleArith>(S.Current.X, S.Current.Y); }
QUILLON_MODULAR_FORMULAS(QUILLON_POINT_KERNEL)
#undef QUILLON_POINT_KERNEL

std::int32_t RN3Kernel3(TBasicSet& S) { return RN1Kernel4(S); }

// Quadratic family. y uses the x of the previous iteration, then x, then the
// (possibly perturbed) squares. LevelSetAt spells out the test of
// QuadraticGoesOn with the set's iteration limit: the site's source page shows this function whole, as
// compiled (a GUI test compares the two).
std::int32_t LevelSetAt(Extended px, Extended py, std::int32_t limit)
{
    Extended x = 0.0L, y = 0.0L, u = 0.0L, v = 0.0L;
    std::int32_t n = 0;
    while (n < limit && u + v < 10000.0L) {
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
    while (formulas::QuadraticGoesOn(n, u, v)) {
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
    while (formulas::QuadraticGoesOn(n, u, v)) {
        y = (x * 2.0L) * y + py;
        x = (u - v) + px;
        u = ArcTan(u) + x * x;
        v = ArcTan(u) + y * y;
        ++n;
    }
    return n;
}

std::int32_t LevelSetKernel(TBasicSet& S) { return LevelSetAt(S.Current.X, S.Current.Y, S.IterationLimit); }
std::int32_t RN6Kernel1(TBasicSet& S) { return RN6Kernel1At(S.Current.X, S.Current.Y); }
std::int32_t RN6Kernel4(TBasicSet& S) { return RN6Kernel4At(S.Current.X, S.Current.Y); }

} // namespace engine
