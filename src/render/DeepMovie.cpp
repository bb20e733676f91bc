// Zoom movies into deep views: frame regions in MPFR, decimal view texts, and references shared by groups of frames.
#include "render/DeepMovie.h"

#include <cmath>
#include <string>

#include "fractals/Catalogue.h"
#include "movie/ZoomPath.h"

namespace render {

namespace {

// A group shares one reference over 16 octaves of zoom: the reference's 32
// guard bits leave room for 16 more bits of depth.
constexpr int kGroupOctaves = 16;

std::string DecimalOf(const deep::Mpfr& v, std::size_t digits) { return deep::DecimalText(v, digits); }

void Set(deep::Mpfr& v, const std::string& decimal) { mpfr_set_str(v.get(), decimal.c_str(), 10, MPFR_RNDN); }
void Set(deep::Mpfr& v, long double value) { mpfr_set_ld(v.get(), value, MPFR_RNDN); }

} // namespace

// One axis: centre and extent at both ends, and the fixed point the zoom
// turns about: c(t) = P + (c0 - P) e(t)/e0, e(t) = e0 (e1/e0)^t.
struct DeepZoom::Axis {
    deep::Mpfr c0, c1, e0, e1, p, logRatio;
    bool move; // equal extents: the centre moves linearly
    explicit Axis(mpfr_prec_t bits) : c0(bits), c1(bits), e0(bits), e1(bits), p(bits), logRatio(bits), move(false) {}

    void Prepare()
    {
        const mpfr_prec_t bits = c0.bits();
        move = mpfr_equal_p(e0.get(), e1.get()) != 0;
        if (move)
            return;
        deep::Mpfr a(bits), b(bits);
        mpfr_div(logRatio.get(), e1.get(), e0.get(), MPFR_RNDN);
        mpfr_log(logRatio.get(), logRatio.get(), MPFR_RNDN);
        mpfr_mul(a.get(), c1.get(), e0.get(), MPFR_RNDN);
        mpfr_mul(b.get(), c0.get(), e1.get(), MPFR_RNDN);
        mpfr_sub(a.get(), a.get(), b.get(), MPFR_RNDN);
        mpfr_sub(b.get(), e0.get(), e1.get(), MPFR_RNDN);
        mpfr_div(p.get(), a.get(), b.get(), MPFR_RNDN);
    }
    // e(t)/e0.
    void Ratio(double t, deep::Mpfr& out) const
    {
        mpfr_mul_d(out.get(), logRatio.get(), t, MPFR_RNDN);
        mpfr_exp(out.get(), out.get(), MPFR_RNDN);
    }
    void At(double t, deep::Mpfr& centre, deep::Mpfr& extent) const
    {
        if (move) {
            mpfr_sub(centre.get(), c1.get(), c0.get(), MPFR_RNDN);
            mpfr_mul_d(centre.get(), centre.get(), t, MPFR_RNDN);
            mpfr_add(centre.get(), centre.get(), c0.get(), MPFR_RNDN);
            mpfr_set(extent.get(), e0.get(), MPFR_RNDN);
            return;
        }
        deep::Mpfr r(centre.bits());
        Ratio(t, r);
        mpfr_mul(extent.get(), e0.get(), r.get(), MPFR_RNDN);
        mpfr_sub(centre.get(), c0.get(), p.get(), MPFR_RNDN);
        mpfr_mul(centre.get(), centre.get(), r.get(), MPFR_RNDN);
        mpfr_add(centre.get(), centre.get(), p.get(), MPFR_RNDN);
    }
    // The largest distance of a frame's centre from c1, for frames with
    // e(t)/e0 <= ratio: |c(t) - c1| = |c0 - P| |e(t)/e0 - e1/e0|.
    long double Reach(long double ratio) const
    {
        deep::Mpfr d(c0.bits());
        mpfr_sub(d.get(), c0.get(), move ? c1.get() : p.get(), MPFR_RNDN);
        const long double far = std::fabs(mpfr_get_ld(d.get(), MPFR_RNDN));
        return move ? far : far * ratio;
    }
};

namespace {

// Centre and extents of a view as MPFR values at `bits`: a deep view's own
// decimals, a 6-byte (or extended) region's exact centre and extents.
void Extents(const exporter::ViewDocument& v, mpfr_prec_t bits, deep::Mpfr& cx, deep::Mpfr& cy, deep::Mpfr& w,
             deep::Mpfr& h)
{
    if (v.deepRegion) {
        Set(cx, v.deepRegion->centerX);
        Set(cy, v.deepRegion->centerY);
        Set(w, v.deepRegion->width);
        if (!v.deepRegion->height.empty()) {
            Set(h, v.deepRegion->height);
        } else {
            mpfr_mul_ui(h.get(), w.get(), static_cast<unsigned long>(v.picture.height - 1), MPFR_RNDN);
            mpfr_div_ui(h.get(), h.get(), static_cast<unsigned long>(v.picture.width - 1), MPFR_RNDN);
        }
        return;
    }
    const engine::RegionValues r = v.DrawnRegion();
    deep::Mpfr half(bits);
    Set(w, r.XWidth);
    Set(h, r.YHeight);
    Set(cx, r.XStart);
    mpfr_div_2ui(half.get(), w.get(), 1, MPFR_RNDN);
    mpfr_add(cx.get(), cx.get(), half.get(), MPFR_RNDN);
    Set(cy, r.YStart);
    mpfr_div_2ui(half.get(), h.get(), 1, MPFR_RNDN);
    mpfr_add(cy.get(), cy.get(), half.get(), MPFR_RNDN);
}

mpfr_prec_t BitsOf(const exporter::ViewDocument& v)
{
    if (!v.deepRegion)
        return 128;
    const int s = v.picture.supersample;
    return deep::Mapping(*v.deepRegion, v.picture.width * s, v.picture.height * s).Bits();
}

} // namespace

DeepZoom::DeepZoom(const exporter::ViewDocument& start, const exporter::ViewDocument& end, int frames)
    : start_(start), end_(end), frames_(frames)
{
    if (frames < 2 || frames > movie::kMaxFrames)
        throw movie::PathError("A zoom movie needs 2 to " + std::to_string(movie::kMaxFrames) + " frames.");
    const fractals::View* view = fractals::FindView(start.viewId);
    if (!view || !exporter::DrawsDeep(*view))
        throw deep::RegionError("a deep zoom is only for Form1 and the Julia views");
    params_ = DeepFormula(*view, start.parameters);
    end_.picture = start_.picture;
    const mpfr_prec_t bits = std::max(BitsOf(start_), BitsOf(end_)) + 64;
    x_ = std::make_unique<Axis>(bits);
    y_ = std::make_unique<Axis>(bits);
    Extents(start_, bits, x_->c0, y_->c0, x_->e0, y_->e0);
    Extents(end_, bits, x_->c1, y_->c1, x_->e1, y_->e1);
    for (Axis* a : {x_.get(), y_.get()})
        if (mpfr_sgn(a->e0.get()) <= 0 || mpfr_sgn(a->e1.get()) <= 0)
            throw movie::PathError("A zoom movie needs views of positive extents.");
    x_->Prepare();
    y_->Prepare();
}

DeepZoom::~DeepZoom() = default;

deep::DeepRegion DeepZoom::RegionAt(int frame) const
{
    const double t = static_cast<double>(frame) / static_cast<double>(frames_ - 1);
    const mpfr_prec_t bits = x_->c0.bits();
    const std::size_t digits = static_cast<std::size_t>(static_cast<double>(bits) * 0.30103) + 3;
    deep::Mpfr cx(bits), cy(bits), w(bits), h(bits);
    x_->At(t, cx, w);
    y_->At(t, cy, h);
    return {DecimalOf(cx, digits), DecimalOf(cy, digits), DecimalOf(w, 30), DecimalOf(h, 30)};
}

exporter::ViewDocument DeepZoom::FrameView(int frame) const
{
    if (frame == 0)
        return start_;
    if (frame == frames_ - 1)
        return end_;
    exporter::ViewDocument v = start_;
    v.deepRegion = RegionAt(frame);
    v.extendedRegion.reset();
    return v;
}

std::shared_ptr<const deep::Reference> DeepZoom::GroupReference(int group, const deep::Mapping& frame)
{
    if (group == cachedGroup_ && cached_ && cached_->Serves(frame, params_))
        return cached_;
    // The group's reference sits at the end view's centre, with the
    // precision of the group's deepest frame and tables for its widest.
    const long double ratio = std::ldexp(1.0L, -kGroupOctaves * group);
    const mpfr_prec_t bits = x_->c0.bits();
    deep::Mpfr w(bits), h(bits);
    mpfr_mul_2si(w.get(), x_->e0.get(), -kGroupOctaves * (group + 1), MPFR_RNDN);
    mpfr_max(w.get(), w.get(), x_->e1.get(), MPFR_RNDN);
    mpfr_mul_2si(h.get(), y_->e0.get(), -kGroupOctaves * (group + 1), MPFR_RNDN);
    mpfr_max(h.get(), h.get(), y_->e1.get(), MPFR_RNDN);
    const std::size_t digits = static_cast<std::size_t>(static_cast<double>(bits) * 0.30103) + 3;
    const deep::Mapping deepest({DecimalOf(x_->c1, digits), DecimalOf(y_->c1, digits), DecimalOf(w, 30),
                                 DecimalOf(h, 30)},
                                frame.Width(), frame.Height());
    const long double halfX = 0.5L * mpfr_get_ld(x_->e0.get(), MPFR_RNDN) * (x_->move ? 1.0L : ratio);
    const long double halfY = 0.5L * mpfr_get_ld(y_->e0.get(), MPFR_RNDN) * (y_->move ? 1.0L : ratio);
    const long double radius = 1.01L * std::hypot(x_->Reach(ratio) + halfX, y_->Reach(ratio) + halfY);
    cached_ = std::make_shared<const deep::Reference>(deepest, params_, radius);
    cachedGroup_ = group;
    if (cached_->Serves(frame, params_))
        return cached_;
    // A fixed point far outside the picture: this frame gets its own.
    return std::make_shared<const deep::Reference>(frame, params_);
}

void DeepZoom::Render(int frame, const Colours& colours, const Control& control, const movie::RowOut& out)
{
    exporter::ViewDocument view = FrameView(frame);
    const bool between = frame > 0 && frame < frames_ - 1;
    std::optional<deep::DeepRegion> region = view.deepRegion;
    if (between)
        view.deepRegion.reset(); // the job below gets its region here, not from a reference of its own
    ViewJob vj = MakeViewJob(view);
    if (between) {
        const engine::Grid grid = ValueGrid(vj.job);
        deep::Mapping mapping(*region, grid.width, grid.height);
        const std::optional<engine::RegionValues> shallow = ShallowRegion(mapping);
        if (shallow) {
            vj.job.region = *shallow;
        } else {
            const double t = static_cast<double>(frame) / static_cast<double>(frames_ - 1);
            const double octaves = -t * mpfr_get_d(x_->logRatio.get(), MPFR_RNDN) / std::log(2.0);
            const int group = x_->move || !(octaves > 0.0) ? 0 : static_cast<int>(std::floor(octaves / kGroupOctaves));
            auto reference = GroupReference(group, mapping);
            vj.job.deep = std::make_shared<const DeepJob>(DeepJob{std::move(mapping), std::move(reference)});
        }
    }
    try {
        RenderRgb(vj.job, colours, [&](int, std::span<const std::uint8_t> rgb) { out(rgb); }, control);
    } catch (const Cancelled&) {
        // MakeFrames reads the same flag and drops the frame.
    }
}

} // namespace render
