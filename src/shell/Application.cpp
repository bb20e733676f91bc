// The error handler and the creation and destruction of the application's windows.
#include "shell/Application.h"

#include <QApplication>
#include <QCoreApplication>

#include <iterator>
#include <string_view>

#include "export/Scenes.h"
#include "fractals/Catalogue.h"
#include "shell/HelpForms.h"
#include "shell/Site.h"
#include "window/ErrorReport.h"
#include "window/Services.h"
#include "window/ThumbnailRenderer.h"

QuillonApplication::QuillonApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QuillonApplication::notify(QObject* receiver, QEvent* event)
{
    bool result = false;
    errors::Guarded([&] { result = QApplication::notify(receiver, event); });
    return result;
}

#define QUILLON_DEFINE_WINDOW(Class, Instance) Class* Instance = nullptr;
QUILLON_APPLICATION_WINDOWS(QUILLON_DEFINE_WINDOW)
#undef QUILLON_DEFINE_WINDOW

ThumbnailRenderer* Thumbnails = nullptr;
TFormJulia* FormJulia = nullptr;

namespace {

// One line of the roster: how its window is made, found and deleted.
struct RosterEntry {
    void (*create)();
    QWidget* (*window)();
    void (*destroy)();
};

#define QUILLON_ROSTER_ENTRY(Class, Instance)                                                                      \
    RosterEntry{[] { Instance = new Class; }, []() -> QWidget* { return Instance; },                               \
                [] {                                                                                               \
                    delete Instance;                                                                               \
                    Instance = nullptr;                                                                            \
                }},
constexpr RosterEntry kRoster[] = {QUILLON_APPLICATION_WINDOWS(QUILLON_ROSTER_ENTRY)};
#undef QUILLON_ROSTER_ENTRY

} // namespace

namespace {

// What the fractal windows ask of the application, answered with its shared
// windows and its site. A window made alone, without them, gets nothing.
class ApplicationServices : public window::Services {
public:
    void ShowHelp(window::HelpWindow which) override
    {
        using window::HelpWindow;
        switch (which) {
        case HelpWindow::Overview: shell::ShowAndRaise(FormOver); break;
        case HelpWindow::GettingStarted: shell::ShowAndRaise(FormGet); break;
        case HelpWindow::ViewBox: shell::ShowAndRaise(FormView); break;
        case HelpWindow::ControlBox: shell::ShowAndRaise(FormControl); break;
        case HelpWindow::PositionBox: shell::ShowAndRaise(FormPos); break;
        case HelpWindow::About: shell::ShowAndRaise(FormAbout); break;
        }
    }

    // The encoded form: a file:// address of a folder with blanks or
    // non-ASCII letters reaches the browser as one well-formed URL.
    QString PageAddress(window::SitePage page) const override
    {
        return shell::SiteUrl(page).toString(QUrl::FullyEncoded);
    }

    std::optional<window::PovOptions> ChoosePovOptions() override
    {
        if (FormExport == nullptr || FormExport->isVisible())
            return std::nullopt;
        if (FormExport->exec() != QDialog::Accepted)
            return std::nullopt;
        return window::PovOptions{FormExport->CameraLocation, FormExport->LightSource};
    }

    QWidget* ShowViewWindow(const char* instance) override
    {
        std::vector<TFormBasicTamoSet*> windows = FractalWindows();
        if (FormJulia != nullptr)
            windows.push_back(FormJulia);
        for (TFormBasicTamoSet* w : windows)
            if (w->Entry != nullptr && std::string_view(w->Entry->instance) == instance) {
                shell::ShowAndRaise(w);
                return w;
            }
        return nullptr;
    }
};

ApplicationServices services;

} // namespace

void StartApplication(QCoreApplication& app)
{
    exporter::InitTgaHeader();
    QCoreApplication::setApplicationName("Quillon");
    // Only closing the launcher ends the application.
    QApplication::setQuitOnLastWindowClosed(false);
    CreateApplicationWindows();
    QObject::connect(FormMain, &TFormMain::Closed, &app, &QCoreApplication::quit);
    FormMain->show();
}

void CreateApplicationWindows()
{
    // The thumbnails render while the windows are built; each button gets
    // its picture as soon as it is ready.
    Thumbnails = new ThumbnailRenderer;
    window::InstallServices(&services);

    for (const RosterEntry& entry : kRoster)
        entry.create();
    FormJulia = new TFormJulia;
}

std::vector<QWidget*> ApplicationWindows()
{
    std::vector<QWidget*> all;
    for (const RosterEntry& entry : kRoster)
        if (QWidget* w = entry.window())
            all.push_back(w);
    return all;
}

std::vector<TFormBasicTamoSet*> FractalWindows()
{
    std::vector<TFormBasicTamoSet*> all;
    for (const RosterEntry& entry : kRoster)
        if (auto* w = qobject_cast<TFormBasicTamoSet*>(entry.window()))
            all.push_back(w);
    return all;
}

TFormBasicTamoSet* WindowOfLauncherButton(const QString& button)
{
    for (TFormBasicTamoSet* w : FractalWindows())
        if (w->Entry != nullptr && button == QLatin1String(w->Entry->launcherButton))
            return w;
    return nullptr;
}

void DestroyApplicationWindows()
{
    std::vector<TFormBasicTamoSet*> windows = FractalWindows();
    if (FormJulia != nullptr)
        windows.push_back(FormJulia);
    for (TFormBasicTamoSet* w : windows)
        w->RequestStop();
    for (;;) {
        bool calculating = false;
        for (TFormBasicTamoSet* w : windows)
            calculating = calculating || w->IsCalculating();
        if (!calculating)
            break;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    // Every worker ends before any window goes, so no window is deleted
    // while events are processed for another's worker.
    for (TFormBasicTamoSet* w : windows)
        w->WaitForWorker();

    delete FormJulia;
    FormJulia = nullptr;
    for (auto it = std::rbegin(kRoster); it != std::rend(kRoster); ++it)
        it->destroy();
    delete Thumbnails;
    Thumbnails = nullptr;
    window::InstallServices(nullptr);
}
