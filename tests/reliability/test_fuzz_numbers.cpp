// Bounded fuzz of the region numbers: label text to Position box and back, exact short decimals, raw bytes for the reader.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "FuzzOracles.h"

namespace {

constexpr int kNumberInputs = 20000;

class ValueSource {
public:
    explicit ValueSource(std::uint64_t seed) : rng_(seed) {}

    long double Next()
    {
        switch (Pick(8)) {
        case 0: // anywhere in the extended range, subnormals included
            return oracle::FromBits(oracle::Canonical({rng_(), static_cast<std::uint16_t>(Pick(0x7FFF)), Pick(2) == 1}));
        case 1: // the scale of view regions
            return Signed(std::ldexp(static_cast<long double>(rng_() >> 11), -53) * std::pow(10.0L, Pick(25) - 12));
        case 2: // what a region field holds: 40 significant bits
            return engine::Narrow(Signed(std::ldexp(static_cast<long double>(rng_()), -64 + Pick(80) - 40)));
        case 3: // integers, exact in 64 bits: many halves at the eleventh digit
            return Signed(static_cast<long double>(rng_() >> Pick(64)));
        case 4: // short binary fractions: halves below the decimal point
            return Signed(std::ldexp(static_cast<long double>(rng_() >> (20 + Pick(44))), -Pick(40)));
        case 5: { // next to a power of ten, where the notation and the digit count change
            long double p = std::pow(10.0L, Pick(30) - 10);
            for (int k = Pick(4); k > 0; --k)
                p = Pick(2) ? std::nextafter(p, 0.0L) : std::nextafter(p, std::numeric_limits<long double>::infinity());
            return Signed(p);
        }
        case 6: { // next to a half at the eleventh digit
            const long double half = (static_cast<long double>(rng_() % 10000000000ull) * 10 + 5) *
                                     std::pow(10.0L, Pick(20) - 15);
            return Signed(Pick(3) == 0 ? half : std::nextafter(half, Pick(2) ? 0.0L : std::numeric_limits<long double>::infinity()));
        }
        default: { // the extremes
            static const long double extremes[] = {std::numeric_limits<long double>::max(),
                                                   std::numeric_limits<long double>::min(),
                                                   std::numeric_limits<long double>::denorm_min(),
                                                   std::numeric_limits<long double>::epsilon(), 1.0L, 0.0L};
            long double v = extremes[Pick(6)];
            for (int k = Pick(3); k > 0; --k)
                v = std::nextafter(v, Pick(2) ? 0.0L : std::numeric_limits<long double>::infinity());
            return Signed(v);
        }
        }
    }

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    std::mt19937_64& rng() { return rng_; }

private:
    long double Signed(long double v) { return Pick(2) ? -v : v; }
    std::mt19937_64 rng_;
};

} // namespace

TEST(FuzzRegionNumbers, LabelTextReadsBackWithinTenDigitRounding)
{
    ValueSource source(20240611);
    int failures = 0;
    for (int k = 0; k < kNumberInputs && failures < 10; ++k) {
        const long double v = source.Next();
        const char sep = k % 2 ? ',' : '.';
        const std::string problem = oracle::CheckRoundTrip(v, sep);
        if (!problem.empty()) {
            ADD_FAILURE() << "input " << k << ": " << problem;
            ++failures;
        }
    }
}

TEST(FuzzRegionNumbers, NumbersOfAtMostTenDigitsComeBackExactly)
{
    ValueSource source(77031);
    int failures = 0;
    int checked = 0;
    for (int k = 0; k < kNumberInputs && failures < 10; ++k) {
        std::string digits(1, static_cast<char>('1' + source.Pick(9)));
        for (int n = source.Pick(10); n > 0; --n)
            digits += static_cast<char>('0' + source.Pick(10));
        const int E = source.Pick(4) == 0 ? source.Pick(9860) - 4928 : source.Pick(41) - 20;
        const bool negative = source.Pick(2) == 1;
        const std::string problem = oracle::CheckShortDecimal(negative, digits, E, k % 2 ? ',' : '.');
        if (!problem.empty()) {
            ADD_FAILURE() << "input " << k << ": " << problem;
            ++failures;
        }
        ++checked;
    }
    EXPECT_EQ(checked, kNumberInputs);
}

// Texts of any bytes, NUL and bytes above 127 included; the number texts the
// existing fuzz of the Position box draws from a small alphabet.
TEST(FuzzRegionNumbers, ReaderAcceptsExactlyTheGrammarWhateverTheBytes)
{
    ValueSource source(5150);
    int failures = 0;
    int accepted = 0;
    for (int k = 0; k < kNumberInputs && failures < 10; ++k) {
        const char sep = k % 2 ? ',' : '.';
        std::string text;
        if (source.Pick(2) == 0) {
            for (int n = source.Pick(24); n > 0; --n)
                text += static_cast<char>(source.Pick(256));
        } else {
            text = window::FormatRegionNumber(source.Next(), sep);
            for (int n = source.Pick(3); n > 0; --n) {
                const std::size_t at = static_cast<std::size_t>(source.Pick(static_cast<int>(text.size()) + 1));
                static const char kBytes[] = {'\0', '\v', '\f', '\r', '\n', ' ', '+', '-', 'e', 'E', '.',
                                              ',',  '0',  '9',  'x',  'i',  '\xa0', '\xff'};
                const char b = kBytes[source.Pick(sizeof kBytes)];
                if (source.Pick(2) == 0 || at == text.size())
                    text.insert(at, 1, b);
                else
                    text[at] = b;
            }
        }
        if (window::ParseRegionNumber(text, sep))
            ++accepted;
        const std::string problem = oracle::CheckReader(text, sep);
        if (!problem.empty()) {
            ADD_FAILURE() << "input " << k << ": " << problem;
            ++failures;
        }
    }
    EXPECT_GT(accepted, kNumberInputs / 5) << "the inputs must reach the accepting paths too";
}
