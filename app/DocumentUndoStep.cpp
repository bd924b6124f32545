#include "app/DocumentUndoStep.h"

#include "document/model/Document.h"

DocumentUndoStep::DocumentUndoStep(Document& doc, const QString& text, const bool* quiet)
    : QUndoCommand(text), m_doc(doc), m_quiet(quiet) {}

void DocumentUndoStep::undo() {
    if (!*m_quiet) m_doc.Undo();
}

void DocumentUndoStep::redo() {
    if (!m_pushed) {
        m_pushed = true;  // QUndoStack::push redoes: the change is already made
        return;
    }
    if (!*m_quiet) m_doc.Redo();
}
