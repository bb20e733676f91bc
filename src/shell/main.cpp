// Start-up: the application object, every window, the view files named on the command line, the message loop.
#include "shell/Application.h"
#include "window/ViewOpening.h"

int main(int argc, char** argv)
{
    QuillonApplication app(argc, argv);
    StartApplication(app);
    // The toolkit has taken its own options (-style, -platform, …) out of the
    // arguments: what is left after the program's name are view files.
    window::OpenViewFilesSoon(QCoreApplication::arguments().mid(1));
    const int status = QApplication::exec();

    // No worker thread may outlive the application object.
    DestroyApplicationWindows();
    return status;
}
