#pragma once
// The item model of the Translate view: one row per entry of a pair table (original and
// translation side by side), over the rows a RowStoreModel shows. Columns: Global ID, Group
// Name, Group ID, Original, Translation and Status (missing / same / translated, with the
// problem mark and the entry's problems as its tooltip). It changes nothing.
//
// Contracts: entry e stands for the pair whose original is document row 2 * Pair(e); the
// entries follow the source's shown rows (an entry is shown when either of its rows is) and
// change with them; a cell edited in place is announced as a change of its entry alone, so a
// keystroke's commit keeps the current row and costs nothing in proportion to the table.
#include <QAbstractTableModel>
#include <functional>
#include <vector>

#include "document/model/DocumentObserver.h"

class RowStoreModel;

class TranslatePairModel : public QAbstractTableModel, private DocumentObserver {
    Q_OBJECT
public:
    enum Column { Id = 0, GroupName, GroupId, Original, Translation, StatusColumn, ColumnCount };

    // Watches the source's document from now on (the source keeps that document).
    explicit TranslatePairModel(RowStoreModel* source, QObject* parent = nullptr);
    ~TranslatePairModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The pair index of an entry (-1: none) and the entry of a pair (-1: not shown).
    int Pair(int entry) const;
    int EntryOf(int pair) const;
    // The document row of the entry's original; its translation is the row after it.
    int OriginalRow(int entry) const { return Pair(entry) < 0 ? -1 : 2 * Pair(entry); }

    // Whether the entry of original row `originalRow` has a problem, and (when `words` is
    // asked for: a tooltip) its status and problems in words (null: no marks).
    struct Mark {
        bool problem = false;
        QString words;
    };
    void SetMarks(std::function<Mark(int originalRow, bool words)> marks) { m_marks = std::move(marks); }
    // The marks changed: every status cell is told.
    void MarksChanged();

private:
    // Rows that come, go or move (even rows the source does not show: the pairs shown move
    // with them) reset the entries once the source has followed.
    void RowsAboutToBeInserted(int, int) override { Begin(); }
    void RowsInserted() override { End(); }
    void RowsAboutToBeRemoved(int, int) override { Begin(); }
    void RowsRemoved() override { End(); }
    void RowsAboutToBeReordered() override { Begin(); }
    void RowsReordered(const std::vector<int>&) override { End(); }
    void AboutToReset() override { Begin(); }
    void Reset() override { End(); }
    void Begin();
    void End();
    void Rebuild();
    int Pairs() const;

    RowStoreModel* m_source;
    bool m_resetting = false;  // between a change of the rows and its end
    bool m_all = true;         // every pair shown, in document order
    std::vector<int> m_pairs;  // else the pairs shown, ascending
    std::function<Mark(int, bool)> m_marks;
};
