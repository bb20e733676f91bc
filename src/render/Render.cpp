// Pictures of a view at any size: values on the row pool, colours mapped, rows streamed in order to a sink.
#include "render/Render.h"

#include <algorithm>
#include <cmath>

#include "deep/Perturb.h"
#include "engine/Kernels.h"
#include "export/PictureWriters.h"
#include "export/ViewFile.h"
#include "fractals/Catalogue.h"

namespace render {

engine::Grid ValueGrid(const Job& job)
{
    return engine::Grid::OfSize(job.width * job.supersample, job.height * job.supersample);
}

void ComputeValues(const Job& job, int firstRow, int lastRow, const ValueSink& sink, const Control& control)
{
    const engine::Grid grid = ValueGrid(job);
    if (!job.prototype || !job.function || job.supersample < 1 || grid.width < 2 || grid.height < 2 ||
        firstRow < 0 || lastRow > grid.height || firstRow > lastRow)
        throw std::invalid_argument("ComputeValues: no such picture or rows");
    engine::RowPool& pool = control.pool ? *control.pool : engine::RowPool::Instance();
    auto cancelled = [&] { return control.cancel && control.cancel->load(std::memory_order_relaxed); };
    if (cancelled())
        throw Cancelled();
    std::vector<std::uint8_t> row(static_cast<std::size_t>(grid.width));
    const std::shared_ptr<const DeepJob> deepJob = job.deep;
    engine::RowStream stream =
        deepJob ? engine::RowStream(
                      grid.width, firstRow, lastRow,
                      [deepJob](int r, std::uint8_t* out) { deep::CellRow(*deepJob->reference, deepJob->mapping, r, out); },
                      control.lookahead, pool, control.priority)
                : engine::RowStream(job.region, grid, firstRow, lastRow, *job.prototype, job.function,
                                    control.lookahead, pool, control.priority);
    Progress progress{0, lastRow - firstRow};
    for (int r = firstRow; r < lastRow; ++r) {
        if (cancelled())
            throw Cancelled();
        if (!stream.TakeRow(r, row.data(), control.cancel))
            throw Cancelled();
        sink(r, row);
        ++progress.rowsDone;
        if (control.progress)
            control.progress(progress);
    }
}

double SrgbToLinear(std::uint8_t value)
{
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

std::uint8_t LinearToSrgb(double linear)
{
    const double l = std::clamp(linear, 0.0, 1.0);
    const double c = l <= 0.0031308 ? 12.92 * l : 1.055 * std::pow(l, 1.0 / 2.4) - 0.055;
    return static_cast<std::uint8_t>(std::lround(std::clamp(c * 255.0, 0.0, 255.0)));
}

namespace {

const std::array<double, 256>& LinearTable()
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (int v = 0; v < 256; ++v)
            t[static_cast<std::size_t>(v)] = SrgbToLinear(static_cast<std::uint8_t>(v));
        return t;
    }();
    return table;
}

} // namespace

ColourRows::ColourRows(int width, int supersample, const Colours& colours, RgbSink sink)
    : width_(width), supersample_(supersample), table_(colour::ColourTableRgb32(colours.palette, colours.adjust)),
      sink_(std::move(sink)), rgb_(static_cast<std::size_t>(width) * 3)
{
    if (supersample_ > 1)
        sums_.assign(static_cast<std::size_t>(width) * 3, 0.0);
}

void ColourRows::Add(std::span<const std::uint8_t> values)
{
    const std::size_t n = static_cast<std::size_t>(supersample_);
    if (values.size() != static_cast<std::size_t>(width_) * n)
        throw std::invalid_argument("ColourRows: a value row of the wrong width");
    if (supersample_ == 1) {
        for (std::size_t c = 0; c < values.size(); ++c) {
            const std::uint32_t word = table_[values[c]];
            rgb_[3 * c + 0] = static_cast<std::uint8_t>(word >> 16);
            rgb_[3 * c + 1] = static_cast<std::uint8_t>(word >> 8);
            rgb_[3 * c + 2] = static_cast<std::uint8_t>(word);
        }
        sink_(valueRows_++, rgb_);
        return;
    }
    const std::array<double, 256>& linear = LinearTable();
    for (std::size_t c = 0; c < values.size(); ++c) {
        const std::uint32_t word = table_[values[c]];
        double* sum = &sums_[3 * (c / n)];
        sum[0] += linear[(word >> 16) & 0xFF];
        sum[1] += linear[(word >> 8) & 0xFF];
        sum[2] += linear[word & 0xFF];
    }
    if (++valueRows_ % supersample_ != 0)
        return;
    const double samples = static_cast<double>(n * n);
    for (std::size_t k = 0; k < sums_.size(); ++k) {
        rgb_[k] = LinearToSrgb(sums_[k] / samples);
        sums_[k] = 0.0;
    }
    sink_(valueRows_ / supersample_ - 1, rgb_);
}

void RenderRgb(const Job& job, const Colours& colours, const RgbSink& sink, const Control& control)
{
    ColourRows rows(job.width, job.supersample, colours, sink);
    ComputeValues(job, 0, ValueGrid(job).height, [&](int, std::span<const std::uint8_t> values) { rows.Add(values); },
                  control);
}

void RenderFile(const Job& job, const Colours& colours, FileFormat format, const std::string& path,
                const std::string& viewText, const Control& control)
{
    std::vector<exporter::TextChunk> text;
    if (!viewText.empty())
        text.push_back({exporter::kPngViewKeyword, viewText});
    std::unique_ptr<exporter::PictureWriter> writer =
        format == FileFormat::Png ? exporter::OpenPngWriter(path, job.width, job.height, text)
                                  : exporter::OpenBmpWriter(path, job.width, job.height);
    RenderRgb(job, colours, [&](int, std::span<const std::uint8_t> rgb) { writer->WriteRow(rgb.data()); }, control);
    writer->Finish();
}

ViewJob MakeViewJob(const exporter::ViewDocument& view)
{
    std::optional<DeepPlan> plan;
    ViewJob j = MakeViewJob(view, plan);
    if (plan)
        j.job.deep = MakeDeepJob(*plan, nullptr);
    return j;
}

std::shared_ptr<const DeepJob> MakeDeepJob(const DeepPlan& plan, std::shared_ptr<const deep::Reference> reuse,
                                           const std::function<bool()>& stopped)
{
    if (!reuse || !reuse->SameAsNew(plan.mapping, plan.params))
        reuse = std::make_shared<const deep::Reference>(plan.mapping, plan.params, 0.0L, stopped);
    return std::make_shared<const DeepJob>(DeepJob{plan.mapping, std::move(reuse)});
}

ViewJob MakeViewJob(const exporter::ViewDocument& view, std::optional<DeepPlan>& deepPlan)
{
    deepPlan.reset();
    const fractals::View* v = fractals::FindView(view.viewId);
    if (!v)
        throw std::invalid_argument("unknown view '" + view.viewId + "'");
    ViewJob j;
    j.set = fractals::MakePointSet(*v->window, view.parameters);
    j.job.region = view.DrawnRegion();
    j.job.prototype = j.set.get();
    j.job.function = v->function;
    j.job.width = view.picture.width;
    j.job.height = view.picture.height;
    j.job.supersample = view.picture.supersample;
    if (view.deepRegion) {
        if (!exporter::DrawsDeep(*v))
            throw deep::RegionError("a deep region is only for Form1 and the Julia views, not " + v->id);
        const engine::Grid grid = ValueGrid(j.job);
        deep::Mapping mapping(*view.deepRegion, grid.width, grid.height);
        const deep::FormulaParams params = DeepFormula(*v, view.parameters);
        const std::optional<engine::RegionValues> shallow = ShallowRegion(mapping);
        if (shallow)
            j.job.region = *shallow;
        else
            deepPlan = DeepPlan{std::move(mapping), params};
    }
    j.colours.palette = view.Palette();
    j.colours.adjust = view.adjust;
    return j;
}

deep::FormulaParams DeepFormula(const fractals::View& view, const fractals::Parameters& parameters)
{
    deep::FormulaParams params;
    params.limit = parameters.iterations;
    if (view.function == engine::LevelSetKernel)
        return params;
    params.formula = deep::Formula::Julia;
    params.juliaX = parameters.juliaRe;
    params.juliaY = parameters.juliaIm;
    return params;
}

std::optional<engine::RegionValues> ShallowRegion(const deep::Mapping& mapping)
{
    // The extended engine places a cell to the last bit of its coordinate:
    // with 2^-40 of the coordinates' size per pixel or more, that rounding
    // stays below a millionth of a pixel.
    const mpfr_prec_t bits = mapping.Bits() + 64;
    deep::Mpfr size(bits), spacing(bits), half(bits), start(bits);
    mpfr_abs(size.get(), mapping.CenterX().get(), MPFR_RNDN);
    mpfr_abs(half.get(), mapping.CenterY().get(), MPFR_RNDN);
    mpfr_max(size.get(), size.get(), half.get(), MPFR_RNDN);
    if (mpfr_cmp_ui(size.get(), 1) < 0)
        mpfr_set_ui(size.get(), 1, MPFR_RNDN);
    mpfr_min(spacing.get(), mapping.StepX().get(), mapping.StepY().get(), MPFR_RNDN);
    mpfr_mul_2si(size.get(), size.get(), -40, MPFR_RNDN);
    if (mpfr_cmp(spacing.get(), size.get()) < 0)
        return std::nullopt;
    engine::RegionValues r;
    auto corner = [&](const deep::Mpfr& centre, const deep::Mpfr& step, int pixels, long double& first,
                      long double& extent) {
        mpfr_mul_ui(half.get(), step.get(), static_cast<unsigned long>(pixels - 1), MPFR_RNDN);
        extent = mpfr_get_ld(half.get(), MPFR_RNDN);
        mpfr_div_2ui(half.get(), half.get(), 1, MPFR_RNDN);
        mpfr_sub(start.get(), centre.get(), half.get(), MPFR_RNDN);
        first = mpfr_get_ld(start.get(), MPFR_RNDN);
    };
    corner(mapping.CenterX(), mapping.StepX(), mapping.Width(), r.XStart, r.XWidth);
    corner(mapping.CenterY(), mapping.StepY(), mapping.Height(), r.YStart, r.YHeight);
    if (!std::isfinite(r.XStart) || !std::isfinite(r.XWidth) || !std::isfinite(r.YStart) || !std::isfinite(r.YHeight))
        return std::nullopt;
    return r;
}

} // namespace render
