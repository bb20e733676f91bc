// TUrlLink: the non-visual component that opens a web address in the default browser.
#pragma once

#include <functional>

#include <QObject>
#include <QString>
#include <QStringList>

namespace window {

// How the browser's window is to be shown, in the order of the original
// component's property (the ordinals are part of its interface).
enum TUrlShowCmd {
    ssHide,
    ssMaximize,
    ssMinimize,
    ssRestore,
    ssShow,
    ssShowDefault,
    ssShowMaximized,
    ssShowMinimized,
    ssShowMinNoActivate,
    ssShowNA,
    ssShowNoActivate,
    ssShowNormal,
};

// The platform show-window code a TUrlShowCmd stands for (SW_HIDE = 0 …
// SW_SHOWDEFAULT = 10). A Linux desktop has no such request for a program
// it starts, so Launch computes the code and the start ignores it.
int ShowCode(TUrlShowCmd cmd);

// The browser's command line with the address placeholder and everything
// after it cut off: the first "\"%1\"" (quoted, four characters) if there is
// one, else the first bare "%1"; a line without a placeholder is kept whole.
QString BrowserCommandPart(const QString& commandLine);

// The command line as the original component ran it: the command part, one
// blank, then the address, unquoted.
QString ComposeBrowserCommand(const QString& commandLine, const QString& url);

// What Launch starts: the program and its arguments. The command part is
// split first (quotes group words, no shell is involved) and the address is
// appended afterwards as exactly one argument. Splitting the composed line
// instead would cut an address holding blanks or quotes into several
// arguments; the original passed it unquoted to a launcher that did not
// split it further, and one argument is the faithful, safe equivalent here.
// An empty address adds no argument, as the trailing blank added nothing. A
// command line with nothing before the placeholder yields no program (the
// address is never run as a program), and Launch reports the failure.
struct BrowserCommand {
    QString program;
    QStringList arguments;
};
BrowserCommand BrowserCommandFor(const QString& commandLine, const QString& url);

// The default browser's command line on this system: "xdg-open" when it is
// on the PATH, else an empty text (no browser known).
QString DefaultBrowserCommandLine();

class TUrlLink : public QObject {
    Q_OBJECT
public:
    // Yields the browser's command line; an empty text means "no browser
    // registered" and makes Launch do nothing. Replaceable so that tests and
    // other desktops can point it elsewhere; DefaultBrowserCommandLine by default.
    using CommandLineLookup = std::function<QString()>;
    static CommandLineLookup& BrowserCommandLookup();

    explicit TUrlLink(QObject* parent = nullptr);

    QString Url;                                 // the web address to open
    TUrlShowCmd UrlShowCommand = ssShowDefault; // how the browser's window is to be shown

    // Opens Url in the default browser without waiting for it. No browser
    // known: nothing happens and nothing is reported. The browser cannot be
    // started: throws std::runtime_error("Couldn't launch default browser").
    // The address never passes through a shell, so characters such as ';',
    // '$(…)' or back quotes in it reach the browser literally.
    void Launch();
};

} // namespace window
