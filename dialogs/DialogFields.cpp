#include "dialogs/DialogFields.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "listview/SortListCtrl.h"

namespace DialogFields {

QString PlainText(const QPlainTextEdit* edit) {
    // toPlainText() would turn a non-breaking space into a plain one; the raw text keeps it.
    QString text = edit->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

std::optional<std::string> Encode(const CSortListCtrl& list, const QString& text) {
    std::string bytes = list.Encode(text);
    if (list.Decode(bytes) != text) return std::nullopt;
    return bytes;
}

QString EncodingRefusal(const CSortListCtrl& list, const QString& fieldName) {
    if (!list.IsUtf8())
        return QStringLiteral(
                   "The %1 holds characters that this document cannot store: it is kept in "
                   "Latin-1 (Western European) encoding.")
            .arg(fieldName);
    return QStringLiteral("The %1 holds characters that cannot be stored.").arg(fieldName);
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
