// Zoom movies into deep views: each frame a deep region on a constant-speed path, references shared by groups of frames.
#pragma once

#include <memory>
#include <vector>

#include "export/ViewFile.h"
#include "movie/Movie.h"
#include "render/Render.h"

namespace render {

// The frames from `start` to `end` (views of the same window, at least one
// of them deep), both axes zooming geometrically about their fixed points:
// the same factor from every frame to the next, to any depth. The first
// and the last frame are the two views themselves.
class DeepZoom {
public:
    // Throws deep::RegionError or movie::PathError for views it cannot join.
    DeepZoom(const exporter::ViewDocument& start, const exporter::ViewDocument& end, int frames);
    ~DeepZoom();

    int Frames() const { return frames_; }
    // The view of frame k: the start view with the frame's region.
    exporter::ViewDocument FrameView(int frame) const;
    // Renders frame k on the pool. A cancel through `control` ends the
    // frame early. The result depends only on k, not on the frames rendered
    // before it, so a movie made in parts matches one made at once.
    void Render(int frame, const Colours& colours, const Control& control, const movie::RowOut& out);

private:
    struct Axis;
    deep::DeepRegion RegionAt(int frame) const;
    std::shared_ptr<const deep::Reference> GroupReference(int group, const deep::Mapping& frame);

    exporter::ViewDocument start_, end_;
    int frames_;
    deep::FormulaParams params_;
    std::unique_ptr<Axis> x_, y_;
    int cachedGroup_ = -1;
    std::shared_ptr<const deep::Reference> cached_;
};

} // namespace render
