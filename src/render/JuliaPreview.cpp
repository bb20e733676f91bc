// The Julia explorer's preview: the Julia set of a constant as the Julia Set window draws it, small and fast.
#include "render/JuliaPreview.h"

#include <algorithm>
#include <exception>

#include "fractals/Catalogue.h"

namespace render {

PreviewPicture RenderPreview(const PreviewRequest& request, bool coarse, const Control& control)
{
    const fractals::View& view = fractals::JuliaExplorerView();
    fractals::Parameters parameters = fractals::DefaultParameters(*view.window);
    parameters.juliaRe = request.cx;
    parameters.juliaIm = request.cy;
    parameters.iterations = request.iterations;
    const std::unique_ptr<engine::TBasicSet> set = fractals::MakePointSet(*view.window, parameters);
    const int block = coarse ? kPreviewCoarseBlock : 1;
    Job job;
    job.region = view.region.Make().Values();
    job.prototype = set.get();
    job.function = view.function;
    job.width = kPreviewWidth / block;
    job.height = kPreviewHeight / block;

    PreviewPicture picture;
    picture.coarse = coarse;
    picture.cx = request.cx;
    picture.cy = request.cy;
    picture.rgb.resize(static_cast<std::size_t>(kPreviewWidth) * kPreviewHeight * 3);
    const std::size_t stride = static_cast<std::size_t>(kPreviewWidth) * 3;
    RenderRgb(
        job, request.colours,
        [&](int row, std::span<const std::uint8_t> rgb) {
            // Each value fills its block: the first line of the block pixel by
            // pixel, the others copies of it.
            std::uint8_t* first = picture.rgb.data() + static_cast<std::size_t>(row) * block * stride;
            for (int j = 0; j < job.width; ++j)
                for (int k = 0; k < block; ++k)
                    std::copy_n(rgb.data() + static_cast<std::size_t>(j) * 3, 3,
                                first + (static_cast<std::size_t>(j) * block + static_cast<std::size_t>(k)) * 3);
            for (int k = 1; k < block; ++k)
                std::copy_n(first, stride, first + static_cast<std::size_t>(k) * stride);
        },
        control);
    return picture;
}

JuliaPreview::JuliaPreview(Deliver deliver, engine::RowPool& pool)
    : deliver_(std::move(deliver)), pool_(pool), thread_([this] { Run(); })
{
}

JuliaPreview::~JuliaPreview()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        cancel_.store(true);
    }
    wake_.notify_all();
    thread_.join();
}

std::uint64_t JuliaPreview::Request(const PreviewRequest& request)
{
    std::uint64_t number;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        waiting_ = request;
        number = ++newest_;
        cancel_.store(true);
    }
    wake_.notify_all();
    return number;
}

void JuliaPreview::Cancel()
{
    std::lock_guard<std::mutex> lock(mutex_);
    waiting_.reset();
    ++newest_; // no picture is current any more
    cancel_.store(true);
}

void JuliaPreview::Run()
{
    for (;;) {
        PreviewRequest request;
        std::uint64_t number;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || waiting_; });
            if (stopping_)
                return;
            request = *waiting_;
            waiting_.reset();
            number = newest_;
            cancel_.store(false);
        }
        ++started_;
        Control control;
        control.pool = &pool_;
        control.cancel = &cancel_;
        control.priority = engine::RowPool::Priority::Background;
        try {
            for (const bool coarse : {true, false}) {
                PreviewPicture picture = RenderPreview(request, coarse, control);
                picture.request = number;
                // Delivered under the lock, so no newer request can slip in
                // between the test and the delivery.
                std::lock_guard<std::mutex> lock(mutex_);
                if (number != newest_)
                    throw Cancelled();
                deliver_(std::move(picture));
            }
        } catch (const Cancelled&) {
            ++dropped_;
        } catch (const std::exception&) {
            // A preview that cannot be made (memory) is one picture fewer;
            // the next constant tries again.
            ++dropped_;
        }
    }
}

} // namespace render
