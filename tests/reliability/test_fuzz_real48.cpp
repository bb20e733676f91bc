// Bounded fuzz of the 6-byte narrowing against a reference worked out on the integers of the encoding.
#include <gtest/gtest.h>

#include <random>

#include "FuzzOracles.h"

namespace {

constexpr int kReal48Inputs = 20000;

// Biased 80-bit exponent of 2^0.
constexpr int kBias = 16383;

} // namespace

TEST(FuzzReal48, NarrowingAgreesWithTheIntegerReference)
{
    std::mt19937_64 rng(48048);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    int failures = 0;
    int overflows = 0, zeros = 0, ties = 0;
    for (int k = 0; k < kReal48Inputs && failures < 10; ++k) {
        oracle::ExtendedBits b{rng(), 0, pick(2) == 1};
        switch (pick(6)) {
        case 0: // any exponent: subnormals, huge values, infinities and NaNs
            b.exponent = static_cast<std::uint16_t>(pick(0x8000));
            break;
        case 1: // inside and around the 6-byte range (2^-129 .. 2^127)
            b.exponent = static_cast<std::uint16_t>(kBias + pick(280) - 140);
            break;
        case 2: // halves and near-halves of the 40th bit
            b.exponent = static_cast<std::uint16_t>(kBias + pick(260) - 130);
            b.significand = (b.significand & ~std::uint64_t{0xFFFFFF}) | 0x800000;
            b.significand += static_cast<std::uint64_t>(pick(3)) - 1;
            ++ties;
            break;
        case 3: // all 40 bits set: rounding carries into the exponent
            b.exponent = static_cast<std::uint16_t>(kBias + pick(260) - 130);
            b.significand = ~std::uint64_t{0} << pick(25);
            break;
        case 4: // the two ends of the range
            b.exponent = static_cast<std::uint16_t>(pick(2) ? kBias + 126 + pick(3) - 1 : kBias - 128 + pick(4) - 2);
            if (pick(2))
                b.significand |= ~std::uint64_t{0} << 24;
            break;
        default: // subnormal and special encodings
            b.exponent = pick(2) ? 0 : 0x7FFF;
            b.significand >>= pick(64);
            break;
        }
        const long double v = oracle::FromBits(oracle::Canonical(b));
        const auto expected = oracle::ReferenceReal48(v);
        if (!expected)
            ++overflows;
        else if ((*expected)[0] == 0)
            ++zeros;
        const std::string problem = oracle::CheckReal48(v);
        if (!problem.empty()) {
            ADD_FAILURE() << "input " << k << ": " << problem;
            ++failures;
        }
    }
    // The inputs reach every outcome.
    EXPECT_GT(overflows, kReal48Inputs / 20);
    EXPECT_GT(zeros, kReal48Inputs / 20);
    EXPECT_GT(ties, kReal48Inputs / 20);
}

TEST(FuzzReal48, ReferenceAgreesOnKnownValues)
{
    // The reference itself, on values whose encoding is known by hand.
    const auto one = oracle::ReferenceReal48(1.0L);
    ASSERT_TRUE(one);
    EXPECT_EQ(*one, (std::array<std::uint8_t, 6>{129, 0, 0, 0, 0, 0}));
    const auto half = oracle::ReferenceReal48(-1.5L);
    ASSERT_TRUE(half);
    EXPECT_EQ(*half, (std::array<std::uint8_t, 6>{129, 0, 0, 0, 0, 0xC0}));
    EXPECT_EQ(*oracle::ReferenceReal48(0x1p-128L), (std::array<std::uint8_t, 6>{1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(*oracle::ReferenceReal48(0x1p-129L), (std::array<std::uint8_t, 6>{}));
    EXPECT_EQ(*oracle::ReferenceReal48(1.0L + 0x1p-40L), (std::array<std::uint8_t, 6>{129, 1, 0, 0, 0, 0}));
    EXPECT_FALSE(oracle::ReferenceReal48(0x1p127L));
    EXPECT_FALSE(oracle::ReferenceReal48(std::numeric_limits<long double>::quiet_NaN()));
    EXPECT_EQ(*oracle::ReferenceReal48(std::numeric_limits<long double>::denorm_min()), (std::array<std::uint8_t, 6>{}));
}
