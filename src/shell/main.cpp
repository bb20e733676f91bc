// Start-up: the command line, the application object, every window, the view files named on the command line, the message loop.
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <string>
#include <vector>

#include "shell/Application.h"
#include "shell/CommandLine.h"
#include "window/ViewOpening.h"

int main(int argc, char** argv)
{
    // Read before the toolkit starts: --help and --version need no display,
    // and a mistyped option opens no window.
    const shell::CommandLine line = shell::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.action) {
    case shell::CommandLine::Action::Help:
    case shell::CommandLine::Action::Version:
        std::fputs(line.text.c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 2;
    case shell::CommandLine::Action::Refuse:
        std::fputs(line.text.c_str(), stderr);
        return 2;
    case shell::CommandLine::Action::Run:
        break;
    }

    QuillonApplication app(argc, argv);
    StartApplication(app);
    QStringList files;
    for (const std::string& name : line.files)
        files << QFile::decodeName(QByteArray::fromStdString(name));
    window::OpenViewFilesSoon(files);
    const int status = QApplication::exec();

    // No worker thread may outlive the application object.
    DestroyApplicationWindows();
    return status;
}
