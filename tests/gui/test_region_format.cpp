// The Position box number text: 10 significant digits, fixed or scientific, the locale's separator.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "engine/Real48.h"
#include "window/PositionParse.h"
#include "window/RegionFormat.h"

using window::FormatRegionNumber;

TEST(FormatRegionNumber, FixedNotationFromTenThousandthsToTenDigitIntegers)
{
    EXPECT_EQ(FormatRegionNumber(0.0L, '.'), "0");
    EXPECT_EQ(FormatRegionNumber(-0.0L, '.'), "0");
    EXPECT_EQ(FormatRegionNumber(-1.25L, '.'), "-1.25");
    EXPECT_EQ(FormatRegionNumber(1.1L, '.'), "1.1");
    EXPECT_EQ(FormatRegionNumber(0.5L, '.'), "0.5");
    EXPECT_EQ(FormatRegionNumber(100.0L, '.'), "100");
    EXPECT_EQ(FormatRegionNumber(32000.0L, '.'), "32000");
    EXPECT_EQ(FormatRegionNumber(123.456L, '.'), "123.456");
    EXPECT_EQ(FormatRegionNumber(0.0001L, '.'), "0.0001");       // E = -3
    EXPECT_EQ(FormatRegionNumber(-0.00012345L, '.'), "-0.00012345");
    EXPECT_EQ(FormatRegionNumber(1234567890.0L, '.'), "1234567890"); // E = 10
    EXPECT_EQ(FormatRegionNumber(-1234567890.0L, '.'), "-1234567890");
}

TEST(FormatRegionNumber, ScientificOutsideThatRange)
{
    EXPECT_EQ(FormatRegionNumber(0.00000015L, '.'), "1.5E-7");
    EXPECT_EQ(FormatRegionNumber(-0.00000015L, '.'), "-1.5E-7");
    EXPECT_EQ(FormatRegionNumber(0.00001L, '.'), "1E-5"); // E = -4
    EXPECT_EQ(FormatRegionNumber(12345678901.0L, '.'), "1.23456789E10");
    EXPECT_EQ(FormatRegionNumber(2.5e20L, '.'), "2.5E20");
    EXPECT_EQ(FormatRegionNumber(-3.0e-30L, '.'), "-3E-30");
}

TEST(FormatRegionNumber, RoundsToTenSignificantDigits)
{
    EXPECT_EQ(FormatRegionNumber(3.14159265358979L, '.'), "3.141592654");
    EXPECT_EQ(FormatRegionNumber(-0.767201089249L, '.'), "-0.7672010892");
    EXPECT_EQ(FormatRegionNumber(0.00123456789051L, '.'), "0.001234567891");
    EXPECT_EQ(FormatRegionNumber(1.99999999999L, '.'), "2");        // carries through every digit
    EXPECT_EQ(FormatRegionNumber(9999999999.7L, '.'), "1E10");      // and into the next power of ten
    EXPECT_EQ(FormatRegionNumber(0.000099999999999L, '.'), "0.0001"); // back into fixed notation
    EXPECT_EQ(FormatRegionNumber(1234567890.5L, '.'), "1234567891"); // an exact half goes away from zero
    EXPECT_EQ(FormatRegionNumber(-1234567890.5L, '.'), "-1234567891");
}

TEST(FormatRegionNumber, UsesTheGivenDecimalSeparator)
{
    EXPECT_EQ(FormatRegionNumber(-1.25L, ','), "-1,25");
    EXPECT_EQ(FormatRegionNumber(0.00000015L, ','), "1,5E-7");
    EXPECT_EQ(FormatRegionNumber(3.14159265358979L, ','), "3,141592654");
    EXPECT_EQ(FormatRegionNumber(32000.0L, ','), "32000");
    EXPECT_EQ(FormatRegionNumber(1e-5L, ','), "1E-5");
}

TEST(FormatRegionNumber, StoredRegionValuesShowTheirDecimalsDespiteFortyBitRounding)
{
    // The 6-byte format keeps about 12 digits, so 10 show the decimal typed.
    EXPECT_EQ(FormatRegionNumber(engine::Narrow(-1.12L), '.'), "-1.12");
    EXPECT_EQ(FormatRegionNumber(engine::Narrow(-1.12L) + engine::Narrow(2.22L), '.'), "1.1");
    EXPECT_EQ(FormatRegionNumber(engine::Narrow(-0.7619674784L), '.'), "-0.7619674784");
    EXPECT_EQ(FormatRegionNumber(engine::Narrow(-1.401757526L), '.'), "-1.401757526");
}

TEST(FormatRegionNumber, TheProcessLocaleChangesNothingEvenWithATwoByteSeparator)
{
    // The C library writes U+066B, two bytes in UTF-8, as the decimal point
    // of ps_AF: the digits must not be read from text in the process locale.
    const long double values[] = {-1.25L, 3.14159265358979L, 0.00000015L, 1234567890.5L, 9999999999.7L,
                                  -0.767201089249L, 2.5e20L, 1e-30L, 32000.0L, 0.0001L};
    std::vector<std::string> plain;
    for (const long double v : values)
        plain.push_back(FormatRegionNumber(v, ','));

    testfiles::GlobalLocale pashto("ps_AF.UTF-8");
    ASSERT_TRUE(pashto.active()) << "scripts/setup.sh generates ps_AF.UTF-8";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    ASSERT_STREQ(probe, "0\xd9\xab" "5") << "the two-byte separator is in force";
    for (std::size_t k = 0; k < plain.size(); ++k)
        EXPECT_EQ(FormatRegionNumber(values[k], ','), plain[k]) << static_cast<double>(values[k]);
    EXPECT_EQ(plain[0], "-1,25");
    EXPECT_EQ(plain[2], "1,5E-7");

    // The labels show the locale's own separator, and Edit reads them back.
    const std::string momayyez = "\xd9\xab";
    EXPECT_EQ(FormatRegionNumber(-1.25L, momayyez), "-1" + momayyez + "25");
    EXPECT_EQ(FormatRegionNumber(0.00000015L, momayyez), "1" + momayyez + "5E-7");
    for (const long double v : values) {
        const std::optional<long double> back =
            window::ParseRegionNumber(FormatRegionNumber(v, momayyez), momayyez);
        ASSERT_TRUE(back.has_value()) << static_cast<double>(v);
        EXPECT_EQ(FormatRegionNumber(*back, momayyez), FormatRegionNumber(v, momayyez));
    }
    EXPECT_FALSE(window::ParseRegionNumber("1\xd9", momayyez).has_value()) << "half a separator";
}
