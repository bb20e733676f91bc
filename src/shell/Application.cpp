// The error handler and the creation and destruction of the application's windows.
#include "shell/Application.h"

#include <QApplication>
#include <QCoreApplication>

#include "export/Export.h"
#include "fractals/Catalogue.h"
#include "fractals/Form1.h"
#include "fractals/FormJU.h"
#include "fractals/FormRN.h"
#include "fractals/FormTamo.h"
#include "shell/FormAbout.h"
#include "shell/FormExport.h"
#include "shell/FormMain.h"
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

TFormMain* FormMain = nullptr;
TForm1* Form1 = nullptr;
TFormTamo5* FormTamo5 = nullptr;
TFormTamo1* FormTamo1 = nullptr;
TFormTamo3* FormTamo3 = nullptr;
TFormTamo4* FormTamo4 = nullptr;
TFormTamo2* FormTamo2 = nullptr;
shell::TFormAbout* FormAbout = nullptr;
shell::TFormOver* FormOver = nullptr;
shell::TFormGet* FormGet = nullptr;
shell::TFormPos* FormPos = nullptr;
shell::TFormControl* FormControl = nullptr;
shell::TFormView* FormView = nullptr;
TFormJU1* FormJU1 = nullptr;
TFormJU2* FormJU2 = nullptr;
TFormJU3* FormJU3 = nullptr;
TFormJU4* FormJU4 = nullptr;
TFormJU5* FormJU5 = nullptr;
TFormJU6* FormJU6 = nullptr;
TFormJU7* FormJU7 = nullptr;
TFormJU8* FormJU8 = nullptr;
TFormJU9* FormJU9 = nullptr;
TFormJU10* FormJU10 = nullptr;
TFormJU11* FormJU11 = nullptr;
TFormJU12* FormJU12 = nullptr;
TFormRN1* FormRN1 = nullptr;
TFormRN2* FormRN2 = nullptr;
TFormRN3* FormRN3 = nullptr;
TFormRN4* FormRN4 = nullptr;
TFormRN5* FormRN5 = nullptr;
TFormRN6* FormRN6 = nullptr;
shell::TFormExport* FormExport = nullptr;
ThumbnailRenderer* Thumbnails = nullptr;

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

    FormMain = new TFormMain;
    Form1 = new TForm1;
    FormTamo5 = new TFormTamo5;
    FormTamo1 = new TFormTamo1;
    FormTamo3 = new TFormTamo3;
    FormTamo4 = new TFormTamo4;
    FormTamo2 = new TFormTamo2;
    FormAbout = new shell::TFormAbout;
    FormOver = new shell::TFormOver;
    FormGet = new shell::TFormGet;
    FormPos = new shell::TFormPos;
    FormControl = new shell::TFormControl;
    FormView = new shell::TFormView;
    FormJU1 = new TFormJU1;
    FormJU2 = new TFormJU2;
    FormJU3 = new TFormJU3;
    FormJU4 = new TFormJU4;
    FormJU5 = new TFormJU5;
    FormJU6 = new TFormJU6;
    FormJU7 = new TFormJU7;
    FormJU8 = new TFormJU8;
    FormJU9 = new TFormJU9;
    FormJU10 = new TFormJU10;
    FormJU11 = new TFormJU11;
    FormJU12 = new TFormJU12;
    FormRN1 = new TFormRN1;
    FormRN2 = new TFormRN2;
    FormRN3 = new TFormRN3;
    FormRN4 = new TFormRN4;
    FormRN5 = new TFormRN5;
    FormRN6 = new TFormRN6;
    FormExport = new shell::TFormExport;
}

std::vector<QWidget*> ApplicationWindows()
{
    std::vector<QWidget*> all = {FormMain,  Form1,     FormTamo5, FormTamo1, FormTamo3, FormTamo4,   FormTamo2,
                                 FormAbout, FormOver,  FormGet,   FormPos,   FormControl, FormView,  FormJU1,
                                 FormJU2,   FormJU3,   FormJU4,   FormJU5,   FormJU6,   FormJU7,     FormJU8,
                                 FormJU9,   FormJU10,  FormJU11,  FormJU12,  FormRN1,   FormRN2,     FormRN3,
                                 FormRN4,   FormRN5,   FormRN6,   FormExport};
    std::erase(all, nullptr);
    return all;
}

std::vector<TFormBasicTamoSet*> FractalWindows()
{
    std::vector<TFormBasicTamoSet*> all = {Form1,   FormTamo5, FormTamo1, FormTamo3, FormTamo4, FormTamo2,
                                           FormJU1, FormJU2,   FormJU3,   FormJU4,   FormJU5,   FormJU6,
                                           FormJU7, FormJU8,   FormJU9,   FormJU10,  FormJU11,  FormJU12,
                                           FormRN1, FormRN2,   FormRN3,   FormRN4,   FormRN5,   FormRN6};
    std::erase(all, nullptr);
    return all;
}

TFormBasicTamoSet* WindowOfLauncherButton(const QString& button)
{
    for (TFormBasicTamoSet* w : FractalWindows())
        if (w->Entry != nullptr && button == QLatin1String(w->Entry->launcherButton))
            return w;
    return nullptr;
}

namespace {

template <class T>
void DeleteWindow(T*& w)
{
    delete w;
    w = nullptr;
}

} // namespace

void DestroyApplicationWindows()
{
    const std::vector<TFormBasicTamoSet*> windows = FractalWindows();
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

    DeleteWindow(FormExport);
    DeleteWindow(FormRN6);
    DeleteWindow(FormRN5);
    DeleteWindow(FormRN4);
    DeleteWindow(FormRN3);
    DeleteWindow(FormRN2);
    DeleteWindow(FormRN1);
    DeleteWindow(FormJU12);
    DeleteWindow(FormJU11);
    DeleteWindow(FormJU10);
    DeleteWindow(FormJU9);
    DeleteWindow(FormJU8);
    DeleteWindow(FormJU7);
    DeleteWindow(FormJU6);
    DeleteWindow(FormJU5);
    DeleteWindow(FormJU4);
    DeleteWindow(FormJU3);
    DeleteWindow(FormJU2);
    DeleteWindow(FormJU1);
    DeleteWindow(FormView);
    DeleteWindow(FormControl);
    DeleteWindow(FormPos);
    DeleteWindow(FormGet);
    DeleteWindow(FormOver);
    DeleteWindow(FormAbout);
    DeleteWindow(FormTamo2);
    DeleteWindow(FormTamo4);
    DeleteWindow(FormTamo3);
    DeleteWindow(FormTamo1);
    DeleteWindow(FormTamo5);
    DeleteWindow(Form1);
    DeleteWindow(FormMain);
    DeleteWindow(Thumbnails);
    window::InstallServices(nullptr);
}
