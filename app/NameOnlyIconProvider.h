#pragma once
// Icons and type names for the file dialogs, told from a file's name and kind (folder, link,
// file, special file) alone: nothing is opened or read. The toolkit's own provider reads a
// file's first bytes to guess its type, and in folders such as /proc that read can block for
// ever; a dialog that once showed such a folder would hang every later Open.
//
// Contract: icon() and type() only look at what stat() tells and at the name. The icons are
// made when the provider is (on the GUI thread): the dialog's model asks from its own thread.
#include <QAbstractFileIconProvider>
#include <QIcon>
#include <QMimeDatabase>

class NameOnlyIconProvider : public QAbstractFileIconProvider {
public:
    NameOnlyIconProvider();

    QIcon icon(IconType type) const override;
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;

private:
    QMimeDatabase m_mimes;
    QIcon m_computer, m_drive, m_folder, m_folderLink, m_file, m_fileLink, m_trash, m_network, m_desktop;
};
