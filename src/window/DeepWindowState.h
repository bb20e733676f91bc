// What a fractal window keeps for its deep pictures between calculations, and the Position box in deep mode.
#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <optional>

#include "deep/DeepRegion.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace deep {
class Reference;
}

namespace window {

// A child of its window, made on first use; lives on the interface thread.
class DeepWindowState : public QObject {
    Q_OBJECT
public:
    static DeepWindowState& Of(QWidget& window);

    // The reference orbit of the last deep picture: the next picture takes
    // it when it needs the very same one (Back, Forward, new colours).
    std::shared_ptr<const deep::Reference> reference;
    // The deep region whose centre and extents Edit put into the boxes; none
    // when the Position box was not deep then.
    std::optional<deep::DeepRegion> edited;

private:
    explicit DeepWindowState(QWidget& window);
};

// The Position box's labels LabX1, LabX2, LabY1, LabY2 and its captions LabEX, LabEY.
struct PositionLabels {
    std::array<QLabel*, 4> values{};
    QLabel* captionX = nullptr;
    QLabel* captionY = nullptr;
};

// In deep mode the labels hold the centre x, the width, the centre y and the
// height, each whole (Edit copies them into the boxes), and show them through
// read-only fields in their place: elided in the middle while not in use,
// whole to scroll, select and copy once clicked, and whole in their tooltips;
// the captions name the numbers. Without deep texts the labels show
// themselves again under the captions "X:" and "Y:".
void ShowPosition(const PositionLabels& box, const std::optional<std::array<QString, 4>>& deepTexts);

// The read-only field shown over a label in deep mode; null before the first.
QLineEdit* DeepField(const QLabel* label);

} // namespace window
