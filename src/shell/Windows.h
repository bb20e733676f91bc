// The application's windows: one global per window, their creation, lists and deletion.
// Defined in Application.cpp; this header names the windows without their classes, so that
// the launcher reaches them without including the application that creates it.
#pragma once

#include <QString>

#include <vector>

class QWidget;
class TFormBasicTamoSet;
class TFormMain;
class ThumbnailRenderer;
class TForm1;
class TFormTamo1;
class TFormTamo2;
class TFormTamo3;
class TFormTamo4;
class TFormTamo5;
class TFormJU1;
class TFormJU2;
class TFormJU3;
class TFormJU4;
class TFormJU5;
class TFormJU6;
class TFormJU7;
class TFormJU8;
class TFormJU9;
class TFormJU10;
class TFormJU11;
class TFormJU12;
class TFormRN1;
class TFormRN2;
class TFormRN3;
class TFormRN4;
class TFormRN5;
class TFormRN6;
namespace shell {
class TFormAbout;
class TFormOver;
class TFormGet;
class TFormPos;
class TFormControl;
class TFormView;
class TFormExport;
}

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

// The Julia explorer's window "Julia Set", beside the roster: created after
// it, hidden until used, deleted before it.
class TFormJulia;
extern TFormJulia* FormJulia;

// Creates every window in the start-up order, the launcher first; none is shown.
void CreateApplicationWindows();
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
