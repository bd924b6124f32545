#pragma once
// The item model behind the entry table: a view of a Document. It presents the cells, each
// decoded in its own file's encoding, with the row colours of the current view, and announces
// every change the document reports. It changes nothing, never reads files and never asks the
// user.
//
// It may show only some of the document's rows (a filter): model rows are then the shown rows
// in document order, DocRow and ViewRow translate. Rows inserted into the document are shown,
// removed ones leave, a new order keeps the same rows shown, and after a reset (a read) every
// row is shown again. Without a filter model rows are document rows.
#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "document/model/Document.h"
#include "document/model/DocumentObserver.h"

class RowStoreModel : public QAbstractTableModel, public DocumentObserver {
    Q_OBJECT
public:
    explicit RowStoreModel(QObject* parent = nullptr);
    ~RowStoreModel() override;

    // The document shown: its own until another is given (null: its own again).
    void SetDocument(Document* doc);
    Document& Doc() { return *m_doc; }
    const Document& Doc() const { return *m_doc; }
    // The rows for setting up a table outside the history (group list, last Global ID).
    ResourceTable& Store() { return m_doc->RowsForSetup(); }
    const ResourceTable& Store() const { return m_doc->Rows(); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // A cell's text (its row's file decides the encoding); `row` is a document row.
    QString CellText(int row, int column) const;

    // Shows only `rows` (document rows, ascending), or every row again.
    void ShowRows(std::vector<int> rows);
    void ShowAllRows();
    bool Filtered() const { return m_filtered; }
    // The rows the commands may reach: the rows shown.
    RowScope Shown() const { return m_filtered ? RowScope::Only(m_shown) : RowScope(); }
    // The document row of a model row, and the model row of a document row (-1: not shown).
    int DocRow(int viewRow) const {
        return m_filtered ? (viewRow >= 0 && static_cast<size_t>(viewRow) < m_shown.size()
                                 ? m_shown[static_cast<size_t>(viewRow)]
                                 : -1)
                          : viewRow;
    }
    int ViewRow(int docRow) const;

    // Marks in the Text cell and a tooltip for rows with a status or problems, from `marks`
    // (called with a document row; null: no marks).
    struct RowMark {
        bool notTranslated = false;
        bool problem = false;
        QString tooltip;
    };
    void SetMarks(std::function<RowMark(int docRow)> marks);
    // The marks changed (after a check of the document).
    void MarksChanged();

    // Row colours: alternating pairs (original rows red on cream, localized rows white on
    // grey-blue) or every row red on cream.
    bool AlternateColours() const { return m_bAlternate; }
    void SetAlternateColours(bool alternate);
    static QColor TextColour(int row, bool alternate);
    static QColor BackColour(int row, bool alternate);

private:
    void RowsAboutToBeInserted(int first, int last) override;
    void RowsInserted() override;
    void RowsAboutToBeRemoved(int first, int last) override;
    void RowsRemoved() override;
    void RowsChanged(int first, int last) override;
    void RowsAboutToBeReordered() override;
    void RowsReordered(const std::vector<int>& order) override;
    void AboutToReset() override;
    void Reset() override;

    std::unique_ptr<Document> m_own;
    Document* m_doc = nullptr;
    bool m_bAlternate = false;
    bool m_filtered = false;
    std::vector<int> m_shown;                     // document rows shown, ascending (when filtered)
    int m_pendingFirst = -1, m_pendingLast = -1;  // rows of an insertion or removal under way
    int m_pendingViewFirst = 0, m_pendingViewCount = 0;
    std::function<RowMark(int)> m_marks;
};
