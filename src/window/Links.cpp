// The Help, Web and Books menu commands: asked of the application's services, and the browser.
#include "window/FormBasicTamoSet.h"

#include "window/Services.h"
#include "window/UrlLink.h"

namespace {

void ShowHelp(window::HelpWindow which)
{
    if (window::Services* services = window::InstalledServices())
        services->ShowHelp(which);
}

} // namespace

void TFormBasicTamoSet::OpenUrl(const QString& address)
{
    Web->Url = address;
    Web->Launch();
}

void TFormBasicTamoSet::OpenSitePage(window::SitePage page)
{
    if (const window::Services* services = window::InstalledServices())
        OpenUrl(services->PageAddress(page));
}

void TFormBasicTamoSet::MMOverClick() { ShowHelp(window::HelpWindow::Overview); }
void TFormBasicTamoSet::MMGettingStartedClick() { ShowHelp(window::HelpWindow::GettingStarted); }
void TFormBasicTamoSet::MMTheViewBoxClick() { ShowHelp(window::HelpWindow::ViewBox); }
void TFormBasicTamoSet::MMTheControlBoxClick() { ShowHelp(window::HelpWindow::ControlBox); }
void TFormBasicTamoSet::MMThePositionBoxClick() { ShowHelp(window::HelpWindow::PositionBox); }
void TFormBasicTamoSet::About1Click() { ShowHelp(window::HelpWindow::About); }

void TFormBasicTamoSet::MMHPClick() { OpenSitePage(window::SitePage::Home); }
void TFormBasicTamoSet::MMPovLinkClick() { OpenSitePage(window::SitePage::PovRay); }
void TFormBasicTamoSet::MMMandelClick() { OpenSitePage(window::SitePage::MandelSource); }
void TFormBasicTamoSet::MM3DClick() { OpenSitePage(window::SitePage::Images3D); }
void TFormBasicTamoSet::MMFractalsBookClick() { OpenSitePage(window::SitePage::Books); }
void TFormBasicTamoSet::MMPlanetsBookClick() { OpenSitePage(window::SitePage::Books); }
