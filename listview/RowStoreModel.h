#pragma once
// The item model behind the entry table: a view of a Document. It presents the cells, each
// decoded in its own file's encoding, with the row colours of the current view, and announces
// every change the document reports. It changes nothing, never reads files and never asks the
// user.
#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <memory>
#include <string_view>
#include <vector>

#include "document/Document.h"
#include "document/DocumentObserver.h"

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
    RowStore& Store() { return m_doc->RowsForSetup(); }
    const RowStore& Store() const { return m_doc->Rows(); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // A cell's text (its row's file decides the encoding).
    QString CellText(int row, int column) const;

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
};
