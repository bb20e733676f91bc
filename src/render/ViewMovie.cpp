// Zoom movies of a view: its frames rendered on the row pool, their view texts, PNG frame files.
#include "render/ViewMovie.h"

#include "export/PictureWriters.h"

namespace render {

bool ParameterPath::Moves() const
{
    for (const fractals::Parameters& p : views)
        if (p != views.front())
            return true;
    return false;
}

fractals::Parameters ParameterPath::At(int frame) const
{
    for (std::size_t i = 0; i + 1 < views.size() && i + 1 < viewFrames.size(); ++i)
        if (frame < viewFrames[i + 1])
            return fractals::MorphParameters(views[i], views[i + 1], frame - viewFrames[i],
                                             viewFrames[i + 1] - viewFrames[i] + 1);
    return views.back();
}

movie::FrameRenderer ViewFrameRenderer(const Job& job, const Colours& colours, const Control& control,
                                       const ParameterPath& path)
{
    return [&job, colours, control, path](int index, const movie::RegionValues& region, const movie::RowOut& out) {
        Job frame = job;
        frame.region = region;
        std::unique_ptr<engine::TBasicSet> set;
        if (path.Moves()) {
            set = job.prototype->Clone();
            fractals::ApplyParameters(*set, path.At(index));
            frame.prototype = set.get();
        }
        try {
            RenderRgb(frame, colours, [&](int, std::span<const std::uint8_t> rgb) { out(rgb); }, control);
        } catch (const Cancelled&) {
            // The rows so far are dropped with the frame: MakeMovie reads the same flag.
        }
    };
}

movie::FrameViewText ViewFrameText(exporter::ViewDocument start, const ParameterPath& path)
{
    return [start = std::move(start), path](int index, const movie::RegionValues& region) {
        exporter::ViewDocument frame = start;
        frame.SetDrawnRegion(region);
        if (path.Moves())
            frame.parameters = path.At(index);
        return exporter::ViewText(frame);
    };
}

namespace {

class PngFrame : public movie::RowImageWriter {
public:
    PngFrame(const std::string& path, int width, int height, std::string_view viewText)
        : writer_(exporter::OpenPngWriter(path, width, height,
                                          {{exporter::kPngViewKeyword, std::string(viewText)}}))
    {
    }
    void Row(std::span<const std::uint8_t> rgb) override { writer_->WriteRow(rgb.data()); }
    void Close() override { writer_->Finish(); }

private:
    std::unique_ptr<exporter::PictureWriter> writer_;
};

} // namespace

movie::RowImageWriterFactory PngFrameWriters()
{
    return [](const std::string& path, int width, int height, std::string_view viewText) {
        return std::make_unique<PngFrame>(path, width, height, viewText);
    };
}

} // namespace render
