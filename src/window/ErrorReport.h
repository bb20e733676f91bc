// Reporting an exception that ends a handler: its message in a message box titled "Quillon".
#pragma once

#include <QString>

#include <functional>
#include <type_traits>

namespace errors {

// Shows the message through the installed dialogs (window::InstalledDialogs).
void Report(const QString& message);
// Reports the exception being handled. Call only inside a catch block.
void ReportCurrentException();

// Runs the handler; an exception it throws is reported and goes no further,
// so it never unwinds through the toolkit's frames. The window stays as the
// handler left it. Returns false when the handler threw.
template <class Handler>
bool Guarded(Handler&& handler)
{
    try {
        handler();
        return true;
    } catch (...) {
        ReportCurrentException();
        return false;
    }
}

// A slot that runs `handler` guarded.
template <class Handler>
auto GuardedSlot(Handler handler)
{
    return [handler](auto&&...) { Guarded(handler); };
}

} // namespace errors
