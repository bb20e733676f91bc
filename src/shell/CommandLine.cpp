// The program's command line, read before the toolkit starts, so --help works without a display.
#include "shell/CommandLine.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace shell {

namespace {

constexpr std::string_view kVersion = "Quillon 2.8B\n";

constexpr std::string_view kHelp =
    "Usage: quillon [OPTION]... [FILE]...\n"
    "Opens the Quillon launcher, a desktop fractal explorer. Each FILE, a view file (.qview) or a\n"
    "picture Quillon saved with its view (.png), opens its view in its window after start-up.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "  --         every argument after it is a FILE, even one that begins with '-'\n"
    "\n"
    "The toolkit's own options are accepted as well, for example -platform NAME, -style NAME,\n"
    "-display DISPLAY, -geometry GEOMETRY, -reverse.\n";

// The options QGuiApplication, QApplication and the X11 platform take
// themselves; Qt reads each with one or two leading dashes.
constexpr std::array<std::string_view, 16> kToolkitWithValue = {
    "platform", "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry", "qwindowicon",
    "qwindowtitle", "session", "style", "stylesheet", "display", "geometry", "name", "title",
    "icon", "visual"};
constexpr std::array<std::string_view, 6> kToolkitFlags = {"reverse", "widgetcount", "nograb", "dograb", "sync",
                                                           "qmljsdebugger"};

template <std::size_t N>
bool Among(std::string_view name, const std::array<std::string_view, N>& names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine result;
    bool onlyFiles = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (onlyFiles || arg.size() < 2 || arg[0] != '-') {
            result.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyFiles = true;
            continue;
        }
        if (arg == "--help" || arg == "-h" || arg == "-help") {
            return {CommandLine::Action::Help, {}, std::string(kHelp)};
        }
        if (arg == "--version" || arg == "-version") {
            return {CommandLine::Action::Version, {}, std::string(kVersion)};
        }
        std::string_view name(arg);
        name.remove_prefix(name.starts_with("--") ? 2 : 1);
        const std::size_t equals = name.find('=');
        const bool valueAttached = equals != std::string_view::npos;
        if (valueAttached)
            name = name.substr(0, equals);
        // Only these take their value after '='.
        const bool joinable = name == "style" || name == "stylesheet" || name == "qmljsdebugger";
        if (valueAttached && !joinable)
            name = {};
        if (Among(name, kToolkitWithValue)) {
            if (!valueAttached)
                ++i; // its value, whatever it looks like
            continue;
        }
        if (Among(name, kToolkitFlags) && (valueAttached || name != "qmljsdebugger"))
            continue;
        result = {CommandLine::Action::Refuse, {},
                  "quillon: unknown option '" + arg + "' (quillon --help lists the options)\n"};
        return result;
    }
    return result;
}

} // namespace shell
