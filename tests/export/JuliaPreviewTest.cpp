// The Julia explorer's preview: its pictures are the renderer's, and a newer constant drops the older one.
#include <condition_variable>
#include <mutex>

#include "RenderRun.h"
#include "TestFiles.h"
#include "export/ViewFile.h"
#include "fractals/Catalogue.h"
#include "render/JuliaPreview.h"

using testfiles::TempDir;

namespace {

// The pixels of a 24-bit bitmap as red, green, blue, top row first.
std::vector<std::uint8_t> BitmapPixels(const std::string& path, int width, int height)
{
    const std::vector<std::uint8_t> file = testfiles::ReadBytes(path);
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> rgb;
    if (file.size() < 54 + stride * static_cast<std::size_t>(height))
        return rgb;
    for (int row = height - 1; row >= 0; --row)
        for (int j = 0; j < width; ++j) {
            const std::uint8_t* p = file.data() + 54 + static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(j) * 3;
            rgb.insert(rgb.end(), {p[2], p[1], p[0]});
        }
    return rgb;
}

render::PreviewRequest RequestOf(engine::Extended cx, engine::Extended cy)
{
    const exporter::ViewDocument d = exporter::DefaultView(fractals::JuliaExplorerView());
    render::PreviewRequest r;
    r.cx = cx;
    r.cy = cy;
    r.colours.palette = d.Palette();
    r.colours.adjust = d.adjust;
    return r;
}

// The pictures a preview delivered, in order.
struct Delivered {
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<render::PreviewPicture> pictures;

    void Add(render::PreviewPicture p)
    {
        std::lock_guard<std::mutex> lock(mutex);
        pictures.push_back(std::move(p));
        arrived.notify_all();
    }
    // Waits for the full picture of request `number`.
    render::PreviewPicture FullOf(std::uint64_t number)
    {
        std::unique_lock<std::mutex> lock(mutex);
        arrived.wait(lock, [&] {
            return !pictures.empty() && pictures.back().request == number && !pictures.back().coarse;
        });
        return pictures.back();
    }
};

} // namespace

// The full preview is `quillon-render --view FormJulia --julia RE IM --size
// 256x192`, and the coarse one that picture's 64 x 48 version in 4 x 4 blocks.
TEST(JuliaPreviewPicture, IsTheRenderersPictureOfTheConstant)
{
    TempDir dir;
    const struct {
        engine::Extended cx, cy;
        const char* re;
        const char* im;
    } constants[] = {{-0.8L, 0.156L, "-0.8", "0.156"}, {0.285L, 0.01L, "0.285", "0.01"}, {-0.7269L, 0.1889L, "-0.7269", "0.1889"}};
    for (const auto& c : constants) {
        for (const bool coarse : {false, true}) {
            const int block = coarse ? render::kPreviewCoarseBlock : 1;
            const int w = render::kPreviewWidth / block, h = render::kPreviewHeight / block;
            const std::string bmp = dir / "p.bmp";
            const testfiles::RunResult run = testfiles::Render(
                dir, {"--view", "FormJulia", "--julia", c.re, c.im, "--size", std::to_string(w) + "x" + std::to_string(h),
                      "--bmp", bmp});
            ASSERT_EQ(run.status, 0) << run.stderrText;
            const std::vector<std::uint8_t> expected = BitmapPixels(bmp, w, h);
            const render::PreviewPicture p = render::RenderPreview(RequestOf(c.cx, c.cy), coarse);
            ASSERT_EQ(p.rgb.size(), static_cast<std::size_t>(render::kPreviewWidth) * render::kPreviewHeight * 3);
            int wrong = 0;
            for (int i = 0; i < render::kPreviewHeight; ++i)
                for (int j = 0; j < render::kPreviewWidth; ++j)
                    for (int k = 0; k < 3; ++k)
                        wrong += p.rgb[(static_cast<std::size_t>(i) * render::kPreviewWidth + j) * 3 + k] !=
                                 expected[(static_cast<std::size_t>(i / block) * w + j / block) * 3 + k];
            EXPECT_EQ(wrong, 0) << c.re << " " << c.im << (coarse ? " coarse" : " full");
        }
    }
}

// Constants given faster than pictures are made: each request is answered
// by its coarse picture and then its full one, never out of order, the
// older ones dropped, and the newest always finished.
TEST(JuliaPreview, NewerConstantsDropOlderOnes)
{
    engine::RowPool pool(2);
    Delivered delivered;
    std::uint64_t last = 0;
    std::uint64_t started = 0, dropped = 0;
    {
        render::JuliaPreview preview([&](render::PreviewPicture p) { delivered.Add(std::move(p)); }, pool);
        for (int k = 0; k < 40; ++k)
            last = preview.Request(RequestOf(-0.8L + 0.01L * k, 0.156L));
        const render::PreviewPicture final = delivered.FullOf(last);
        EXPECT_EQ(final.cx, -0.8L + 0.01L * 39);
        EXPECT_EQ(final.rgb, render::RenderPreview(RequestOf(final.cx, 0.156L), false).rgb);
        started = preview.Started();
        dropped = preview.Dropped();
    }
    std::lock_guard<std::mutex> lock(delivered.mutex);
    std::uint64_t previous = 0;
    bool previousCoarse = false;
    for (const render::PreviewPicture& p : delivered.pictures) {
        ASSERT_GE(p.request, previous);
        if (p.request == previous)
            EXPECT_TRUE(previousCoarse && !p.coarse) << "request " << p.request << " delivered twice or out of order";
        else
            EXPECT_TRUE(p.coarse) << "request " << p.request << " began with its full picture";
        previous = p.request;
        previousCoarse = p.coarse;
    }
    EXPECT_EQ(previous, last);
    EXPECT_LE(started, 40u);
    EXPECT_EQ(started, dropped + static_cast<std::uint64_t>(std::count_if(
                                     delivered.pictures.begin(), delivered.pictures.end(),
                                     [](const render::PreviewPicture& p) { return !p.coarse; })));
}

// After Cancel returns nothing of the dropped request arrives, and a
// preview destroyed in the middle of a picture stops and joins.
TEST(JuliaPreview, CancelDeliversNothingMoreAndDestructionStops)
{
    engine::RowPool pool(2);
    Delivered delivered;
    std::size_t atCancel = 0;
    {
        render::JuliaPreview preview([&](render::PreviewPicture p) { delivered.Add(std::move(p)); }, pool);
        const std::uint64_t first = preview.Request(RequestOf(-0.8L, 0.156L));
        preview.Cancel();
        {
            std::lock_guard<std::mutex> lock(delivered.mutex);
            atCancel = delivered.pictures.size();
        }
        const std::uint64_t second = preview.Request(RequestOf(0.285L, 0.01L));
        delivered.FullOf(second);
        {
            std::lock_guard<std::mutex> lock(delivered.mutex);
            for (std::size_t k = atCancel; k < delivered.pictures.size(); ++k)
                EXPECT_EQ(delivered.pictures[k].request, second) << "a picture of " << first << " after Cancel";
        }
        preview.Request(RequestOf(-0.4L, 0.6L)); // in progress when the preview goes
    }
}
