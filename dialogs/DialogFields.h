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

namespace DialogFields {

// The text of a multi-line field as typed: no character is replaced (a non-breaking space stays
// one); the field's paragraph and line separators come back as "\n".
QString PlainText(const QPlainTextEdit* edit);

// The bytes of `text` in the table's document encoding; nothing when that encoding cannot hold
// every character of it.
std::optional<std::string> Encode(const CSortListCtrl& list, const QString& text);

// The message for a text that the document's encoding cannot hold, naming the field.
QString EncodingRefusal(const CSortListCtrl& list, const QString& fieldName);

// A key press of Enter or Return (main keyboard or keypad, any modifiers).
bool IsEnterKey(const QEvent* event);

// Gives `field` the focus with its whole text selected.
void FocusField(QWidget* field);

}  // namespace DialogFields
