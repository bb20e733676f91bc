// The one place where an error message reaches the user.
#include "window/ErrorReport.h"

#include "window/Services.h"

#include <exception>

namespace errors {

void Report(const QString& message) { window::InstalledDialogs().ShowError(message); }

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
