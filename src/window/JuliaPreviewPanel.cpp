// The Julia explorer's panel: the Julia set of the point under the mouse, coarse first, then full.
#include "window/JuliaPreviewPanel.h"

#include <QMetaObject>
#include <QPainter>

#include <cstring>

namespace window {

JuliaPreviewPanel::JuliaPreviewPanel(QWidget* parent, engine::RowPool& pool) : QWidget(parent)
{
    setObjectName(QStringLiteral("JuliaPreviewPanel"));
    setFixedSize(render::kPreviewWidth, render::kPreviewHeight);
    picture_ = QImage(render::kPreviewWidth, render::kPreviewHeight, QImage::Format_RGB888);
    picture_.fill(Qt::black);
    // Pictures come on the preview's thread and are shown on this one. The
    // picture itself goes through a mutex, the queued signal only says it
    // is there: a signal posted for a panel that is gone is dropped with it.
    connect(this, &JuliaPreviewPanel::PictureArrived, this, &JuliaPreviewPanel::TakeArrived, Qt::QueuedConnection);
    preview_ = std::make_unique<render::JuliaPreview>(
        [this](render::PreviewPicture p) {
            {
                std::lock_guard<std::mutex> lock(arrivedMutex_);
                arrived_ = std::move(p);
            }
            emit PictureArrived();
        },
        pool);
}

JuliaPreviewPanel::~JuliaPreviewPanel() { preview_.reset(); }

void JuliaPreviewPanel::Follow(engine::Extended cx, engine::Extended cy, const render::Colours& colours)
{
    render::PreviewRequest r;
    r.cx = cx;
    r.cy = cy;
    r.colours = colours;
    newest_ = preview_->Request(r);
}

void JuliaPreviewPanel::Stop()
{
    preview_->Cancel();
    newest_ = 0;
}

void JuliaPreviewPanel::TakeArrived()
{
    std::optional<render::PreviewPicture> p;
    {
        std::lock_guard<std::mutex> lock(arrivedMutex_);
        p.swap(arrived_);
    }
    if (p)
        Arrived(*p);
}

void JuliaPreviewPanel::Arrived(const render::PreviewPicture& p)
{
    // One posted before a newer request (or Stop) is stale by now.
    if (p.request != newest_)
        return;
    const std::size_t stride = static_cast<std::size_t>(render::kPreviewWidth) * 3;
    for (int row = 0; row < render::kPreviewHeight; ++row)
        std::memcpy(picture_.scanLine(row), p.rgb.data() + static_cast<std::size_t>(row) * stride, stride);
    shownFull_ = !p.coarse;
    shownRequest_ = p.request;
    shownRe_ = p.cx;
    shownIm_ = p.cy;
    update();
    emit PictureShown();
}

void JuliaPreviewPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

} // namespace window
