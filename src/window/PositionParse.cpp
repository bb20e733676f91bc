// Validating and converting a typed coordinate to the nearest extended value.
#include "window/PositionParse.h"

#include <QLocale>
#include <QString>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace window {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The conversion must not follow the process locale (the toolkit sets it
// from the environment), so it runs in the "C" locale with '.' as separator.
locale_t CLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

} // namespace

std::optional<long double> ParseRegionNumber(std::string_view text, std::string_view decimalSeparator)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;

    // The grammar is checked here, in full, before anything reaches the
    // library conversion: it would otherwise accept "inf", "nan", hexadecimal
    // numbers and a trailing remainder.
    std::string normal;
    normal.reserve(end - begin);
    std::size_t i = begin;
    if (i < end && (text[i] == '+' || text[i] == '-'))
        normal.push_back(text[i++]);
    std::size_t mantissaDigits = 0;
    for (; i < end && IsDigit(text[i]); ++i, ++mantissaDigits)
        normal.push_back(text[i]);
    if (!decimalSeparator.empty() && text.substr(i, end - i).starts_with(decimalSeparator)) {
        normal.push_back('.');
        for (i += decimalSeparator.size(); i < end && IsDigit(text[i]); ++i, ++mantissaDigits)
            normal.push_back(text[i]);
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < end && (text[i] == 'E' || text[i] == 'e')) {
        normal.push_back('e');
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-'))
            normal.push_back(text[i++]);
        std::size_t exponentDigits = 0;
        for (; i < end && IsDigit(text[i]); ++i, ++exponentDigits)
            normal.push_back(text[i]);
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;

    const locale_t c = CLocale();
    if (c == static_cast<locale_t>(nullptr))
        throw std::runtime_error("no C locale for number conversion");
    char* stop = nullptr;
    errno = 0;
    const long double value = strtold_l(normal.c_str(), &stop, c);
    const int error = errno;
    if (stop != normal.c_str() + normal.size())
        return std::nullopt;
    // Beyond the extended range: the text names no extended value. An
    // underflow (also ERANGE) keeps the nearest tiny value or zero.
    if (std::isinf(value) || std::isnan(value) || (error == ERANGE && std::fabs(value) > 1.0L))
        return std::nullopt;
    return value;
}

long double ParseRegionNumberOrThrow(std::string_view text, std::string_view decimalSeparator)
{
    const std::optional<long double> v = ParseRegionNumber(text, decimalSeparator);
    if (!v)
        throw InvalidFloatText(std::string(text));
    return *v;
}

std::string SystemDecimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? std::string(".") : point.toStdString();
}

} // namespace window
