// The deep state of a window: its last reference orbit, and the Position box's fields for deep numbers.
#include "window/DeepWindowState.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>

#include <algorithm>

#include "deep/Reference.h"

namespace window {

namespace {

const char* const kFieldSuffix = "Deep";

// What each of the four numbers is, for the field's tooltip.
const std::array<const char*, 4> kMeanings = {"centre x", "width", "centre y", "height"};

// A field over the label that looks like it (no frame, the box's
// background) but holds its text whole: it scrolls, selects and copies.
QLineEdit* FieldOver(QLabel& label)
{
    QWidget* box = label.parentWidget();
    const QString name = label.objectName() + kFieldSuffix;
    if (auto* field = box->findChild<QLineEdit*>(name, Qt::FindDirectChildrenOnly))
        return field;
    auto* field = new QLineEdit(box);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setFrame(false);
    field->setFocusPolicy(Qt::ClickFocus);
    field->setFont(label.font());
    QPalette colours = field->palette();
    colours.setColor(QPalette::Base, box->palette().color(QPalette::Window));
    field->setPalette(colours);
    field->setGeometry(label.geometry());
    field->setTextMargins(0, 0, 0, 0);
    return field;
}

} // namespace

DeepWindowState::DeepWindowState(QWidget& window) : QObject(&window) { setObjectName("DeepWindowState"); }

DeepWindowState& DeepWindowState::Of(QWidget& window)
{
    if (auto* state = window.findChild<DeepWindowState*>(QString(), Qt::FindDirectChildrenOnly))
        return *state;
    return *new DeepWindowState(window);
}

void ShowPosition(const PositionLabels& box, const std::optional<std::array<QString, 4>>& deepTexts)
{
    for (std::size_t i = 0; i < box.values.size(); ++i) {
        QLabel& label = *box.values[i];
        if (!deepTexts) {
            if (QLineEdit* field = DeepField(&label))
                field->hide();
            label.show();
            continue;
        }
        const QString& text = (*deepTexts)[i];
        label.setText(text);
        label.hide();
        QLineEdit& field = *FieldOver(label);
        field.setMaxLength(std::max(32767, static_cast<int>(text.size())));
        field.setText(text);
        // The leading digits first: they say where the picture is.
        field.setCursorPosition(0);
        field.setToolTip(QStringLiteral("%1: %2").arg(QLatin1String(kMeanings[i]), text));
        field.show();
    }
    box.captionX->setText(deepTexts ? QStringLiteral("X centre, width:") : QStringLiteral("X:"));
    box.captionY->setText(deepTexts ? QStringLiteral("Y centre, height:") : QStringLiteral("Y:"));
}

QLineEdit* DeepField(const QLabel* label)
{
    return label->parentWidget()->findChild<QLineEdit*>(label->objectName() + kFieldSuffix,
                                                         Qt::FindDirectChildrenOnly);
}

} // namespace window
