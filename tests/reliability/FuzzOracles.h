// Property checks shared by the bounded fuzz tests and the libFuzzer targets: each returns "" or what went wrong.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "colour/Palette.h"
#include "engine/Real48.h"
#include "export/Scenes.h"
#include "window/UrlLink.h"
#include "window/PositionParse.h"
#include "window/RegionFormat.h"

#include <cerrno>
#include <locale.h>

namespace oracle {

using Extended = long double;

// strtold in the "C" locale, whatever locale the toolkit installed.
inline Extended CStrtold(const std::string& text)
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtold_l(text.c_str(), nullptr, c);
}

// ---- 80-bit values from raw bits ----

struct ExtendedBits {
    std::uint64_t significand = 0; // the explicit integer bit is bit 63
    std::uint16_t exponent = 0;    // biased, 0 .. 0x7FFF
    bool negative = false;
};

inline Extended FromBits(const ExtendedBits& b)
{
    unsigned char bytes[sizeof(Extended)] = {};
    std::memcpy(bytes, &b.significand, 8);
    const std::uint16_t top = static_cast<std::uint16_t>((b.exponent & 0x7FFF) | (b.negative ? 0x8000 : 0));
    std::memcpy(bytes + 8, &top, 2);
    Extended v;
    std::memcpy(&v, bytes, sizeof v);
    return v;
}

inline ExtendedBits ToBits(Extended v)
{
    unsigned char bytes[sizeof(Extended)];
    std::memcpy(bytes, &v, sizeof v);
    ExtendedBits b;
    std::memcpy(&b.significand, bytes, 8);
    std::uint16_t top = 0;
    std::memcpy(&top, bytes + 8, 2);
    b.exponent = top & 0x7FFF;
    b.negative = (top & 0x8000) != 0;
    return b;
}

// A canonical encoding: the integer bit set exactly when the exponent is not
// 0 (no unnormals or pseudo-denormals, which no arithmetic produces).
inline ExtendedBits Canonical(ExtendedBits b)
{
    if (b.exponent == 0)
        b.significand &= ~(std::uint64_t{1} << 63);
    else
        b.significand |= std::uint64_t{1} << 63;
    return b;
}

inline std::string Show(Extended v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.21Lg (%La)", v, v);
    return text;
}

// ---- Region numbers: the label text and the Position box reader ----

// A label text taken apart: sign, significant digits (no leading or trailing
// zeros) and E with value = 0.digits x 10^E. Empty digits: the text is not in
// the label format, `why` says how.
struct LabelText {
    bool negative = false;
    std::string digits;
    int E = 0;
    std::string why;
};

// Reads a text in the label format, checking every rule of that format:
// fixed notation exactly when -3 <= E <= 10, at most 10 significant digits,
// no trailing zeros after the separator, no separator without digits after
// it, a scientific form of one non-zero digit, the separator and the rest,
// "E", a '-' only for a negative exponent and no leading zeros.
inline LabelText ReadLabel(const std::string& s, char sep)
{
    LabelText r;
    std::size_t i = 0;
    auto fail = [&](const char* why) {
        r.digits.clear();
        r.why = why;
        return r;
    };
    if (s == "0")
        return fail("zero");
    if (i < s.size() && s[i] == '-') {
        r.negative = true;
        ++i;
    }
    std::string whole, fraction;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        whole += s[i++];
    bool hasSep = false;
    if (i < s.size() && s[i] == sep) {
        hasSep = true;
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            fraction += s[i++];
        if (fraction.empty())
            return fail("separator without digits after it");
        if (fraction.back() == '0')
            return fail("trailing zero after the separator");
    }
    if (whole.empty())
        return fail("no digit before the separator");
    if (i < s.size() && s[i] == 'E') {
        ++i;
        bool negativeExponent = false;
        if (i < s.size() && s[i] == '-') {
            negativeExponent = true;
            ++i;
        }
        std::string exponent;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            exponent += s[i++];
        if (i != s.size())
            return fail("text after the exponent");
        if (exponent.empty() || (exponent.size() > 1 && exponent[0] == '0'))
            return fail("exponent digits");
        if (whole.size() != 1 || whole[0] == '0')
            return fail("scientific form must start with one non-zero digit");
        r.digits = whole + fraction;
        const long shown = std::strtol(exponent.c_str(), nullptr, 10) * (negativeExponent ? -1 : 1);
        if (negativeExponent && shown == 0)
            return fail("'-' before a zero exponent");
        r.E = static_cast<int>(shown) + 1;
        if (r.E >= -3 && r.E <= 10)
            return fail("scientific notation for an exponent that fixed notation covers");
    } else {
        if (i != s.size())
            return fail("stray characters");
        if (whole != "0" && whole[0] == '0')
            return fail("leading zero");
        if (whole == "0") {
            if (!hasSep)
                return fail("zero");
            std::size_t zeros = 0;
            while (zeros < fraction.size() && fraction[zeros] == '0')
                ++zeros;
            r.digits = fraction.substr(zeros);
            r.E = -static_cast<int>(zeros);
        } else {
            r.digits = whole + fraction;
            r.E = static_cast<int>(whole.size());
        }
        if (r.E < -3 || r.E > 10)
            return fail("fixed notation outside -3 <= E <= 10");
        while (!r.digits.empty() && r.digits.back() == '0')
            r.digits.pop_back(); // zeros of the integer part
    }
    if (r.digits.empty())
        return fail("no significant digit");
    if (r.digits.size() > 10)
        return fail("more than 10 significant digits");
    return r;
}

// |v| rounded to 10 significant digits with halves away from zero, from the C
// library's exact decimal expansion: the digits (trailing zeros dropped) and
// E with |v| ~ 0.digits x 10^E. An exact half at the eleventh digit needs a
// value 2^a 5^b x odd with few digits, which only exists for -4 <= E <= 37;
// there 130 digits show the whole expansion.
inline void ReferenceDigits(Extended v, std::string& digits, int& E)
{
    char text[200];
    std::snprintf(text, sizeof text, "%.130Le", std::fabs(v));
    std::string all(1, text[0]);
    const char* p = text + 2;
    while (*p >= '0' && *p <= '9')
        all += *p++;
    const int exp10 = std::atoi(p + 1);
    bool tie = all[10] == '5';
    for (std::size_t k = 11; tie && k < all.size(); ++k)
        tie = all[k] == '0';
    tie = tie && exp10 + 1 >= -4 && exp10 + 1 <= 37;
    if (tie) {
        digits = all.substr(0, 10);
        E = exp10 + 1;
        int k = 9;
        while (k >= 0 && digits[static_cast<std::size_t>(k)] == '9')
            digits[static_cast<std::size_t>(k--)] = '0';
        if (k < 0) {
            digits = "1" + digits.substr(0, 9);
            ++E;
        } else {
            ++digits[static_cast<std::size_t>(k)];
        }
    } else {
        // Half to even, but no halves reach here: plain rounding.
        std::snprintf(text, sizeof text, "%.9Le", std::fabs(v));
        digits = std::string(1, text[0]) + std::string(text + 2, 9);
        E = std::atoi(text + 12) + 1;
    }
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
}

// The label text of a finite non-zero value is its 10-digit rounding in the
// label format, and the reader takes it back to within that rounding:
// |back - v| <= 0.5e-9 |v| plus half a unit of the last place of the result.
// Reading the text back and writing it again gives the same text.
inline std::string CheckRoundTrip(Extended v, char sep)
{
    if (!std::isfinite(v))
        return "";
    const std::string text = window::FormatRegionNumber(v, sep);
    std::ostringstream out;
    if (v == 0.0L)
        return text == "0" ? "" : "zero written as '" + text + "'";
    const LabelText label = ReadLabel(text, sep);
    if (label.digits.empty()) {
        out << Show(v) << " written as '" << text << "': " << label.why;
        return out.str();
    }
    if (label.negative != std::signbit(v)) {
        out << Show(v) << " written as '" << text << "': wrong sign";
        return out.str();
    }
    std::string digits;
    int E = 0;
    ReferenceDigits(v, digits, E);
    if (label.digits != digits || label.E != E) {
        out << Show(v) << " written as '" << text << "', expected digits " << digits << " E " << E;
        return out.str();
    }
    const std::optional<Extended> back = window::ParseRegionNumber(text, sep);
    if (!back) {
        out << Show(v) << ": its text '" << text << "' is not read back";
        return out.str();
    }
    const Extended difference = std::fabs(*back - v);
    const Extended bound = 0.5e-9L * std::fabs(v) * (1.0L + 1e-12L) + std::ldexp(std::fabs(v), -63) +
                           std::numeric_limits<Extended>::denorm_min();
    if (!(difference <= bound)) {
        out << Show(v) << " -> '" << text << "' -> " << Show(*back) << ": off by " << Show(difference);
        return out.str();
    }
    const std::string again = window::FormatRegionNumber(*back, sep);
    if (again != text && std::isnormal(*back)) {
        out << Show(v) << " -> '" << text << "' -> " << Show(*back) << " -> '" << again << "'";
        return out.str();
    }
    return "";
}

// A number with at most 10 significant digits, 0.digits x 10^E, and the
// nearest extended value v: the label is exactly those digits and reading it
// gives v exactly (where v is a normal number; subnormals carry fewer digits).
inline std::string CheckShortDecimal(bool negative, const std::string& digitsIn, int E, char sep)
{
    std::string digits = digitsIn;
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    if (digits.empty() || digits[0] == '0' || digits.size() > 10)
        return "";
    const std::string source = std::string(negative ? "-" : "") + "0." + digits + "e" + std::to_string(E);
    const Extended v = CStrtold(source);
    if (!std::isnormal(v))
        return "";
    const std::string text = window::FormatRegionNumber(v, sep);
    const LabelText label = ReadLabel(text, sep);
    std::ostringstream out;
    if (label.digits != digits || label.E != E || label.negative != negative) {
        out << source << " = " << Show(v) << " written as '" << text << "'"
            << (label.why.empty() ? "" : ": " + label.why);
        return out.str();
    }
    const std::optional<Extended> back = window::ParseRegionNumber(text, sep);
    if (!back || *back != v) {
        out << source << " = " << Show(v) << " -> '" << text << "' -> "
            << (back ? Show(*back) : std::string("nothing"));
        return out.str();
    }
    return "";
}

// The reader's grammar, written out by hand: blanks, an optional sign, digits
// with at most one separator and at least one digit, an optional exponent
// with an optional sign and at least one digit, blanks. On success `normal`
// is the text with '.' as separator, ready for strtold.
inline bool ReaderGrammar(std::string_view s, char sep, std::string& normal)
{
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t b = 0, e = s.size();
    while (b < e && blank(s[b]))
        ++b;
    while (e > b && blank(s[e - 1]))
        --e;
    normal.clear();
    std::size_t i = b;
    if (i < e && (s[i] == '+' || s[i] == '-'))
        normal += s[i++];
    int mantissa = 0;
    while (i < e && digit(s[i]))
        normal += s[i++], ++mantissa;
    if (i < e && s[i] == sep) {
        normal += '.';
        ++i;
        while (i < e && digit(s[i]))
            normal += s[i++], ++mantissa;
    }
    if (mantissa == 0)
        return false;
    if (i < e && (s[i] == 'e' || s[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < e && (s[i] == '+' || s[i] == '-'))
            normal += s[i++];
        int exponent = 0;
        while (i < e && digit(s[i]))
            normal += s[i++], ++exponent;
        if (exponent == 0)
            return false;
    }
    return i == e;
}

// Any text: the reader accepts exactly the grammar's texts whose value is
// within the extended range, and gives the nearest value (underflow reads as
// zero or a tiny value).
inline std::string CheckReader(std::string_view s, char sep)
{
    const std::optional<Extended> got = window::ParseRegionNumber(s, sep);
    std::string normal;
    const bool grammar = ReaderGrammar(s, sep, normal);
    std::ostringstream out;
    const std::string shown = "'" + std::string(s.substr(0, 200)) + (s.size() > 200 ? "...'" : "'");
    if (got && !std::isfinite(*got)) {
        out << shown << " read as " << Show(*got);
        return out.str();
    }
    if (!grammar) {
        if (got) {
            out << shown << " is not a number but was read as " << Show(*got);
            return out.str();
        }
        return "";
    }
    const Extended reference = CStrtold(normal);
    if (std::isinf(reference)) {
        if (got) {
            out << shown << " is beyond the extended range but was read as " << Show(*got);
            return out.str();
        }
        return "";
    }
    if (!got) {
        out << shown << " was rejected; its value is " << Show(reference);
        return out.str();
    }
    if (*got != reference && !(*got == 0.0L && reference == 0.0L)) {
        out << shown << " read as " << Show(*got) << ", nearest is " << Show(reference);
        return out.str();
    }
    return "";
}

// ---- The 6-byte real ----

// The narrowing worked out on the integers of the encoding: the 64-bit
// significand rounded to 40 bits, nearest with ties away from zero; value =
// m x 2^(e - 168) with m in [2^39, 2^40); e <= 0 stores 0, e > 255 overflows.
// Returns nothing for an overflow (NaN and infinity included).
inline std::optional<std::array<std::uint8_t, 6>> ReferenceReal48(Extended v)
{
    const ExtendedBits b = ToBits(v);
    if (b.exponent == 0x7FFF)
        return std::nullopt;
    std::array<std::uint8_t, 6> out{};
    if (b.significand == 0)
        return out;
    int top = 63;
    while (!(b.significand >> top & 1))
        --top;
    // value = significand x 2^(unbiased - 63); denormals use the exponent 1.
    const int scale = (b.exponent == 0 ? 1 : b.exponent) - 16383 - 63;
    std::uint64_t m = 0;
    int shift = top - 39; // value = m x 2^(scale + shift)
    if (shift > 0) {
        m = b.significand >> shift;
        const std::uint64_t rest = b.significand & ((std::uint64_t{1} << shift) - 1);
        if (rest >= std::uint64_t{1} << (shift - 1))
            ++m;
        if (m == std::uint64_t{1} << 40) {
            m >>= 1;
            ++shift;
        }
    } else {
        m = b.significand << -shift;
    }
    const long e = static_cast<long>(scale) + shift + 168;
    if (e <= 0)
        return out;
    if (e > 255)
        return std::nullopt;
    const std::uint64_t f = m - (std::uint64_t{1} << 39);
    out[0] = static_cast<std::uint8_t>(e);
    for (int i = 0; i < 5; ++i)
        out[static_cast<std::size_t>(1 + i)] = static_cast<std::uint8_t>(f >> (8 * i));
    if (b.negative)
        out[5] |= 0x80;
    return out;
}

inline std::string CheckReal48(Extended v)
{
    const std::optional<std::array<std::uint8_t, 6>> expected = ReferenceReal48(v);
    std::optional<std::array<std::uint8_t, 6>> got;
    std::string what;
    try {
        got = engine::Real48::FromExtended(v).Bytes();
    } catch (const engine::FloatingPointOverflow& e) {
        what = e.what();
    } catch (const std::exception& e) {
        return Show(v) + ": unexpected exception " + e.what();
    }
    auto bytes = [](const std::optional<std::array<std::uint8_t, 6>>& b) {
        if (!b)
            return std::string("overflow");
        char t[40];
        std::snprintf(t, sizeof t, "%02x %02x %02x %02x %02x %02x", (*b)[0], (*b)[1], (*b)[2], (*b)[3], (*b)[4],
                      (*b)[5]);
        return std::string(t);
    };
    if (got != expected)
        return Show(v) + ": narrowed to " + bytes(got) + ", expected " + bytes(expected);
    if (!got) {
        if (what != "Floating point overflow")
            return Show(v) + ": overflow message '" + what + "'";
        return "";
    }
    // Widening is exact: m x 2^(e - 168), and narrowing it again changes nothing.
    const engine::Real48 r = engine::Real48::FromBytes(*got);
    const Extended wide = r.ToExtended();
    if ((*got)[0] != 0) {
        std::uint64_t f = 0;
        for (int i = 0; i < 5; ++i)
            f |= static_cast<std::uint64_t>((*got)[static_cast<std::size_t>(1 + i)]) << (8 * i);
        f &= (std::uint64_t{1} << 39) - 1;
        Extended exact = std::ldexp(static_cast<Extended>((std::uint64_t{1} << 39) | f), (*got)[0] - 168);
        if ((*got)[5] & 0x80)
            exact = -exact;
        if (wide != exact)
            return Show(v) + ": widened to " + Show(wide) + ", expected " + Show(exact);
        if (std::signbit(wide) != std::signbit(v))
            return Show(v) + ": sign lost";
    } else if (wide != 0.0L) {
        return Show(v) + ": zero widened to " + Show(wide);
    }
    if (engine::Real48::FromExtended(wide).Bytes() != *got)
        return Show(v) + ": narrowing the widened value changes it";
    return "";
}

// ---- Gradients ----

// The gradient as its definition reads, for bounds small enough to step
// through: n = last - first + 1 steps in extended precision, halves rounded
// to even, entries outside 0..255 not stored.
inline void ReferenceGradient(colour::ColourWord A, colour::ColourWord B, std::int64_t first, std::int64_t last,
                              colour::TPaletteTable& P)
{
    if (last < first)
        return;
    auto byteOf = [](colour::ColourWord c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
    const Extended n = static_cast<Extended>(last - first + 1);
    const Extended dR = static_cast<Extended>(byteOf(B, 0) - byteOf(A, 0)) / n;
    const Extended dG = static_cast<Extended>(byteOf(B, 8) - byteOf(A, 8)) / n;
    const Extended dB = static_cast<Extended>(byteOf(B, 16) - byteOf(A, 16)) / n;
    Extended r = byteOf(A, 0), g = byteOf(A, 8), b = byteOf(A, 16);
    for (std::int64_t k = first; k <= last; ++k) {
        if (k >= 0 && k <= 255) {
            P.Red[static_cast<std::size_t>(k)] = static_cast<std::int32_t>(std::nearbyint(r));
            P.Green[static_cast<std::size_t>(k)] = static_cast<std::int32_t>(std::nearbyint(g));
            P.Blue[static_cast<std::size_t>(k)] = static_cast<std::int32_t>(std::nearbyint(b));
        }
        r += dR;
        g += dG;
        b += dB;
    }
}

// Whatever the bounds, Gradient writes only entries max(first, 0) ..
// min(last, 255), each channel between the two colours' bytes; when the
// range starts inside the table and is short enough to step through, the
// entries are exactly the definition's.
inline std::string CheckGradient(colour::ColourWord A, colour::ColourWord B, int first, int last,
                                 const colour::TPaletteTable& start)
{
    colour::TPaletteTable got = start;
    colour::Gradient(A, B, first, last, got);
    std::ostringstream out;
    out << "Gradient(" << std::hex << A << ", " << B << std::dec << ", " << first << ", " << last << "): ";
    const std::int64_t lo = std::max<std::int64_t>(first, 0);
    const std::int64_t hi = std::min<std::int64_t>(last, 255);
    auto byteOf = [](colour::ColourWord c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
    const std::array<const std::array<std::int32_t, 256>*, 3> g = {&got.Red, &got.Green, &got.Blue};
    const std::array<const std::array<std::int32_t, 256>*, 3> s = {&start.Red, &start.Green, &start.Blue};
    for (int c = 0; c < 3; ++c) {
        const int a = byteOf(A, 8 * c), b = byteOf(B, 8 * c);
        for (int k = 0; k < 256; ++k) {
            const std::int32_t v = (*g[c])[static_cast<std::size_t>(k)];
            if (k < lo || k > hi || last < first) {
                if (v != (*s[c])[static_cast<std::size_t>(k)]) {
                    out << "entry " << k << " outside the range changed";
                    return out.str();
                }
            } else if (v < std::min(a, b) || v > std::max(a, b)) {
                out << "entry " << k << " channel " << c << " = " << v << " is not between " << a << " and " << b;
                return out.str();
            }
        }
    }
    const std::int64_t span = static_cast<std::int64_t>(last) - first;
    if (first >= 0 && span <= 100000) {
        colour::TPaletteTable expected = start;
        ReferenceGradient(A, B, first, last, expected);
        for (int k = 0; k < 256; ++k)
            if (got.Red[static_cast<std::size_t>(k)] != expected.Red[static_cast<std::size_t>(k)] ||
                got.Green[static_cast<std::size_t>(k)] != expected.Green[static_cast<std::size_t>(k)] ||
                got.Blue[static_cast<std::size_t>(k)] != expected.Blue[static_cast<std::size_t>(k)]) {
                out << "entry " << k << " differs from the definition";
                return out.str();
            }
    }
    return "";
}

// ---- The browser command ----

// The first "\"%1\"" if any, else the first "%1", searched character by
// character; -1 when there is none.
inline qsizetype PlaceholderAt(const QString& line)
{
    for (qsizetype i = 0; i + 3 < line.size(); ++i)
        if (line[i] == u'"' && line[i + 1] == u'%' && line[i + 2] == u'1' && line[i + 3] == u'"')
            return i;
    for (qsizetype i = 0; i + 1 < line.size(); ++i)
        if (line[i] == u'%' && line[i + 1] == u'1')
            return i;
    return -1;
}

// The address becomes exactly one argument, the last, whatever characters it
// holds; the words are those of the text before the placeholder, nothing of
// the placeholder or what follows it survives; nothing before it means no
// program at all (the address is never started).
inline std::string CheckBrowserCommand(const QString& line, const QString& url)
{
    const qsizetype at = PlaceholderAt(line);
    const QString before = at < 0 ? line : line.left(at);
    const QStringList words = QProcess::splitCommand(before);
    const window::BrowserCommand got = window::BrowserCommandFor(line, url);
    auto show = [&] {
        return "line '" + line.left(300).toStdString() + "', address '" + url.left(300).toStdString() + "': ";
    };
    if (window::ComposeBrowserCommand(line, url) != before + QLatin1Char(' ') + url)
        return show() + "composed line '" + window::ComposeBrowserCommand(line, url).toStdString() + "'";
    if (words.isEmpty()) {
        if (!got.program.isEmpty() || !got.arguments.isEmpty())
            return show() + "a program '" + got.program.toStdString() + "' although nothing precedes the placeholder";
        return "";
    }
    QStringList expected = words.mid(1);
    if (!url.isEmpty())
        expected.append(url);
    if (got.program != words[0])
        return show() + "program '" + got.program.toStdString() + "', expected '" + words[0].toStdString() + "'";
    if (got.arguments != expected)
        return show() + QString::number(got.arguments.size()).toStdString() + " arguments, expected " +
               QString::number(expected.size()).toStdString() +
               (got.arguments.isEmpty() ? "" : ", last '" + got.arguments.back().toStdString() + "'");
    return "";
}

// ---- Scene names ----

inline bool ContainsPovAnyCase(const std::string& name)
{
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i + 4 <= name.size(); ++i)
        if (name[i] == '.' && lower(name[i + 1]) == 'p' && lower(name[i + 2]) == 'o' && lower(name[i + 3]) == 'v')
            return true;
    return false;
}

// ".pov" is appended exactly when the name holds no ".pov" in any letter
// case anywhere; the name is otherwise kept byte for byte, and the height
// image is the scene name with ".tga" after it.
inline std::string CheckSceneName(const std::string& name)
{
    const std::string got = exporter::SceneName(name);
    const std::string expected = ContainsPovAnyCase(name) ? name : name + ".pov";
    if (got != expected)
        return "scene name of '" + name.substr(0, 200) + "' is '" + got.substr(0, 210) + "'";
    if (exporter::HeightImageName(got) != got + ".tga")
        return "height image name of '" + got.substr(0, 200) + "'";
    if (exporter::SceneName(got) != got)
        return "the scene name '" + got.substr(0, 200) + "' is not kept by a second pass";
    return "";
}

} // namespace oracle
