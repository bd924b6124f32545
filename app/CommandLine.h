#pragma once
// The editor's command line, `quillmere [FILE.txr [FILE.txl]]`, and which file of one or two
// given files is the text resource file and which its localized version (also for files
// dropped onto the window).
#include <QString>
#include <QStringList>

// The files to open: a .txr alone, or a .txr with a .txl (localize mode). Paths are absolute.
struct FilesToOpen {
    QString txr;
    QString txl;
    bool IsEmpty() const { return txr.isEmpty(); }
};

class CommandLine {
public:
    enum Action { Run, ShowHelp, ShowVersion, Fail };

    // `arguments` as the program got them, the program's name first.
    explicit CommandLine(const QStringList& arguments);

    Action action() const { return m_action; }
    const FilesToOpen& files() const { return m_files; }
    // What to print for ShowHelp, ShowVersion and Fail (the error, then the help).
    const QString& text() const { return m_text; }

    // Sorts one or two paths into a .txr and a .txl by their extensions (any case). A lone
    // .txl comes with the .txr of the same name before its first '.' (strings.txl:
    // strings.txr), as a localized version belongs to its text resource file; any other lone
    // file is taken as a .txr. Empty with `error` set when the paths do not make such a pair.
    static FilesToOpen Sort(const QStringList& paths, QString* error);
    static bool IsTxl(const QString& path);
    static bool IsTxr(const QString& path);

private:
    Action m_action = Run;
    FilesToOpen m_files;
    QString m_text;
};
