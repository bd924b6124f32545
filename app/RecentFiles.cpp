#include "app/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace {

QSettings Settings() {
    return QSettings(QStringLiteral("Ardwen"), QStringLiteral("Quillmere"));
}

bool Same(const FilesToOpen& a, const FilesToOpen& b) {
    return a.txr == b.txr && a.txl == b.txl;
}

}  // namespace

RecentFiles::RecentFiles() {
    QSettings settings = Settings();
    const int count = settings.beginReadArray(QStringLiteral("RecentFiles"));
    for (int i = 0; i < count && m_entries.size() < kMaxEntries; ++i) {
        settings.setArrayIndex(i);
        FilesToOpen files{settings.value(QStringLiteral("txr")).toString(),
                          settings.value(QStringLiteral("txl")).toString()};
        if (!files.IsEmpty()) m_entries.append(files);
    }
    settings.endArray();
}

void RecentFiles::Add(const FilesToOpen& files) {
    if (files.IsEmpty()) return;
    m_entries.removeIf([&](const FilesToOpen& e) { return Same(e, files); });
    m_entries.prepend(files);
    while (m_entries.size() > kMaxEntries) m_entries.removeLast();
    Save();
}

void RecentFiles::Remove(const FilesToOpen& files) {
    m_entries.removeIf([&](const FilesToOpen& e) { return Same(e, files); });
    Save();
}

QString RecentFiles::Caption(const FilesToOpen& files) {
    QString caption = QFileInfo(files.txr).fileName();
    if (!files.txl.isEmpty()) caption += QStringLiteral(" + ") + QFileInfo(files.txl).fileName();
    return caption;
}

void RecentFiles::Save() const {
    QSettings settings = Settings();
    settings.remove(QStringLiteral("RecentFiles"));
    settings.beginWriteArray(QStringLiteral("RecentFiles"), static_cast<int>(m_entries.size()));
    for (int i = 0; i < m_entries.size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("txr"), m_entries[i].txr);
        if (!m_entries[i].txl.isEmpty()) settings.setValue(QStringLiteral("txl"), m_entries[i].txl);
    }
    settings.endArray();
}
