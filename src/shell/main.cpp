// Start-up: the application object, every window, the message loop.
#include "shell/Application.h"

int main(int argc, char** argv)
{
    QuillonApplication app(argc, argv);
    StartApplication(app);
    const int status = QApplication::exec();

    // No worker thread may outlive the application object.
    DestroyApplicationWindows();
    return status;
}
