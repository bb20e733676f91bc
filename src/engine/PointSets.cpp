// Step formulas of the point sets; the order of every operation is kept as designed.
#include "engine/PointSets.h"

namespace engine {

void TBasicSet::SetValues(TTriple AParam, TTriple AStart)
{
    Param = AParam;
    Current = AStart;
}

void TTamo1Set::Get(TTriple& ANext)
{
    const TTriple s = Current;
    const TTriple& p = Param;
    Current.X = std::fabs(Cos87((s.X * s.X + s.Y * s.Y) * p.X));
    Current.Y = std::fabs(Sin87(((s.X * 2.0L) * s.Y) * p.Y));
    Current.Z = 0.0L;
    ANext = Current;
}

void TTamo2Set::Get(TTriple& ANext)
{
    const TTriple s = Current;
    const TTriple& p = Param;
    Current.X = std::fabs(Frac(((Frac(s.X * s.X) + s.Y * s.Y) + s.Z * s.Z) * p.Z));
    Current.Y = std::fabs(Sin87(((s.X * 2.0L) * s.Y) * p.Y));
    Current.Z = 1.0L - Frac((s.X + s.Y) + p.Z);
    ANext = Current;
}

void TTamo3Set::SetValues(TTriple AParam, TTriple AStart)
{
    Param = AParam;
    Current = AStart;
    Prev1 = AStart;
    Prev2 = AStart;
}

void TTamo3Set::Get(TTriple& ANext)
{
    const TTriple s = Current;
    const TTriple& p = Param;
    Current.X = std::fabs(Cos87((s.X * s.X + s.Y * s.Y) * p.X - Exp(Prev2.Y)));
    Current.Y = std::fabs(Sin87(((s.X * 2.0L) * s.Y) * p.Y));
    Current.Z = 0.0L;
    ANext = Current;
    PushHistory(s);
}

void TTamo4Set::Get(TTriple& ANext)
{
    const TTriple s = Current;
    const TTriple& p = Param;
    Current.X = std::fabs(Cos87(Exp(Prev2.Y) + (s.X * s.X + s.Y * s.Y) * p.X));
    Current.Y = Ln(std::fabs(((s.X * 2.0L) * s.Y) * p.Y) + 0.001L);
    Current.Z = 0.0L;
    ANext = Current;
    PushHistory(s);
}

void TTamo5Set::Get(TTriple& ANext)
{
    const TTriple s = Current;
    const TTriple& p = Param;
    Current.X = Ln(std::fabs(Exp(Prev2.Y) + (s.X + s.Y) * p.X));
    Current.Y = Ln(std::fabs(((s.X * 2.0L) * s.Y) * p.Y) + 0.001L);
    Current.Z = 0.0L;
    ANext = Current;
    PushHistory(s);
}

void TJUSet::Get(TTriple& ANext)
{
    const TTriple s = Current;
    Current.X = (s.X * s.X - s.Y * s.Y) + JuliaConst.X;
    Current.Y = ((s.X * 2.0L) * s.Y) + JuliaConst.Y;
    Current.Z = 0.0L;
    ANext = Current;
    // The Julia step never reads the history, so it is not kept.
}

// Count limit first, then the escape test on the newest iterate. A NaN
// iterate fails the comparison and so counts as escaped.
std::int32_t CountTamoSet(TBasicSet& ASet)
{
    const std::int32_t limit = ASet.IterationLimit;
    TTriple t{0.0L, 0.0L, 0.0L};
    std::int32_t n = 0;
    while (n < limit && t.X + t.Y < 1.5L) {
        ASet.Get(t);
        ++n;
    }
    return n;
}

std::int32_t CountJuliaSet(TBasicSet& ASet)
{
    const std::int32_t limit = ASet.IterationLimit;
    TTriple t{0.0L, 0.0L, 0.0L};
    std::int32_t n = 0;
    while (n < limit && std::fabs(t.X + t.Y) < 25.5L) {
        ASet.Get(t);
        ++n;
    }
    return n;
}

} // namespace engine
