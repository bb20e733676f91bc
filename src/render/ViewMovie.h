// Zoom movies of a view: its frames rendered on the row pool, their view texts, PNG frame files.
#pragma once

#include "export/ViewFile.h"
#include "movie/Movie.h"
#include "render/Render.h"

namespace render {

// The formula's parameters over a movie's frames: each view's at the frame
// that shows it (movie::ZoomPlan::viewFrames), moving linearly between two
// views (fractals::MorphParameters). No movement keeps the job's set.
struct ParameterPath {
    std::vector<fractals::Parameters> views;
    std::vector<int> viewFrames;
    bool Moves() const;
    fractals::Parameters At(int frame) const;
};

// Renders a frame as `job` with the frame's region and, along `path`, the
// frame's parameters in place of its own, passing the rows on as they are
// finished. A cancel through `control` ends the frame early (MakeMovie then
// sees the flag); other failures throw. `job` and the point set it refers to
// must outlive the renderer.
movie::FrameRenderer ViewFrameRenderer(const Job& job, const Colours& colours, const Control& control,
                                       const ParameterPath& path = {});

// The view file text of a frame: `start` (window, colours, size,
// supersampling) with the frame's region, which is exact in extended
// precision when it lies between 6-byte values, and the frame's parameters
// along `path`.
movie::FrameViewText ViewFrameText(exporter::ViewDocument start, const ParameterPath& path = {});

// PNG frames through the streaming libpng writer, each with its view in the "Quillon view" chunk.
movie::RowImageWriterFactory PngFrameWriters();

} // namespace render
