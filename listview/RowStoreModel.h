#pragma once
// The item model behind the entry table: presents the cells of a RowStore, decoded in the
// document's encoding, with the row colours of the current view. Every change of the rows
// made through it is announced to the views. It never reads files and never asks the user.
#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "core/RowStore.h"

class RowStoreModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RowStoreModel(QObject* parent = nullptr);

    RowStore& Store() { return m_store; }
    const RowStore& Store() const { return m_store; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Encoding of the cells: UTF-8, or Latin-1 (one byte per character).
    bool IsUtf8() const { return m_bUtf8; }
    void SetUtf8(bool utf8) { m_bUtf8 = utf8; }
    QString Decode(std::string_view bytes) const;
    std::string Encode(const QString& text) const;
    // False when the text holds a character the current encoding cannot carry.
    bool CanEncode(const QString& text) const;
    // True when every cell is valid UTF-8.
    bool AllCellsUtf8() const;
    // Re-encodes every cell from Latin-1 to UTF-8 and switches the encoding to UTF-8.
    void ConvertToUtf8();

    // Row colours: alternating pairs (original rows red on cream, localized rows white on
    // grey-blue) or every row red on cream.
    bool AlternateColours() const { return m_bAlternate; }
    void SetAlternateColours(bool alternate);
    static QColor TextColour(int row, bool alternate);
    static QColor BackColour(int row, bool alternate);

    // Changes, announced to the views.
    bool DefineColumns(std::string_view spec);
    int AppendRow(const std::vector<std::string>& texts);
    bool SetCellText(int row, int column, std::string_view bytes);
    bool DeleteRow(int row);
    void DeleteRows(std::vector<int> rows);
    bool DeleteAllRows();
    // Sorts single rows or whole pairs; the views keep their selection and current row
    // on the same entries.
    void Sort(int column, bool ascending, bool pairs);
    // Replaces the whole contents from `other` (same columns): rows, group list, last Global ID.
    void TakeContents(RowStore& other);
    void NotifyRowsChanged(int firstRow, int lastRow);

private:
    void Reorder(const std::vector<int>& order);

    RowStore m_store;
    bool m_bUtf8 = true;
    bool m_bAlternate = false;
};
