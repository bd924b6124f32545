#pragma once
// The entry table on screen: a view of a Document through RowStoreModel, with the sort header.
// Texts pass in and out as QString; every change made through the control goes to the document
// as a step of its history. Cells not edited keep their exact bytes.
#include <QElapsedTimer>
#include <QList>
#include <QPersistentModelIndex>
#include <QStringList>
#include <QTableView>
#include <functional>
#include <string_view>
#include <vector>

#include "document/Status.h"
#include "document/format/ResourceTable.h"
#include "document/model/DocumentObserver.h"

class CSortHeaderCtrl;
class Document;
class RowStoreModel;

class CSortListCtrl : public QTableView, public DocumentObserver {
    Q_OBJECT
public:
    explicit CSortListCtrl(QWidget* parent = nullptr, int dlgCtrlId = 1000);
    ~CSortListCtrl() override;

    // The document shown: the control's own until another is given.
    void SetDocument(Document* doc);
    Document& Doc();
    const Document& Doc() const;
    // The rows for setting up a table outside the history (group list, last Global ID).
    ResourceTable& Store();
    const ResourceTable& Store() const;
    RowStoreModel* Model() const { return m_pModel; }
    CSortHeaderCtrl* Header() const { return m_header; }

    // The columns are the document's entry columns: sizes the header sections from the column list's
    // widths. False when the column list has another number of columns.
    bool DefineColumns(std::string_view spec);

    // Changes, each a step of the document's history. Texts are as shown (any characters).
    int AppendRow(const QStringList& texts);  // the new row, -1 when refused
    bool SetCellText(int row, int column, const QString& text);
    QString GetCellText(int row, int column) const;  // empty for a row that does not exist
    bool DeleteRow(int row);
    void DeleteRows(const QList<int>& rows);
    bool DeleteAllRows();
    int GetRowCount() const;

    // Rows are document rows throughout. When the model shows only some rows (a filter), only
    // rows shown can be selected, focused or made visible; the others count as not selected.
    // Selection: the mark is the row at which the user's latest selection started (-1: none).
    int GetSelectionMark() const;
    void SetSelectionMark(int row);
    QList<int> GetSelectedRows() const;  // ascending
    bool IsRowSelected(int row) const;
    void SetRowSelected(int row, bool selected);
    void SetRowFocused(int row);
    void EnsureRowVisible(int row);
    // Selects exactly these rows (ascending, no duplicates), in one change of the selection.
    void SetSelectedRows(const std::vector<int>& rows);

    // Sorting; a header click runs OnHeaderClicked. In the document's pair view whole row
    // pairs are sorted by their even row.
    void SortByColumn(int column, bool ascending);
    void OnHeaderClicked(int column);
    // Pairs of rows (original, translation) sorted and deleted together, as in the pair view.
    void SetPairSort(bool pairs);
    bool PairSort() const;
    // Rows in file order: no column shows the arrow, and the next header click sorts ascending.
    void ClearSortIndicator();

    // Document state (outside the history: for setting up a table).
    GroupList& Groups() { return Store().Groups(); }
    int32_t GetLastGlobalId() const;
    void SetLastGlobalId(int32_t value);

    // Replaces the contents through `load` (the .txr's entries), with the view told of the
    // whole change; a new history starts. When load fails nothing changed. The encoding is
    // detected again afterwards and the sort indicator cleared, since the rows are in file order.
    Status Reload(const std::function<Status(ResourceTable&)>& load);
    // Whether every file the rows are in is UTF-8; SetUtf8 sets both files' encodings (outside
    // the history).
    bool IsUtf8() const;
    void SetUtf8(bool utf8);

    // Column widths in the settings (group "ListCtrls", key = control id).
    void RestoreColumnWidths();
    void SaveColumnWidths();
    int DlgCtrlId() const { return m_nDlgCtrlId; }

    // Type-ahead: keys typed in quick succession select the next row whose Global ID starts
    // with them (letters in either case); the same key repeated steps through such rows.
    void keyboardSearch(const QString& search) override;

protected:
    // Home and End (with or without Ctrl) select the first and the last row; with Shift they
    // extend the selection to it.
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    // The focus mark covers the whole current row, as the selection does, not one cell.
    void paintEvent(QPaintEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

signals:
    // A change of the rows became a step of the document's history.
    void ContentsChanged();

private:
    void StepRecorded(const std::string& what) override;
    void RowsReordered(const std::vector<int>& order) override;
    void Reset() override;
    // The header's arrow shows the document's sort column (none: no arrow).
    void ShowSortState();
    // The model index of a document row's cell; invalid when the row is not shown.
    QModelIndex IndexOf(int row, int column) const;

    RowStoreModel* m_pModel = nullptr;
    CSortHeaderCtrl* m_header = nullptr;
    int m_nDlgCtrlId;
    int m_nSelectionMark = -1;
    QPersistentModelIndex m_markIndex;  // follows its row through sorts and deletions
    QString m_strTyped;                 // type-ahead keys so far
    QElapsedTimer m_typedTimer;
};
