// Decimal texts, the deep picture mapping, refusals and when a reference serves another picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "DeepLocations.h"
#include "deep/Reference.h"

namespace {

TEST(DeepRegionText, DecimalsAreAcceptedAsWrittenAndNothingElse)
{
    const struct {
        const char* text;
        bool decimal;
    } cases[] = {
        {"0", true},       {"-0.5", true},     {"+12.", true},   {".25", true},      {"1e-300", true},
        {"-3.5E+12", true}, {"1e1234567", true}, {"", false},     {"-", false},       {".", false},
        {"1e", false},     {"1e+", false},     {"e5", false},    {"1.2.3", false},   {"0x1p3", false},
        {"nan", false},    {"inf", false},     {" 1", false},    {"1 ", false},      {"1,5", false},
        {"1e12345678", false}, {"--1", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(deep::IsDecimal(c.text), c.decimal) << '"' << c.text << '"';
    for (const char* positive : {"1", "+0.001", ".5e-300", "0.0001e999"})
        EXPECT_TRUE(deep::IsPositiveDecimal(positive)) << positive;
    for (const char* other : {"0", "-1", "0.000e9", "+0", "x", "-0.5"})
        EXPECT_FALSE(deep::IsPositiveDecimal(other)) << other;
}

TEST(DeepRegionText, ExactDecimalsReadBackToTheSameExtendedValue)
{
    for (long double v : {0.0L, 0.5L, -0.7453L, 0.11301L, 1e-300L, -1e-4000L, 3.0L, 1e300L, 0x1p-16000L}) {
        const std::string text = deep::ExactDecimal(v);
        EXPECT_TRUE(deep::IsDecimal(text) || text.size() > 20) << text.substr(0, 40);
        EXPECT_EQ(std::strtold(text.c_str(), nullptr), v) << text.substr(0, 40);
    }
    EXPECT_EQ(deep::ExactDecimal(-0.75L), "-0.75");
    EXPECT_EQ(deep::ExactDecimal(1024.0L), "1024");
    // 0.1 has no binary form: its extended value, 64 bits from 2^-4 down,
    // has 67 decimals.
    EXPECT_EQ(deep::ExactDecimal(0.1L).size(), 2u + 67u);
}

TEST(DeepRegionText, ImpossibleRegionsAreRefusedWithOneLine)
{
    const struct {
        deep::DeepRegion region;
        int width, height;
        const char* message;
    } cases[] = {
        {{"abc", "0", "1", ""}, 8, 8, "'abc' is not a decimal number"},
        {{"0", "1e", "1", ""}, 8, 8, "'1e' is not a decimal number"},
        {{"0", "0", "", ""}, 8, 8, "'' is not a decimal number"},
        {{"0", "0", "0", ""}, 8, 8, "The width must be greater than 0"},
        {{"0", "0", "-1e-20", ""}, 8, 8, "The width must be greater than 0"},
        {{"0", "0", "1", "0.0"}, 8, 8, "The height must be greater than 0"},
        {{"0", "0", "1", "x"}, 8, 8, "'x' is not a decimal number"},
        {{"0", "0", "1e-5000", ""}, 8, 8, "The pixel spacing is finer than 1e-4800"},
        {{"0", "0", "1e-9999999", ""}, 8, 8, "The pixel spacing is finer than 1e-4800"},
        {{"0", "0", "1e5000", ""}, 8, 8, "The region is too large"},
        {{"1e5000", "0", "1", ""}, 8, 8, "The centre is out of range"},
        {{"0", "0", "1", ""}, 1, 8, "A deep picture needs at least 2 x 2 pixels"},
    };
    for (const auto& c : cases) {
        try {
            deep::Mapping(c.region, c.width, c.height);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const deep::RegionError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
            EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
        }
    }
}

TEST(DeepMapping, PixelsSpanTheExtentsFromTheSmallestYInRowZero)
{
    const struct {
        deep::DeepRegion region;
        int width, height;
        int column, row;
        const char *x, *y;
    } cases[] = {
        {{"1", "2", "2", "4"}, 3, 3, 0, 0, "0", "0"},
        {{"1", "2", "2", "4"}, 3, 3, 2, 2, "2", "4"},
        {{"1", "2", "2", "4"}, 3, 3, 1, 1, "1", "2"},
        // Square pixels: height = width (H-1)/(W-1) = 4 * 2/4.
        {{"0", "0", "4", ""}, 5, 3, 0, 0, "-2", "-1"},
        {{"0", "0", "4", ""}, 5, 3, 4, 2, "2", "1"},
        // An even side puts the centre between two pixels.
        {{"-0.5", "0.25", "3", ""}, 4, 4, 1, 2, "-1", "0.75"},
    };
    for (const auto& c : cases) {
        const deep::Mapping mapping(c.region, c.width, c.height);
        deep::Mpfr x(mapping.Bits()), y(mapping.Bits()), want(mapping.Bits());
        mapping.Point(c.column, c.row, x, y);
        mpfr_set_str(want.get(), c.x, 10, MPFR_RNDN);
        EXPECT_EQ(mpfr_cmp(x.get(), want.get()), 0) << c.column << ", " << c.row;
        mpfr_set_str(want.get(), c.y, 10, MPFR_RNDN);
        EXPECT_EQ(mpfr_cmp(y.get(), want.get()), 0) << c.column << ", " << c.row;
        EXPECT_EQ(mapping.OffsetX(c.column) + mpfr_get_ld(mapping.CenterX().get(), MPFR_RNDN),
                  mpfr_get_ld(x.get(), MPFR_RNDN));
    }
}

TEST(DeepMapping, PrecisionGrowsWithDepthAndTheCentresSize)
{
    const auto bits = [](const char* cx, const char* width) {
        return deep::Mapping({cx, "0", width, ""}, 1025, 769).Bits();
    };
    // 1/spacing = 1024 / width: 10 bits plus the width's, plus 64.
    EXPECT_EQ(bits("0", "1"), 64 + 10);
    EXPECT_GT(bits("0", "1e-300"), 64 + 10 + 996);
    EXPECT_LT(bits("0", "1e-300"), 64 + 10 + 1000);
    EXPECT_EQ(bits("1000", "1"), bits("0", "1") + 10);
}

TEST(DeepReference, ServesPicturesItCanStillCarry)
{
    using deep::Formula;
    const deep::FormulaParams params{Formula::LevelSet, 0.0L, 0.0L, 2000};
    const std::string cx = deeptest::AtDepth(deeptest::kSeahorseIn, 60);
    const deep::Mapping start({cx, "0.001", "1e-50", ""}, 64, 48);
    const deep::Reference reference(start, params, 2.0L * start.Radius());
    const struct {
        const char* name;
        deep::DeepRegion region;
        deep::FormulaParams params;
        bool serves;
    } cases[] = {
        {"the same picture", {cx, "0.001", "1e-50", ""}, params, true},
        {"zoomed in, same depth of precision", {cx, "0.001", "5e-51", ""}, params, true},
        {"moved by a few pixels", {cx + "3", "0.001", "1e-50", ""}, params, true},
        {"deeper than its precision", {cx, "0.001", "1e-70", ""}, params, false},
        {"zoomed out past its table's radius", {cx, "0.001", "1e-49", ""}, params, false},
        {"another limit", {cx, "0.001", "1e-50", ""}, {Formula::LevelSet, 0.0L, 0.0L, 3000}, false},
        {"another formula", {cx, "0.001", "1e-50", ""}, {Formula::Julia, 0.0L, 0.0L, 2000}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(reference.Serves(deep::Mapping(c.region, 64, 48), c.params), c.serves) << c.name;
}

} // namespace
