// The product's pages: addresses, the folder search, working links and the published kernel source.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "shell/Site.h"

using namespace shell;

namespace {

QString ReadSiteFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

const SitePage kLocalPages[] = {SitePage::Home, SitePage::MandelSource, SitePage::Images3D, SitePage::Books};

} // namespace

TEST(Site, AddressesOfThePages)
{
    EXPECT_EQ(SiteUrl(SitePage::PovRay), QUrl(QStringLiteral("http://www.povray.org/")));
    QSet<QString> files;
    for (SitePage page : kLocalPages) {
        const QUrl url = SiteUrl(page);
        ASSERT_TRUE(url.isLocalFile()) << url.toString().toStdString();
        EXPECT_TRUE(QFileInfo(url.toLocalFile()).isFile()) << url.toString().toStdString();
        files.insert(url.toLocalFile());
    }
    EXPECT_EQ(files.size(), 4) << "four distinct local pages";
    EXPECT_EQ(ProjectHomePage(), SiteUrl(SitePage::Home).toString());
    EXPECT_EQ(QUrl(AuthorsPage()).fragment(), QStringLiteral("authors"));
    EXPECT_TRUE(ReadSiteFile(SiteUrl(SitePage::Home).toLocalFile()).contains(QStringLiteral("id=\"authors\"")));
}

TEST(Site, FolderSearchPrefersTheFirstFolderWithPages)
{
    QTemporaryDir empty, installed, source;
    ASSERT_TRUE(empty.isValid() && installed.isValid() && source.isValid());
    for (const QTemporaryDir* d : {&installed, &source}) {
        QFile f(d->filePath(QStringLiteral("index.html")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    auto found = [](const QStringList& candidates) { return FindSiteDirectory(candidates).toStdString(); };
    auto clean = [](const QTemporaryDir& d) { return QDir(d.path()).absolutePath().toStdString(); };
    EXPECT_EQ(found({empty.path(), installed.path(), source.path()}), clean(installed));
    // A relative step such as <bin>/../share comes back cleaned.
    EXPECT_EQ(found({source.path() + QStringLiteral("/./"), installed.path()}), clean(source));
    // Nothing found: the first folder, so the failure names a real place to look.
    EXPECT_EQ(found({empty.path(), empty.path() + QStringLiteral("/none")}), clean(empty));
    EXPECT_TRUE(FindSiteDirectory({}).isEmpty());
}

TEST(Site, EveryRelativeLinkAndStyleSheetExists)
{
    const QRegularExpression ref(QStringLiteral("(?:href|src)=\"([^\"]*)\""));
    const QDir dir(SiteDirectory());
    for (SitePage page : kLocalPages) {
        const QString path = SiteUrl(page).toLocalFile();
        const QString html = ReadSiteFile(path);
        SCOPED_TRACE(path.toStdString());
        ASSERT_FALSE(html.isEmpty());
        int relative = 0;
        for (const QRegularExpressionMatch& m : ref.globalMatch(html)) {
            const QString target = m.captured(1);
            if (QUrl(target).scheme() == QStringLiteral("http") || QUrl(target).scheme() == QStringLiteral("https"))
                continue;
            ++relative;
            EXPECT_FALSE(target.startsWith(QLatin1Char('/'))) << target.toStdString();
            const QString file = target.section(QLatin1Char('#'), 0, 0);
            EXPECT_TRUE(QFileInfo(dir.filePath(file)).isFile()) << target.toStdString();
        }
        EXPECT_GT(relative, 4);
    }
}

// The source page publishes the escape-count kernel; it must be the one the
// program runs. Only checkable where the pages come from the source tree.
TEST(Site, MandelbrotPageShowsTheKernelAsCompiled)
{
    const QString kernels = SiteDirectory() + QStringLiteral("/../src/engine/Kernels.cpp");
    if (!QFileInfo::exists(kernels))
        GTEST_SKIP() << "pages not read from the source tree";
    const QString code = ReadSiteFile(kernels);
    const qsizetype begin = code.indexOf(QStringLiteral("std::int32_t LevelSetAt("));
    ASSERT_GE(begin, 0);
    const qsizetype end = code.indexOf(QStringLiteral("\n}\n"), begin);
    ASSERT_GT(end, begin);
    const QString function = code.mid(begin, end + 2 - begin);

    QString page = ReadSiteFile(SiteUrl(SitePage::MandelSource).toLocalFile());
    page.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    EXPECT_TRUE(page.contains(function)) << function.toStdString();
}
