// Addresses of the pages the Web and Books menus and the about box point to.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include "window/Services.h"

namespace shell {

// The five distinct pages the windows ask for. All but PovRay are our own
// HTML pages, shipped with the program and opened from disk, so the menus
// work offline.
using window::SitePage;

// The address of a page: PovRay is the ray tracer's own web site; the others
// are file:// URLs into SiteDirectory().
QUrl SiteUrl(SitePage page);

// The folders searched for our pages, most preferred first: the installed
// copy beside the running program (<bin>/../share/quillon/site), the source
// tree's site/ (running from a build tree), then the installation prefix
// the program was configured with.
QStringList SiteDirectoryCandidates();

// The first of `candidates` that holds index.html, as an absolute path; when
// none does, the first candidate, so the browser at least names the missing file.
QString FindSiteDirectory(const QStringList& candidates);

// FindSiteDirectory(SiteDirectoryCandidates()).
QString SiteDirectory();

// The product's home page as shown in the about box and the help texts: the
// address of our local home page (SiteUrl(SitePage::Home)) as text. There is
// no hosted web site; the page that ships with the program is the home page.
QString ProjectHomePage();

// Where the about box sends readers for the authors: the home page's
// "authors" section.
QString AuthorsPage();

} // namespace shell
