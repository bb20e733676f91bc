// Pixel kernels: the worked examples, the edge cases at the origin and the bailout boundaries.
#include <gtest/gtest.h>

#include "engine/Kernels.h"

using namespace engine;

namespace {

std::int32_t At(TValueFunction k, Extended x, Extended y)
{
    TTamo1Set carrier;
    carrier.SetValues(kCalcParam, {x, y, 0.0L});
    return k(carrier);
}

} // namespace

TEST(Kernels, TripleModFoldsIntoTheModulus)
{
    TTriple r;
    TripleMod({100000, 0, 0}, {32000.876123L, 31000.13143L, 0}, r);
    EXPECT_NEAR(static_cast<double>(r.X), 36998.992447, 1e-6);
    EXPECT_NEAR(static_cast<double>(r.Y), 1000.744693, 1e-6);
    // A value whose quotient lies inside (-1, 1) in both components is unchanged.
    TripleMod({1000, -2000, 0}, {32000.876123L, 31000.13143L, 0}, r);
    EXPECT_EQ(r.X, 1000);
    EXPECT_EQ(r.Y, -2000);
}

TEST(Kernels, Larger)
{
    EXPECT_EQ(Larger(1, 2), 2);
    EXPECT_EQ(Larger(2, 1), 2);
    EXPECT_EQ(Larger(-5, -7), -5);
}

TEST(Kernels, AtTheOrigin)
{
    EXPECT_EQ(At(RN1Kernel1, 0, 0), 50);
    EXPECT_EQ(At(RN3Kernel4, 0, 0), 50);
    EXPECT_EQ(At(RN1Kernel3, 0, 0), 50);
    EXPECT_EQ(At(RN2Kernel4, 0, 0), 50);
    EXPECT_EQ(At(LevelSetKernel, 0, 0), 200);
    EXPECT_EQ(At(RN6Kernel4, 0, 0), 200);
    EXPECT_EQ(At(RN6Kernel6, 0, 0), 52);
    EXPECT_EQ(At(RN6Kernel1, 0, 0), 9);
    // The zero modulus of RN4Kernel4 gives a count, not a crash.
    const std::int32_t n = At(RN4Kernel4, 0, 0);
    EXPECT_GE(n, 0);
    EXPECT_LE(n, 50);
}

TEST(Kernels, WorkedExampleOfRN1Kernel1)
{
    EXPECT_EQ(At(RN1Kernel1, 1000, 2000), 4);
    // The first iterate is the plain product z*m.
    const TTriple z1 = TripleMul({1000, 2000, 0}, {2.123L, -0.523456L, 0});
    EXPECT_NEAR(static_cast<double>(z1.X), 3169.912, 1e-9);
    EXPECT_NEAR(static_cast<double>(z1.Y), 3722.544, 1e-9);
}

TEST(Kernels, BailoutBoundaries)
{
    EXPECT_EQ(At(RN1Kernel2, 32000, 32000), 0);     // start already outside
    EXPECT_EQ(At(LevelSetKernel, 100, 0), 1);       // u = 10000 exactly stops
    EXPECT_EQ(At(LevelSetKernel, 99.99L, 0), 2);
    // RN3Kernel2 compares signed components: whatever the orbit does, the count stays in range.
    for (Extended x : {-160.0L, -100.0L, -37.5L}) {
        const std::int32_t n = At(RN3Kernel2, x, x);
        EXPECT_GE(n, 0);
        EXPECT_LE(n, 50);
    }
}

TEST(Kernels, RangesOfResults)
{
    const Extended pts[][2] = {{0.3L, -1.7L}, {-2.9L, 2.2L}, {1.1L, 0.05L}, {-0.6L, -0.4L}};
    for (const auto& p : pts) {
        const std::int32_t r66 = At(RN6Kernel6, p[0], p[1]);
        EXPECT_GE(r66, 2);
        EXPECT_LE(r66, 52);
        for (TValueFunction k : {RN1Kernel1, RN2Kernel5, RN3Kernel6, RN4Kernel1, RN4Kernel3, RN4Kernel4,
                                 RN4Kernel5, RN5Kernel1, RN5Kernel2, RN5Kernel3, RN5Kernel4, RN5Kernel5,
                                 RN5Kernel6}) {
            const std::int32_t n = At(k, p[0], p[1]);
            EXPECT_GE(n, 0);
            EXPECT_LE(n, 50);
        }
        for (TValueFunction k : {LevelSetKernel, RN6Kernel1, RN6Kernel4}) {
            const std::int32_t n = At(k, p[0], p[1]);
            EXPECT_GE(n, 1);
            EXPECT_LE(n, 200);
        }
    }
}

TEST(Kernels, SharedFormulaGivesIdenticalResults)
{
    for (Extended x = -160; x <= 160; x += 37.3L)
        for (Extended y = -160; y <= 160; y += 41.9L)
            EXPECT_EQ(At(RN1Kernel4, x, y), At(RN3Kernel3, x, y));
}

TEST(Kernels, KernelsReadOnlyThePointOfTheCarrier)
{
    // Param and Z of Current must not matter.
    TTamo1Set a, b;
    a.SetValues(kCalcParam, {0.25L, -0.5L, 0});
    b.SetValues({9, 9, 9}, {0.25L, -0.5L, 77});
    for (TValueFunction k : {RN1Kernel3, RN4Kernel2, RN5Kernel6, RN6Kernel1, LevelSetKernel})
        EXPECT_EQ(k(a), k(b));
}

TEST(Kernels, QuadraticFamilyIsTheMandelbrotIteration)
{
    // c = -1 is a 2-cycle, c = 0.3 escapes slowly, c = 2 escapes fast.
    EXPECT_EQ(At(LevelSetKernel, -1, 0), 200);
    EXPECT_EQ(At(LevelSetKernel, 2, 0), 4); // 0, 2, 6, 38, 1446: |z|^2 >= 10000 after 4
    EXPECT_GT(At(LevelSetKernel, 0.3L, 0), 10);
}
