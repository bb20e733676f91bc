// Start-up: module initialisation, the application object, every window, the message loop.
#include "export/Export.h"
#include "shell/Application.h"
#include "shell/FormMain.h"

int main(int argc, char** argv)
{
    exporter::InitTgaHeader();

    QuillonApplication app(argc, argv);
    QApplication::setApplicationName("Quillon");
    // Only closing the launcher ends the application.
    QApplication::setQuitOnLastWindowClosed(false);

    CreateApplicationWindows();
    QObject::connect(FormMain, &TFormMain::Closed, &app, &QCoreApplication::quit);
    FormMain->show();
    const int status = QApplication::exec();

    // No worker thread may outlive the application object.
    DestroyApplicationWindows();
    return status;
}
