// A clickable square showing one palette colour of the Control box.
#pragma once

#include <QFrame>

#include "colour/Palette.h"

class ColourPanel : public QFrame {
    Q_OBJECT
public:
    ColourPanel(const QString& name, colour::ColourWord initial, QWidget* parent);

    colour::ColourWord Colour() const { return colour_; }
    void SetColour(colour::ColourWord c);

signals:
    void Clicked(ColourPanel* self);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    colour::ColourWord colour_;
    bool pressed_ = false;
};
