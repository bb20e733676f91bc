// Wheel, drag and pinch on the picture: the new region, its instant preview, then the exact rows.
#include "window/PictureGestures.h"

#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QTransform>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "window/ErrorReport.h"
#include "window/FormBasicTamoSet.h"
#include "view/DeepNavigation.h"
#include "view/Navigation.h"
#include "window/PictureView.h"

namespace window {

namespace {

// The rubber band's frame lies this far inside its corners.
constexpr int kFrameInset = 4;
// Group-box coordinates of the picture's origin, as the band uses them.
constexpr int kPictureLeft = 2;
constexpr int kPictureTop = 15;


} // namespace

PictureGestures::PictureGestures(TFormBasicTamoSet* form) : QObject(form), form_(form)
{
    form_->PB->installEventFilter(this);
}

QImage PictureGestures::Preview(const QImage& shown, const engine::RegionValues& from, const engine::RegionValues& to,
                                QRgb blank)
{
    if (shown.isNull())
        return {};
    QImage preview(engine::kBufferWidth, engine::kBufferHeight, QImage::Format_RGB32);
    preview.fill(blank);
    const std::optional<view::PictureMapping> m = view::MapPicture(from, to);
    if (!m)
        return preview;
    // Cell j of the old picture covers [j - 1/2, j + 1/2] in cell units;
    // drawn in pixel units, whose edges lie half a cell further.
    const double sx = m->scaleX * engine::kBufferWidth / shown.width();
    const double sy = m->scaleY * engine::kBufferHeight / shown.height();
    QPainter p(&preview);
    // Nearest pixels: it shows for a moment, and the view smooths it as it stretches it.
    p.setTransform(QTransform(sx, 0, 0, sy, m->offsetX + 0.5 - 0.5 * m->scaleX, m->offsetY + 0.5 - 0.5 * m->scaleY));
    p.drawImage(QPointF(0, 0), shown);
    return preview;
}

void PictureGestures::Settle()
{
    if (form_->IsCalculating())
        form_->InterruptCalculation();
}

void PictureGestures::Go(const std::function<void(engine::Region&)>& sixByte,
                         const std::function<deep::DeepRegion(const deep::DeepRegion&)>& deepStep)
{
    // The picture the hands saw, before the calculation replaces the one in the view.
    const QImage shown = form_->ShownPicture();
    const engine::RegionValues from = form_->ViewRegion.Values();
    const bool wasDeep = form_->Model.Deep().has_value();
    const QRgb blank = form_->PB->BlankColour();
    Settle();
    form_->Model.Navigate(sixByte, deepStep);
    const bool isDeep = form_->Model.Deep().has_value();
    form_->StartCalculation();
    // A deep region has no extended corners to move the old picture by: its
    // rows alone show it.
    if (wasDeep || isDeep)
        return;
    QImage preview = Preview(shown, from, form_->ViewRegion.Values(), blank);
    if (preview.isNull())
        return;
    // Rows are painted over it as they come.
    form_->WorkBitmap = preview;
    form_->PB->SetPicture(preview);
}

void PictureGestures::ShowLive(const engine::Region& target)
{
    const QImage& base = pinching_ ? pinchPicture_ : dragPicture_;
    const engine::Region& from = pinching_ ? pinchRegion_ : dragRegion_;
    QImage preview = Preview(base, from.Values(), target.Values(), form_->PB->BlankColour());
    if (!preview.isNull())
        form_->PB->ShowPreview(preview);
}

void PictureGestures::Wheel(QPoint at, int notches)
{
    if (notches == 0)
        return;
    // A flood of notches in one event is still a few steps' worth.
    const long double factor = std::ldexp(1.0L, std::clamp(notches, -16, 16));
    ZoomAbout(at, factor);
}

void PictureGestures::Pan(QPoint from, QPoint to)
{
    const QWidget* pb = form_->PB;
    if (from == to)
        return;
    const int dx = to.x() - from.x(), dy = to.y() - from.y(), w = pb->width(), h = pb->height();
    Go([=](engine::Region& r) { r = view::PanByPixels(r, dx, dy, w, h); },
       [=](const deep::DeepRegion& d) { return view::DeepPanByPixels(d, dx, dy, w, h); });
}

void PictureGestures::ZoomAbout(QPointF at, long double factor)
{
    const QWidget* pb = form_->PB;
    if (!(factor > 0.0L) || factor == 1.0L)
        return;
    const double x = at.x(), y = at.y();
    const int w = pb->width(), h = pb->height();
    Go([=](engine::Region& r) { r = view::ZoomAbout(r, x, y, factor, w, h); },
       [=](const deep::DeepRegion& d) { return view::DeepZoomAbout(d, x, y, factor, w, h); });
}

QPoint PictureGestures::KeepShapeCorner(QPoint pointer) const
{
    // In the band's own coordinates (the View box's): the frame lies
    // kFrameInset inside the anchor and the pointer, and the zoom takes the
    // frame, so the frame is what must have the picture's shape.
    const int x = pointer.x() + kPictureLeft;
    const int y = pointer.y() + kPictureTop;
    const int sx = x >= form_->AnchorX ? 1 : -1;
    const int sy = y >= form_->AnchorY ? 1 : -1;
    const view::Band b =
        view::KeepShapeBand(form_->AnchorX + kFrameInset * sx, form_->AnchorY + kFrameInset * sy, x - kFrameInset * sx,
                            y - kFrameInset * sy, form_->PB->width(), form_->PB->height());
    const int farX = b.left == form_->AnchorX + kFrameInset * sx ? b.left + b.width : b.left;
    const int farY = b.top == form_->AnchorY + kFrameInset * sy ? b.top + b.height : b.top;
    return QPoint(farX + kFrameInset * sx - kPictureLeft, farY + kFrameInset * sy - kPictureTop);
}

bool PictureGestures::eventFilter(QObject* watched, QEvent* e)
{
    if (watched != form_->PB)
        return QObject::eventFilter(watched, e);
    bool handled = false;
    errors::Guarded([&] {
        QWidget* pb = form_->PB;
        switch (e->type()) {
        case QEvent::Wheel: {
            auto* w = static_cast<QWheelEvent*>(e);
            const int notches = notches_.Add(w->angleDelta().y());
            Wheel(w->position().toPoint(), notches);
            handled = true;
            break;
        }
        case QEvent::MouseButtonPress: {
            auto* m = static_cast<QMouseEvent*>(e);
            const bool ctrlLeft = m->button() == Qt::LeftButton && (m->modifiers() & Qt::ControlModifier);
            if ((m->button() == Qt::MiddleButton || ctrlLeft) && !dragging_) {
                dragging_ = true;
                dragMoved_ = false;
                dragButton_ = m->button();
                dragStart_ = m->position().toPoint();
                handled = true;
            }
            break;
        }
        case QEvent::MouseMove: {
            auto* m = static_cast<QMouseEvent*>(e);
            const QPoint at = m->position().toPoint();
            if (dragging_) {
                if (!dragMoved_ && at != dragStart_) {
                    // The first movement ends a running calculation; a click
                    // that does not move changes nothing.
                    dragMoved_ = true;
                    Settle();
                    dragPicture_ = form_->ShownPicture();
                    dragRegion_ = form_->ViewRegion;
                }
                if (dragMoved_)
                    ShowLive(view::PanByPixels(dragRegion_, at.x() - dragStart_.x(), at.y() - dragStart_.y(),
                                               pb->width(), pb->height()));
                handled = true;
            } else if ((m->modifiers() & Qt::ShiftModifier) && form_->Selecting && !form_->IsCalculating()) {
                const QPoint corner = KeepShapeCorner(at);
                form_->PBMouseMove(corner.x(), corner.y());
                handled = true;
            }
            break;
        }
        case QEvent::MouseButtonRelease: {
            auto* m = static_cast<QMouseEvent*>(e);
            if (dragging_ && m->button() == dragButton_) {
                dragging_ = false;
                handled = true;
                if (dragMoved_) {
                    // Back to the region the drag started from, then one step.
                    const QPoint at = m->position().toPoint();
                    form_->PB->EndPreview();
                    dragPicture_ = QImage();
                    if (form_->ViewRegion == dragRegion_)
                        Pan(dragStart_, at);
                }
            }
            break;
        }
        case QEvent::NativeGesture: {
            auto* g = static_cast<QNativeGestureEvent*>(e);
            if (g->gestureType() == Qt::BeginNativeGesture || (g->gestureType() == Qt::ZoomNativeGesture && !pinching_)) {
                Settle();
                pinching_ = true;
                pinchFactor_ = 1.0L;
                pinchPicture_ = form_->ShownPicture();
                pinchRegion_ = form_->ViewRegion;
            }
            if (g->gestureType() == Qt::ZoomNativeGesture) {
                pinchFactor_ *= 1.0L + static_cast<long double>(g->value());
                pinchAt_ = g->position();
                if (pinchFactor_ > 0.0L)
                    ShowLive(view::ZoomAbout(pinchRegion_, pinchAt_.x(), pinchAt_.y(), pinchFactor_, pb->width(),
                                             pb->height()));
            }
            if (g->gestureType() == Qt::EndNativeGesture && pinching_) {
                pinching_ = false;
                form_->PB->EndPreview();
                pinchPicture_ = QImage();
                ZoomAbout(pinchAt_, pinchFactor_);
            }
            handled = true;
            break;
        }
        default:
            break;
        }
    });
    return handled || QObject::eventFilter(watched, e);
}

} // namespace window

// The window calls this while it builds itself; the helper is its child.
void TFormBasicTamoSet::InstallPictureGestures() { new window::PictureGestures(this); }
