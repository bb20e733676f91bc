// Locates the product's own HTML pages, installed or in the source tree.
#include "shell/Site.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace shell {

namespace {

QString PageFile(SitePage page)
{
    switch (page) {
    case SitePage::Home:
        return QStringLiteral("index.html");
    case SitePage::MandelSource:
        return QStringLiteral("mandelbrot-source.html");
    case SitePage::Images3D:
        return QStringLiteral("3d-images.html");
    case SitePage::Books:
        return QStringLiteral("books.html");
    case SitePage::PovRay:
        break;
    }
    return QString();
}

} // namespace

QStringList SiteDirectoryCandidates()
{
    QStringList dirs;
    // applicationDirPath needs an application object; a tool without one
    // still finds the build-tree and configured folders.
    if (QCoreApplication::instance())
        dirs << QCoreApplication::applicationDirPath() + QStringLiteral("/../share/quillon/site");
    dirs << QStringLiteral(QUILLON_SITE_BUILD_DIR) << QStringLiteral(QUILLON_SITE_INSTALL_DIR);
    return dirs;
}

QString FindSiteDirectory(const QStringList& candidates)
{
    for (const QString& dir : candidates) {
        if (QFileInfo(QDir(dir).filePath(QStringLiteral("index.html"))).isFile())
            return QDir::cleanPath(QDir(dir).absolutePath());
    }
    return candidates.isEmpty() ? QString() : QDir::cleanPath(QDir(candidates.first()).absolutePath());
}

QString SiteDirectory() { return FindSiteDirectory(SiteDirectoryCandidates()); }

QUrl SiteUrl(SitePage page)
{
    if (page == SitePage::PovRay)
        return QUrl(QStringLiteral("http://www.povray.org/"));
    return QUrl::fromLocalFile(QDir(SiteDirectory()).filePath(PageFile(page)));
}

QString ProjectHomePage() { return SiteUrl(SitePage::Home).toString(); }

QString AuthorsPage()
{
    QUrl url = SiteUrl(SitePage::Home);
    url.setFragment(QStringLiteral("authors"));
    return url.toString();
}

} // namespace shell
