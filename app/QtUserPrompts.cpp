#include "app/QtUserPrompts.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QStringList>

#include "app/NameOnlyIconProvider.h"

namespace {

const QString kTitle = QStringLiteral("Quillmere");

const QString kFolderKey = QStringLiteral("FileDialog/folder");

// The folder the file dialogs start in: that of the last file chosen, or the home folder.
QString StartFolder() {
    const QString folder =
        QSettings(QStringLiteral("Ardwen"), QStringLiteral("Quillmere")).value(kFolderKey).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

// Folders of the kernel's own file systems hold files whose reading blocks (/proc/kmsg): the
// dialogs never start there, even after a file was chosen there.
bool IsKernelFolder(const QString& folder) {
    for (const char* root : {"/proc", "/sys", "/dev"}) {
        const QString r = QString::fromLatin1(root);
        if (folder == r || folder.startsWith(r + QLatin1Char('/'))) return true;
    }
    return false;
}

QString RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& title,
                      const QString& filter, const QString& defaultSuffix) {
    // Given its folder, the dialog does not go back to the toolkit's remembered one, which may
    // be a folder that blocks; files are told apart by their names only, never by their
    // content. The toolkit's own dialog: a platform dialog would read the files to guess.
    NameOnlyIconProvider icons;
    QFileDialog dialog(parent, title, StartFolder());
    dialog.setIconProvider(&icons);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    QString suffix = defaultSuffix;
    if (suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    // The window asks about every file a save would replace, the companion file too.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return {};
    const QString folder = QFileInfo(files.first()).absolutePath();
    if (!IsKernelFolder(folder))
        QSettings(QStringLiteral("Ardwen"), QStringLiteral("Quillmere")).setValue(kFolderKey, folder);
    return files.first();
}

}  // namespace

QString QtFileFilter(const QString& platformFilter) {
    const QStringList parts = platformFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        if (description.isEmpty()) break;
        const QString patterns =
            parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        const QString inParentheses = QStringLiteral("(%1)").arg(patterns);
        filters.append(description.endsWith(inParentheses)
                           ? description
                           : QStringLiteral("%1 %2").arg(description, inParentheses));
    }
    return filters.join(QStringLiteral(";;"));
}

bool QtUserPrompts::AskYesNo(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, kTitle, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

UserPrompts::Answer QtUserPrompts::AskYesNoCancel(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, kTitle, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Yes;
        case QMessageBox::No:
            return No;
        default:
            return Cancel;
    }
}

void QtUserPrompts::Tell(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Information, kTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

void QtUserPrompts::Warn(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, kTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

QString QtUserPrompts::OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& defaultSuffix) {
    return RunFileDialog(parent, QFileDialog::AcceptOpen, title, filter, defaultSuffix);
}

QString QtUserPrompts::SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& defaultSuffix) {
    return RunFileDialog(parent, QFileDialog::AcceptSave, title, filter, defaultSuffix);
}
