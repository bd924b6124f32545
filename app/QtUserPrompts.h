#pragma once
// The window's questions and notices as real message boxes titled "Quillmere", and its file
// choices as the toolkit's file dialogs.
#include "dialogs/UserPrompts.h"

// A platform filter string ("Text Resource Files (*.txr)|*.txr||": description and pattern
// pairs separated by '|', ended by "||") in the toolkit's form: "description (patterns)",
// several filters separated by ";;".
QString QtFileFilter(const QString& platformFilter);

class QtUserPrompts : public UserPrompts {
public:
    bool AskYesNo(QWidget* parent, const QString& text) override;
    Answer AskYesNoCancel(QWidget* parent, const QString& text) override;
    void Tell(QWidget* parent, const QString& text) override;
    void Warn(QWidget* parent, const QString& text) override;
    QString OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                         const QString& defaultSuffix) override;
    QString SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                         const QString& defaultSuffix) override;
};
