#pragma once
// One step of the document's history on the window's undo stack: undoing and redoing it has
// the document undo and redo its own step. The change itself was made before the step was
// pushed, so the push does not make it again.
#include <QUndoCommand>

class Document;

class DocumentUndoStep : public QUndoCommand {
public:
    // While `*quiet` is set the step only moves the stack's index (rebuilding the stack after
    // the document dropped old steps).
    DocumentUndoStep(Document& doc, const QString& text, const bool* quiet);
    void undo() override;
    void redo() override;

private:
    Document& m_doc;
    const bool* m_quiet;
    bool m_pushed = false;
};
