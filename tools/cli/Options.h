// quillon-render's command line: the options, their checks, and the view they describe.
#pragma once

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "colour/Palette.h"
#include "export/Scenes.h"
#include "export/ViewFile.h"

namespace cli {

// A bad command line: one line on stderr, exit status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Options {
    bool list = false;
    bool help = false;
    std::string viewId;
    std::string openPath;
    std::optional<std::array<long double, 4>> region; // corners X1 X2 Y1 Y2
    // A deep region: centre and extents as exact decimals (Form1 and the Julia views).
    std::optional<std::array<std::string, 2>> center;
    std::string deepWidth, deepHeight;
    int threads = 0;                                  // 0: every core
    // The formula's parameters: the Tamo triple, the Julia constant, the iteration limit.
    std::optional<std::array<long double, 3>> param;
    std::optional<std::array<long double, 2>> julia;
    std::optional<int> iterations;
    bool quiet = false;

    std::optional<colour::PalettePage> page;
    std::optional<std::vector<colour::ColourWord>> colours;
    std::optional<int> rotation;
    std::optional<std::array<int, 3>> rgb;
    std::optional<int> colourOffset;
    std::string paletteFilePath, savePalettePath; // --palette-file, --save-palette

    std::optional<std::pair<int, int>> size;
    std::optional<int> supersample;
    std::optional<std::pair<int, int>> rows; // A:B, rows A ... B-1

    std::string rawPath, bmpPath, pngPath, tgaPath, povPath, ribPath, saveViewPath, fromRawPath;
    exporter::ExportChoices choices;
    bool sceneOptionGiven = false;

    // A zoom movie (MovieCommand.cpp): to the corners or the view file, into a video or a folder of PNGs.
    std::optional<std::array<long double, 4>> zoomTo;
    std::array<std::string, 4> zoomToText; // as typed: corners too close for 6-byte reals make a deep end view
    std::string toPath, moviePath, framesDir;
    std::optional<int> frames, quality;
    std::optional<std::pair<int, int>> frameRange; // --frame-range A:B, frames A ... B-1
    std::optional<double> fps;
    bool IsMovie() const
    {
        return zoomTo || !toPath.empty() || !moviePath.empty() || !framesDir.empty() || frames || quality || fps ||
               frameRange;
    }

    bool HasOutput() const;
    // --tga, --pov or --rib: formats of the 1024 x 768 buffer.
    bool HasBufferOutput() const { return !tgaPath.empty() || !povPath.empty() || !ribPath.empty(); }
    bool HasPicture() const { return !bmpPath.empty() || !pngPath.empty(); }
    // --save-palette and nothing that needs a view: the palette alone, no --view or --open needed.
    bool PaletteOnly() const;
};

// The option table (OptionTable.cpp) read through QCommandLineParser: each
// option's values checked and stored. Throws UsageError.
Options ParseArguments(const std::vector<std::string>& args);
// The help, generated from the same table.
std::string UsageText();

// A whole decimal number; a whole number from lo to hi named `what` in the message. Throw UsageError.
long double ParseNumber(const std::string& text);
int ParseInt(const std::string& text, int lo, int hi, const std::string& what);

// Makes the movie the options describe (MovieCommand.cpp); returns the exit status.
int RunMovie(const Options& o);

// The view the options describe: the opened file or the catalogue view,
// with every option given on the command line in place of its value, after
// checking that the outputs asked for can be made of it. Throws UsageError,
// exporter::ViewFileError.
exporter::ViewDocument ResolveView(const Options& o);

// Writes the palette of the view's page as built (before rotation and
// offsets) to --save-palette's file, named after the loaded file or the page.
void SavePalette(const Options& o, const exporter::ViewDocument& d);

} // namespace cli
