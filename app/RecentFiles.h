#pragma once
// The documents opened or saved lately, newest first, at most eight, kept in the settings
// (group "RecentFiles"). An entry is a text resource file, or one with the localized version
// it was opened with.
#include <QList>
#include <QString>

#include "app/CommandLine.h"

class RecentFiles {
public:
    static constexpr int kMaxEntries = 8;

    // Reads the list from the settings.
    RecentFiles();

    const QList<FilesToOpen>& Entries() const { return m_entries; }
    // Puts `files` first (moving it up when it was there already) and writes the list.
    void Add(const FilesToOpen& files);
    // Drops `files` from the list and writes it.
    void Remove(const FilesToOpen& files);
    // What the menu shows for an entry: "strings.txr", or "strings.txr + strings_fr.txl".
    static QString Caption(const FilesToOpen& files);

private:
    void Save() const;
    QList<FilesToOpen> m_entries;
};
