#include "app/Quillmere.h"

#include <QTimer>
#include <cstdio>

#include "app/CommandLine.h"
#include "app/QuillmereDlg.h"

CQuillmereApp::CQuillmereApp(int& argc, char** argv) : QApplication(argc, argv) {
    // Per-user settings live under the organisation "Ardwen" and the application's name.
    setOrganizationName(QStringLiteral("Ardwen"));
    setApplicationName(QStringLiteral("Quillmere"));
    setApplicationVersion(QStringLiteral(QUILLMERE_VERSION));
    setDesktopFileName(QStringLiteral("quillmere"));
}

bool CQuillmereApp::InitInstance() {
    const CommandLine commandLine(arguments());
    switch (commandLine.action()) {
        case CommandLine::ShowHelp:
        case CommandLine::ShowVersion:
            std::fputs(commandLine.text().toLocal8Bit().constData(), stdout);
            return false;
        case CommandLine::Fail:
            std::fputs(commandLine.text().toLocal8Bit().constData(), stderr);
            m_nExitCode = 1;
            return false;
        case CommandLine::Run:
            break;
    }
    CQuillmereDlg dlg;
    setWindowIcon(dlg.m_hIcon);
    // Opened once the window is up, so that a file that cannot be read is reported over it
    // and leaves it empty.
    if (const FilesToOpen files = commandLine.files(); !files.IsEmpty())
        QTimer::singleShot(0, &dlg, [&dlg, files] { dlg.OpenFiles(files); });
    dlg.exec();
    return false;
}
