// Answers modal dialogs from inside their own event loop, as a user's clicks would arrive: for the GUI tests, the reliability tests and the soak.
#pragma once

#include <QApplication>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

#include "shell/Application.h"

namespace testsupport {

// Runs `act` once on the first visible modal widget that is a `Dialog`,
// polling every 5 ms; gives up after `timeoutMs`.
template <class Dialog>
void WhenModal(std::function<void(Dialog&)> act, int timeoutMs = 10000)
{
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    const int maxTries = timeoutMs / 5;
    QObject::connect(poll, &QTimer::timeout, [poll, tries, maxTries, act] {
        auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        const bool open = d != nullptr && d->isVisible();
        if (open || ++*tries > maxTries) {
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
