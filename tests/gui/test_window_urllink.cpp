// TUrlLink: command-line composition, the browser lookup and launching without a shell.
#include <gtest/gtest.h>

#include <stdexcept>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "window/UrlLink.h"
#include "BrowserRecorder.h"

using namespace window;
using namespace guitest;

TEST(UrlLinkCompose, QuotedPlaceholderKeepsBlankBeforeIt)
{
    EXPECT_EQ(ComposeBrowserCommand(QStringLiteral("\"C:\\Program Files\\Browser\\browser.exe\" \"%1\""),
                                    QStringLiteral("http://x")),
              QStringLiteral("\"C:\\Program Files\\Browser\\browser.exe\"  http://x"));
    EXPECT_EQ(ComposeBrowserCommand(
                  QStringLiteral("\"C:\\Program Files\\Browser\\browser.exe\" -osint -url \"%1\""),
                  QStringLiteral("http://x")),
              QStringLiteral("\"C:\\Program Files\\Browser\\browser.exe\" -osint -url  http://x"));
}

TEST(UrlLinkCompose, BarePlaceholderAndArgumentsAfterItDropped)
{
    EXPECT_EQ(ComposeBrowserCommand(QStringLiteral("browser %1 --new-tab"), QStringLiteral("http://x")),
              QStringLiteral("browser  http://x"));
    EXPECT_EQ(ComposeBrowserCommand(QStringLiteral("browser -url \"%1\" -nohome"), QStringLiteral("http://x")),
              QStringLiteral("browser -url  http://x"));
    // The quoted form is looked for first, even when a bare one comes earlier.
    EXPECT_EQ(ComposeBrowserCommand(QStringLiteral("b %1 \"%1\""), QStringLiteral("u")), QStringLiteral("b %1  u"));
}

TEST(UrlLinkCompose, NoPlaceholderAppendsBlankAndAddress)
{
    EXPECT_EQ(ComposeBrowserCommand(QStringLiteral("xdg-open"), QStringLiteral("http://x")),
              QStringLiteral("xdg-open http://x"));
    EXPECT_EQ(ComposeBrowserCommand(QStringLiteral("browser.exe -nohome"), QStringLiteral("file:///a b")),
              QStringLiteral("browser.exe -nohome file:///a b"));
}

TEST(UrlLinkCompose, SplitKeepsQuotedProgramAndAddressWhole)
{
    const BrowserCommand c = BrowserCommandFor(
        QStringLiteral("\"C:\\Program Files\\Browser\\browser.exe\" -osint -url \"%1\""),
        QStringLiteral("http://x/a b;c"));
    EXPECT_EQ(c.program, QStringLiteral("C:\\Program Files\\Browser\\browser.exe"));
    EXPECT_EQ(c.arguments,
              QStringList({QStringLiteral("-osint"), QStringLiteral("-url"), QStringLiteral("http://x/a b;c")}));

    // Nothing before the placeholder: no program at all, not the address run as one.
    const BrowserCommand none = BrowserCommandFor(QStringLiteral("\"%1\""), QStringLiteral("http://x"));
    EXPECT_TRUE(none.program.isEmpty());
}

TEST(UrlLinkProperties, DefaultsAndShowCodes)
{
    TUrlLink web;
    EXPECT_EQ(web.UrlShowCommand, ssShowDefault);
    EXPECT_TRUE(web.Url.isEmpty());
    const int codes[] = {0, 3, 6, 9, 5, 10, 3, 2, 7, 8, 4, 1};
    for (int i = ssHide; i <= ssShowNormal; ++i)
        EXPECT_EQ(ShowCode(static_cast<TUrlShowCmd>(i)), codes[i]) << "ordinal " << i;
}

TEST(UrlLinkLookup, XdgOpenOnlyWhenOnPath)
{
    QTemporaryDir withTool, withoutTool;
    ASSERT_TRUE(withTool.isValid() && withoutTool.isValid());
    WriteRecorder(withTool, QStringLiteral("xdg-open"));
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", withTool.path().toLocal8Bit());
    const QString found = DefaultBrowserCommandLine();
    qputenv("PATH", withoutTool.path().toLocal8Bit());
    const QString missing = DefaultBrowserCommandLine();
    qputenv("PATH", savedPath);
    EXPECT_EQ(found, QStringLiteral("xdg-open"));
    EXPECT_TRUE(missing.isEmpty());
}

TEST(UrlLinkLaunch, ShellCharactersReachBrowserAsOneLiteralArgument)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString script = WriteRecorder(dir, QStringLiteral("browser with blank"));
    LookupOverride lookup([&] { return QStringLiteral("\"%1\" --new-window \"%2\" --after").arg(script, QStringLiteral("%1")); });

    const QString marker = dir.filePath(QStringLiteral("pwned"));
    const QString url = QStringLiteral("http://x/?q=a b; rm -rf ~ $(touch %1) `touch %1` \"q\" 'x' & | > %1")
                            .arg(marker);
    TUrlLink web;
    web.Url = url;
    web.Launch();

    EXPECT_EQ(RecordedArguments(script), QStringList({QStringLiteral("--new-window"), url}));
    EXPECT_FALSE(QFileInfo::exists(marker)) << "the address went through a shell";
}

TEST(UrlLinkLaunch, MissingProgramRaisesItsMessage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("no-such-browser"));
    LookupOverride lookup([&] { return QStringLiteral("\"%1\" \"%2\"").arg(missing, QStringLiteral("%1")); });
    TUrlLink web;
    web.Url = QStringLiteral("http://x");
    try {
        web.Launch();
        ADD_FAILURE() << "no error for a browser that cannot start";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Couldn't launch default browser");
    }
}

TEST(UrlLinkLaunch, NoBrowserKnownDoesNothingSilently)
{
    LookupOverride lookup([] { return QString(); });
    TUrlLink web;
    web.Url = QStringLiteral("http://x");
    EXPECT_NO_THROW(web.Launch());
}
