// quillon-render: computes any catalogue view headless and writes its buffer, picture or 3D exports.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include <QString>

#include <unistd.h>

#include "colour/Palette.h"
#include "engine/Compute.h"
#include "export/Export.h"
#include "export/FileOutput.h"
#include "fractals/Catalogue.h"

namespace {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void PrintUsage()
{
    std::puts(
        "usage: quillon-render --list\n"
        "       quillon-render --view ID [--region X1 X2 Y1 Y2] [--threads N]\n"
        "                      [--palette vga|2|3|4|15] [--colours C1,C2,...] [--rotate N]\n"
        "                      [--rgb R,G,B] [--offset N]\n"
        "                      [--raw FILE] [--bmp FILE] [--tga FILE] [--rib FILE]\n"
        "                      [--pov FILE [--camera left|right] [--view-from TEXT] [--light left|right]]\n"
        "\n"
        "  --list            list every view id (24 opening views, 36 type-button views)\n"
        "  --view ID         the view to compute, e.g. FormJU3, Form1, FormRN4.SBAL1\n"
        "  --region X1 X2 Y1 Y2  override the region by its corners (stored as 6-byte reals)\n"
        "  --threads N       rows computed on N threads (default: every core)\n"
        "\n"
        "Colours of the picture (--bmp):\n"
        "  --palette P       palette page: vga (default), 2, 3, 4 or 15 colours\n"
        "  --colours LIST    the page's panel colours, 0xBBGGRR or decimal, as many as the page has\n"
        "                    (default: the page's initial colours)\n"
        "  --rotate N        palette rotation, 0 to 200 (default 0)\n"
        "  --rgb R,G,B       red, green and blue offsets, each -255 to 255 (default 0,0,0)\n"
        "  --offset N        colour offset, 0 to 255 (default: the window's own)\n"
        "\n"
        "Outputs (any number; the picture is computed once):\n"
        "  --raw FILE        the 786,432 bytes of the buffer, row 0 first\n"
        "  --bmp FILE        the 1024 x 768 picture as a Windows bitmap\n"
        "  --tga FILE        the TGA height image alone\n"
        "  --pov FILE        a POV-Ray scene and its height image; \".pov\" is appended unless the\n"
        "                    name contains it, and the height image is the scene name + \".tga\"\n"
        "  --camera SIDE     left (default) or right\n"
        "  --view-from TEXT  \"View from sky\" (default), \"View from floor\", \"View from top\"\n"
        "                    or \"View from high above\"\n"
        "  --light SIDE      left (default) or right\n"
        "  --rib FILE        a RenderMan scene");
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

int ParseInt(const std::string& text, int lo, int hi, const char* what)
{
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || end != text.c_str() + text.size() || errno != 0 || v < lo || v > hi)
        throw UsageError(std::string(what) + " must be a whole number from " + std::to_string(lo) + " to " +
                         std::to_string(hi) + ", not '" + text + "'");
    return static_cast<int>(v);
}

// A panel colour: 0xBBGGRR in hex, or decimal.
colour::ColourWord ParseColour(const std::string& text)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = text.c_str() + (hex ? 2 : 0);
    char* end = nullptr;
    errno = 0;
    const unsigned long v = std::strtoul(digits, &end, hex ? 16 : 10);
    if (text.empty() || *digits == '\0' || *digits == '-' || *digits == '+' || *digits == ' ' ||
        end != text.c_str() + text.size() || errno != 0 || v > 0xFFFFFFul)
        throw UsageError("a colour must be 0x000000 to 0xFFFFFF (0xBBGGRR), not '" + text + "'");
    return static_cast<colour::ColourWord>(v);
}

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

struct Options {
    std::string viewId;
    bool list = false;
    bool haveRegion = false;
    long double region[4] = {0, 0, 0, 0};
    int threads = 0;

    colour::PalettePage page = colour::PalettePage::Vga;
    std::optional<std::vector<colour::ColourWord>> colours;
    int rotation = 0;
    int red = 0, green = 0, blue = 0;
    std::optional<int> colourOffset;

    std::string rawPath, bmpPath, tgaPath, povPath, ribPath;
    exporter::ExportChoices choices;
    bool sceneOptionGiven = false;
};

colour::PalettePage ParsePalette(const std::string& text)
{
    if (text == "vga")
        return colour::PalettePage::Vga;
    if (text == "2")
        return colour::PalettePage::Two;
    if (text == "3")
        return colour::PalettePage::Three;
    if (text == "4")
        return colour::PalettePage::Four;
    if (text == "15")
        return colour::PalettePage::Fifteen;
    throw UsageError("--palette must be vga, 2, 3, 4 or 15, not '" + text + "'");
}

std::size_t PanelCount(colour::PalettePage page)
{
    switch (page) {
    case colour::PalettePage::Vga:
        return 0;
    case colour::PalettePage::Two:
        return 2;
    case colour::PalettePage::Three:
        return 3;
    case colour::PalettePage::Four:
        return 4;
    case colour::PalettePage::Fifteen:
        return 15;
    }
    return 0;
}

colour::PanelColours Panels(const Options& o)
{
    colour::PanelColours panels;
    if (!o.colours)
        return panels;
    const std::vector<colour::ColourWord>& c = *o.colours;
    switch (o.page) {
    case colour::PalettePage::Vga:
        break;
    case colour::PalettePage::Two:
        std::copy(c.begin(), c.end(), panels.two.begin());
        break;
    case colour::PalettePage::Three:
        std::copy(c.begin(), c.end(), panels.three.begin());
        break;
    case colour::PalettePage::Four:
        std::copy(c.begin(), c.end(), panels.four.begin());
        break;
    case colour::PalettePage::Fifteen:
        std::copy(c.begin(), c.end(), panels.fifteen.begin());
        break;
    }
    return panels;
}

bool IsSide(const std::string& text) { return text == "left" || text == "right"; }

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
        if (a == "--list") {
            o.list = true;
        } else if (a == "--view") {
            o.viewId = value("--view");
        } else if (a == "--raw") {
            o.rawPath = value("--raw");
        } else if (a == "--bmp") {
            o.bmpPath = value("--bmp");
        } else if (a == "--tga") {
            o.tgaPath = value("--tga");
        } else if (a == "--pov") {
            o.povPath = value("--pov");
        } else if (a == "--rib") {
            o.ribPath = value("--rib");
        } else if (a == "--threads") {
            o.threads = ParseInt(value("--threads"), 1, 1024, "--threads");
        } else if (a == "--region") {
            for (int k = 0; k < 4; ++k)
                o.region[k] = ParseNumber(value("--region"));
            o.haveRegion = true;
        } else if (a == "--palette") {
            o.page = ParsePalette(value("--palette"));
        } else if (a == "--colours") {
            std::vector<colour::ColourWord> list;
            for (const std::string& part : SplitCommas(value("--colours")))
                list.push_back(ParseColour(part));
            o.colours = std::move(list);
        } else if (a == "--rotate") {
            o.rotation = ParseInt(value("--rotate"), 0, 200, "--rotate");
        } else if (a == "--rgb") {
            const std::vector<std::string> parts = SplitCommas(value("--rgb"));
            if (parts.size() != 3)
                throw UsageError("--rgb needs three offsets R,G,B");
            o.red = ParseInt(parts[0], -255, 255, "the red offset");
            o.green = ParseInt(parts[1], -255, 255, "the green offset");
            o.blue = ParseInt(parts[2], -255, 255, "the blue offset");
        } else if (a == "--offset") {
            o.colourOffset = ParseInt(value("--offset"), 0, 255, "--offset");
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
        } else {
            throw UsageError("unknown argument '" + a + "'");
        }
    }
    if (o.colours) {
        const std::size_t want = PanelCount(o.page);
        if (want == 0)
            throw UsageError("--colours needs --palette 2, 3, 4 or 15 (the vga palette has no panels)");
        if (o.colours->size() != want)
            throw UsageError("--palette " + std::to_string(want) + " takes " + std::to_string(want) +
                             " colours, not " + std::to_string(o.colours->size()));
    }
    if (o.sceneOptionGiven && o.povPath.empty())
        throw UsageError("--camera, --view-from and --light apply to --pov only");
    return o;
}

int Run(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        throw UsageError("nothing to do (try --help)");
    for (const std::string& a : args)
        if (a == "--help" || a == "-h") {
            PrintUsage();
            return 0;
        }
    const Options o = ParseArguments(args);
    if (o.list) {
        for (const fractals::View& v : fractals::Views())
            std::printf("%-16s %-36s %s\n", v.id.c_str(), v.window->caption, v.functionName);
        return 0;
    }
    if (o.viewId.empty())
        throw UsageError("--view ID is required");
    const fractals::View* view = fractals::FindView(o.viewId);
    if (!view)
        throw UsageError("unknown view '" + o.viewId + "' (see --list)");
    if (o.rawPath.empty() && o.bmpPath.empty() && o.tgaPath.empty() && o.povPath.empty() && o.ribPath.empty())
        throw UsageError("no output given (--raw, --bmp, --tga, --pov or --rib FILE)");

    engine::Region r = view->region.Make();
    if (o.haveRegion)
        r.SetRegionByCorners(o.region[0], o.region[1], o.region[2], o.region[3]);

    std::unique_ptr<engine::TBasicSet> set = fractals::MakePointSet(*view->window);
    std::vector<std::uint8_t> buffer(engine::kBufferCells);
    const bool tty = isatty(STDERR_FILENO);
    int done = 0;
    const auto start = std::chrono::steady_clock::now();
    engine::ComputeBuffer(r.Values(), *set, view->function, o.threads, buffer.data(), [&](int) {
        ++done;
        if (tty && (done % 16 == 0 || done == engine::kBufferHeight))
            std::fprintf(stderr, "\r%s: %3d%%", o.viewId.c_str(), done * 100 / engine::kBufferHeight);
    });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (tty)
        std::fputc('\n', stderr);

    if (!o.rawPath.empty())
        exporter::detail::ReplaceFile(o.rawPath, std::string_view(reinterpret_cast<const char*>(buffer.data()), buffer.size()));
    if (!o.bmpPath.empty()) {
        const colour::TPaletteTable palette = colour::BuildPaletteForPage(o.page, Panels(o));
        const colour::ColourAdjust adjust{o.colourOffset.value_or(view->window->colourOffset), o.rotation, o.red,
                                          o.green, o.blue};
        exporter::SaveBmp(exporter::RenderPicture(buffer, palette, adjust), QString::fromStdString(o.bmpPath));
    }
    if (!o.tgaPath.empty())
        exporter::WriteHeightImage(o.tgaPath, buffer);
    if (!o.povPath.empty()) {
        // As the window's export: the height image first, then the scene that names it.
        std::string camera, light;
        exporter::ApplyExportChoices(o.choices, camera, light);
        const std::string scene = exporter::SceneName(o.povPath);
        const std::string image = exporter::HeightImageName(scene);
        exporter::WriteHeightImage(image, buffer);
        exporter::WritePovScene(scene, camera, light, image);
    }
    if (!o.ribPath.empty())
        exporter::WriteRenderMan(o.ribPath, buffer);
    std::printf("%s: computed in %.3f s\n", o.viewId.c_str(), seconds);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillon-render: %s\n", e.what());
        return 2;
    }
}
