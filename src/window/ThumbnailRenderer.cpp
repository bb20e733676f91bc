// Thumbnail rendering on a background thread and delivery to the buttons.
#include "window/ThumbnailRenderer.h"

#include <QAbstractButton>
#include <QIcon>
#include <QPixmap>

#include "fractals/Catalogue.h"
#include "window/ScreenPicture.h"

namespace {

ThumbnailRenderer* current = nullptr;

void SetIcon(QAbstractButton* button, const QImage& image)
{
    button->setIconSize(QSize(ThumbnailRenderer::kWidth, ThumbnailRenderer::kHeight));
    button->setIcon(QIcon(QPixmap::fromImage(image)));
}

} // namespace

ThumbnailRenderer::ThumbnailRenderer(QObject* parent) : QObject(parent)
{
    current = this;
    total_ = static_cast<int>(fractals::Views().size());
    connect(this, &ThumbnailRenderer::Rendered, this, &ThumbnailRenderer::Deliver, Qt::QueuedConnection);
    worker_ = std::thread([this] { Run(); });
}

ThumbnailRenderer::~ThumbnailRenderer()
{
    cancel_.store(true);
    worker_.join();
    if (current == this)
        current = nullptr;
}

ThumbnailRenderer* ThumbnailRenderer::Current() { return current; }

QImage ThumbnailRenderer::Render(const fractals::View& view)
{
    return screen::RenderViewImage(view, kWidth, kHeight);
}

void ThumbnailRenderer::Run()
{
    for (const fractals::View& view : fractals::Views()) {
        if (cancel_.load())
            return;
        QImage image;
        try {
            image = Render(view);
        } catch (...) {
            return; // out of memory: the buttons keep no picture
        }
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            pending_.emplace_back(QString::fromStdString(view.id), std::move(image));
        }
        emit Rendered();
    }
}

void ThumbnailRenderer::Deliver()
{
    std::vector<std::pair<QString, QImage>> arrived;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        arrived.swap(pending_);
    }
    for (auto& [id, image] : arrived) {
        auto range = waiting_.equal_range(id);
        for (auto it = range.first; it != range.second; ++it)
            if (it->second)
                SetIcon(it->second, image);
        waiting_.erase(range.first, range.second);
        ready_[id] = std::move(image);
        ++readyCount_;
    }
    if (!arrived.empty() && AllReady())
        emit Finished();
}

void ThumbnailRenderer::Attach(const QString& viewId, QAbstractButton* button)
{
    if (current == nullptr)
        return;
    auto it = current->ready_.find(viewId);
    if (it != current->ready_.end())
        SetIcon(button, it->second);
    else
        current->waiting_.emplace(viewId, button);
}

QImage ThumbnailRenderer::Thumbnail(const QString& viewId) const
{
    auto it = ready_.find(viewId);
    return it == ready_.end() ? QImage() : it->second;
}
