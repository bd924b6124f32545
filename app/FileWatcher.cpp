#include "app/FileWatcher.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

FileWatcher::FileWatcher(QObject* parent) : QObject(parent) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(150);
    connect(&m_settle, &QTimer::timeout, this, &FileWatcher::Check);
    const auto settle = [this] { m_settle.start(); };
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, settle);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, settle);
}

FileWatcher::Stamp FileWatcher::StampOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    return {true,
            static_cast<qint64>(st.st_dev),
            static_cast<qint64>(st.st_ino),
            static_cast<qint64>(st.st_size),
            static_cast<qint64>(st.st_mtim.tv_sec),
            static_cast<qint64>(st.st_mtim.tv_nsec)};
}

void FileWatcher::Watch(const QStringList& paths) {
    m_paths.clear();
    m_known.clear();
    for (const QString& path : paths)
        if (!path.isEmpty() && !m_paths.contains(path)) {
            m_paths.append(path);
            m_known.insert(path, StampOf(path));
        }
    m_settle.stop();
    Rewatch();
}

QStringList FileWatcher::ChangedNow() const {
    QStringList changed;
    for (const QString& path : m_paths) {
        const Stamp now = StampOf(path);
        if (now.exists && now != m_known.value(path)) changed << path;
    }
    return changed;
}

void FileWatcher::Rewatch() {
    // A file replaced by a rename is a new file: the old watch went with the old one.
    if (!m_watcher.files().isEmpty()) m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty()) m_watcher.removePaths(m_watcher.directories());
    for (const QString& path : std::as_const(m_paths)) {
        const QFileInfo info(path);
        if (info.exists())
            m_watcher.addPath(path);
        else if (info.dir().exists())
            m_watcher.addPath(info.absolutePath());  // to see it come back
    }
}

void FileWatcher::Check() {
    QStringList changed, deleted;
    for (const QString& path : std::as_const(m_paths)) {
        const Stamp now = StampOf(path);
        Stamp& known = m_known[path];
        if (now == known) continue;
        known = now;
        (now.exists ? changed : deleted).append(path);
    }
    Rewatch();
    // The receivers may ask the user (a nested event loop) and watch other files meanwhile.
    for (const QString& path : changed) emit Changed(path);
    for (const QString& path : deleted) emit Deleted(path);
}
