#pragma once
// The change history of a Document: a line of steps, each a change with its exact inverse,
// and the point between the steps done and the steps undone. A new step drops the undone ones.
// The steps' memory is counted: past the limit the oldest steps are dropped first, but never
// the newest one.
#include <cstddef>
#include <deque>
#include <memory>
#include <string>

class Document;

class DocumentStep {
public:
    virtual ~DocumentStep() = default;
    // Apply does the change again on the document as it was before it; Revert undoes it on the
    // document as it was right after it.
    virtual void Apply(Document& doc) = 0;
    virtual void Revert(Document& doc) = 0;
    // Memory held by the step (what it keeps of the rows, and itself).
    virtual size_t Bytes() const = 0;

    std::string name;  // for "Undo <name>"
};

class DocumentHistory {
public:
    static constexpr size_t kDefaultLimit = size_t{256} << 20;

    // Adds a step that was just applied; the undone steps go. Returns how many of the oldest
    // steps were dropped for the memory limit.
    size_t Push(std::unique_ptr<DocumentStep> step);
    bool Undo(Document& doc);
    bool Redo(Document& doc);
    void Clear();

    bool CanUndo() const { return m_done > 0; }
    bool CanRedo() const { return m_done < m_steps.size(); }
    size_t UndoCount() const { return m_done; }
    size_t RedoCount() const { return m_steps.size() - m_done; }
    std::string UndoName() const { return CanUndo() ? m_steps[m_done - 1]->name : std::string(); }
    std::string RedoName() const { return CanRedo() ? m_steps[m_done]->name : std::string(); }

    size_t Bytes() const { return m_bytes; }
    size_t Limit() const { return m_limit; }
    // Returns how many of the oldest steps were dropped to fit the new limit.
    size_t SetLimit(size_t bytes);

private:
    size_t Trim();

    std::deque<std::unique_ptr<DocumentStep>> m_steps;
    std::deque<size_t> m_sizes;  // each step's memory when it was added (a step's own varies)
    size_t m_done = 0;           // steps applied: m_steps[0..m_done)
    size_t m_bytes = 0;
    size_t m_limit = kDefaultLimit;
};
