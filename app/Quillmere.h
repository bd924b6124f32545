#pragma once
// The application object: names the settings location, reads the command line and runs the
// editor window.
#include <QApplication>

class CQuillmereApp : public QApplication {
    Q_OBJECT
public:
    CQuillmereApp(int& argc, char** argv);

    // Runs the editor window modally, opening the files named on the command line, or prints
    // the help or version; false: the program is not to continue afterwards.
    bool InitInstance();
    // The program's exit status once InitInstance returned (1: a bad command line).
    int ExitCode() const { return m_nExitCode; }

private:
    int m_nExitCode = 0;
};
