#pragma once
// What a view of a Document is told: every change of its rows, before and after, so that an
// item model can announce it, and every step added to or dropped from the history.
#include <string>
#include <vector>

class DocumentObserver {
public:
    virtual ~DocumentObserver() = default;

    // Rows first..last (indices after the insertion) are about to appear / have appeared.
    virtual void RowsAboutToBeInserted(int /*first*/, int /*last*/) {}
    virtual void RowsInserted() {}
    // Rows first..last are about to go / have gone.
    virtual void RowsAboutToBeRemoved(int /*first*/, int /*last*/) {}
    virtual void RowsRemoved() {}
    // Cells of rows first..last changed in place (no row came or went).
    virtual void RowsChanged(int /*first*/, int /*last*/) {}
    // The rows are about to be / have been put in a new order: order[newIndex] == oldIndex.
    virtual void RowsAboutToBeReordered() {}
    virtual void RowsReordered(const std::vector<int>& /*order*/) {}
    // Anything else (a read, Delete All, many scattered rows): everything may have changed.
    virtual void AboutToReset() {}
    virtual void Reset() {}

    // A change became a new step of the history (named for "Undo <what>").
    virtual void StepRecorded(const std::string& /*what*/) {}
    // The oldest `count` steps were dropped to keep the history within its memory limit.
    virtual void OldestStepsDropped(size_t /*count*/) {}
    // The history was emptied (a read, New).
    virtual void HistoryCleared() {}
};
