// Colour panel painting and its click.
#include "window/ColourPanel.h"

#include <QMouseEvent>
#include <QPainter>

ColourPanel::ColourPanel(const QString& name, colour::ColourWord initial, QWidget* parent)
    : QFrame(parent), colour_(initial)
{
    setObjectName(name);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
}

void ColourPanel::SetColour(colour::ColourWord c)
{
    colour_ = c;
    update();
}

void ColourPanel::paintEvent(QPaintEvent* e)
{
    {
        QPainter p(this);
        p.fillRect(contentsRect(), QColor(colour_ & 0xFF, (colour_ >> 8) & 0xFF, (colour_ >> 16) & 0xFF));
    }
    QFrame::paintEvent(e);
}

void ColourPanel::mousePressEvent(QMouseEvent* e)
{
    pressed_ = e->button() == Qt::LeftButton;
}

// A click is a press and a release of the left button over the panel.
void ColourPanel::mouseReleaseEvent(QMouseEvent* e)
{
    const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    pressed_ = false;
    if (click)
        emit Clicked(this);
}
