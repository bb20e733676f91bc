// The deep state of a window: its last reference orbit, and the Position box's fields for deep numbers.
#include "window/DeepWindowState.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPalette>

#include <algorithm>

#include "deep/Reference.h"

namespace window {

namespace {

const char* const kFieldSuffix = "Deep";
const char* const kWholeText = "wholeText";

// Shows a field's number elided in its middle (the leading digits and the
// exponent stay in sight) while the field is not in use, and whole, to
// scroll, select and copy, while it has the focus.
class ElideUnlessFocused : public QObject {
public:
    using QObject::QObject;
    static void Show(QLineEdit& field)
    {
        const QString whole = field.property(kWholeText).toString();
        const QString shown = field.hasFocus()
                                  ? whole
                                  : field.fontMetrics().elidedText(whole, Qt::ElideMiddle, field.width() - 4);
        if (field.text() != shown) {
            field.setText(shown);
            field.setCursorPosition(0);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        const QEvent::Type t = e->type();
        if (t == QEvent::FocusIn || t == QEvent::FocusOut || t == QEvent::Resize)
            if (auto* field = qobject_cast<QLineEdit*>(watched)) {
                const bool wasSelecting = t == QEvent::FocusIn;
                // After the toolkit's own handling: it may select on focus.
                QMetaObject::invokeMethod(field, [field, wasSelecting] {
                    Show(*field);
                    // All of it, the cursor at the start: the leading digits in sight.
                    if (wasSelecting)
                        field->setSelection(static_cast<int>(field->text().size()),
                                            -static_cast<int>(field->text().size()));
                }, Qt::QueuedConnection);
            }
        return false;
    }
};

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
    field->installEventFilter(new ElideUnlessFocused(field));
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
        field.setProperty(kWholeText, text);
        ElideUnlessFocused::Show(field);
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
