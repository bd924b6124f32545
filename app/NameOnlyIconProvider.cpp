#include "app/NameOnlyIconProvider.h"

#include <QApplication>
#include <QFileInfo>
#include <QStyle>

NameOnlyIconProvider::NameOnlyIconProvider() {
    QStyle* style = QApplication::style();
    m_computer = style->standardIcon(QStyle::SP_ComputerIcon);
    m_drive = style->standardIcon(QStyle::SP_DriveHDIcon);
    m_folder = style->standardIcon(QStyle::SP_DirIcon);
    m_folderLink = style->standardIcon(QStyle::SP_DirLinkIcon);
    m_file = style->standardIcon(QStyle::SP_FileIcon);
    m_fileLink = style->standardIcon(QStyle::SP_FileLinkIcon);
    m_trash = style->standardIcon(QStyle::SP_TrashIcon);
    m_network = style->standardIcon(QStyle::SP_DriveNetIcon);
    m_desktop = style->standardIcon(QStyle::SP_DesktopIcon);
}

QIcon NameOnlyIconProvider::icon(IconType type) const {
    switch (type) {
        case Computer:
            return m_computer;
        case Desktop:
            return m_desktop;
        case Trashcan:
            return m_trash;
        case Network:
            return m_network;
        case Drive:
            return m_drive;
        case Folder:
            return m_folder;
        case File:
            break;
    }
    return m_file;
}

QIcon NameOnlyIconProvider::icon(const QFileInfo& info) const {
    if (info.isRoot()) return m_drive;
    if (info.isDir()) return info.isSymLink() ? m_folderLink : m_folder;
    return info.isSymLink() ? m_fileLink : m_file;
}

QString NameOnlyIconProvider::type(const QFileInfo& info) const {
    if (info.isRoot()) return QStringLiteral("Drive");
    if (info.isDir()) return QStringLiteral("Folder");
    // A FIFO, a socket or a device: never opened, whatever its name says.
    if (!info.isFile()) return QStringLiteral("Special file");
    const QMimeType mime = m_mimes.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    return mime.comment().isEmpty() ? mime.name() : mime.comment();
}
