#pragma once
// The application object: names the settings location and runs the editor window.
#include <QApplication>

class CQuillmereApp : public QApplication {
    Q_OBJECT
public:
    CQuillmereApp(int& argc, char** argv);

    // Runs the editor window modally; false: the program is not to continue afterwards.
    bool InitInstance();
};
