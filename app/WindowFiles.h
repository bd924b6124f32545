#pragma once
// How the window names files: the filters of its file dialogs, a path as the core takes it (the
// file system's encoding), and a core status as the text a user reads. Shared by the window's
// units (commands, files, exchange, watcher).
#include <QFile>
#include <QString>
#include <QStringList>
#include <string>

#include "document/Status.h"

namespace WindowFiles {

inline const QString kTxrFilter = QStringLiteral("Text Resource Files (*.txr)|*.txr||");
inline const QString kTxlFilter = QStringLiteral("Localized Text Resource Files (*.txl)|*.txl||");

inline std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

inline QString FromStatus(const Status& status) {
    return QString::fromLocal8Bit(status.message());
}

// "a.txr was", "a.txr and a.txl were": files another program changed, in a question.
inline QString WasChanged(const QStringList& names) {
    return names.join(QStringLiteral(" and ")) +
           (names.size() > 1 ? QStringLiteral(" were") : QStringLiteral(" was"));
}

}  // namespace WindowFiles
