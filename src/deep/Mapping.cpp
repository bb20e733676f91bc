// The picture mapping of a deep region: its decimals parsed at the depth's precision.
#include "deep/Mapping.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

namespace deep {

namespace {

void Require(bool ok, const std::string& message)
{
    if (!ok)
        throw RegionError(message);
}

void Parse(const std::string& text, Mpfr& out)
{
    Require(IsDecimal(text), "'" + text + "' is not a decimal number");
    mpfr_set_str(out.get(), text.c_str(), 10, MPFR_RNDN);
}

void RequirePositive(const Mpfr& v, const std::string& text, const char* what)
{
    Require(mpfr_sgn(v.get()) > 0 || (mpfr_zero_p(v.get()) && IsPositiveDecimal(text)),
            std::string("The ") + what + " must be greater than 0");
    Require(mpfr_number_p(v.get()), "'" + text + "' is out of range");
}

mpfr_exp_t Exponent(const Mpfr& v) { return mpfr_zero_p(v.get()) ? 0 : mpfr_get_exp(v.get()); }

} // namespace

std::string DecimalText(const Mpfr& value, std::size_t digits)
{
    if (mpfr_zero_p(value.get()))
        return "0";
    mpfr_exp_t exponent = 0;
    char* text = mpfr_get_str(nullptr, &exponent, 10, digits, value.get(), MPFR_RNDN);
    std::string s(text);
    mpfr_free_str(text);
    std::string sign;
    if (s[0] == '-') {
        sign = "-";
        s.erase(0, 1);
    }
    while (s.size() > 1 && s.back() == '0')
        s.pop_back();
    return sign + "0." + s + "e" + std::to_string(static_cast<long>(exponent));
}

Mapping::Mapping(const DeepRegion& region, int width, int height)
    : width_(width), height_(height), bits_(64), cx_(64), cy_(64), stepX_(64), stepY_(64), stepXd_(0), stepYd_(0)
{
    Require(width >= 2 && height >= 2, "A deep picture needs at least 2 x 2 pixels");
    Mpfr w(128), h(128);
    Parse(region.width, w);
    RequirePositive(w, region.width, "width");
    mpfr_div_ui(w.get(), w.get(), static_cast<unsigned long>(width - 1), MPFR_RNDN);
    if (region.height.empty()) {
        mpfr_set(h.get(), w.get(), MPFR_RNDN);
    } else {
        Parse(region.height, h);
        RequirePositive(h, region.height, "height");
        mpfr_div_ui(h.get(), h.get(), static_cast<unsigned long>(height - 1), MPFR_RNDN);
    }
    Mpfr spacing(128);
    mpfr_min(spacing.get(), w.get(), h.get(), MPFR_RNDN);
    Require(mpfr_cmp_ld(spacing.get(), kFinestSpacing) >= 0,
            "The pixel spacing is finer than 1e-4800, deeper than the deep engine can draw");
    Require(mpfr_cmp_ld(w.get(), 1e4000L) < 0 && mpfr_cmp_ld(h.get(), 1e4000L) < 0, "The region is too large");

    Mpfr roughX(64), roughY(64);
    Parse(region.centerX, roughX);
    Parse(region.centerY, roughY);
    Require(mpfr_number_p(roughX.get()) && mpfr_number_p(roughY.get()) &&
                mpfr_cmp_ld(roughX.get(), 1e4000L) < 0 && mpfr_cmp_ld(roughX.get(), -1e4000L) > 0 &&
                mpfr_cmp_ld(roughY.get(), 1e4000L) < 0 && mpfr_cmp_ld(roughY.get(), -1e4000L) > 0,
            "The centre is out of range");
    const mpfr_exp_t whole = std::max<mpfr_exp_t>(0, std::max(Exponent(roughX), Exponent(roughY)));
    bits_ = static_cast<mpfr_prec_t>(64 + std::max<mpfr_exp_t>(0, 1 - Exponent(spacing)) + whole);

    cx_ = Mpfr(bits_);
    cy_ = Mpfr(bits_);
    stepX_ = Mpfr(bits_);
    stepY_ = Mpfr(bits_);
    Parse(region.centerX, cx_);
    Parse(region.centerY, cy_);
    Parse(region.width, stepX_);
    mpfr_div_ui(stepX_.get(), stepX_.get(), static_cast<unsigned long>(width - 1), MPFR_RNDN);
    if (region.height.empty()) {
        mpfr_set(stepY_.get(), stepX_.get(), MPFR_RNDN);
    } else {
        Parse(region.height, stepY_);
        mpfr_div_ui(stepY_.get(), stepY_.get(), static_cast<unsigned long>(height - 1), MPFR_RNDN);
    }
    stepXd_ = mpfr_get_ld(stepX_.get(), MPFR_RNDN);
    stepYd_ = mpfr_get_ld(stepY_.get(), MPFR_RNDN);
}

long double Mapping::OffsetX(int column) const
{
    return (static_cast<long double>(2 * static_cast<long long>(column) - (width_ - 1)) * 0.5L) * stepXd_;
}

long double Mapping::OffsetY(int row) const
{
    return (static_cast<long double>(2 * static_cast<long long>(row) - (height_ - 1)) * 0.5L) * stepYd_;
}

long double Mapping::Radius() const { return std::hypot(OffsetX(0), OffsetY(0)); }

void Mapping::Point(int column, int row, Mpfr& x, Mpfr& y) const
{
    const double fx = static_cast<double>(2 * static_cast<long long>(column) - (width_ - 1)) * 0.5;
    const double fy = static_cast<double>(2 * static_cast<long long>(row) - (height_ - 1)) * 0.5;
    mpfr_mul_d(x.get(), stepX_.get(), fx, MPFR_RNDN);
    mpfr_add(x.get(), x.get(), cx_.get(), MPFR_RNDN);
    mpfr_mul_d(y.get(), stepY_.get(), fy, MPFR_RNDN);
    mpfr_add(y.get(), y.get(), cy_.get(), MPFR_RNDN);
}

} // namespace deep
