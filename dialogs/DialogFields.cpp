#include "dialogs/DialogFields.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "app/QuillmereDlg.h"
#include "app/UserPrompts.h"
#include "document/EntryCommands.h"
#include "listview/SortListCtrl.h"

namespace DialogFields {

QString PlainText(const QPlainTextEdit* edit) {
    // toPlainText() would turn a non-breaking space into a plain one; the raw text keeps it.
    QString text = edit->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

std::optional<std::string> Encode(CSortListCtrl& list, const QString& text) {
    list.EnsureEncodable(text);
    std::string bytes = list.Encode(text);
    if (list.Decode(bytes) != text) return std::nullopt;
    return bytes;
}

QString EncodingRefusal(const QString& fieldName) {
    return QStringLiteral("The %1 holds characters that cannot be stored.").arg(fieldName);
}

bool PrepareEntryFields(CQuillmereDlg& main, QWidget* dlg, QWidget* nameField, const QString& name,
                        QWidget* textField, const QString& text, std::string& nameBytes,
                        std::string& textBytes) {
    const auto refuse = [&](const QString& message, QWidget* field) {
        main.Prompts().Warn(dlg, message);
        FocusField(field);
        return false;
    };
    // "|", CR and LF are the same bytes in either encoding: check before the document may be
    // turned into UTF-8 for the typed characters.
    if (const Status s = EntryCommands::CheckGroupName(name.toStdString()); !s)
        return refuse(QString::fromStdString(s.message()), nameField);
    if (const Status s = EntryCommands::CheckText(text.toStdString()); !s)
        return refuse(QString::fromStdString(s.message()), textField);
    // Both texts may need a UTF-8 document: turn it before taking either text's bytes.
    main.m_list->EnsureEncodable(name);
    main.m_list->EnsureEncodable(text);
    std::optional<std::string> encodedName = Encode(*main.m_list, name);
    if (!encodedName) return refuse(EncodingRefusal(QStringLiteral("Group Name")), nameField);
    std::optional<std::string> encodedText = Encode(*main.m_list, text);
    if (!encodedText) return refuse(EncodingRefusal(QStringLiteral("Text")), textField);
    nameBytes = std::move(*encodedName);
    textBytes = std::move(*encodedText);
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
