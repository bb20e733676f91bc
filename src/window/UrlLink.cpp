// TUrlLink: finds the default browser's command line and starts it with an address.
#include "window/UrlLink.h"

#include <array>
#include <stdexcept>

#include <QProcess>
#include <QStandardPaths>

namespace window {

int ShowCode(TUrlShowCmd cmd)
{
    static constexpr std::array<int, 12> kCodes{0, 3, 6, 9, 5, 10, 3, 2, 7, 8, 4, 1};
    const int i = static_cast<int>(cmd);
    return (i >= 0 && i < static_cast<int>(kCodes.size())) ? kCodes[static_cast<std::size_t>(i)] : 10;
}

QString BrowserCommandPart(const QString& commandLine)
{
    qsizetype at = commandLine.indexOf(QStringLiteral("\"%1\""));
    if (at < 0)
        at = commandLine.indexOf(QStringLiteral("%1"));
    return at < 0 ? commandLine : commandLine.left(at);
}

QString ComposeBrowserCommand(const QString& commandLine, const QString& url)
{
    return BrowserCommandPart(commandLine) + QLatin1Char(' ') + url;
}

BrowserCommand BrowserCommandFor(const QString& commandLine, const QString& url)
{
    QStringList words = QProcess::splitCommand(BrowserCommandPart(commandLine));
    BrowserCommand result;
    // With nothing before the placeholder there is no program: the address
    // itself must never be started as one.
    if (words.isEmpty())
        return result;
    result.program = words.takeFirst();
    result.arguments = words;
    if (!url.isEmpty())
        result.arguments.append(url);
    return result;
}

QString DefaultBrowserCommandLine()
{
    // xdg-open hands the address to whatever the desktop has as its browser,
    // the counterpart of the class registered for ".htm" elsewhere.
    return QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty() ? QString()
                                                                                 : QStringLiteral("xdg-open");
}

TUrlLink::CommandLineLookup& TUrlLink::BrowserCommandLookup()
{
    static CommandLineLookup lookup = DefaultBrowserCommandLine;
    return lookup;
}

TUrlLink::TUrlLink(QObject* parent) : QObject(parent)
{
    UrlShowCommand = ssShowDefault;
}

void TUrlLink::Launch()
{
    // The code has no meaning for a program started on Linux; it is worked
    // out all the same so that a port to a platform with the request has it.
    [[maybe_unused]] const int showCode = ShowCode(UrlShowCommand);

    const CommandLineLookup& lookup = BrowserCommandLookup();
    const QString commandLine = lookup ? lookup() : QString();
    if (commandLine.isEmpty())
        return;

    const BrowserCommand command = BrowserCommandFor(commandLine, Url);
    if (command.program.isEmpty() || !QProcess::startDetached(command.program, command.arguments))
        throw std::runtime_error("Couldn't launch default browser");
}

} // namespace window
