// Deep regions as MPFR numbers for the length of one command, kept as decimal texts between commands.
#include "view/DeepNavigation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "deep/Mapping.h"

namespace view {

using deep::Mpfr;

namespace {

constexpr int kPictureWidth = engine::kBufferWidth;
constexpr int kPictureHeight = engine::kBufferHeight;
// Below this a 6-byte extent nears the bottom of the format's range.
constexpr long double kSmallestSixByteExtent = 0x1p-120L;
// The corners' rounding allowed against the extent.
constexpr long double kPlacement = 0x1p-29L;

// A deep region's numbers at a precision that places its pixels far finer
// than the extended offsets can tell apart.
struct Numbers {
    mpfr_prec_t bits;
    Mpfr cx, cy, w, h;
    explicit Numbers(const deep::DeepRegion& d)
        : bits(deep::Mapping(d, kPictureWidth, kPictureHeight).Bits() + 64), cx(bits), cy(bits), w(bits), h(bits)
    {
        Read(d.centerX, cx);
        Read(d.centerY, cy);
        Read(d.width, w);
        if (d.height.empty()) {
            mpfr_mul_ui(h.get(), w.get(), kPictureHeight - 1, MPFR_RNDN);
            mpfr_div_ui(h.get(), h.get(), kPictureWidth - 1, MPFR_RNDN);
        } else {
            Read(d.height, h);
        }
    }
    static void Read(const std::string& text, Mpfr& out)
    {
        if (!deep::IsDecimal(text) || mpfr_set_str(out.get(), text.c_str(), 10, MPFR_RNDN) != 0)
            throw deep::RegionError("\"" + text + "\" is not a decimal number.");
    }
};

// Enough digits to give the value back to `bits` bits.
std::string Text(const Mpfr& v, mpfr_prec_t bits)
{
    return deep::DecimalText(v, static_cast<std::size_t>(std::ceil(static_cast<double>(bits) * 0.30103)) + 2);
}

deep::DeepRegion Make(const Mpfr& cx, const Mpfr& cy, const Mpfr& w, const Mpfr& h, mpfr_prec_t bits)
{
    deep::DeepRegion d{Text(cx, bits), Text(cy, bits), Text(w, bits), Text(h, bits)};
    // Throws for a spacing the engine cannot reach.
    (void)deep::Mapping(d, kPictureWidth, kPictureHeight);
    return d;
}

// New extents about the centre as typed: zooming in and out again comes back
// to the very same decimals, however deep.
deep::DeepRegion KeepCentre(const deep::DeepRegion& d, const Mpfr& w, const Mpfr& h, mpfr_prec_t bits)
{
    deep::DeepRegion out{d.centerX, d.centerY, Text(w, bits), Text(h, bits)};
    (void)deep::Mapping(out, kPictureWidth, kPictureHeight);
    return out;
}

// value + extent * fraction, fraction a ratio of whole pixels.
void Shift(Mpfr& value, const Mpfr& extent, long double fraction, mpfr_prec_t bits)
{
    Mpfr t(bits);
    mpfr_set_ld(t.get(), fraction, MPFR_RNDN);
    mpfr_mul(t.get(), t.get(), extent.get(), MPFR_RNDN);
    mpfr_add(value.get(), value.get(), t.get(), MPFR_RNDN);
}

// A mirrored region (a negative extent) is a 6-byte region like any other.
bool AxisHolds(long double start, long double extent)
{
    extent = std::fabs(extent);
    if (!(extent >= kSmallestSixByteExtent) || !std::isfinite(start) || !std::isfinite(extent))
        return false;
    const long double size = std::max(std::fabs(start), std::fabs(start + extent));
    return extent >= size * kPlacement;
}

} // namespace

bool SixByteHolds(const engine::Region& r)
{
    const engine::RegionValues v = r.Values();
    return AxisHolds(v.XStart, v.XWidth) && AxisHolds(v.YStart, v.YHeight);
}

deep::DeepRegion ToDeep(const engine::Region& r)
{
    const engine::RegionValues v = r.Values();
    // Sums of extended numbers, exact at this precision.
    const mpfr_prec_t bits = 64 + 2 * 16400;
    Mpfr cx(bits), cy(bits), w(bits), h(bits), t(bits);
    auto centre = [&](long double start, long double extent, Mpfr& c, Mpfr& e) {
        mpfr_set_ld(e.get(), extent, MPFR_RNDN);
        mpfr_div_2ui(t.get(), e.get(), 1, MPFR_RNDN);
        mpfr_set_ld(c.get(), start, MPFR_RNDN);
        mpfr_add(c.get(), c.get(), t.get(), MPFR_RNDN);
    };
    centre(v.XStart, v.XWidth, cx, w);
    centre(v.YStart, v.YHeight, cy, h);
    // 64 bits per number plus the distance of their exponents keep them exact.
    const long double size = std::max({std::fabs(v.XStart), std::fabs(v.YStart), 1.0L});
    const long double extent = std::min(std::fabs(v.XWidth), std::fabs(v.YHeight));
    int eSize = 0, eExtent = 0;
    std::frexp(size, &eSize);
    std::frexp(extent, &eExtent);
    const mpfr_prec_t digitsBits = 80 + std::max(0, eSize - eExtent);
    return deep::DeepRegion{Text(cx, digitsBits), Text(cy, digitsBits), Text(w, 80), Text(h, 80)};
}

std::optional<engine::Region> NearestSixByte(const deep::DeepRegion& d)
{
    const Numbers n(d);
    Mpfr start(n.bits), half(n.bits);
    auto corner = [&](const Mpfr& c, const Mpfr& e) {
        mpfr_div_2ui(half.get(), e.get(), 1, MPFR_RNDN);
        mpfr_sub(start.get(), c.get(), half.get(), MPFR_RNDN);
        return mpfr_get_ld(start.get(), MPFR_RNDN);
    };
    const long double x1 = corner(n.cx, n.w), y1 = corner(n.cy, n.h);
    const long double w = mpfr_get_ld(n.w.get(), MPFR_RNDN), h = mpfr_get_ld(n.h.get(), MPFR_RNDN);
    engine::Region r;
    try {
        r.XStart = engine::Real48::FromExtended(x1);
        r.YStart = engine::Real48::FromExtended(y1);
        r.XWidth = engine::Real48::FromExtended(w);
        r.YHeight = engine::Real48::FromExtended(h);
    } catch (const engine::FloatingPointOverflow&) {
        return std::nullopt;
    }
    if (!(r.XWidth.ToExtended() > 0.0L) || !(r.YHeight.ToExtended() > 0.0L))
        return std::nullopt; // below the 6-byte range
    return r;
}

std::optional<engine::Region> ToSixByte(const deep::DeepRegion& d)
{
    std::optional<engine::Region> r = NearestSixByte(d);
    if (r && !SixByteHolds(*r))
        return std::nullopt;
    return r;
}

deep::DeepRegion DeepZoomIn(const deep::DeepRegion& d)
{
    Numbers n(d);
    mpfr_div_2ui(n.w.get(), n.w.get(), 1, MPFR_RNDN);
    mpfr_div_2ui(n.h.get(), n.h.get(), 1, MPFR_RNDN);
    return KeepCentre(d, n.w, n.h, n.bits + 1);
}

deep::DeepRegion DeepZoomOut(const deep::DeepRegion& d)
{
    Numbers n(d);
    mpfr_mul_2ui(n.w.get(), n.w.get(), 1, MPFR_RNDN);
    mpfr_mul_2ui(n.h.get(), n.h.get(), 1, MPFR_RNDN);
    return KeepCentre(d, n.w, n.h, n.bits);
}

deep::DeepRegion DeepMove(const deep::DeepRegion& d, int dx, int dy)
{
    Numbers n(d);
    Shift(n.cx, n.w, 0.5L * dx, n.bits);
    Shift(n.cy, n.h, 0.5L * dy, n.bits);
    return Make(n.cx, n.cy, n.w, n.h, n.bits);
}

deep::DeepRegion DeepZoomToBand(const deep::DeepRegion& d, const Band& band, int pictureWidth, int pictureHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0 || band.width == 0 || band.height == 0)
        throw deep::RegionError("A zoom band needs an area.");
    Numbers n(d);
    const long double pw = pictureWidth, ph = pictureHeight;
    // The band's centre, as a fraction of the picture from its middle.
    Shift(n.cx, n.w, (band.left + band.width * 0.5L) / pw - 0.5L, n.bits);
    Shift(n.cy, n.h, (band.top + band.height * 0.5L) / ph - 0.5L, n.bits);
    mpfr_mul_d(n.w.get(), n.w.get(), static_cast<double>(std::abs(band.width)), MPFR_RNDN);
    mpfr_div_d(n.w.get(), n.w.get(), static_cast<double>(pictureWidth), MPFR_RNDN);
    mpfr_mul_d(n.h.get(), n.h.get(), static_cast<double>(std::abs(band.height)), MPFR_RNDN);
    mpfr_div_d(n.h.get(), n.h.get(), static_cast<double>(pictureHeight), MPFR_RNDN);
    return Make(n.cx, n.cy, n.w, n.h, n.bits + 32);
}

deep::DeepRegion DeepZoomAbout(const deep::DeepRegion& d, double x, double y, long double factor, int pictureWidth,
                               int pictureHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0 || !(factor > 0.0L) || factor == factor * 2.0L)
        throw deep::RegionError("A zoom needs a picture and a positive factor.");
    Numbers n(d);
    const long double fx = static_cast<long double>(x) / pictureWidth - 0.5L;
    const long double fy = static_cast<long double>(y) / pictureHeight - 0.5L;
    // The point under the pointer keeps its place: it moves the centre by
    // its offset times (1 - 1/factor).
    Shift(n.cx, n.w, fx * (1.0L - 1.0L / factor), n.bits);
    Shift(n.cy, n.h, fy * (1.0L - 1.0L / factor), n.bits);
    Mpfr f(n.bits);
    mpfr_set_ld(f.get(), factor, MPFR_RNDN);
    mpfr_div(n.w.get(), n.w.get(), f.get(), MPFR_RNDN);
    mpfr_div(n.h.get(), n.h.get(), f.get(), MPFR_RNDN);
    return Make(n.cx, n.cy, n.w, n.h, n.bits + 64);
}

deep::DeepRegion DeepPanByPixels(const deep::DeepRegion& d, int dx, int dy, int pictureWidth, int pictureHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0)
        throw deep::RegionError("A drag needs a picture.");
    Numbers n(d);
    Shift(n.cx, n.w, -static_cast<long double>(dx) / pictureWidth, n.bits);
    Shift(n.cy, n.h, -static_cast<long double>(dy) / pictureHeight, n.bits);
    return Make(n.cx, n.cy, n.w, n.h, n.bits + 32);
}

DeepCorners CornersOf(const deep::DeepRegion& d)
{
    const Numbers n(d);
    Mpfr half(n.bits), a(n.bits), b(n.bits);
    // Digits to tell the pixels apart and a few more, not the working guard bits.
    const mpfr_prec_t shown = n.bits - 96;
    DeepCorners c;
    auto axis = [&](const Mpfr& centre, const Mpfr& extent, std::string& lo, std::string& hi) {
        mpfr_div_2ui(half.get(), extent.get(), 1, MPFR_RNDN);
        mpfr_sub(a.get(), centre.get(), half.get(), MPFR_RNDN);
        mpfr_add(b.get(), centre.get(), half.get(), MPFR_RNDN);
        lo = Text(a, shown);
        hi = Text(b, shown);
    };
    axis(n.cx, n.w, c.x1, c.x2);
    axis(n.cy, n.h, c.y1, c.y2);
    return c;
}

deep::DeepRegion FromCorners(const DeepCorners& c)
{
    for (const std::string* t : {&c.x1, &c.x2, &c.y1, &c.y2})
        if (!deep::IsDecimal(*t))
            throw deep::RegionError("\"" + *t + "\" is not a decimal number.");
    // Enough bits for every digit typed.
    const std::size_t longest = std::max({c.x1.size(), c.x2.size(), c.y1.size(), c.y2.size()});
    const mpfr_prec_t bits = static_cast<mpfr_prec_t>(longest * 4 + 128);
    Mpfr x1(bits), x2(bits), y1(bits), y2(bits), cx(bits + 8), cy(bits + 8), w(bits + 8), h(bits + 8);
    Numbers::Read(c.x1, x1);
    Numbers::Read(c.x2, x2);
    Numbers::Read(c.y1, y1);
    Numbers::Read(c.y2, y2);
    mpfr_sub(w.get(), x2.get(), x1.get(), MPFR_RNDN);
    mpfr_sub(h.get(), y2.get(), y1.get(), MPFR_RNDN);
    if (mpfr_sgn(w.get()) <= 0 || mpfr_sgn(h.get()) <= 0)
        throw deep::RegionError("The corners must have x1 < x2 and y1 < y2.");
    mpfr_add(cx.get(), x1.get(), x2.get(), MPFR_RNDN);
    mpfr_div_2ui(cx.get(), cx.get(), 1, MPFR_RNDN);
    mpfr_add(cy.get(), y1.get(), y2.get(), MPFR_RNDN);
    mpfr_div_2ui(cy.get(), cy.get(), 1, MPFR_RNDN);
    return Make(cx, cy, w, h, bits + 8);
}

deep::DeepRegion ExtentsOf(const deep::DeepRegion& d)
{
    if (!d.height.empty())
        return d;
    const Numbers n(d);
    deep::DeepRegion out = d;
    out.height = Text(n.h, n.bits - 96);
    return out;
}

deep::DeepRegion FromExtents(const deep::DeepRegion& typed)
{
    for (const std::string* t : {&typed.centerX, &typed.centerY, &typed.width})
        if (!deep::IsDecimal(*t))
            throw deep::RegionError("\"" + *t + "\" is not a decimal number.");
    if (!typed.height.empty() && !deep::IsDecimal(typed.height))
        throw deep::RegionError("\"" + typed.height + "\" is not a decimal number.");
    if (!deep::IsPositiveDecimal(typed.width) || (!typed.height.empty() && !deep::IsPositiveDecimal(typed.height)))
        throw deep::RegionError("The width and the height must be above 0.");
    // Throws for a spacing the engine cannot reach.
    (void)deep::Mapping(typed, kPictureWidth, kPictureHeight);
    return typed;
}

std::optional<double> LimitShare(const std::vector<std::uint8_t>& cells, int limit)
{
    if (limit < 0 || limit > 255 || cells.empty())
        return std::nullopt;
    const auto at = std::count(cells.begin(), cells.end(), static_cast<std::uint8_t>(limit));
    return static_cast<double>(at) / static_cast<double>(cells.size());
}

} // namespace view
