// The hands on the picture: wheel zoom about the pointer, drag to move, pinch, Shift keeping the band's shape; each with an instant preview.
#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>

#include <functional>
#include <optional>

#include "deep/DeepRegion.h"
#include "engine/Region.h"
#include "view/Preview.h"

class TFormBasicTamoSet;

namespace window {

// Watches the window's picture view. Each gesture is one new view: a
// calculation that runs is ended, the region changes, and the picture shown
// until the new rows arrive is the old one moved and scaled to the new
// region (the parts it does not cover blank). The window's original mouse
// handling (the rubber band's clicks) is left as it is, but for a left
// press with Ctrl held, which drags.
class PictureGestures : public QObject {
    Q_OBJECT
public:
    explicit PictureGestures(TFormBasicTamoSet* form);

    // One wheel notch at a position of the view: in (notches > 0) or out,
    // two times a notch; several notches are one step.
    void Wheel(QPoint at, int notches);
    // The picture dragged from `from` to `to`, view pixels.
    void Pan(QPoint from, QPoint to);
    // Zoom by `factor` about a position (a pinch).
    void ZoomAbout(QPointF at, long double factor);
    // The band's corner under the pointer moved so that the rectangle the
    // zoom takes (inside the frame's margins) has the picture's shape.
    QPoint KeepShapeCorner(QPoint pointer) const;

    // The picture of `from`'s region shown as `to`'s: `shown` moved and
    // scaled, the rest `blank`. A null image when there is nothing to show.
    static QImage Preview(const QImage& shown, const engine::RegionValues& from, const engine::RegionValues& to,
                          QRgb blank);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Ends a calculation that runs, stores the region, starts the new one
    // with the preview in place of the old picture.
    // One step: the 6-byte step, or past what 6-byte values place the deep one.
    void Go(const std::function<void(engine::Region&)>& sixByte,
            const std::function<deep::DeepRegion(const deep::DeepRegion&)>& deepStep);
    // Ends a running calculation before the hands move the picture, so that
    // no row is painted over the preview.
    void Settle();
    void ShowLive(const engine::Region& target);

    TFormBasicTamoSet* form_;
    view::WheelNotches notches_;

    // A drag in progress: where it started and the picture then.
    bool dragging_ = false;
    bool dragMoved_ = false;
    Qt::MouseButton dragButton_ = Qt::NoButton;
    QPoint dragStart_;
    QImage dragPicture_;
    engine::Region dragRegion_;

    // A pinch in progress.
    bool pinching_ = false;
    long double pinchFactor_ = 1.0L;
    QPointF pinchAt_;
    QImage pinchPicture_;
    engine::Region pinchRegion_;
};

} // namespace window
