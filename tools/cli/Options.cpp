// quillon-render's command line: the options, their checks, and the view they describe.
#include "Options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "colour/PaletteFile.h"
#include "deep/Mapping.h"
#include "export/PictureWriters.h"
#include "fractals/Catalogue.h"

namespace cli {

// Whole-text decimal parse; NaN and infinities are not numbers here.
long double ParseNumber(const std::string& text)
{
    if (text.empty())
        throw UsageError("'" + text + "' is not a valid number");
    char* end = nullptr;
    errno = 0;
    const long double v = std::strtold(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(v))
        throw UsageError("'" + text + "' is not a valid number");
    return v;
}

int ParseInt(const std::string& text, int lo, int hi, const std::string& what)
{
    const auto v = exporter::ParseWholeNumber(text, lo, hi);
    if (!v)
        throw UsageError(what + " must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) +
                         ", not '" + text + "'");
    return static_cast<int>(*v);
}

bool Options::HasOutput() const
{
    return !rawPath.empty() || HasPicture() || HasBufferOutput() || !saveViewPath.empty() || !savePalettePath.empty() ||
           !moviePath.empty() || !framesDir.empty();
}

bool Options::PaletteOnly() const
{
    return !savePalettePath.empty() && rawPath.empty() && !HasPicture() && !HasBufferOutput() &&
           saveViewPath.empty() && fromRawPath.empty() && !IsMovie();
}

namespace {

// --param, --julia and --iterations in place of the view's (or the file's)
// parameters, each only where the view's formula reads it.
void ApplyParameters(const Options& o, exporter::ViewDocument& d)
{
    if (!o.param && !o.julia && !o.iterations)
        return;
    const fractals::View* view = fractals::FindView(d.viewId);
    if (!view)
        throw UsageError("--param, --julia and --iterations need --view ID or --open FILE");
    auto refuse = [&](const char* flag, const char* views) {
        throw UsageError(std::string(flag) + " applies to " + views + ", not to " + view->id + " (" +
                         view->functionName + ")");
    };
    if (o.param) {
        if (!fractals::TakesTamoParameter(view->function))
            refuse("--param", "the Tamo views (CountTamoSet)");
        d.parameters.tamoX = (*o.param)[0];
        d.parameters.tamoY = (*o.param)[1];
        d.parameters.tamoZ = (*o.param)[2];
    }
    if (o.julia) {
        if (!fractals::TakesJuliaConstant(view->function))
            refuse("--julia", "the Julia views and FormJulia (CountJuliaSet)");
        d.parameters.juliaRe = (*o.julia)[0];
        d.parameters.juliaIm = (*o.julia)[1];
    }
    if (o.iterations) {
        if (!fractals::TakesIterationLimit(view->function))
            refuse("--iterations", "the Tamo, Julia and level-set views");
        d.parameters.iterations = *o.iterations;
    }
}

// The combinations a picture of this size and these outputs cannot have.
void CheckOutputs(const Options& o, const exporter::ViewDocument& d)
{
    const exporter::PictureSettings& p = d.picture;
    const bool standard = p.width == engine::kBufferWidth && p.height == engine::kBufferHeight;
    if (!o.fromRawPath.empty()) {
        if (!o.rawPath.empty() || o.HasBufferOutput() || o.rows)
            throw UsageError("--from-raw makes --png, --bmp and --save-view only");
        if (!o.HasPicture())
            throw UsageError("--from-raw needs --png FILE or --bmp FILE");
        if (!o.size)
            throw UsageError("--from-raw needs --size WxH, the size of the picture the values are of");
    }
    if (o.HasBufferOutput() && !standard)
        throw UsageError(std::string(o.size ? "--size" : "a view of another size than 1024x768") +
                         " does not go with --pov, --tga or --rib, which write 1024 x 768 pictures");
    if (p.supersample > 1 && (!o.rawPath.empty() || o.HasBufferOutput()))
        throw UsageError("--supersample applies to --bmp and --png only");
    if (o.rows) {
        if (o.HasPicture() || o.HasBufferOutput())
            throw UsageError("--rows applies to --raw only (join the bands with --from-raw)");
        if (o.rawPath.empty())
            throw UsageError("--rows needs --raw FILE");
        if (o.rows->second > p.height)
            throw UsageError("--rows " + std::to_string(o.rows->first) + ":" + std::to_string(o.rows->second) +
                             " goes past the picture's " + std::to_string(p.height) + " rows");
    }
    if (!o.bmpPath.empty() && !exporter::BmpFits(p.width, p.height))
        throw UsageError("a " + std::to_string(p.width) + " x " + std::to_string(p.height) +
                         " picture is too large for a Windows bitmap (4 GiB at most); use --png");
}

} // namespace

namespace {

void SetDeepRegion(const Options& o, exporter::ViewDocument& d)
{
    if (!o.center || o.deepWidth.empty())
        throw UsageError("a deep region needs --center CX CY and --width W");
    if (o.region)
        throw UsageError("--region and --center cannot be given together");
    const fractals::View* view = fractals::FindView(d.viewId);
    if (!view || !exporter::DrawsDeep(*view))
        throw UsageError("--center is only for Form1 and the Julia views, not " + d.viewId);
    const deep::DeepRegion region{(*o.center)[0], (*o.center)[1], o.deepWidth, o.deepHeight};
    const int width = o.size ? o.size->first : d.picture.width;
    const int height = o.size ? o.size->second : d.picture.height;
    try {
        const deep::Mapping check(region, width, height);
    } catch (const deep::RegionError& e) {
        throw UsageError(e.what());
    }
    d.deepRegion = region;
    d.extendedRegion.reset();
    // The nearest 6-byte region, for a window that opens the view.
    const long double cx = std::strtold(region.centerX.c_str(), nullptr);
    const long double cy = std::strtold(region.centerY.c_str(), nullptr);
    const long double w = std::strtold(region.width.c_str(), nullptr);
    const long double h = region.height.empty() ? w * (height - 1) / (width - 1)
                                                : std::strtold(region.height.c_str(), nullptr);
    try {
        d.region.SetRegionBySize(cx - w / 2, w, cy - h / 2, h);
    } catch (const std::exception&) {
        // Beyond the 6-byte range: the deep region alone describes the view.
    }
}

} // namespace

exporter::ViewDocument ResolveView(const Options& o)
{
    if (!o.viewId.empty() && !o.openPath.empty())
        throw UsageError("--view and --open cannot be given together");
    if (o.viewId.empty() && o.openPath.empty() && !o.PaletteOnly())
        throw UsageError("--view ID or --open FILE is required");
    if (!o.HasOutput())
        throw UsageError("no output given (--raw, --bmp, --png, --save-view, --save-palette, --tga, --pov or --rib FILE)");
    exporter::ViewDocument d; // with neither --view nor --open: default colours, no view id
    if (!o.openPath.empty()) {
        d = exporter::ReadViewFile(o.openPath);
    } else if (!o.viewId.empty()) {
        const fractals::View* view = fractals::FindView(o.viewId);
        if (!view)
            throw UsageError("unknown view '" + o.viewId + "' (see --list)");
        d = exporter::DefaultView(*view);
    }
    ApplyParameters(o, d);
    if (o.region) {
        const auto& r = *o.region;
        d.region.SetRegionByCorners(r[0], r[1], r[2], r[3]);
        d.extendedRegion.reset();
        d.deepRegion.reset();
    }
    if (o.center || !o.deepWidth.empty() || !o.deepHeight.empty())
        SetDeepRegion(o, d);
    if (o.page)
        d.page = *o.page;
    if (!o.paletteFilePath.empty()) {
        if (o.page && *o.page != colour::PalettePage::Vga)
            throw UsageError(std::string("--palette-file takes the place of the vga palette; it does not go with --palette ") +
                             exporter::PalettePageName(*o.page));
        colour::PaletteFile file = colour::ReadPaletteFile(o.paletteFilePath);
        d.loadedPalette = exporter::LoadedPalette{std::move(file.name), file.table};
        d.page = colour::PalettePage::Vga;
    }
    if (o.colours) {
        const std::size_t want = exporter::PanelCount(d.page);
        if (want == 0)
            throw UsageError("--colours needs --palette 2, 3, 4 or 15 (the vga palette has no panels)");
        if (o.colours->size() != want)
            throw UsageError("--palette " + std::to_string(want) + " takes " + std::to_string(want) +
                             " colours, not " + std::to_string(o.colours->size()));
        std::copy(o.colours->begin(), o.colours->end(), exporter::PagePanels(d.panels, d.page).begin());
    }
    if (o.rotation)
        d.adjust.rotation = *o.rotation;
    if (o.rgb) {
        d.adjust.red = (*o.rgb)[0];
        d.adjust.green = (*o.rgb)[1];
        d.adjust.blue = (*o.rgb)[2];
    }
    if (o.colourOffset)
        d.adjust.colourOffset = *o.colourOffset;
    if (o.size) {
        d.picture.width = o.size->first;
        d.picture.height = o.size->second;
    }
    if (o.supersample)
        d.picture.supersample = *o.supersample;
    CheckOutputs(o, d);
    return d;
}

void SavePalette(const Options& o, const exporter::ViewDocument& d)
{
    const bool loaded = d.page == colour::PalettePage::Vga && d.loadedPalette;
    exporter::SavePaletteFile(o.savePalettePath, d.Palette(),
                              loaded ? d.loadedPalette->name : colour::PalettePageName(d.page));
}

} // namespace cli
