// The Position box number reader: grammar, both separators, range, long texts, and the label round trip.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "engine/Real48.h"
#include "window/PositionParse.h"
#include "window/RegionFormat.h"

using window::ParseRegionNumber;

namespace {

::testing::AssertionResult Reads(const std::string& text, char sep, long double expected)
{
    const std::optional<long double> v = ParseRegionNumber(text, sep);
    if (!v)
        return ::testing::AssertionFailure() << "'" << text << "' was rejected";
    if (*v != expected || std::signbit(*v) != std::signbit(expected))
        return ::testing::AssertionFailure() << "'" << text << "' read as " << static_cast<double>(*v);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult Rejects(const std::string& text, char sep)
{
    const std::optional<long double> v = ParseRegionNumber(text, sep);
    if (v)
        return ::testing::AssertionFailure() << "'" << text << "' read as " << static_cast<double>(*v);
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(PositionParse, AcceptsSignsFractionsAndExponentsWithTheGivenSeparator)
{
    EXPECT_TRUE(Reads("1.5", '.', 1.5L));
    EXPECT_TRUE(Reads("-0.25", '.', -0.25L));
    EXPECT_TRUE(Reads("+3", '.', 3.0L));
    EXPECT_TRUE(Reads("5.", '.', 5.0L));
    EXPECT_TRUE(Reads(".5", '.', 0.5L));
    EXPECT_TRUE(Reads("-.5e1", '.', -5.0L));
    EXPECT_TRUE(Reads("1E3", '.', 1000.0L));
    EXPECT_TRUE(Reads("1e-3", '.', 1e-3L));
    EXPECT_TRUE(Reads("1.5E+2", '.', 150.0L));
    EXPECT_TRUE(Reads("-0", '.', -0.0L));
    EXPECT_TRUE(Reads("007", '.', 7.0L));
    EXPECT_TRUE(Reads("  2.5 ", '.', 2.5L));
    EXPECT_TRUE(Reads("\t-7\t", '.', -7.0L));
    // The nearest extended value, not a double's.
    EXPECT_TRUE(Reads("0.1", '.', 0.1L));
    EXPECT_TRUE(Reads("-1.111307231", '.', -1.111307231L));

    EXPECT_TRUE(Reads("1,5", ',', 1.5L));
    EXPECT_TRUE(Reads("-2,5E-1", ',', -0.25L));
    EXPECT_TRUE(Reads(",125", ',', 0.125L));
    EXPECT_TRUE(Reads("16000", ',', 16000.0L));
}

TEST(PositionParse, RejectsEverythingThatIsNotOneWholeNumber)
{
    for (const char* bad : {"", " ", "+", "-", ".", "+.", "E5", "e", "1E", "1E+", "1e-", "1.2.3", "1..2", "--1",
                            "+-1", "1 2", "1e 5", "1e5.0", "1.5x", "x1.5", "0x10", "1,5", "1'000", "inf", "-INF",
                            "infinity", "nan", "NAN(1)", "1e5000", "-1E4933", "\xd9\xa1", "1\xc2\xa0"}) {
        EXPECT_TRUE(Rejects(bad, '.'));
    }
    // Under a comma the point is foreign.
    EXPECT_TRUE(Rejects("1.5", ','));
    EXPECT_TRUE(Rejects("1,5,0", ','));
    // An embedded NUL ends nothing: the rest of the text still counts.
    EXPECT_TRUE(Rejects(std::string("1\0" "5", 3), '.'));
}

TEST(PositionParse, KeepsTheExtendedRangeAndReadsUnderflowAsTiny)
{
    EXPECT_TRUE(Reads("1E4000", '.', 1e4000L));
    EXPECT_TRUE(Reads("1E300", '.', 1e300L));
    EXPECT_TRUE(Rejects("1E4933", '.')) << "beyond the extended range";
    const std::optional<long double> tiny = ParseRegionNumber("1E-5000", '.');
    ASSERT_TRUE(tiny.has_value());
    EXPECT_EQ(*tiny, 0.0L);
    // A value the region fields cannot hold is still a number; storing it is what overflows.
    EXPECT_THROW(engine::Real48::FromExtended(*ParseRegionNumber("1E300", '.')), engine::FloatingPointOverflow);
}

TEST(PositionParse, HandlesTextsOfAnyLength)
{
    // 100,000 characters: digits whose exponent brings the value back to 1.
    std::string longNumber = "1" + std::string(99990, '0') + "E-99990";
    EXPECT_TRUE(Reads(longNumber, '.', 1.0L));
    std::string longFraction = "0." + std::string(99990, '0') + "1E99991";
    EXPECT_TRUE(Reads(longFraction, '.', 1.0L));
    EXPECT_TRUE(Rejects(std::string(100000, '9'), '.')) << "far beyond the range";
    EXPECT_TRUE(Rejects(std::string(100000, 'x'), '.'));
    EXPECT_TRUE(Rejects(std::string(50000, '1') + "x" + std::string(49999, '1'), '.'));
    EXPECT_TRUE(Reads(std::string(50000, ' ') + "42" + std::string(50000, ' '), '.', 42.0L));
    EXPECT_TRUE(Reads("1E" + std::string(99990, '0') + "3", '.', 1000.0L));
}

TEST(PositionParse, ThrowsTheMessageWithTheTextAsTyped)
{
    try {
        window::ParseRegionNumberOrThrow(" 1.5x ", '.');
        FAIL() << "no exception";
    } catch (const window::InvalidFloatText& e) {
        EXPECT_STREQ(e.what(), "' 1.5x ' is not a valid floating point value");
    }
    EXPECT_EQ(window::ParseRegionNumberOrThrow("-2,5", ','), -2.5L);
}

// The labels are written with FormatRegionNumber; Edit copies them and
// Submit reads them back: the value must survive to the labels' 10 digits.
TEST(PositionParse, ReadsBackEveryLabelTextUnderBothSeparators)
{
    std::mt19937_64 rng(20240611);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-38, 37);
    std::bernoulli_distribution negative(0.5);
    for (char sep : {'.', ','}) {
        for (int k = 0; k < 4000; ++k) {
            long double v = static_cast<long double>(mantissa(rng)) * std::pow(10.0L, exponent(rng));
            if (negative(rng))
                v = -v;
            v = engine::Narrow(v); // what a region field holds
            const std::string text = window::FormatRegionNumber(v, sep);
            const std::optional<long double> back = ParseRegionNumber(text, sep);
            ASSERT_TRUE(back.has_value()) << text;
            EXPECT_LE(std::fabs(*back - v), std::fabs(v) * 5.000001e-10L) << text;
            EXPECT_EQ(window::FormatRegionNumber(*back, sep), text);
        }
        EXPECT_TRUE(Reads(window::FormatRegionNumber(0.00000015L, sep), sep, 1.5e-7L));
        EXPECT_TRUE(Reads(window::FormatRegionNumber(-16000.0L, sep), sep, -16000.0L));
        EXPECT_TRUE(Reads(window::FormatRegionNumber(0.0L, sep), sep, 0.0L));
    }
}
