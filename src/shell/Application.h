// The application object with its error handler, and the roster of the windows created at start-up.
#pragma once

#include <QApplication>
#include <QString>

#include <vector>

#include "fractals/Form1.h"
#include "fractals/FormJU.h"
#include "fractals/FormRN.h"
#include "fractals/FormTamo.h"
#include "shell/FormAbout.h"
#include "shell/FormExport.h"
#include "shell/FormMain.h"
#include "shell/HelpForms.h"

class ThumbnailRenderer;

// The handlers report their own exceptions (window/ErrorReport.h); any other
// exception raised while an event is delivered ends here, reported the same way.
class QuillonApplication : public QApplication {
    Q_OBJECT
public:
    QuillonApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// The 32 windows of the application, one instance of each, in creation
// order: the launcher first, the POV-Ray options dialog last. The global of
// each window, its creation, the window lists and the deletion (in reverse)
// all come from this one list. The about box, the help windows and the
// options dialog are shared by every fractal window.
#define QUILLON_APPLICATION_WINDOWS(X)                                                                             \
    X(TFormMain, FormMain)                                                                                         \
    X(TForm1, Form1)                                                                                               \
    X(TFormTamo5, FormTamo5)                                                                                       \
    X(TFormTamo1, FormTamo1)                                                                                       \
    X(TFormTamo3, FormTamo3)                                                                                       \
    X(TFormTamo4, FormTamo4)                                                                                       \
    X(TFormTamo2, FormTamo2)                                                                                       \
    X(shell::TFormAbout, FormAbout)                                                                                \
    X(shell::TFormOver, FormOver)                                                                                  \
    X(shell::TFormGet, FormGet)                                                                                    \
    X(shell::TFormPos, FormPos)                                                                                    \
    X(shell::TFormControl, FormControl)                                                                            \
    X(shell::TFormView, FormView)                                                                                  \
    X(TFormJU1, FormJU1)                                                                                           \
    X(TFormJU2, FormJU2)                                                                                           \
    X(TFormJU3, FormJU3)                                                                                           \
    X(TFormJU4, FormJU4)                                                                                           \
    X(TFormJU5, FormJU5)                                                                                           \
    X(TFormJU6, FormJU6)                                                                                           \
    X(TFormJU7, FormJU7)                                                                                           \
    X(TFormJU8, FormJU8)                                                                                           \
    X(TFormJU9, FormJU9)                                                                                           \
    X(TFormJU10, FormJU10)                                                                                         \
    X(TFormJU11, FormJU11)                                                                                         \
    X(TFormJU12, FormJU12)                                                                                         \
    X(TFormRN1, FormRN1)                                                                                           \
    X(TFormRN2, FormRN2)                                                                                           \
    X(TFormRN3, FormRN3)                                                                                           \
    X(TFormRN4, FormRN4)                                                                                           \
    X(TFormRN5, FormRN5)                                                                                           \
    X(TFormRN6, FormRN6)                                                                                           \
    X(shell::TFormExport, FormExport)

#define QUILLON_DECLARE_WINDOW(Class, Instance) extern Class* Instance;
QUILLON_APPLICATION_WINDOWS(QUILLON_DECLARE_WINDOW)
#undef QUILLON_DECLARE_WINDOW

extern ThumbnailRenderer* Thumbnails;
// The "Keys and Mouse" help window, made after the roster's windows.
extern shell::TFormKeys* FormKeys;

// Creates every window in the start-up order, the launcher first; none is shown.
void CreateApplicationWindows();
// Start-up between the application object and its message loop: module
// initialisation, the application's settings, every window, and the launcher
// shown, whose closing (only) ends the loop. The program, the shutdown probe
// and the soak all start this way.
void StartApplication(QCoreApplication& app);
// Stops every calculation, waits for every worker thread and deletes the
// windows in the reverse order of their creation. Safe to call when nothing
// was created.
void DestroyApplicationWindows();
// The 32 windows in creation order, the launcher first; empty before creation.
std::vector<QWidget*> ApplicationWindows();
// The 24 fractal windows in creation order; empty before creation.
std::vector<TFormBasicTamoSet*> FractalWindows();
// The fractal window a launcher button opens ("SBJU3" gives FormJU3), or null.
TFormBasicTamoSet* WindowOfLauncherButton(const QString& button);
