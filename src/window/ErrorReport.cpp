// The one place where an error message reaches the user.
#include "window/ErrorReport.h"

#include <QMessageBox>

#include <exception>

namespace errors {

std::function<void(const QString&)> Hook;

void Report(const QString& message)
{
    if (Hook) {
        Hook(message);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quillon"), message, QMessageBox::Ok);
    // The launcher stays on top of other windows; a message (one at start-up,
    // before any window is active, too) must not open hidden behind it.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

void ReportCurrentException()
{
    try {
        throw;
    } catch (const std::exception& e) {
        Report(QString::fromUtf8(e.what()));
    } catch (...) {
        Report(QStringLiteral("Unknown error"));
    }
}

} // namespace errors
