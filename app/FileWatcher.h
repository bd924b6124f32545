#pragma once
// Notices when another program changes or deletes the files of the open document. Editors
// that save by writing a new file and renaming it over the old one are followed (the path is
// watched again after each change, and its folder while it is missing). A change is a
// difference from the file as it was when last read or saved here (device, inode, size,
// modification time), so the window's own saves are not reported.
#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>

class FileWatcher : public QObject {
    Q_OBJECT
public:
    explicit FileWatcher(QObject* parent = nullptr);

    // Watches exactly these files from now on, taking them as they are now.
    void Watch(const QStringList& paths);
    const QStringList& Paths() const { return m_paths; }
    // The watched files that are there but no longer as they were taken, looked at now (a
    // change not reported yet included).
    QStringList ChangedNow() const;

signals:
    // The file is there but no longer as it was (a change, or a new file in its place).
    void Changed(const QString& path);
    // The file is gone.
    void Deleted(const QString& path);

private:
    struct Stamp {
        bool exists = false;
        qint64 device = 0, inode = 0, size = 0, seconds = 0, nanoseconds = 0;
        bool operator==(const Stamp&) const = default;
    };
    static Stamp StampOf(const QString& path);
    void Rewatch();
    void Check();

    QFileSystemWatcher m_watcher;
    QStringList m_paths;
    QHash<QString, Stamp> m_known;
    // Saving programs often write in several steps: look once they are done.
    QTimer m_settle;
};
