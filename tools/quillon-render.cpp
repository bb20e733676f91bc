// quillon-render: computes any catalogue view headless and writes its buffer, picture, view or 3D exports.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/Compute.h"
#include "export/Scenes.h"
#include "export/PictureWriters.h"
#include "export/ViewFile.h"
#include "fractals/Catalogue.h"
#include "cli/Options.h"
#include "cli/ProgressBar.h"
#include "render/Render.h"

namespace {

using cli::Options;
using cli::UsageError;

// The picture files being written, each fed every row.
struct PictureFiles {
    std::vector<std::unique_ptr<exporter::PictureWriter>> writers;

    PictureFiles(const Options& o, const exporter::ViewDocument& d)
    {
        if (!o.bmpPath.empty())
            writers.push_back(exporter::OpenBmpWriter(o.bmpPath, d.picture.width, d.picture.height));
        if (!o.pngPath.empty())
            writers.push_back(exporter::OpenPngWriter(o.pngPath, d.picture.width, d.picture.height,
                                                      {{exporter::kPngViewKeyword, exporter::ViewText(d)}}));
    }
    void WriteRow(std::span<const std::uint8_t> rgb)
    {
        for (auto& w : writers)
            w->WriteRow(rgb.data());
    }
    void Finish()
    {
        for (auto& w : writers)
            w->Finish();
    }
};

// Colours the values of a raw file (bands joined in order) into the picture files.
void ColourRawFile(const Options& o, const exporter::ViewDocument& d, const render::Colours& colours,
                   cli::ProgressBar& bar)
{
    const int n = d.picture.supersample;
    const std::uint64_t width = static_cast<std::uint64_t>(d.picture.width) * static_cast<std::uint64_t>(n);
    const std::uint64_t rows = static_cast<std::uint64_t>(d.picture.height) * static_cast<std::uint64_t>(n);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(o.fromRawPath.c_str(), "rbe"), &std::fclose);
    if (!in)
        throw exporter::IoError(o.fromRawPath + ": " + exporter::detail::ErrnoText(errno));
    struct stat st {};
    if (::fstat(::fileno(in.get()), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) != width * rows)
        throw UsageError(o.fromRawPath + ": holds " + std::to_string(st.st_size) + " bytes, not the " +
                         std::to_string(width * rows) + " values of " + std::to_string(width) + " x " +
                         std::to_string(rows) + " (--size " + std::to_string(d.picture.width) + "x" +
                         std::to_string(d.picture.height) + (n > 1 ? " --supersample " + std::to_string(n) : "") +
                         ")");
    PictureFiles files(o, d);
    render::ColourRows colourRows(d.picture.width, n, colours,
                                  [&](int, std::span<const std::uint8_t> rgb) { files.WriteRow(rgb); });
    std::vector<std::uint8_t> values(width);
    for (std::uint64_t r = 0; r < rows; ++r) {
        if (std::fread(values.data(), 1, values.size(), in.get()) != values.size())
            throw exporter::IoError(o.fromRawPath + ": " +
                                    (std::ferror(in.get()) ? exporter::detail::ErrnoText(errno) : "the file ended early"));
        colourRows.Add(values);
        bar.Update(static_cast<std::int64_t>(r + 1), static_cast<std::int64_t>(rows));
    }
    files.Finish();
}

int Run(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        throw UsageError("nothing to do (try --help)");
    const Options o = cli::ParseArguments(args);
    if (o.help) {
        std::fputs(cli::UsageText().c_str(), stdout);
        return 0;
    }
    if (o.list) {
        for (const fractals::View& v : fractals::Views())
            std::printf("%-16s %-36s %s\n", v.id.c_str(), v.window->caption, v.functionName);
        const fractals::View& explorer = fractals::JuliaExplorerView();
        std::printf("%-16s %-36s %s\n", explorer.id.c_str(), explorer.window->caption, explorer.functionName);
        return 0;
    }
    if (o.IsMovie())
        return cli::RunMovie(o);
    const exporter::ViewDocument d = cli::ResolveView(o);
    if (o.PaletteOnly() && d.viewId.empty()) {
        cli::SavePalette(o, d);
        return 0;
    }
    render::ViewJob vj = render::MakeViewJob(d);
    const bool tty = isatty(STDERR_FILENO) && !o.quiet;
    cli::ProgressBar bar(d.viewId, tty);
    const auto start = std::chrono::steady_clock::now();

    if (!o.fromRawPath.empty()) {
        ColourRawFile(o, d, vj.colours, bar);
    } else if (!o.rawPath.empty() || o.HasPicture() || o.HasBufferOutput()) {
        // Every output is opened before the first row, so a bad name fails at once.
        const engine::Grid grid = render::ValueGrid(vj.job);
        const int first = o.rows ? o.rows->first : 0;
        const int last = o.rows ? o.rows->second : grid.height;
        std::unique_ptr<exporter::detail::AtomicFile> raw;
        if (!o.rawPath.empty())
            raw = std::make_unique<exporter::detail::AtomicFile>(o.rawPath);
        PictureFiles files(o, d);
        std::unique_ptr<render::ColourRows> colourRows;
        if (o.HasPicture())
            colourRows = std::make_unique<render::ColourRows>(
                d.picture.width, d.picture.supersample, vj.colours,
                [&](int, std::span<const std::uint8_t> rgb) { files.WriteRow(rgb); });
        std::vector<std::uint8_t> buffer; // the 1024 x 768 buffer of the 3D exports
        if (o.HasBufferOutput())
            buffer.resize(engine::kBufferCells);

        engine::RowPool pool(o.threads > 0 ? o.threads : engine::DefaultThreadCount());
        render::Control control;
        control.pool = &pool;
        control.progress = [&](const render::Progress& p) { bar.Update(p.rowsDone, p.rowsTotal); };
        render::ComputeValues(
            vj.job, first, last,
            [&](int row, std::span<const std::uint8_t> values) {
                if (raw)
                    raw->Write(values.data(), values.size());
                if (colourRows)
                    colourRows->Add(values);
                if (!buffer.empty())
                    std::copy(values.begin(), values.end(),
                              buffer.begin() + static_cast<std::ptrdiff_t>(row) * engine::kBufferWidth);
            },
            control);
        if (raw)
            raw->Commit();
        files.Finish();
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
    }
    if (!o.saveViewPath.empty())
        exporter::WriteViewFile(o.saveViewPath, d);
    if (!o.savePalettePath.empty())
        cli::SavePalette(o, d);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    bar.Finish();
    std::printf("%s: computed in %.3f s\n", d.viewId.c_str(), seconds);
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
