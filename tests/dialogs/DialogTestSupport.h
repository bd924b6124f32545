#pragma once
// Test helpers for the dialogs: running a modal dialog with a script that drives its widgets
// once it is shown.
#include <QApplication>
#include <QDialog>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>

#include "ScriptedPrompts.h"

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
