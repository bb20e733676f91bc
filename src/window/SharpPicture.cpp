// The sharp picture: values at the view's device size on the row pool, coloured as the window's picture.
#include "window/SharpPicture.h"

#include <QAction>
#include <QEvent>
#include <QTimer>

#include <cmath>
#include <exception>
#include <stdexcept>
#include <string>

#include "engine/RowPool.h"
#include "render/Render.h"
#include "window/ErrorReport.h"
#include "window/FormBasicTamoSet.h"
#include "window/PictureView.h"

namespace window {

std::vector<std::uint8_t> SharpValues(const engine::RegionValues& region, const engine::TBasicSet& prototype,
                                      engine::TValueFunction function, QSize size, const std::atomic<bool>* cancel)
{
    render::Job job;
    job.region = region;
    job.prototype = &prototype;
    job.function = function;
    job.width = size.width();
    job.height = size.height();
    render::Control control;
    control.cancel = cancel;
    control.pool = &engine::RowPool::Instance();
    const std::size_t width = static_cast<std::size_t>(size.width());
    std::vector<std::uint8_t> values(width * static_cast<std::size_t>(size.height()));
    try {
        render::ComputeValues(job, 0, job.height, [&](int row, std::span<const std::uint8_t> v) {
            std::copy(v.begin(), v.end(), values.begin() + static_cast<std::ptrdiff_t>(row * width));
        }, control);
    } catch (const render::Cancelled&) {
        return {};
    }
    return values;
}

QImage SharpImage(const std::vector<std::uint8_t>& values, QSize size, const screen::PixelTable& colours)
{
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull() || values.size() != static_cast<std::size_t>(size.width()) * static_cast<std::size_t>(size.height()))
        return {};
    const std::uint8_t* v = values.data();
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = colours[*v++];
    }
    return image;
}

SharpPicture::SharpPicture(TFormBasicTamoSet* form) : QObject(form), form_(form)
{
    setObjectName("SharpPicture");
    MMSharpPicture = form_->MenuAction("MMSharpPicture"); // from the window's menu table
    connect(MMSharpPicture, &QAction::toggled, this, errors::GuardedSlot([this] { Update(); }));

    poll_ = new QTimer(this);
    poll_->setInterval(15);
    connect(poll_, &QTimer::timeout, this, errors::GuardedSlot([this] { Poll(); }));

    resized_ = new QTimer(this);
    resized_->setSingleShot(true);
    resized_->setInterval(150);
    connect(resized_, &QTimer::timeout, this, errors::GuardedSlot([this] { Update(); }));

    connect(form_->PB, &PictureView::PictureChanged, this, errors::GuardedSlot([this] { PictureChanged(); }));
    form_->PB->installEventFilter(this);
}

SharpPicture::~SharpPicture() { Cancel(); }

bool SharpPicture::Enabled() const { return MMSharpPicture->isChecked(); }

QSize SharpPicture::DeviceSize() const
{
    const double ratio = form_->PB->devicePixelRatioF();
    return QSize(static_cast<int>(std::lround(form_->PB->width() * ratio)),
                 static_cast<int>(std::lround(form_->PB->height() * ratio)));
}

SharpPicture::Key SharpPicture::CurrentKey() const
{
    return Key{form_->ViewRegion, form_->ValueFunction, form_->CurrentPointSet(), DeviceSize()};
}

bool SharpPicture::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == form_->PB && e->type() == QEvent::Resize && Enabled())
        resized_->start();
    return QObject::eventFilter(watched, e);
}

void SharpPicture::PictureChanged()
{
    if (form_->IsCalculating()) {
        // The rows of a new view: the sharp picture of the old one goes.
        Cancel();
        form_->PB->SetSharpPicture(QImage());
        return;
    }
    Update();
}

void SharpPicture::Cancel()
{
    if (!worker_.joinable())
        return;
    cancel_.store(true);
    worker_.join();
    cancel_.store(false);
    done_.store(false);
    poll_->stop();
    result_.clear();
    failure_.clear();
    pending_ = Key{};
}

void SharpPicture::Update()
{
    if (!Enabled() || form_->IsCalculating() || form_->PB->Picture().isNull()) {
        Cancel();
        form_->PB->SetSharpPicture(QImage());
        return;
    }
    const Key key = CurrentKey();
    if (key.size.width() < 2 || key.size.height() < 2 || key.set == nullptr || key.function == nullptr) {
        form_->PB->SetSharpPicture(QImage());
        return;
    }
    if (haveValues_ && valuesKey_ == key) {
        Show(); // new colours only
        return;
    }
    if (worker_.joinable() && pending_ == key)
        return;
    Cancel();
    form_->PB->SetSharpPicture(QImage());
    pending_ = key;
    // The thread owns everything it reads: a copy of the point set, the region's values.
    std::shared_ptr<const engine::TBasicSet> set = key.set->Clone();
    const engine::RegionValues region = key.region.Values();
    worker_ = std::thread([this, set, region, key] {
        try {
            result_ = SharpValues(region, *set, key.function, key.size, &cancel_);
        } catch (const std::exception& e) {
            failure_ = e.what();
        }
        done_.store(true, std::memory_order_release);
    });
    poll_->start();
}

void SharpPicture::Poll()
{
    if (!done_.load(std::memory_order_acquire))
        return;
    poll_->stop();
    worker_.join();
    done_.store(false);
    const Key key = pending_;
    pending_ = Key{};
    std::vector<std::uint8_t> values = std::move(result_);
    result_.clear();
    const std::string failure = std::move(failure_);
    failure_.clear();
    if (!failure.empty())
        throw std::runtime_error(failure);
    if (values.empty())
        return; // cancelled
    // A later view or size may have come meanwhile.
    if (!(key == CurrentKey()) || form_->IsCalculating()) {
        Update();
        return;
    }
    values_ = std::move(values);
    valuesKey_ = key;
    haveValues_ = true;
    Show();
}

void SharpPicture::Show()
{
    QImage image = SharpImage(values_, valuesKey_.size, screen::PictureColours(form_->Palette, form_->CurrentAdjust()));
    image.setDevicePixelRatio(form_->PB->devicePixelRatioF());
    form_->PB->SetSharpPicture(image);
    emit Shown();
}

} // namespace window

// The window calls this while it builds itself; the helper is its child.
void TFormBasicTamoSet::InstallSharpPicture() { new window::SharpPicture(this); }
