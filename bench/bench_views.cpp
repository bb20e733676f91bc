// Whole-picture timings of the 60 catalogue views: one thread, every thread, and a plain per-pixel loop.
//
//   quillon_bench --benchmark_format=json > run.json      (all 60 views)
//   quillon_bench --benchmark_filter='Form1/|FormRN6'      (a subset)
//   QUILLON_BENCH_REPETITIONS=5 quillon_bench ...          (default 3)
//
// Names: Views/<view>/threads:1, Views/<view>/threads:all and
// Baseline/<view>. bench/table.py turns the JSON into a Markdown table.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/Compute.h"
#include "engine/Kernels.h"
#include "fractals/Catalogue.h"

namespace {

using Clock = std::chrono::steady_clock;

int Repetitions()
{
    if (const char* env = std::getenv("QUILLON_BENCH_REPETITIONS")) {
        const int n = std::atoi(env);
        if (n > 0)
            return n;
    }
    return 3;
}

// Completed iterations of a picture: every value function returns its count
// of steps, except RN6Kernel6 whose result is that count + 2.
double IterationCount(const fractals::View& view, const std::vector<std::uint8_t>& buffer)
{
    double sum = 0.0;
    for (std::uint8_t b : buffer)
        sum += b;
    if (view.function == engine::RN6Kernel6)
        sum -= 2.0 * static_cast<double>(buffer.size());
    return sum;
}

// The loop every calculation ran before row kernels existed: load the point
// into the set, call the value function, keep the low byte.
void PerPixelLoop(const engine::RegionValues& region, engine::TBasicSet& set, engine::TValueFunction fn,
                  std::uint8_t* out)
{
    for (int i = 0; i < engine::kBufferHeight; ++i) {
        const engine::Extended y = engine::CellY(region, i);
        for (int j = 0; j < engine::kBufferWidth; ++j) {
            set.SetValues(engine::kCalcParam, engine::TTriple{engine::CellX(region, j), y, 0.0L});
            out[i * engine::kBufferWidth + j] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(fn(set)) & 0xFFu);
        }
    }
}

void SetCounters(benchmark::State& state, double iterations, double seconds)
{
    state.counters["kernel_iterations"] = iterations;
    state.counters["ns_per_iteration"] = iterations > 0 ? seconds * 1e9 / iterations : 0.0;
}

void RunView(benchmark::State& state, const fractals::View* view, int threads)
{
    const engine::RegionValues region = view->region.Make().Values();
    const std::unique_ptr<engine::TBasicSet> prototype = fractals::MakePointSet(*view->window);
    std::vector<std::uint8_t> buffer(engine::kBufferCells);
    const int used = threads > 0 ? threads : engine::DefaultThreadCount();
    double seconds = 0.0;
    for (auto _ : state) {
        const auto start = Clock::now();
        engine::ComputeBuffer(region, *prototype, view->function, used, buffer.data());
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        benchmark::DoNotOptimize(buffer.data());
    }
    SetCounters(state, IterationCount(*view, buffer), seconds);
    state.counters["compute_threads"] = used;
}

void RunBaseline(benchmark::State& state, const fractals::View* view)
{
    const engine::RegionValues region = view->region.Make().Values();
    const std::unique_ptr<engine::TBasicSet> set = fractals::MakePointSet(*view->window);
    std::vector<std::uint8_t> buffer(engine::kBufferCells);
    double seconds = 0.0;
    for (auto _ : state) {
        const auto start = Clock::now();
        PerPixelLoop(region, *set, view->function, buffer.data());
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        benchmark::DoNotOptimize(buffer.data());
    }
    // The fast paths must not change a single byte; a timing of a wrong
    // picture is worthless.
    std::vector<std::uint8_t> fast(engine::kBufferCells);
    const std::unique_ptr<engine::TBasicSet> prototype = fractals::MakePointSet(*view->window);
    engine::ComputeBuffer(region, *prototype, view->function, 0, fast.data());
    if (fast != buffer) {
        state.SkipWithError("ComputeBuffer differs from the per-pixel loop");
        return;
    }
    SetCounters(state, IterationCount(*view, buffer), seconds);
}

[[maybe_unused]] const bool kRegistered = [] {
    const int repetitions = Repetitions();
    // The catalogue order and each view's value function, for bench/table.py.
    std::string ids, functions;
    for (const fractals::View& view : fractals::Views()) {
        ids += (ids.empty() ? "" : ",") + view.id;
        functions += (functions.empty() ? "" : ",") + std::string(view.functionName);
    }
    benchmark::AddCustomContext("quillon_views", ids);
    benchmark::AddCustomContext("quillon_functions", functions);
    for (const fractals::View& view : fractals::Views()) {
        const fractals::View* v = &view;
        for (int threads : {1, 0}) {
            const std::string name = "Views/" + view.id + (threads == 1 ? "/threads:1" : "/threads:all");
            benchmark::RegisterBenchmark(name.c_str(), RunView, v, threads)
                ->Iterations(1)
                ->Repetitions(repetitions)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
        benchmark::RegisterBenchmark(("Baseline/" + view.id).c_str(), RunBaseline, v)
            ->Iterations(1)
            ->Repetitions(repetitions)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace

BENCHMARK_MAIN();
