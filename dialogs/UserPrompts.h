#pragma once
// How the window asks the user and tells them things: message boxes and file dialogs.
// The real one shows Qt boxes titled "Quillmere"; tests install scripted answers.
#include <QString>

class QWidget;

class UserPrompts {
public:
    enum Answer { Yes, No, Cancel };
    virtual ~UserPrompts() = default;

    virtual bool AskYesNo(QWidget* parent, const QString& text) = 0;
    virtual Answer AskYesNoCancel(QWidget* parent, const QString& text) = 0;
    virtual void Tell(QWidget* parent, const QString& text) = 0;  // information, OK
    virtual void Warn(QWidget* parent, const QString& text) = 0;  // an error, OK
    // Empty when cancelled. `filter` is in Qt form, e.g. "Text Resource Files (*.txr)". The
    // save dialog does not ask about replacing an existing file: the caller does.
    virtual QString OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& defaultSuffix) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& defaultSuffix) = 0;
};
