#pragma once
// Small helpers the entry dialogs share: exact text of a multi-line field, the document's
// bytes of a typed text (refusing characters the document cannot hold), the Enter key, and
// putting the focus back into a field the user has to correct.
#include <QString>
#include <optional>
#include <string>

class QEvent;
class QPlainTextEdit;
class QWidget;
class CSortListCtrl;
class CQuillmereDlg;

namespace DialogFields {

// The text of a multi-line field as typed: no character is replaced (a non-breaking space stays
// one); the field's paragraph and line separators come back as "\n".
QString PlainText(const QPlainTextEdit* edit);

// The bytes of `text` in the table's document encoding, after turning a Latin-1 document into
// UTF-8 when `text` needs it; nothing when the bytes would not give `text` back.
std::optional<std::string> Encode(CSortListCtrl& list, const QString& text);

// The message for a text that cannot be stored as typed, naming the field.
QString EncodingRefusal(const QString& fieldName);

// The Group Name and Text of an entry dialog, checked for what the file format cannot carry
// and turned into the document's bytes. On a refusal the user is told (a message over `dlg`),
// the field gets the focus, and the result is false.
bool PrepareEntryFields(CQuillmereDlg& main, QWidget* dlg, QWidget* nameField, const QString& name,
                        QWidget* textField, const QString& text, std::string& nameBytes,
                        std::string& textBytes);

// A typed Group Name without its trailing white space (space, tab, line breaks, vertical tab,
// form feed), which the reader drops too: "M " would otherwise make a second group beside "M"
// that reads back as the same group.
QString GroupNameAsStored(const QString& typed);

// A key press of Enter or Return (main keyboard or keypad, any modifiers).
bool IsEnterKey(const QEvent* event);

// Gives `field` the focus with its whole text selected.
void FocusField(QWidget* field);

}  // namespace DialogFields
