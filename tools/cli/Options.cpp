// quillon-render's command line: the options, their checks, and the view they describe.
#include "Options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "colour/PaletteFile.h"
#include "export/PictureWriters.h"
#include "fractals/Catalogue.h"

namespace cli {

void PrintUsage()
{
    std::puts(
        "usage: quillon-render --list\n"
        "       quillon-render (--view ID | --open FILE) [--region X1 X2 Y1 Y2] [--threads N] [--quiet]\n"
        "                      [--palette vga|2|3|4|15 | --palette-file FILE] [--colours C1,C2,...]\n"
        "                      [--rotate N] [--save-palette FILE]\n"
        "                      [--rgb R,G,B] [--offset N] [--size WxH] [--supersample N] [--rows A:B]\n"
        "                      [--raw FILE] [--bmp FILE] [--png FILE] [--save-view FILE]\n"
        "                      [--tga FILE] [--rib FILE]\n"
        "                      [--pov FILE [--camera left|right] [--view-from TEXT] [--light left|right]]\n"
        "       quillon-render (--view ID | --open FILE) [colours] --from-raw FILE --size WxH\n"
        "                      [--supersample N] (--png FILE | --bmp FILE)\n"
        "       quillon-render [--open FILE] [--palette P [--colours LIST] | --palette-file FILE]\n"
        "                      --save-palette FILE\n"
        "\n"
        "  --list            list every view id (24 opening views, 36 type-button views)\n"
        "  --view ID         the view to compute, e.g. FormJU3, Form1, FormRN4.SBAL1\n"
        "  --open FILE       a view file (.qview) or a PNG written by Quillon, in place of --view;\n"
        "                    the options given with it replace the file's values\n"
        "  --region X1 X2 Y1 Y2  override the region by its corners (stored as 6-byte reals)\n"
        "  --threads N       rows computed on N threads (default: every core)\n"
        "  --quiet           nothing but errors: no progress bar (drawn only when stderr is a\n"
        "                    terminal) and no closing line\n"
        "\n"
        "Colours of the picture (--bmp, --png):\n"
        "  --palette P       palette page: vga (default), 2, 3, 4 or 15 colours\n"
        "  --colours LIST    the page's panel colours, 0xBBGGRR or decimal, as many as the page has\n"
        "                    (default: the page's initial colours)\n"
        "  --rotate N        palette rotation, 0 to 200 (default 0)\n"
        "  --rgb R,G,B       red, green and blue offsets, each -255 to 255 (default 0,0,0)\n"
        "  --offset N        colour offset, 0 to 255 (default: the window's own)\n"
        "  --palette-file FILE  a palette file (.map, .gpl or .ggr) in place of the vga table;\n"
        "                    selects page vga (the loaded palette is kept in --save-view and --png)\n"
        "  --save-palette FILE  the 256 colours of the page as built, before rotation and\n"
        "                    offsets, as .map or .gpl (by the extension); needs no view\n"
        "\n"
        "Size (--raw, --bmp, --png):\n"
        "  --size WxH        the picture's size, each side 2 to 65535 (default 1024x768); the\n"
        "                    region stays, stretched to the new shape\n"
        "  --supersample N   --bmp and --png: each pixel the mean of N x N values, 1 to 8\n"
        "  --rows A:B        --raw only: rows A to B-1 of the picture; bands written in order\n"
        "                    and concatenated are the whole\n"
        "\n"
        "Outputs (any number; the picture is computed once):\n"
        "  --raw FILE        the values, one byte a cell, row 0 first (786,432 bytes at 1024x768)\n"
        "  --bmp FILE        the picture as a Windows bitmap (24-bit)\n"
        "  --png FILE        the picture as PNG, with its view in the text chunk \"Quillon view\"\n"
        "  --save-view FILE  the view file of the picture\n"
        "  --from-raw FILE   colour raw values (bands joined) instead of computing: the file holds\n"
        "                    (N*W) x (N*H) values for --size WxH --supersample N\n"
        "  --tga FILE        the TGA height image alone (1024 x 768)\n"
        "  --pov FILE        a POV-Ray scene and its height image (1024 x 768); \".pov\" is appended\n"
        "                    unless the name contains it, and the height image is the scene name + \".tga\"\n"
        "  --camera SIDE     left (default) or right\n"
        "  --view-from TEXT  \"View from sky\" (default), \"View from floor\", \"View from top\"\n"
        "                    or \"View from high above\"\n"
        "  --light SIDE      left (default) or right\n"
        "  --rib FILE        a RenderMan scene (1024 x 768)");
    PrintMovieUsage();
}

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

namespace {

std::vector<std::string> SplitCommas(const std::string& text)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos)
            return parts;
        start = comma + 1;
    }
}

bool IsSide(const std::string& text) { return text == "left" || text == "right"; }

std::pair<int, int> ParseRows(const std::string& text)
{
    const std::size_t colon = text.find(':');
    const auto a = colon == std::string::npos ? std::nullopt : exporter::ParseWholeNumber(text.substr(0, colon), 0, 65535);
    const auto b = colon == std::string::npos ? std::nullopt : exporter::ParseWholeNumber(text.substr(colon + 1), 1, 65535);
    if (!a || !b || *a >= *b)
        throw UsageError("--rows must be A:B with 0 <= A < B, not '" + text + "'");
    return {static_cast<int>(*a), static_cast<int>(*b)};
}

} // namespace

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

Options ParseArguments(const std::vector<std::string>& args)
{
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const char* name) -> const std::string& {
            if (i + 1 >= args.size())
                throw UsageError(std::string(name) + " needs a value");
            return args[++i];
        };
        auto path = [&](const char* name, std::string& target) {
            target = value(name);
            if (target.empty())
                throw UsageError(std::string(name) + " needs a file name");
        };
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--list") {
            o.list = true;
        } else if (a == "--view") {
            o.viewId = value("--view");
        } else if (a == "--open") {
            path("--open", o.openPath);
        } else if (a == "--raw") {
            path("--raw", o.rawPath);
        } else if (a == "--bmp") {
            path("--bmp", o.bmpPath);
        } else if (a == "--png") {
            path("--png", o.pngPath);
        } else if (a == "--save-view") {
            path("--save-view", o.saveViewPath);
        } else if (a == "--palette-file") {
            path("--palette-file", o.paletteFilePath);
        } else if (a == "--save-palette") {
            path("--save-palette", o.savePalettePath);
            const auto format = colour::PaletteFormatOfName(o.savePalettePath);
            if (format != colour::PaletteFormat::Map && format != colour::PaletteFormat::Gpl)
                throw UsageError("--save-palette writes .map or .gpl files, not '" + o.savePalettePath + "'");
        } else if (a == "--from-raw") {
            path("--from-raw", o.fromRawPath);
        } else if (a == "--tga") {
            path("--tga", o.tgaPath);
        } else if (a == "--pov") {
            path("--pov", o.povPath);
        } else if (a == "--rib") {
            path("--rib", o.ribPath);
        } else if (a == "--threads") {
            o.threads = ParseInt(value("--threads"), 1, 1024, "--threads");
        } else if (a == "--quiet") {
            o.quiet = true;
        } else if (a == "--region") {
            std::array<long double, 4> r{};
            for (long double& v : r)
                v = ParseNumber(value("--region"));
            o.region = r;
        } else if (a == "--palette") {
            const std::string& text = value("--palette");
            o.page = exporter::ParsePalettePage(text);
            if (!o.page)
                throw UsageError("--palette must be vga, 2, 3, 4 or 15, not '" + text + "'");
        } else if (a == "--colours") {
            std::vector<colour::ColourWord> list;
            for (const std::string& part : SplitCommas(value("--colours"))) {
                const auto c = exporter::ParseColourWord(part);
                if (!c)
                    throw UsageError("a colour must be 0x000000 to 0xFFFFFF (0xBBGGRR), not '" + part + "'");
                list.push_back(*c);
            }
            o.colours = std::move(list);
        } else if (a == "--rotate") {
            o.rotation = ParseInt(value("--rotate"), 0, 200, "--rotate");
        } else if (a == "--rgb") {
            const std::vector<std::string> parts = SplitCommas(value("--rgb"));
            if (parts.size() != 3)
                throw UsageError("--rgb needs three offsets R,G,B");
            o.rgb = std::array<int, 3>{ParseInt(parts[0], -255, 255, "the red offset"),
                                       ParseInt(parts[1], -255, 255, "the green offset"),
                                       ParseInt(parts[2], -255, 255, "the blue offset")};
        } else if (a == "--offset") {
            o.colourOffset = ParseInt(value("--offset"), 0, 255, "--offset");
        } else if (a == "--size") {
            const std::string& text = value("--size");
            o.size = exporter::ParsePictureSize(text);
            if (!o.size)
                throw UsageError("--size must be WxH, each side from 2 to 65535, not '" + text + "'");
        } else if (a == "--supersample") {
            o.supersample = ParseInt(value("--supersample"), 1, exporter::kMaxSupersample, "--supersample");
        } else if (a == "--rows") {
            o.rows = ParseRows(value("--rows"));
        } else if (a == "--camera") {
            const std::string& side = value("--camera");
            if (!IsSide(side))
                throw UsageError("--camera must be left or right, not '" + side + "'");
            o.choices.camLeft = side == "left";
            o.choices.camRight = side == "right";
            o.sceneOptionGiven = true;
        } else if (a == "--view-from") {
            const std::string& text = value("--view-from");
            if (text != "View from sky" && text != "View from floor" && text != "View from top" &&
                text != "View from high above")
                throw UsageError("--view-from must be \"View from sky\", \"View from floor\", \"View from top\" or "
                                 "\"View from high above\", not '" + text + "'");
            o.choices.comboText = text;
            o.sceneOptionGiven = true;
        } else if (a == "--light") {
            const std::string& side = value("--light");
            if (!IsSide(side))
                throw UsageError("--light must be left or right, not '" + side + "'");
            o.choices.lightLeft = side == "left";
            o.sceneOptionGiven = true;
        } else if (!ParseMovieOption(args, i, o)) {
            throw UsageError("unknown argument '" + a + "'");
        }
    }
    if (o.sceneOptionGiven && o.povPath.empty())
        throw UsageError("--camera, --view-from and --light apply to --pov only");
    return o;
}

namespace {

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
    if (o.region) {
        const auto& r = *o.region;
        d.region.SetRegionByCorners(r[0], r[1], r[2], r[3]);
        d.extendedRegion.reset();
    }
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
