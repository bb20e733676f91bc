// A stand-in browser for the web-link tests: the lookup is replaced and the "browser" is a script that records its arguments.
#pragma once

#include <gtest/gtest.h>

#include <utility>

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include "window/UrlLink.h"

namespace guitest {

// Replaces the browser lookup for one test and puts the default back.
class LookupOverride {
public:
    explicit LookupOverride(window::TUrlLink::CommandLineLookup lookup)
    {
        window::TUrlLink::BrowserCommandLookup() = std::move(lookup);
    }
    ~LookupOverride() { window::TUrlLink::BrowserCommandLookup() = window::DefaultBrowserCommandLine; }
    LookupOverride(const LookupOverride&) = delete;
    LookupOverride& operator=(const LookupOverride&) = delete;
};

// An executable script that stores its arguments, each ended by a NUL byte,
// in <script>.args (renamed into place when complete).
inline QString WriteRecorder(const QTemporaryDir& dir, const QString& name)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n"
            "out=\"$0.args\"\n"
            "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$out.tmp\" && mv \"$out.tmp\" \"$out\"\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// The arguments of the script's next run (waited for); the record is
// removed, so a later call sees only a later run.
inline QStringList RecordedArguments(const QString& script)
{
    const QString out = script + QStringLiteral(".args");
    if (!QTest::qWaitFor([&] { return QFileInfo::exists(out); }, 10000))
        return {QStringLiteral("<script never ran>")};
    QFile f(out);
    if (!f.open(QIODevice::ReadOnly))
        return {QStringLiteral("<unreadable>")};
    QStringList args = QString::fromUtf8(f.readAll()).split(QLatin1Char('\0'));
    args.removeLast(); // after the last terminator
    f.close();
    QFile::remove(out);
    return args;
}

} // namespace guitest
