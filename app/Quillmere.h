#pragma once
// The application object: names the settings location and runs the editor window.
#include <QApplication>

struct FilesToOpen;

class CQuillmereApp : public QApplication {
    Q_OBJECT
public:
    CQuillmereApp(int& argc, char** argv);

    // The organisation, name and version the settings and the command line use; may be
    // called before any application object exists.
    static void NameApplication();
    // Runs the editor window modally, opening `files` (when given) once it is up.
    void InitInstance(const FilesToOpen& files);
};
