// quillon-render's options: one table gives the parser its options, the help its lines and each
// option its check.
#include <functional>
#include <string_view>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include "Options.h"
#include "colour/PaletteFile.h"
#include "export/PictureWriters.h"
#include "movie/ZoomPath.h"

namespace cli {

namespace {

// One option: its name, its values (QCommandLineParser takes one value an
// option; --region's four are given to it one by one), its help and what it
// does with the values (each checked, then stored).
struct OptionSpec {
    const char* name;
    int count;             // values after the name
    const char* valueName; // nullptr for a switch
    const char* help;
    std::function<void(Options&, const std::vector<std::string>&)> apply;
};

// The values travel as Latin-1: each byte one character and back, so a file
// name in any encoding reaches the file system as it was typed.
QString Text(std::string_view bytes) { return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())); }
std::string Bytes(const QString& text) { return text.toLatin1().toStdString(); }

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

std::array<long double, 4> Corners(const std::vector<std::string>& v)
{
    return {ParseNumber(v[0]), ParseNumber(v[1]), ParseNumber(v[2]), ParseNumber(v[3])};
}

// A file name option: stored in `member`, never empty.
OptionSpec PathOption(const char* name, std::string Options::*member, const char* valueName, const char* help)
{
    return {name, 1, valueName, help, [name, member](Options& o, const std::vector<std::string>& v) {
                if (v[0].empty())
                    throw UsageError(std::string("--") + name + " needs a file name");
                o.*member = v[0];
            }};
}

const std::vector<OptionSpec>& Table()
{
    using V = const std::vector<std::string>&;
    static const std::vector<OptionSpec> table = {
        {"list", 0, nullptr, "list every view id (24 opening views, 36 type-button views)",
         [](Options& o, V) { o.list = true; }},
        {"view", 1, "ID", "the view to compute, e.g. FormJU3, Form1, FormRN4.SBAL1",
         [](Options& o, V v) { o.viewId = v[0]; }},
        PathOption("open", &Options::openPath, "FILE",
                   "a view file (.qview) or a PNG written by Quillon, in place of --view; the options given "
                   "with it replace the file's values"),
        {"region", 4, "X1 X2 Y1 Y2", "override the region by its corners (stored as 6-byte reals)",
         [](Options& o, V v) { o.region = Corners(v); }},
        {"center", 2, "CX CY",
         "a deep region's centre, exact decimals of any length (Form1 and the Julia views; with --width)",
         [](Options& o, V v) { o.center = std::array<std::string, 2>{v[0], v[1]}; }},
        {"width", 1, "W", "the deep region's x extent, column 0 to the last (with --center)",
         [](Options& o, V v) { o.deepWidth = v[0]; }},
        {"height", 1, "H", "the deep region's y extent, row 0 to the last (default: square pixels)",
         [](Options& o, V v) { o.deepHeight = v[0]; }},
        {"param", 3, "X Y Z",
         "Tamo views: the parameter triple of the formula, each the extended value nearest to the "
         "decimal (default 2.0 2.1 2.2)",
         [](Options& o, V v) { o.param = std::array<long double, 3>{ParseNumber(v[0]), ParseNumber(v[1]), ParseNumber(v[2])}; }},
        {"julia", 2, "RE IM", "Julia views and FormJulia: the constant c = RE + IM i (default: the window's own)",
         [](Options& o, V v) { o.julia = std::array<long double, 2>{ParseNumber(v[0]), ParseNumber(v[1])}; }},
        {"iterations", 1, "N",
         "Tamo, Julia and level-set views: the iteration limit of the counts, 1 to 10000000 (default 200; "
         "the picture keeps the count's low 8 bits)",
         [](Options& o, V v) {
             o.iterations = ParseInt(v[0], engine::kMinIterationLimit, engine::kMaxIterationLimit, "--iterations");
         }},
        {"threads", 1, "N", "rows computed on N threads (default: every core)",
         [](Options& o, V v) { o.threads = ParseInt(v[0], 1, 1024, "--threads"); }},
        {"quiet", 0, nullptr, "no progress bar (it is drawn only when stderr is a terminal)",
         [](Options& o, V) { o.quiet = true; }},
        // Colours of the picture (--bmp, --png).
        {"palette", 1, "P", "palette page: vga (default), 2, 3, 4 or 15 colours",
         [](Options& o, V v) {
             o.page = exporter::ParsePalettePage(v[0]);
             if (!o.page)
                 throw UsageError("--palette must be vga, 2, 3, 4 or 15, not '" + v[0] + "'");
         }},
        {"colours", 1, "LIST",
         "the page's panel colours, 0xBBGGRR or decimal, comma-separated, as many as the page has (default: "
         "the page's initial colours)",
         [](Options& o, V v) {
             std::vector<colour::ColourWord> list;
             for (const std::string& part : SplitCommas(v[0])) {
                 const auto c = exporter::ParseColourWord(part);
                 if (!c)
                     throw UsageError("a colour must be 0x000000 to 0xFFFFFF (0xBBGGRR), not '" + part + "'");
                 list.push_back(*c);
             }
             o.colours = std::move(list);
         }},
        {"rotate", 1, "N", "palette rotation, 0 to 200 (default 0)",
         [](Options& o, V v) { o.rotation = ParseInt(v[0], 0, 200, "--rotate"); }},
        {"rgb", 1, "R,G,B", "red, green and blue offsets, each -255 to 255 (default 0,0,0)",
         [](Options& o, V v) {
             const std::vector<std::string> parts = SplitCommas(v[0]);
             if (parts.size() != 3)
                 throw UsageError("--rgb needs three offsets R,G,B");
             o.rgb = std::array<int, 3>{ParseInt(parts[0], -255, 255, "the red offset"),
                                        ParseInt(parts[1], -255, 255, "the green offset"),
                                        ParseInt(parts[2], -255, 255, "the blue offset")};
         }},
        {"offset", 1, "N", "colour offset, 0 to 255 (default: the window's own)",
         [](Options& o, V v) { o.colourOffset = ParseInt(v[0], 0, 255, "--offset"); }},
        PathOption("palette-file", &Options::paletteFilePath, "FILE",
                   "a palette file (.map, .gpl or .ggr) in place of the vga table; selects page vga (the "
                   "loaded palette is kept in --save-view and --png)"),
        {"save-palette", 1, "FILE",
         "the 256 colours of the page as built, before rotation and offsets, as .map or .gpl (by the "
         "extension); needs no view",
         [](Options& o, V v) {
             if (v[0].empty())
                 throw UsageError("--save-palette needs a file name");
             const auto format = colour::PaletteFormatOfName(v[0]);
             if (format != colour::PaletteFormat::Map && format != colour::PaletteFormat::Gpl)
                 throw UsageError("--save-palette writes .map or .gpl files, not '" + v[0] + "'");
             o.savePalettePath = v[0];
         }},
        // Size (--raw, --bmp, --png).
        {"size", 1, "WxH",
         "the picture's size, each side 2 to 65535 (default 1024x768); the region stays, stretched to the "
         "new shape",
         [](Options& o, V v) {
             o.size = exporter::ParsePictureSize(v[0]);
             if (!o.size)
                 throw UsageError("--size must be WxH, each side from 2 to 65535, not '" + v[0] + "'");
         }},
        {"supersample", 1, "N", "--bmp and --png: each pixel the mean of N x N values, 1 to 8",
         [](Options& o, V v) { o.supersample = ParseInt(v[0], 1, exporter::kMaxSupersample, "--supersample"); }},
        {"rows", 1, "A:B",
         "--raw only: rows A to B-1 of the picture; bands written in order and concatenated are the whole",
         [](Options& o, V v) { o.rows = ParseRows(v[0]); }},
        // Outputs (any number; the picture is computed once).
        PathOption("raw", &Options::rawPath, "FILE",
                   "the values, one byte a cell, row 0 first (786,432 bytes at 1024x768)"),
        PathOption("bmp", &Options::bmpPath, "FILE", "the picture as a Windows bitmap (24-bit)"),
        PathOption("png", &Options::pngPath, "FILE",
                   "the picture as PNG, with its view in the text chunk \"Quillon view\""),
        PathOption("save-view", &Options::saveViewPath, "FILE", "the view file of the picture"),
        PathOption("from-raw", &Options::fromRawPath, "FILE",
                   "colour raw values (bands joined) instead of computing: the file holds (N*W) x (N*H) values "
                   "for --size WxH --supersample N"),
        PathOption("tga", &Options::tgaPath, "FILE", "the TGA height image alone (1024 x 768)"),
        PathOption("pov", &Options::povPath, "FILE",
                   "a POV-Ray scene and its height image (1024 x 768); \".pov\" is appended unless the name "
                   "contains it, and the height image is the scene name + \".tga\""),
        {"camera", 1, "SIDE", "--pov: left (default) or right",
         [](Options& o, V v) {
             if (!IsSide(v[0]))
                 throw UsageError("--camera must be left or right, not '" + v[0] + "'");
             o.choices.camLeft = v[0] == "left";
             o.choices.camRight = v[0] == "right";
             o.sceneOptionGiven = true;
         }},
        {"view-from", 1, "TEXT",
         "--pov: \"View from sky\" (default), \"View from floor\", \"View from top\" or \"View from high "
         "above\"",
         [](Options& o, V v) {
             if (v[0] != "View from sky" && v[0] != "View from floor" && v[0] != "View from top" &&
                 v[0] != "View from high above")
                 throw UsageError("--view-from must be \"View from sky\", \"View from floor\", \"View from top\" or "
                                  "\"View from high above\", not '" + v[0] + "'");
             o.choices.comboText = v[0];
             o.sceneOptionGiven = true;
         }},
        {"light", 1, "SIDE", "--pov: left (default) or right",
         [](Options& o, V v) {
             if (!IsSide(v[0]))
                 throw UsageError("--light must be left or right, not '" + v[0] + "'");
             o.choices.lightLeft = v[0] == "left";
             o.sceneOptionGiven = true;
         }},
        PathOption("rib", &Options::ribPath, "FILE", "a RenderMan scene (1024 x 768)"),
        // Zoom movies.
        {"zoom-to", 4, "X1 X2 Y1 Y2", "movie: the end view's corners (stored as 6-byte reals, as --region)",
         [](Options& o, V v) {
             o.zoomTo = Corners(v);
             o.zoomToText = {v[0], v[1], v[2], v[3]};
         }},
        PathOption("to", &Options::toPath, "FILE", "movie: the end view, a view file or a PNG written by Quillon"),
        {"frames", 1, "N", "movie: frames, 2 to 1000000; the first and last are the two views exactly",
         [](Options& o, V v) { o.frames = ParseInt(v[0], 2, movie::kMaxFrames, "--frames"); }},
        {"fps", 1, "F", "--movie: frames per second, more than 0 and at most 1000 (default 30)",
         [](Options& o, V v) {
             const long double fps = ParseNumber(v[0]);
             if (!(fps > 0 && fps <= 1000))
                 throw UsageError("--fps must be more than 0 and at most 1000, not '" + v[0] + "'");
             o.fps = static_cast<double>(fps);
         }},
        {"quality", 1, "Q",
         "--movie: constant quality, lower is better: 0 to 51 for .mp4 (H.264, default 23), 0 to 63 for "
         ".webm (VP9, default 31)",
         [](Options& o, V v) { o.quality = ParseInt(v[0], 0, 63, "--quality"); }},
        PathOption("movie", &Options::moviePath, "FILE",
                   "the video, made by ffmpeg (.mp4 or .webm); .mp4 needs an even width and height"),
        {"frame-range", 1, "A:B",
         "movie: frames A ... B-1 only, each named by its number in the whole movie (with --frames-dir)",
         [](Options& o, V v) {
             const std::size_t colon = v[0].find(':');
             const auto a = colon == std::string::npos ? std::nullopt
                                                       : exporter::ParseWholeNumber(v[0].substr(0, colon), 0, 1000000);
             const auto b = colon == std::string::npos ? std::nullopt
                                                       : exporter::ParseWholeNumber(v[0].substr(colon + 1), 1, 1000000);
             if (!a || !b || *a >= *b)
                 throw UsageError("--frame-range must be A:B with 0 <= A < B, not '" + v[0] + "'");
             o.frameRange = std::pair<int, int>{static_cast<int>(*a), static_cast<int>(*b)};
         }},
        PathOption("frames-dir", &Options::framesDir, "DIR",
                   "frame-00000.png ... in DIR, each with its view embedded"),
    };
    return table;
}

const OptionSpec* Find(std::string_view name)
{
    for (const OptionSpec& spec : Table())
        if (name == spec.name)
            return &spec;
    return nullptr;
}

constexpr const char* kHelpNames[] = {"h", "help"};

// The parser of the whole table. A multi-value option is declared once and
// given its values one by one (--region=X1 --region=X2 ...).
void AddOptions(QCommandLineParser& parser)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.addOption(QCommandLineOption(QStringList{kHelpNames[0], kHelpNames[1]}, "this help"));
    for (const OptionSpec& spec : Table()) {
        QCommandLineOption option(Text(spec.name), Text(spec.help));
        if (spec.valueName)
            option.setValueName(Text(spec.valueName));
        parser.addOption(option);
    }
}

} // namespace

Options ParseArguments(const std::vector<std::string>& args)
{
    // What QCommandLineParser cannot say in our words is checked on the way
    // in: an unknown argument or a missing value is named as the user typed
    // it, and values that start with '-' (negative corners) stay values.
    QStringList argv{QStringLiteral("quillon-render")};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            argv << Text(a);
            continue;
        }
        const std::size_t equals = a.find('=');
        const OptionSpec* spec = a.rfind("--", 0) == 0 ? Find(std::string_view(a).substr(2, equals - 2)) : nullptr;
        if (!spec)
            throw UsageError("unknown argument '" + a + "'");
        const std::string name = "--" + std::string(spec->name);
        if (equals != std::string::npos) {
            if (spec->count != 1)
                throw UsageError(name + " takes " + std::to_string(spec->count) + " values, not one after '='");
            argv << Text(a);
            continue;
        }
        if (spec->count == 0) {
            argv << Text(a);
            continue;
        }
        if (args.size() - 1 - i < static_cast<std::size_t>(spec->count))
            throw UsageError(name + " needs a value");
        for (int k = 0; k < spec->count; ++k) {
            // "--julia 0.1 --png x.png": a value short, said so rather than
            // as a complaint about x.png.
            const std::string& v = args[i + 1];
            if (spec->count > 1 && v.rfind("--", 0) == 0 && Find(std::string_view(v).substr(2, v.find('=') - 2)))
                throw UsageError(name + " needs " + std::to_string(spec->count) + " values");
            argv << Text(name + "=" + args[++i]);
        }
    }

    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(argv)) // cannot fail after the checks above; kept as a guard
        throw UsageError(Bytes(parser.errorText()));

    Options o;
    o.help = parser.isSet(QString::fromLatin1(kHelpNames[1]));
    for (const OptionSpec& spec : Table()) {
        const QString name = Text(spec.name);
        if (!parser.isSet(name))
            continue;
        // Given more than once, the last one counts.
        std::vector<std::string> values;
        if (spec.count > 0) {
            const QStringList all = parser.values(name);
            for (qsizetype k = all.size() - spec.count; k < all.size(); ++k)
                values.push_back(Bytes(all[k]));
        }
        spec.apply(o, values);
    }
    if (o.sceneOptionGiven && o.povPath.empty())
        throw UsageError("--camera, --view-from and --light apply to --pov only");
    return o;
}

std::string UsageText()
{
    QCommandLineParser parser;
    AddOptions(parser);
    parser.setApplicationDescription(QStringLiteral(
        "usage: quillon-render --list\n"
        "       quillon-render (--view ID | --open FILE) [options] (--raw | --bmp | --png | --save-view |\n"
        "                      --tga | --pov | --rib FILE)...\n"
        "       quillon-render (--view ID | --open FILE) [colours] --from-raw FILE --size WxH\n"
        "                      [--supersample N] (--png FILE | --bmp FILE)\n"
        "       quillon-render [--open FILE] [--palette P [--colours LIST] | --palette-file FILE]\n"
        "                      --save-palette FILE\n"
        "       quillon-render (--view ID | --open FILE) (--zoom-to X1 X2 Y1 Y2 | --to FILE) --frames N\n"
        "                      [--fps F] [--quality Q] [--size WxH] [--supersample N] [colours]\n"
        "                      (--movie FILE.mp4|FILE.webm | --frames-dir DIR)\n"
        "\n"
        "Colours (--palette ... --offset) apply to --bmp and --png; --size to --raw, --bmp and --png;\n"
        "--pov, --tga and --rib write 1024 x 768 pictures. Any number of outputs: the picture is\n"
        "computed once. A zoom movie goes from the start view (--view or --open, with --region and\n"
        "the other options applied) to the end view at a constant speed; both must be the same\n"
        "window and type, and the colours, size and supersampling are the start view's. Ctrl+C stops\n"
        "within one frame, leaves no partial video, says how many frames were done and exits with\n"
        "status 130 (finished frame files are kept)."));
    // The generated text starts with a line of its own naming the program;
    // the description above says how it is used.
    std::string text = Bytes(parser.helpText());
    const std::size_t firstLine = text.find('\n');
    return firstLine == std::string::npos ? text : text.substr(firstLine + 1);
}

} // namespace cli
