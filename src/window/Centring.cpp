// Centring top-level windows on their screen at their first showing.
#include "window/Centring.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace window {

namespace {

// Watches its window until the first showing, then goes.
class FirstShowCentring : public QObject {
public:
    explicit FirstShowCentring(QWidget& window) : QObject(&window), window_(window) {}

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched == &window_ && e->type() == QEvent::Show && !e->spontaneous()) {
            CentreOnScreen(window_);
            window_.removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QWidget& window_;
};

} // namespace

void CentreOnScreen(QWidget& window)
{
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    // The frame, not the client area: with a title bar the whole window is centred.
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

void CentreAtFirstShow(QWidget& window)
{
    window.installEventFilter(new FirstShowCentring(window));
}

} // namespace window
