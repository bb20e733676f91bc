// quillon-render: computes any catalogue view headless and writes its buffer or files.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include <QSaveFile>
#include <QString>

#include <unistd.h>

#include "engine/Compute.h"
#include "fractals/Catalogue.h"

namespace {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void PrintUsage()
{
    std::puts("usage: quillon-render --list\n"
              "       quillon-render --view ID [--region X1 X2 Y1 Y2] [--threads N] --raw FILE\n"
              "\n"
              "  --list            list every view id (24 opening views, 36 type-button views)\n"
              "  --view ID         the view to compute, e.g. FormJU3, Form1, FormRN4.SBAL1\n"
              "  --region X1 X2 Y1 Y2  override the region by its corners (stored as 6-byte reals)\n"
              "  --threads N       rows computed on N threads (default: every core)\n"
              "  --raw FILE        write the 786,432 bytes of the buffer, row 0 first");
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

void WriteAtomically(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error(path + ": " + file.errorString().toStdString());
    if (file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) != static_cast<qint64>(size) ||
        !file.commit())
        throw std::runtime_error(path + ": " + file.errorString().toStdString());
}

int Run(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        throw UsageError("nothing to do (try --help)");
    std::string viewId, rawPath;
    bool list = false, haveRegion = false;
    long double region[4] = {0, 0, 0, 0};
    int threads = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const char* name) -> const std::string& {
            if (i + 1 >= args.size())
                throw UsageError(std::string(name) + " needs a value");
            return args[++i];
        };
        if (a == "--help" || a == "-h") {
            PrintUsage();
            return 0;
        } else if (a == "--list") {
            list = true;
        } else if (a == "--view") {
            viewId = value("--view");
        } else if (a == "--raw") {
            rawPath = value("--raw");
        } else if (a == "--threads") {
            threads = ParseInt(value("--threads"), 1, 1024, "--threads");
        } else if (a == "--region") {
            for (int k = 0; k < 4; ++k)
                region[k] = ParseNumber(value("--region"));
            haveRegion = true;
        } else {
            throw UsageError("unknown argument '" + a + "'");
        }
    }
    if (list) {
        for (const fractals::View& v : fractals::Views())
            std::printf("%-16s %-36s %s\n", v.id.c_str(), v.window->caption, v.functionName);
        return 0;
    }
    if (viewId.empty())
        throw UsageError("--view ID is required");
    const fractals::View* view = fractals::FindView(viewId);
    if (!view)
        throw UsageError("unknown view '" + viewId + "' (see --list)");
    if (rawPath.empty())
        throw UsageError("no output given (--raw FILE)");

    engine::Region r = view->region.Make();
    if (haveRegion)
        r.SetRegionByCorners(region[0], region[1], region[2], region[3]);

    std::unique_ptr<engine::TBasicSet> set = fractals::MakePointSet(*view->window);
    std::vector<std::uint8_t> buffer(engine::kBufferCells);
    const bool tty = isatty(STDERR_FILENO);
    int done = 0;
    const auto start = std::chrono::steady_clock::now();
    engine::ComputeBuffer(r.Values(), *set, view->function, threads, buffer.data(), [&](int) {
        ++done;
        if (tty && (done % 16 == 0 || done == engine::kBufferHeight))
            std::fprintf(stderr, "\r%s: %3d%%", viewId.c_str(), done * 100 / engine::kBufferHeight);
    });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (tty)
        std::fputc('\n', stderr);
    WriteAtomically(rawPath, buffer.data(), buffer.size());
    std::printf("%s: computed in %.3f s\n", viewId.c_str(), seconds);
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
