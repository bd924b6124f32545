#pragma once
// Support for the window tests: prompts answered from a script (recording what was asked),
// modal dialogs driven once they are up, and documents written to a temporary folder.
#include <QtWidgets>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "ScriptedPrompts.h"
#include "document/ListBoxSafe.h"
#include "document/format/ResourceTable.h"

// Runs `script` on the next modal dialog once it is shown and records its class name; a
// dialog the script leaves open is closed so that no test hangs.
struct ModalScript {
    QString seenClass;
    void Arm(std::function<void(QDialog*)> script) {
        seenClass.clear();
        QTimer::singleShot(0, [this, script] {
            QPointer<QDialog> dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dlg) return;
            seenClass = QString::fromLatin1(dlg->metaObject()->className());
            if (script) script(dlg);
            QDialog* still = dlg.data();  // checked through a plain pointer: keeps -Wnull-dereference quiet
            if (still != nullptr && still->isVisible()) still->reject();
        });
    }
};

inline QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

using Rows = std::vector<std::vector<std::string>>;

// Writes a document through the writer: `rows` of four cells, a pair table when localized.
// A small pair table for review tests: translated, the same as the original, translated, a lost
// placeholder, and a last original whose translation the .txl lacks (the odd row count leaves it
// out).
inline const Rows kReviewPairs = {
    {"1", "Menu", "1", "Open file"},     {"1", "Menu", "1", "Ouvrir le fichier"},
    {"2", "Menu", "2", "Save"},          {"2", "Menu", "2", "Save"},
    {"3", "Dialog", "1", "Close"},       {"3", "Dialog", "1", "Fermer"},
    {"4", "Error", "1", "Disk %s full"}, {"4", "Error", "1", "Disque plein"},
    {"5", "Error", "2", "Quit"}};

inline void WriteDocument(const QString& txr, const QString& txl, const Rows& rows, bool localized,
                          int lastGlobalId = -1) {
    ResourceTable store;
    store.DefineColumns(kEntryColumnSpec);
    int last = 0;
    for (const auto& r : rows) {
        store.AppendRow({r[0], r[1], r[2], r[3]});
        last = std::max(last, std::atoi(r[0].c_str()));
        if (store.Groups().Find(r[1]) == 0) store.Groups().Append(r[1]);
        store.Groups().SetCounter(r[1], std::max(store.Groups().GetCounter(r[1]), std::atoi(r[2].c_str())));
    }
    store.SetLastGlobalId(lastGlobalId >= 0 ? lastGlobalId : last);
    const Status status = WriteTextResource(store, QFile::encodeName(txr).toStdString(),
                                            QFile::encodeName(txl).toStdString(), localized);
    if (!status) qFatal("writing a test document failed: %s", status.message().c_str());
}

// Reads a document back (mode open, or paired for a localized pair) as rows of cells.
inline Rows ReadDocument(const QString& txr, const QString& txl, ReadMode mode) {
    ResourceTable store;
    store.DefineColumns(kEntryColumnSpec);
    const Status status = ReadTextResource(store, QFile::encodeName(txr).toStdString(),
                                           QFile::encodeName(txl).toStdString(), mode);
    if (!status) qFatal("reading a test document failed: %s", status.message().c_str());
    Rows rows(store.GetRowCount());
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < 4; ++c) rows[r].push_back(store.GetCellText(r, c));
    return rows;
}
