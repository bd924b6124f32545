#include "dialogs/DialogFields.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "dialogs/UserPrompts.h"
#include "document/Status.h"
#include "document/model/EntryEdits.h"

namespace DialogFields {

QString PlainText(const QPlainTextEdit* edit) {
    // toPlainText() would turn a non-breaking space into a plain one; the raw text keeps it.
    QString text = edit->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

std::string Utf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

bool CheckEntryFields(UserPrompts& prompts, QWidget* dlg, QWidget* nameField, const QString& name,
                      QWidget* textField, const QString& text) {
    const auto refuse = [&](const Status& s, QWidget* field) {
        prompts.Warn(dlg, QString::fromStdString(s.message()));
        FocusField(field);
        return false;
    };
    if (const Status s = EntryEdits::CheckGroupName(Utf8(name)); !s) return refuse(s, nameField);
    if (const Status s = EntryEdits::CheckText(Utf8(text)); !s) return refuse(s, textField);
    return true;
}

bool Refused(const Status& status, UserPrompts& prompts, QWidget* dlg, QWidget* field) {
    if (status) return false;
    if (!status.message().empty()) prompts.Warn(dlg, QString::fromStdString(status.message()));
    FocusField(field);
    return true;
}

QString GroupNameAsStored(const QString& typed) {
    qsizetype n = typed.size();
    while (n > 0 && QStringView(u" \t\n\v\f\r").contains(typed[n - 1])) --n;
    return typed.left(n);
}

bool IsEnterKey(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

void FocusField(QWidget* field) {
    if (!field) return;
    field->setFocus(Qt::OtherFocusReason);
    if (auto* line = qobject_cast<QLineEdit*>(field))
        line->selectAll();
    else if (auto* multi = qobject_cast<QPlainTextEdit*>(field))
        multi->selectAll();
}

}  // namespace DialogFields
