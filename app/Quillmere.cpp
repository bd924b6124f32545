#include "app/Quillmere.h"

#include <QTimer>

#include "app/CommandLine.h"
#include "app/QuillmereDlg.h"

CQuillmereApp::CQuillmereApp(int& argc, char** argv) : QApplication(argc, argv) {
    NameApplication();
    setDesktopFileName(QStringLiteral("quillmere"));
}

void CQuillmereApp::NameApplication() {
    // Per-user settings live under the organisation "Ardwen" and the application's name.
    QCoreApplication::setOrganizationName(QStringLiteral("Ardwen"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillmere"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLMERE_VERSION));
}

void CQuillmereApp::InitInstance(const FilesToOpen& files) {
    CQuillmereDlg dlg;
    setWindowIcon(dlg.m_hIcon);
    // Opened once the window is up, so that a file that cannot be read is reported over it
    // and leaves it empty.
    if (!files.IsEmpty()) QTimer::singleShot(0, &dlg, [&dlg, files] { dlg.OpenFiles(files); });
    dlg.exec();
}
