// Decimal texts of deep regions: what a decimal is, and the exact decimal of an extended value.
#include "deep/DeepRegion.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

#include "deep/Mpfr.h"

namespace deep {

namespace {

// Guard against an exponent the decimal parser would take for infinity.
constexpr std::size_t kMaxExponentDigits = 7;

// Whether the mantissa of a decimal text has a non-zero digit: a tiny width
// that underflows is too deep, not zero.
bool MantissaNonZero(const std::string& text)
{
    for (char c : text) {
        if (c == 'e' || c == 'E')
            break;
        if (c >= '1' && c <= '9')
            return true;
    }
    return false;
}

} // namespace

bool IsDecimal(const std::string& text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        const std::size_t start = i;
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i;
        if (i == start || i - start > kMaxExponentDigits)
            return false;
    }
    return i == n;
}

bool IsPositiveDecimal(const std::string& text)
{
    return IsDecimal(text) && text[0] != '-' && MantissaNonZero(text);
}

std::string ExactDecimal(long double value)
{
    Mpfr v(64);
    mpfr_set_ld(v.get(), value, MPFR_RNDN);
    if (mpfr_zero_p(v.get()))
        return "0";
    // A 64-bit mantissa times 2^e has exactly max(0, 64 - e) binary
    // fraction digits, and as many decimal ones.
    const long fraction = std::max<long>(0, 64 - static_cast<long>(mpfr_get_exp(v.get())));
    const int size = mpfr_snprintf(nullptr, 0, "%.*Rf", static_cast<int>(fraction), v.get());
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
    mpfr_snprintf(buffer.data(), buffer.size(), "%.*Rf", static_cast<int>(fraction), v.get());
    std::string text(buffer.data());
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    return text;
}

} // namespace deep
