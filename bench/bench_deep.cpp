// Deep pictures: perturbation against plain MPFR iteration at the same precision, both on every core.
//
//   quillon_bench --benchmark_filter='Deep'
//
// Deep/Perturbation/<place> and Deep/Direct/<place> compute the same small
// grid (pixels per second in items_per_second); Deep/Picture1024/<place>
// Deep/OneThread/<place> and Deep/DirectOneThread/<place> compute that grid
// on one thread (CPU time);
// Deep/Picture1024/<place>
// times a whole 1024 x 768 picture once, reference included;
// Deep/Memory/interior-1e6 builds a reference of 10^6 steps and reports the
// process's peak resident size (run it alone for a meaningful number).
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <string>
#include <vector>

#include "DeepLocations.h"
#include "deep/Direct.h"
#include "deep/Perturb.h"

namespace {

struct Place {
    const char* name;
    deep::FormulaParams params;
    std::string centerX, centerY;
    int depth;
};

std::vector<Place> Places()
{
    using deeptest::AtDepth;
    const deep::FormulaParams seahorse{deep::Formula::LevelSet, 0.0L, 0.0L, 8000};
    const deep::FormulaParams rabbit{deep::Formula::Julia, -0.12L, 0.74L, 8000};
    return {
        {"seahorse-1e-30", seahorse, AtDepth(deeptest::kSeahorseIn, 30), "0.001", 30},
        {"minibrot-1e-30", seahorse, AtDepth(deeptest::kMinibrotX, 30), AtDepth(deeptest::kMinibrotY, 30), 30},
        {"seahorse-1e-100", seahorse, AtDepth(deeptest::kSeahorseIn, 100), "0.001", 100},
        {"seahorse-1e-300", seahorse, AtDepth(deeptest::kSeahorseIn, 300), "0.001", 300},
        {"misiurewicz-1e-300", {deep::Formula::LevelSet, 0.0L, 0.0L, 8000}, "3e-301", "1", 300},
        {"rabbit-1e-300", rabbit, AtDepth(deeptest::kRabbitBoundary, 300), "2e-301", 300},
    };
}

deep::Mapping MappingOf(const Place& p, int width, int height)
{
    return deep::Mapping({p.centerX, p.centerY, deeptest::Width(p.depth), ""}, width, height);
}

constexpr int kGridWidth = 16, kGridHeight = 12;

void Perturbation(benchmark::State& state, const Place& p)
{
    const deep::Mapping mapping = MappingOf(p, kGridWidth, kGridHeight);
    const deep::Reference reference(mapping, p.params);
    for (auto _ : state) {
        std::uint64_t sum = 0;
        deep::ComputeRows(reference, mapping, 0, kGridHeight, [&](int, const std::uint8_t* cells) {
            for (int j = 0; j < kGridWidth; ++j)
                sum += cells[j];
        });
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kGridWidth * kGridHeight);
}

// The yardstick: every pixel iterated in MPFR at the depth's precision,
// rows spread over the same pool.
void Direct(benchmark::State& state, const Place& p)
{
    const deep::Mapping mapping = MappingOf(p, kGridWidth, kGridHeight);
    for (auto _ : state) {
        engine::RowStream stream(
            kGridWidth, 0, kGridHeight,
            [&](int row, std::uint8_t* out) {
                for (int j = 0; j < kGridWidth; ++j)
                    out[j] = static_cast<std::uint8_t>(deep::DirectCount(mapping, p.params, j, row, mapping.Bits()));
            },
            0, engine::RowPool::Instance());
        std::vector<std::uint8_t> row(kGridWidth);
        for (int i = 0; i < kGridHeight; ++i)
            stream.TakeRow(i, row.data());
        benchmark::DoNotOptimize(row.data());
    }
    state.SetItemsProcessed(state.iterations() * kGridWidth * kGridHeight);
}

// The same grid row by row on the calling thread, timed in its CPU time:
// on a shared machine the pool's wall time moves with the load, the CPU
// time of one thread much less. count_sum tells a change of the loops
// that moved a count.
void OneThread(benchmark::State& state, const Place& p)
{
    const deep::Mapping mapping = MappingOf(p, kGridWidth, kGridHeight);
    const deep::Reference reference(mapping, p.params);
    std::vector<std::int32_t> counts(kGridWidth);
    std::uint64_t sum = 0;
    for (auto _ : state) {
        sum = 0;
        for (int i = 0; i < kGridHeight; ++i) {
            deep::CountRow(reference, mapping, i, counts.data());
            for (const std::int32_t count : counts)
                sum += static_cast<std::uint64_t>(count);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kGridWidth * kGridHeight);
    state.counters["count_sum"] = static_cast<double>(sum);
}

// The yardstick on one thread, in CPU time, for the ratio of OneThread.
void DirectOneThread(benchmark::State& state, const Place& p)
{
    const deep::Mapping mapping = MappingOf(p, kGridWidth, kGridHeight);
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (int i = 0; i < kGridHeight; ++i)
            for (int j = 0; j < kGridWidth; ++j)
                sum += static_cast<std::uint64_t>(deep::DirectCount(mapping, p.params, j, i, mapping.Bits()));
        benchmark::DoNotOptimize(sum);
        state.counters["count_sum"] = static_cast<double>(sum);
    }
    state.SetItemsProcessed(state.iterations() * kGridWidth * kGridHeight);
}

void Picture1024(benchmark::State& state, const Place& p)
{
    for (auto _ : state) {
        const deep::Mapping mapping = MappingOf(p, 1024, 768);
        const deep::Reference reference(mapping, p.params);
        std::uint64_t sum = 0;
        deep::ComputeRows(reference, mapping, 0, 768, [&](int, const std::uint8_t* cells) {
            for (int j = 0; j < 1024; ++j)
                sum += cells[j];
        });
        benchmark::DoNotOptimize(sum);
    }
}

// Inside the main cardioid nothing escapes: the reference runs the whole
// limit of a million steps and so does every pixel.
void Memory(benchmark::State& state)
{
    const deep::FormulaParams params{deep::Formula::LevelSet, 0.0L, 0.0L, 1000000};
    std::size_t bytes = 0;
    for (auto _ : state) {
        const deep::Mapping mapping({"-0.1", "0.1", "1e-300", ""}, 8, 6);
        const deep::Reference reference(mapping, params);
        bytes = reference.Bytes();
        std::uint64_t sum = 0;
        deep::ComputeRows(reference, mapping, 0, 6, [&](int, const std::uint8_t* cells) { sum += cells[0]; });
        benchmark::DoNotOptimize(sum);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["reference_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1e3;
}

const bool registered = [] {
    for (const Place& p : Places()) {
        benchmark::RegisterBenchmark(("Deep/Perturbation/" + std::string(p.name)).c_str(), Perturbation, p)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("Deep/Direct/" + std::string(p.name)).c_str(), Direct, p)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(1);
        benchmark::RegisterBenchmark(("Deep/OneThread/" + std::string(p.name)).c_str(), OneThread, p)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Deep/DirectOneThread/" + std::string(p.name)).c_str(), DirectOneThread, p)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
        benchmark::RegisterBenchmark(("Deep/Picture1024/" + std::string(p.name)).c_str(), Picture1024, p)
            ->Unit(benchmark::kSecond)
            ->UseRealTime()
            ->Iterations(1);
    }
    benchmark::RegisterBenchmark("Deep/Memory/interior-1e6", Memory)
        ->Unit(benchmark::kSecond)
        ->UseRealTime()
        ->Iterations(1);
    return true;
}();

} // namespace
