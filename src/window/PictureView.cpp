// Stretched picture display with mouse reporting.
#include "window/PictureView.h"

#include <QMouseEvent>
#include <QPainter>

PictureView::PictureView(QWidget* parent) : QWidget(parent)
{
    setObjectName("PB");
    // The selection frame follows the mouse between the two clicks, with no
    // button held.
    setMouseTracking(true);
}

void PictureView::SetPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

void PictureView::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter p(this);
    // The picture fills the view; its aspect ratio is not kept.
    p.drawImage(rect(), picture_);
}

void PictureView::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    emit MouseDown(e->button(), pos.x(), pos.y());
}

void PictureView::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    emit MouseMove(pos.x(), pos.y());
}
