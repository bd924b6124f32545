#include "app/Quillmere.h"

#include "app/QuillmereDlg.h"

CQuillmereApp::CQuillmereApp(int& argc, char** argv) : QApplication(argc, argv) {
    // Per-user settings live under the organisation "Ardwen" and the application's name.
    setOrganizationName(QStringLiteral("Ardwen"));
    setApplicationName(QStringLiteral("Quillmere"));
}

bool CQuillmereApp::InitInstance() {
    CQuillmereDlg dlg;
    setWindowIcon(dlg.m_hIcon);
    dlg.exec();
    return false;
}
