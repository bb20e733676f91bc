// Pictures of a view at any size: values on the row pool, colours mapped, rows streamed in order to a sink.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "colour/Palette.h"
#include "deep/Reference.h"
#include "engine/PointSets.h"
#include "engine/Region.h"
#include "engine/RowPool.h"
#include "fractals/Catalogue.h"

namespace exporter {
struct ViewDocument;
}
namespace fractals {
struct View;
}

namespace render {

// A picture past the reach of extended coordinates: its mapping at the
// size of the value grid, and the reference orbit every row shares.
struct DeepJob {
    deep::Mapping mapping;
    std::shared_ptr<const deep::Reference> reference;
};

// What to compute. The region is taken as given, in extended precision (a
// movie's in-between frames need not lie on 6-byte values).
struct Job {
    engine::RegionValues region;
    const engine::TBasicSet* prototype = nullptr; // cloned per row in flight, never used directly
    engine::TValueFunction function = nullptr;
    int width = engine::kBufferWidth; // the picture, each side 2 ... 65535
    int height = engine::kBufferHeight;
    int supersample = 1; // values are computed at supersample*width x supersample*height
    // When set, the deep engine computes the values in place of region,
    // prototype and function.
    std::shared_ptr<const DeepJob> deep = nullptr;
};

// The grid of the values a job computes.
engine::Grid ValueGrid(const Job& job);

struct Progress {
    std::int64_t rowsDone = 0; // value rows handed on
    std::int64_t rowsTotal = 0;
};

struct Control {
    // Called on the calling thread after every value row.
    std::function<void(const Progress&)> progress;
    // Tested before every row; once set the job throws Cancelled, and the
    // rows in flight are dropped.
    const std::atomic<bool>* cancel = nullptr;
    engine::RowPool* pool = nullptr; // nullptr: the process-wide pool
    engine::RowPool::Priority priority = engine::RowPool::Priority::Interactive;
    int lookahead = 0; // value rows in flight; 0: four per pool thread
};

class Cancelled : public std::runtime_error {
public:
    Cancelled() : std::runtime_error("cancelled") {}
};

// A row and its bytes, valid during the call. Rows come in order.
using ValueSink = std::function<void(int row, std::span<const std::uint8_t> values)>;
using RgbSink = std::function<void(int row, std::span<const std::uint8_t> rgb)>; // red, green, blue per pixel

// Value rows firstRow ... lastRow - 1 of the value grid (the whole picture:
// 0 and ValueGrid(job).height). Throws Cancelled.
void ComputeValues(const Job& job, int firstRow, int lastRow, const ValueSink& sink, const Control& control = {});

struct Colours {
    colour::TPaletteTable palette = colour::DefaultVgaPalette;
    colour::ColourAdjust adjust;
};

// Value rows in, picture rows out. With supersampling each pixel is the
// mean of its N x N values' colours in linear light (the sRGB transfer
// function both ways), rounded to the nearest byte; without, it is
// PixelColour of its value, as in the window's picture.
class ColourRows {
public:
    ColourRows(int width, int supersample, const Colours& colours, RgbSink sink);
    // One value row of supersample*width values.
    void Add(std::span<const std::uint8_t> values);

private:
    int width_, supersample_;
    std::array<std::uint32_t, 256> table_; // 0x00RRGGBB
    RgbSink sink_;
    int valueRows_ = 0;
    std::vector<double> sums_; // linear light per pixel and channel
    std::vector<std::uint8_t> rgb_;
};

// The sRGB transfer function of IEC 61966-2-1: a byte to linear light in
// 0 ... 1, and linear light back to the nearest byte.
double SrgbToLinear(std::uint8_t value);
std::uint8_t LinearToSrgb(double linear);

// The whole picture, rows of width pixels. Throws Cancelled.
void RenderRgb(const Job& job, const Colours& colours, const RgbSink& sink, const Control& control = {});

enum class FileFormat { Png, Bmp };

// The picture as a file that appears only when complete (nothing is left
// by a failure or a cancel). A PNG carries viewText, when not empty, in its
// "Quillon view" text chunk. Throws Cancelled, IoError.
void RenderFile(const Job& job, const Colours& colours, FileFormat format, const std::string& path,
                const std::string& viewText, const Control& control = {});

// A view document made ready to compute: the point set of its window, its
// function, region, size and colours. `set` must outlive the use of `job`.
struct ViewJob {
    std::unique_ptr<engine::TBasicSet> set;
    Job job;
    Colours colours;
};
// Throws std::invalid_argument for an id the catalogue does not know, and
// deep::RegionError (one) for a deep region the deep engine cannot draw. A
// deep region that extended coordinates still hold is drawn by the
// extended engine, as any other region.
ViewJob MakeViewJob(const exporter::ViewDocument& view);

// The same job in two halves, for a caller that computes the reference orbit
// elsewhere (a window's worker): MakeViewJob leaving job.deep empty, and the
// deep picture's mapping and formula when the deep engine must draw it.
struct DeepPlan {
    deep::Mapping mapping;
    deep::FormulaParams params;
};
ViewJob MakeViewJob(const exporter::ViewDocument& view, std::optional<DeepPlan>& deepPlan);
// The deep job of a plan: `reuse` when it is the reference a new one would
// be, else a new reference. Throws deep::Stopped once `stopped` says so.
std::shared_ptr<const DeepJob> MakeDeepJob(const DeepPlan& plan, std::shared_ptr<const deep::Reference> reuse,
                                           const std::function<bool()>& stopped = {});

// The iteration of a view the deep engine draws (exporter::DrawsDeep), with
// the view's iteration limit and, for a Julia view, its constant.
deep::FormulaParams DeepFormula(const fractals::View& view, const fractals::Parameters& parameters);
// The extended region of a deep region at a grid's size, when the extended
// engine can draw it as well as the deep one: the pixel spacing far above
// the last bit of the coordinates.
std::optional<engine::RegionValues> ShallowRegion(const deep::Mapping& mapping);

} // namespace render
