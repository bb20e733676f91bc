// Triple arithmetic and the 6-byte real format.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/Real48.h"
#include "engine/Triple.h"

using namespace engine;

namespace {

void ExpectTriple(const TTriple& t, Extended x, Extended y, Extended z)
{
    EXPECT_EQ(t.X, x);
    EXPECT_EQ(t.Y, y);
    EXPECT_EQ(t.Z, z);
}

} // namespace

TEST(Triple, OperationsKeepArgumentOrderAndCarryZ)
{
    ExpectTriple(MakeTriple(2.0L, 2.1L, 2.2L), 2.0L, 2.1L, 2.2L);
    ExpectTriple(TripleSqr({0, 1, 5}), -1, 0, 5);
    ExpectTriple(TripleSqr({3, 4, 0}), -7, 24, 0);
    const TTriple p = TripleMul({1, 2, 9}, {3, 4, 0});
    EXPECT_EQ(p.X, -5);
    EXPECT_EQ(p.Y, 10);
    ExpectTriple(TripleDiv({-5, 10, 7}, {3, 4, 0}), 1, 2, 7);
    ExpectTriple(TripleSub({1, 1, 1}, {0.5L, 2, 3}), 0.5L, -1, -2);
    ExpectTriple(TripleAdd({1, 1, 1}, {0.5L, 2, 3}), 1.5L, 3, 4);
    ExpectTriple(TripleTrunc({2.999L, -2.999L, 0.4L}), 2, -2, 0);
}

TEST(Triple, SqrDoublesBeforeMultiplyingWhileMulSumsTwoProducts)
{
    // (x*2)*y and x*y + y*x round differently for some inputs; the kernels
    // rely on the difference between TripleSqr and TripleMul(z, z).
    const Extended x = 0.1L, y = 0.7L;
    EXPECT_EQ(TripleSqr({x, y, 0}).Y, (x * 2.0L) * y);
    EXPECT_EQ(TripleMul({x, y, 0}, {x, y, 0}).Y, (x * y) + (y * x));
}

TEST(Triple, TruncationAtTheEdgesOfInt32)
{
    EXPECT_EQ(TruncToInt32(-0.5L), 0.0L);
    EXPECT_FALSE(std::signbit(TruncToInt32(-0.5L))); // through the integer: +0
    EXPECT_EQ(TruncToInt32(2147483647.9L), 2147483647.0L);
    EXPECT_EQ(TruncToInt32(-2147483648.9L), -2147483648.0L);
    EXPECT_EQ(TruncToInt32(2147483648.0L), -2147483648.0L);
    EXPECT_EQ(TruncToInt32(1e300L), -2147483648.0L);
    EXPECT_EQ(TruncToInt32(std::numeric_limits<Extended>::quiet_NaN()), -2147483648.0L);
    EXPECT_EQ(TruncToInt32(-std::numeric_limits<Extended>::infinity()), -2147483648.0L);
}

TEST(Triple, DivisionByZeroGivesIeeeValues)
{
    const TTriple q = TripleDiv({1, 0, 3}, {0, 0, 0});
    EXPECT_TRUE(std::isinf(q.X) || std::isnan(q.X));
    EXPECT_EQ(q.Z, 3);
    const TTriple t = TripleTrunc(q);
    EXPECT_EQ(t.X, -2147483648.0L);
}

TEST(Triple, FracKeepsSignAndX87SineHasItsRangeLimit)
{
    EXPECT_EQ(Frac(-2.75L), -0.75L);
    EXPECT_EQ(Frac(2.75L), 0.75L);
    EXPECT_EQ(Sin87(0x1p63L), 0.0L);
    EXPECT_EQ(Cos87(-0x1p63L), 0.0L);
    EXPECT_EQ(Sin87(std::numeric_limits<Extended>::infinity()), 0.0L);
    EXPECT_TRUE(std::isnan(Sin87(std::numeric_limits<Extended>::quiet_NaN())));
    // Just below the limit the instruction still answers (with its own
    // reduction of the argument, which differs from the library's).
    const Extended big = Sin87(0x1p62L);
    EXPECT_TRUE(big >= -1.0L && big <= 1.0L && big != 0.0L);
    EXPECT_NEAR(static_cast<double>(Cos87(1.0L)), std::cos(1.0), 1e-15);
    EXPECT_EQ(Sin87(0.0L), 0.0L);
}

TEST(Real48, RoundsToFortyBitsTiesAwayFromZero)
{
    EXPECT_EQ(Narrow(1.0L), 1.0L);
    EXPECT_EQ(Narrow(-2.5L), -2.5L);
    const Extended ulp = std::ldexp(1.0L, -39); // spacing of 40-bit values in [1, 2)
    EXPECT_EQ(Narrow(1.0L + ulp), 1.0L + ulp);
    EXPECT_EQ(Narrow(1.0L + ulp / 2), 1.0L + ulp);   // tie: away from zero
    EXPECT_EQ(Narrow(-1.0L - ulp / 2), -1.0L - ulp); // symmetric for negatives
    EXPECT_EQ(Narrow(1.0L + ulp / 2 - ulp / 8), 1.0L);
    EXPECT_EQ(Narrow(2.0L - ulp / 2), 2.0L); // carry into the exponent
    EXPECT_EQ(Narrow(0.1L), std::ldexp(std::round(std::ldexp(0.1L, 43)), -43));
}

TEST(Real48, ByteLayout)
{
    const auto one = Real48::FromExtended(1.0L).Bytes();
    EXPECT_EQ(one[0], 129);
    for (int i = 1; i < 6; ++i)
        EXPECT_EQ(one[i], 0);
    const auto m = Real48::FromExtended(-1.5L).Bytes();
    EXPECT_EQ(m[0], 129);
    EXPECT_EQ(m[5], 0x80 | 0x40);
    EXPECT_EQ(Real48::FromBytes({0, 1, 2, 3, 4, 5}).ToExtended(), 0.0L); // e = 0 ignores the rest
}

TEST(Real48, OverflowAndUnderflow)
{
    EXPECT_THROW(Real48::FromExtended(0x1p127L), FloatingPointOverflow);
    EXPECT_THROW(Real48::FromExtended(-0x1p127L), FloatingPointOverflow);
    EXPECT_THROW(Real48::FromExtended(std::numeric_limits<Extended>::infinity()), FloatingPointOverflow);
    EXPECT_THROW(Real48::FromExtended(std::numeric_limits<Extended>::quiet_NaN()), FloatingPointOverflow);
    try {
        Real48::FromExtended(1e39L);
        FAIL();
    } catch (const FloatingPointOverflow& e) {
        EXPECT_STREQ(e.what(), "Floating point overflow");
    }
    const Extended largest = 0x1p127L - 0x1p87L; // all 40 bits set at the top exponent
    EXPECT_EQ(Narrow(largest), largest);
    EXPECT_EQ(Narrow(0x1p-130L), 0.0L);
    EXPECT_EQ(Narrow(0x1p-128L), 0x1p-128L);
    EXPECT_EQ(Narrow(-0x1p-129L), 0.0L);
}
