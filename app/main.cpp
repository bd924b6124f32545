#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "app/CommandLine.h"
#include "app/Quillmere.h"

int main(int argc, char** argv) {
    // The help, the version and a bad command line are answered before the window system is
    // started, so that they work without a display (in a terminal over ssh, in a build log).
    CQuillmereApp::NameApplication();
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine commandLine(arguments);
    switch (commandLine.action()) {
        case CommandLine::ShowHelp:
        case CommandLine::ShowVersion:
            std::fputs(commandLine.text().toLocal8Bit().constData(), stdout);
            return 0;
        case CommandLine::Fail:
            std::fputs(commandLine.text().toLocal8Bit().constData(), stderr);
            return 1;
        case CommandLine::Run:
            break;
    }
    CQuillmereApp app(argc, argv);
    app.InitInstance(commandLine.files());
    return 0;
}
