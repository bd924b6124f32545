#pragma once
// Message boxes and file dialogs answered from a script, recording what was asked.
#include <QList>
#include <QString>
#include <QStringList>

#include "dialogs/UserPrompts.h"

class ScriptedPrompts : public UserPrompts {
public:
    struct FileRequest {
        QString title, filter, suffix;
    };
    QStringList questions;  // Yes/No and Yes/No/Cancel, in the order asked
    QStringList tells;
    QStringList warnings;
    QList<FileRequest> fileRequests;
    QList<bool> yesNo;          // taken from the front; No when empty
    QList<Answer> yesNoCancel;  // taken from the front; Cancel when empty
    QStringList fileNames;      // taken from the front; cancelled when empty

    bool AskYesNo(QWidget*, const QString& text) override {
        questions << text;
        return yesNo.isEmpty() ? false : yesNo.takeFirst();
    }
    Answer AskYesNoCancel(QWidget*, const QString& text) override {
        questions << text;
        return yesNoCancel.isEmpty() ? Cancel : yesNoCancel.takeFirst();
    }
    void Tell(QWidget*, const QString& text) override { tells << text; }
    void Warn(QWidget*, const QString& text) override { warnings << text; }
    QString OpenFileName(QWidget*, const QString& title, const QString& filter,
                         const QString& suffix) override {
        fileRequests.append({title, filter, suffix});
        return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
    }
    QString SaveFileName(QWidget*, const QString& title, const QString& filter,
                         const QString& suffix) override {
        fileRequests.append({title, filter, suffix});
        return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
    }
    void Clear() {
        questions.clear();
        tells.clear();
        warnings.clear();
        fileRequests.clear();
    }
};
