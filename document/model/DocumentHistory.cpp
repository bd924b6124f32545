#include "document/model/DocumentHistory.h"

size_t DocumentHistory::Push(std::unique_ptr<DocumentStep> step) {
    while (m_steps.size() > m_done) {
        m_bytes -= m_sizes.back();
        m_steps.pop_back();
        m_sizes.pop_back();
    }
    m_sizes.push_back(step->Bytes());
    m_bytes += m_sizes.back();
    m_steps.push_back(std::move(step));
    ++m_done;
    return Trim();
}

bool DocumentHistory::Undo(Document& doc) {
    if (!CanUndo()) return false;
    m_steps[--m_done]->Revert(doc);
    return true;
}

bool DocumentHistory::Redo(Document& doc) {
    if (!CanRedo()) return false;
    m_steps[m_done++]->Apply(doc);
    return true;
}

void DocumentHistory::Clear() {
    m_steps.clear();
    m_sizes.clear();
    m_done = 0;
    m_bytes = 0;
}

size_t DocumentHistory::SetLimit(size_t bytes) {
    m_limit = bytes;
    return Trim();
}

size_t DocumentHistory::Trim() {
    size_t dropped = 0;
    // Only done steps can be dropped, and the newest one always stays.
    while (m_bytes > m_limit && m_done > 1) {
        m_bytes -= m_sizes.front();
        m_steps.pop_front();
        m_sizes.pop_front();
        --m_done;
        ++dropped;
    }
    return dropped;
}
