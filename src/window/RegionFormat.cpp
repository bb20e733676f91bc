// General-format number text for the Position box labels.
#include "window/RegionFormat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace window {

namespace {

constexpr int kDigits = 10;

// The first kDigits significant digits of |value|, rounded, and the exponent E
// of the form 0.d1d2... x 10^E.
void Decompose(long double value, std::string& digits, int& exponent)
{
    // Far more digits than an extended value carries, so the printed digits
    // decide a tie exactly. to_chars ignores the locale: the point is always
    // '.', whatever the separator the user's locale puts in its place later.
    char text[128];
    const std::to_chars_result r =
        std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific, 60);
    // text: d.ddd...e[+-]XX
    std::string all;
    all.push_back(text[0]);
    const char* p = text + 2;
    while (p < r.ptr && *p >= '0' && *p <= '9')
        all.push_back(*p++);
    int exp10 = 0; // value = d.ddd x 10^exp10
    const char* e = p + 1;
    if (e < r.ptr && *e == '+')
        ++e;
    std::from_chars(e, r.ptr, exp10);
    exponent = exp10 + 1;

    digits = all.substr(0, kDigits);
    if (all[kDigits] >= '5') {
        int i = kDigits - 1;
        while (i >= 0 && digits[i] == '9') {
            digits[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++digits[i];
        } else {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            ++exponent;
        }
    }
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
}

} // namespace

std::string FormatRegionNumber(long double value, std::string_view decimalSeparator)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0.0L)
        return "0";

    std::string digits;
    int e = 0;
    Decompose(value, digits, e);
    const int n = static_cast<int>(digits.size());

    std::string out = value < 0 ? "-" : "";
    if (e >= -3 && e <= 10) {
        if (e <= 0) {
            out += '0';
            out += decimalSeparator;
            out.append(static_cast<std::size_t>(-e), '0');
            out += digits;
        } else if (n <= e) {
            out += digits;
            out.append(static_cast<std::size_t>(e - n), '0');
        } else {
            out += digits.substr(0, static_cast<std::size_t>(e));
            out += decimalSeparator;
            out += digits.substr(static_cast<std::size_t>(e));
        }
    } else {
        out += digits[0];
        if (n > 1) {
            out += decimalSeparator;
            out += digits.substr(1);
        }
        out += 'E';
        const int shown = e - 1;
        if (shown < 0)
            out += '-';
        out += std::to_string(std::abs(shown));
    }
    return out;
}

} // namespace window
