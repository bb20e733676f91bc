// window::Services: what a fractal window asks of the application (help windows, about box, export options, site).
#pragma once

#include <QColor>
#include <QString>

class QWidget;

#include <optional>
#include <string>

// What a save dialog is asked to show; the test hook receives it as well.
struct SaveDialogSettings {
    QString name;          // "SaveDialog1", "SavePOV", "SaveBMRT"
    QString title;         // empty: the platform's default
    QString filter;        // Qt filter string; empty: none
    QString initialName;   // empty: none
    // A name chosen without an extension gets the chosen type's (the
    // dialogs added later; Save (BMP) keeps the name as chosen).
    bool addExtension = false;
};

namespace window {

// The shared windows of the Help menu.
enum class HelpWindow { Overview, GettingStarted, ViewBox, ControlBox, PositionBox, About, KeysAndMouse };

// The five distinct pages of the Web and Books menus.
enum class SitePage { Home, PovRay, MandelSource, Images3D, Books };

// The statements chosen in the POV-Ray options dialog.
struct PovOptions {
    std::string cameraLocation;
    std::string lightSource;
};

// The window library knows nothing of the application that shows its
// windows; the shell implements this at start-up (InstallServices). A window
// built on its own, with nothing installed, leaves these commands without
// effect.
class Services {
public:
    virtual ~Services() = default;

    // Makes the window visible and brings it to the front.
    virtual void ShowHelp(HelpWindow which) = 0;
    // The address of the page, as the browser is to receive it.
    virtual QString PageAddress(SitePage page) const = 0;
    // Runs the shared options dialog modally: the options chosen, or nothing
    // when it is cancelled or already open for another export.
    virtual std::optional<PovOptions> ChoosePovOptions() = 0;
    // Shows and raises the fractal window of a catalogue instance ("FormRN4")
    // and returns it; null when there is none.
    virtual QWidget* ShowViewWindow(const char* instance)
    {
        (void)instance;
        return nullptr;
    }
};

// The modal dialogs of every window: the toolkit's, unless a test has put its
// own answers in their place (InstallDialogs), the one seam for all of them.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The chosen file name; an empty string for a cancel.
    virtual QString SaveFileName(QWidget* parent, const SaveDialogSettings& settings);
    virtual QString OpenFileName(QWidget* parent, const SaveDialogSettings& settings);
    // The confirmed colour ("ColorDialog1"); nothing for a cancel.
    virtual std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial);
    // The message box of an error, titled "Quillon".
    virtual void ShowError(const QString& message);
};

// The installed dialogs, or the toolkit's.
Dialogs& InstalledDialogs();
// Installs `dialogs` (not owned; null: the toolkit's again).
void InstallDialogs(Dialogs* dialogs);

// The installed services, or null.
Services* InstalledServices();
// Installs `services` (not owned; null removes them).
void InstallServices(Services* services);

} // namespace window
