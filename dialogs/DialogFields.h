#pragma once
// Small helpers the entry dialogs share: exact text of a multi-line field, the checks of typed
// fields, refusals shown, the Enter key, and putting the focus back into a field the user has
// to correct.
#include <QString>
#include <optional>
#include <string>

class QEvent;
class QPlainTextEdit;
class QWidget;
class Status;
class UserPrompts;

namespace DialogFields {

// The text of a multi-line field as typed: no character is replaced (a non-breaking space stays
// one); the field's paragraph and line separators come back as "\n".
QString PlainText(const QPlainTextEdit* edit);

// A typed text as the document takes it (UTF-8).
std::string Utf8(const QString& text);

// The Group Name and Text of an entry dialog, checked for what the file format cannot carry.
// On a refusal the user is told (a message over `dlg`), the field gets the focus, and the
// result is false.
bool CheckEntryFields(UserPrompts& prompts, QWidget* dlg, QWidget* nameField, const QString& name,
                      QWidget* textField, const QString& text);

// Whether the document refused a change; if so the user is told why (unless they declined a
// conversion, which says all) and `field` gets the focus.
bool Refused(const Status& status, UserPrompts& prompts, QWidget* dlg, QWidget* field);

// A typed Group Name without its trailing white space (space, tab, line breaks, vertical tab,
// form feed), which the reader drops too: "M " would otherwise make a second group beside "M"
// that reads back as the same group.
QString GroupNameAsStored(const QString& typed);

// A key press of Enter or Return (main keyboard or keypad, any modifiers).
bool IsEnterKey(const QEvent* event);

// Gives `field` the focus with its whole text selected.
void FocusField(QWidget* field);

}  // namespace DialogFields
