// The Help, Web and Books menu commands: the shared help windows, the about box and the browser.
#include "window/FormBasicTamoSet.h"

#include <QUrl>

#include "shell/Application.h"
#include "shell/FormAbout.h"
#include "shell/HelpForms.h"
#include "shell/Site.h"
#include "shell/UrlLink.h"

namespace {

// The encoded form: a file:// address of a folder with blanks or non-ASCII
// letters reaches the browser as one well-formed URL.
QString Address(shell::SitePage page)
{
    return shell::SiteUrl(page).toString(QUrl::FullyEncoded);
}

} // namespace

void TFormBasicTamoSet::OpenUrl(const QString& address)
{
    Web->Url = address;
    Web->Launch();
}

// The windows are shared and created at start-up; a window built on its own
// (without the application's windows) has nothing to show.
void TFormBasicTamoSet::MMOverClick() { shell::ShowAndRaise(FormOver); }
void TFormBasicTamoSet::MMGettingStartedClick() { shell::ShowAndRaise(FormGet); }
void TFormBasicTamoSet::MMTheViewBoxClick() { shell::ShowAndRaise(FormView); }
void TFormBasicTamoSet::MMTheControlBoxClick() { shell::ShowAndRaise(FormControl); }
void TFormBasicTamoSet::MMThePositionBoxClick() { shell::ShowAndRaise(FormPos); }
void TFormBasicTamoSet::About1Click() { shell::ShowAndRaise(FormAbout); }

void TFormBasicTamoSet::MMHPClick() { OpenUrl(Address(shell::SitePage::Home)); }
void TFormBasicTamoSet::MMPovLinkClick() { OpenUrl(Address(shell::SitePage::PovRay)); }
void TFormBasicTamoSet::MMMandelClick() { OpenUrl(Address(shell::SitePage::MandelSource)); }
void TFormBasicTamoSet::MM3DClick() { OpenUrl(Address(shell::SitePage::Images3D)); }
void TFormBasicTamoSet::MMFractalsBookClick() { OpenUrl(Address(shell::SitePage::Books)); }
void TFormBasicTamoSet::MMPlanetsBookClick() { OpenUrl(Address(shell::SitePage::Books)); }
