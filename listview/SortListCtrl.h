#pragma once
// The entry table on screen: a view of a RowStore through RowStoreModel, with the sort
// header. Texts pass in and out as QString in the document's encoding (UTF-8 when every
// cell is valid UTF-8, Latin-1 otherwise); cells not edited keep their exact bytes.
#include <QElapsedTimer>
#include <QList>
#include <QPersistentModelIndex>
#include <QStringList>
#include <QTableView>
#include <functional>
#include <string_view>
#include <vector>

#include "core/RowStore.h"
#include "document/Status.h"

class CSortHeaderCtrl;
class RowStoreModel;

class CSortListCtrl : public QTableView {
    Q_OBJECT
public:
    explicit CSortListCtrl(QWidget* parent = nullptr, int dlgCtrlId = 1000);
    ~CSortListCtrl() override;

    RowStore& Store();
    const RowStore& Store() const;
    RowStoreModel* Model() const { return m_pModel; }
    CSortHeaderCtrl* Header() const { return m_header; }

    bool DefineColumns(std::string_view spec);

    // Rows, in the document's encoding.
    int AppendRow(const QStringList& texts);
    bool SetCellText(int row, int column, const QString& text);
    QString GetCellText(int row, int column) const;  // empty for a row that does not exist
    bool DeleteRow(int row);
    void DeleteRows(const QList<int>& rows);
    bool DeleteAllRows();
    int GetRowCount() const;
    // After cells were changed directly in Store(): tells the view (rows first..last, all
    // columns) and emits ContentsChanged.
    void NotifyRowsChanged(int firstRow, int lastRow);

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

    // Sorting; a header click runs OnHeaderClicked. In pair mode whole row pairs are sorted
    // by their even row.
    void SortByColumn(int column, bool ascending);
    void OnHeaderClicked(int column);
    void SetPairSort(bool pairs) { m_bPairSort = pairs; }
    // Rows in file order: no column shows the arrow, and the next header click sorts ascending.
    void ClearSortIndicator();
    bool PairSort() const { return m_bPairSort; }

    // Document state carried by the table.
    GroupList& Groups() { return Store().Groups(); }
    void ResetGroupList();
    bool IncrementLastGlobalId();
    bool DecrementLastGlobalId();
    int32_t GetLastGlobalId() const;
    void SetLastGlobalId(int32_t value);
    void ResetLastGlobalId();

    // Replaces the contents through `load` (a file read), with the view told of the whole
    // change. When load fails nothing changed. The encoding is detected again afterwards and
    // the sort indicator cleared, since the rows are in file order.
    Status Reload(const std::function<Status(RowStore&)>& load);
    bool IsUtf8() const { return m_bUtf8; }
    void SetUtf8(bool utf8);
    std::string Encode(const QString& text) const;
    QString Decode(std::string_view bytes) const;
    // False when `text` holds a character the document's encoding cannot carry (Latin-1).
    bool CanEncode(const QString& text) const;
    // Prepares the table for storing `text`: a Latin-1 document meeting a character beyond
    // Latin-1 is turned into UTF-8 as a whole (every text stays, non-ASCII bytes change).
    // AppendRow and SetCellText do this themselves; call it before writing Store() directly.
    void EnsureEncodable(const QString& text);

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
    // Any change of rows or cells made through this control.
    void ContentsChanged();

private:
    RowStoreModel* m_pModel = nullptr;
    CSortHeaderCtrl* m_header = nullptr;
    int m_nDlgCtrlId;
    int m_nSelectionMark = -1;
    bool m_bPairSort = false;
    bool m_bUtf8 = true;
    QPersistentModelIndex m_markIndex;  // follows its row through sorts and deletions
    QString m_strTyped;                 // type-ahead keys so far
    QElapsedTimer m_typedTimer;
};
