// Answers modal dialogs from inside their own event loop, as a user's clicks would arrive: for the GUI tests, the reliability tests and the soak.
#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <functional>

#include "shell/Application.h"

namespace testsupport {

// Runs `act` once on the first visible modal widget that is a `Dialog`,
// polling every 5 ms; gives up after `timeoutMs` of real time (a loaded
// machine runs fewer polls). The application owns the poll, so one still
// waiting when the tests end goes with it.
template <class Dialog>
void WhenModal(std::function<void(Dialog&)> act, int timeoutMs = 10000)
{
    auto* poll = new QTimer(QCoreApplication::instance());
    const QDeadlineTimer deadline(timeoutMs);
    QObject::connect(poll, &QTimer::timeout, [poll, deadline, act] {
        auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        const bool open = d != nullptr && d->isVisible();
        if (open || deadline.hasExpired()) {
            poll->stop();
            poll->deleteLater();
        }
        if (open)
            act(*d);
    });
    poll->start(5);
}

// Presses "Save" in the application's POV-Ray options dialog once it runs modally.
inline void SaveWhenPovOptionsOpen(int timeoutMs = 10000)
{
    WhenModal<shell::TFormExport>([](shell::TFormExport& d) { d.ButSave->click(); }, timeoutMs);
}

} // namespace testsupport
