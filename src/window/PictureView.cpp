// Stretched picture display with mouse reporting.
#include "window/PictureView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

PictureView::PictureView(QWidget* parent) : QWidget(parent)
{
    setObjectName("PB");
    // The selection frame follows the mouse between the two clicks, with no
    // button held.
    setMouseTracking(true);
    // Takes the focus when clicked or tabbed to, for the navigation keys.
    setFocusPolicy(Qt::StrongFocus);
}

void PictureView::SetPicture(const QImage& picture)
{
    picture_ = picture;
    preview_ = QImage();
    update();
    emit PictureChanged();
}

void PictureView::ShowPreview(const QImage& preview)
{
    preview_ = preview;
    update();
}

void PictureView::EndPreview()
{
    if (preview_.isNull())
        return;
    preview_ = QImage();
    update();
}

void PictureView::SetSharpPicture(const QImage& sharp)
{
    if (sharp.isNull() && sharp_.isNull())
        return;
    sharp_ = sharp;
    update();
}

bool PictureView::ShowsSharpPicture() const
{
    if (sharp_.isNull())
        return false;
    const double ratio = devicePixelRatioF();
    return sharp_.width() == static_cast<int>(std::lround(width() * ratio)) &&
           sharp_.height() == static_cast<int>(std::lround(height() * ratio));
}

void PictureView::SetBlankColour(std::function<QRgb()> colour)
{
    blankColour_ = std::move(colour);
    update();
}

void PictureView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (picture_.isNull()) {
        if (blankColour_)
            p.fillRect(rect(), QColor::fromRgb(blankColour_()));
        return;
    }
    if (!preview_.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), preview_);
        return;
    }
    if (ShowsSharpPicture()) {
        // One pixel of it to each pixel of the screen.
        p.drawImage(QPointF(0, 0), sharp_);
        return;
    }
    // The picture fills the view; its aspect ratio is not kept. Filtered, so
    // that a view of another size shows no uneven doubling of pixels.
    p.setRenderHint(QPainter::SmoothPixmapTransform);
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

void PictureView::keyPressEvent(QKeyEvent* e)
{
    // Shift is part of typing '+' on many keyboards; other modifiers leave
    // the key to shortcuts and the menus.
    const Qt::KeyboardModifiers other = e->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    switch (e->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Plus:
    case Qt::Key_Minus:
    case Qt::Key_Escape:
        if (other == Qt::NoModifier) {
            emit KeyDown(e->key());
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(e);
}
