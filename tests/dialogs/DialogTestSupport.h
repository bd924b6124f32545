#pragma once
// Test helpers for the dialogs: running a modal dialog with a script that drives its widgets
// once it is shown.
#include <QApplication>
#include <QDialog>
#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "ScriptedPrompts.h"
#include "res/resource.h"

// The result a dialog gets when a script left it open: the test then fails on the result.
inline constexpr int kLeftOpen = 77;

// Queues `script` to run on the active modal dialog once the event loop of the next modal
// dialog runs; a dialog the script leaves open is closed with kLeftOpen so that no test hangs.
inline void WhenModal(std::function<void(QDialog*)> script) {
    QTimer::singleShot(0, [script] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!modal) return;
        const QPointer<QDialog> guard = modal;
        // As for a user: the dialog is the active window, so the focus is where it would be.
        QApplication::setActiveWindow(modal);
        script(modal);
        if (QDialog* still = guard.data(); still != nullptr && still->isVisible()) still->done(kLeftOpen);
    });
}

// Runs `dlg` modally with `script` driving it; returns the dialog's result.
inline int RunModal(QDialog& dlg, std::function<void(QDialog*)> script) {
    WhenModal(std::move(script));
    return dlg.exec();
}

// Keeps the settings the windows write inside `dir`.
inline void UseSettingsIn(const QTemporaryDir& dir) {
    QVERIFY(dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
}

// The dialog control with the given resource id.
template <class W>
W* Ctl(QDialog* dlg, int id) {
    return dlg->findChild<W*>(QStringLiteral("ctl%1").arg(id));
}

enum class Finish { OkButton, Enter, CancelButton, Escape, CloseBox };

// Ends a dialog the way a user would: keys go to `field`, `okId` is the dialog's OK button.
inline void FinishBy(QDialog* dlg, Finish way, QWidget* field, int okId) {
    if (way == Finish::OkButton) QTest::mouseClick(Ctl<QPushButton>(dlg, okId), Qt::LeftButton);
    if (way == Finish::Enter) QTest::keyClick(field, Qt::Key_Return);
    if (way == Finish::CancelButton) QTest::mouseClick(Ctl<QPushButton>(dlg, IDCANCEL), Qt::LeftButton);
    if (way == Finish::Escape) QTest::keyClick(field, Qt::Key_Escape);
    if (way == Finish::CloseBox) dlg->close();
}
