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
