// The application object with its error handler, and start-up; the windows it creates are in Windows.h.
#pragma once

#include <QApplication>
#include <QString>

#include <vector>

#include "window/Form1.h"
#include "window/FormJU.h"
#include "window/FormJulia.h"
#include "window/FormRN.h"
#include "window/FormTamo.h"
#include "shell/FormAbout.h"
#include "shell/FormExport.h"
#include "shell/FormMain.h"
#include "shell/HelpForms.h"
#include "shell/Windows.h"

// The handlers report their own exceptions (window/ErrorReport.h); any other
// exception raised while an event is delivered ends here, reported the same way.
class QuillonApplication : public QApplication {
    Q_OBJECT
public:
    QuillonApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Start-up between the application object and its message loop: module
// initialisation, the application's settings, every window, and the launcher
// shown, whose closing (only) ends the loop. The program, the shutdown probe
// and the soak all start this way.
void StartApplication(QCoreApplication& app);
