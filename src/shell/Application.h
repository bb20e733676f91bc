// The application object with its error handler, and the registry of the windows created at start-up.
#pragma once

#include <QApplication>
#include <QString>

#include <vector>

class TFormBasicTamoSet;
class TFormMain;
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
class ThumbnailRenderer;

namespace shell {
class TFormAbout;
class TFormOver;
class TFormGet;
class TFormPos;
class TFormControl;
class TFormView;
class TFormExport;
} // namespace shell

// The handlers report their own exceptions (window/ErrorReport.h); any other
// exception raised while an event is delivered ends here, reported the same way.
class QuillonApplication : public QApplication {
    Q_OBJECT
public:
    QuillonApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

};

// One instance of each window, created once at start-up.
extern TFormMain* FormMain;
extern TForm1* Form1;
extern TFormTamo5* FormTamo5;
extern TFormTamo1* FormTamo1;
extern TFormTamo3* FormTamo3;
extern TFormTamo4* FormTamo4;
extern TFormTamo2* FormTamo2;
// The about box, the help windows and the POV-Ray options dialog are shared
// by every fractal window.
extern shell::TFormAbout* FormAbout;
extern shell::TFormOver* FormOver;
extern shell::TFormGet* FormGet;
extern shell::TFormPos* FormPos;
extern shell::TFormControl* FormControl;
extern shell::TFormView* FormView;
extern TFormJU1* FormJU1;
extern TFormJU2* FormJU2;
extern TFormJU3* FormJU3;
extern TFormJU4* FormJU4;
extern TFormJU5* FormJU5;
extern TFormJU6* FormJU6;
extern TFormJU7* FormJU7;
extern TFormJU8* FormJU8;
extern TFormJU9* FormJU9;
extern TFormJU10* FormJU10;
extern TFormJU11* FormJU11;
extern TFormJU12* FormJU12;
extern TFormRN1* FormRN1;
extern TFormRN2* FormRN2;
extern TFormRN3* FormRN3;
extern TFormRN4* FormRN4;
extern TFormRN5* FormRN5;
extern TFormRN6* FormRN6;
extern shell::TFormExport* FormExport;
extern ThumbnailRenderer* Thumbnails;

// Creates every window in the start-up order, the launcher first; none is shown.
void CreateApplicationWindows();
// Start-up between the application object and its message loop: module
// initialisation, the application's settings, every window, and the launcher
// shown, whose closing (only) ends the loop. The program, the shutdown probe
// and the soak all start this way.
void StartApplication(QCoreApplication& app);
// Stops every calculation, waits for every worker thread and deletes the
// windows. Safe to call when nothing was created.
void DestroyApplicationWindows();
// The 32 windows in creation order, the launcher first; empty before creation.
std::vector<QWidget*> ApplicationWindows();
// The 24 fractal windows in creation order; empty before creation.
std::vector<TFormBasicTamoSet*> FractalWindows();
// The fractal window a launcher button opens ("SBJU3" gives FormJU3), or null.
TFormBasicTamoSet* WindowOfLauncherButton(const QString& button);
