#include "app/QtUserPrompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace {

const QString kTitle = QStringLiteral("Quillmere");

QString RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& title,
                      const QString& filter, const QString& defaultSuffix) {
    QFileDialog dialog(parent, title);
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
    return files.isEmpty() ? QString() : files.first();
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
