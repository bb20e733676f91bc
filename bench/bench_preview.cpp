// The Julia explorer's preview: full previews per second on the row pool, as the mouse moves.
//
//   quillon_bench --benchmark_filter=Preview
//
// Preview/full: one full 256 x 192 picture after another for constants along
// a path through the Mandelbrot set's boundary region (the points a mouse
// moving over Form1's picture gives). Preview/coarse-then-full: the same
// through JuliaPreview, which draws the coarse picture first. The counter
// previews_per_second is the figure docs/performance.md gives.
#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "engine/RowPool.h"
#include "export/ViewFile.h"
#include "fractals/Catalogue.h"
#include "render/JuliaPreview.h"

namespace {

constexpr int kPathSteps = 64;

// Constants along Form1's picture from its top left to its bottom right corner.
render::PreviewRequest Step(int k)
{
    const fractals::View& form1 = *fractals::FindView("Form1");
    const engine::RegionValues r = form1.region.Make().Values();
    const exporter::ViewDocument colours = exporter::DefaultView(form1);
    render::PreviewRequest q;
    const engine::Extended t = static_cast<engine::Extended>(k % kPathSteps) / (kPathSteps - 1);
    q.cx = r.XStart + r.XWidth * t;
    q.cy = r.YStart + r.YHeight * t;
    q.colours.palette = colours.Palette();
    q.colours.adjust = colours.adjust;
    return q;
}

void PreviewFull(benchmark::State& state)
{
    int k = 0;
    for (auto _ : state) {
        render::PreviewPicture p = render::RenderPreview(Step(k++), false);
        benchmark::DoNotOptimize(p.rgb.data());
    }
    state.counters["previews_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["pool_threads"] = engine::RowPool::Instance().Threads();
}

void PreviewCoarseThenFull(benchmark::State& state)
{
    std::mutex mutex;
    std::condition_variable done;
    std::uint64_t finished = 0;
    render::JuliaPreview preview([&](render::PreviewPicture p) {
        if (p.coarse)
            return;
        std::lock_guard<std::mutex> lock(mutex);
        finished = p.request;
        done.notify_all();
    });
    int k = 0;
    for (auto _ : state) {
        const std::uint64_t n = preview.Request(Step(k++));
        std::unique_lock<std::mutex> lock(mutex);
        done.wait(lock, [&] { return finished == n; });
    }
    state.counters["previews_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(PreviewFull)->Name("Preview/full")->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(PreviewCoarseThenFull)->Name("Preview/coarse-then-full")->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
