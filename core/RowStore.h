#pragma once
// The entry table's rows, without any window: every row keeps its own copy of each cell
// (bytes exactly as given), and the table sorts by a column. The document's group list and last
// Global ID are not rows: ResourceTable (document/format) carries them beside these rows.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class TextCollator;

// The entry table's columns: heading and width of each, as DefineColumns reads them.
inline constexpr std::string_view kEntryColumnSpec = "Global ID, 40;Group Name,90;Group ID,40;Text,450";
enum EntryColumn { ColGlobalId = 0, ColGroupName = 1, ColGroupId = 2, ColText = 3 };

struct ColumnSpec {
    std::string heading;
    int width = 0;
};

class RowStore {
public:
    RowStore();
    ~RowStore();
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;
    RowStore(RowStore&&) noexcept;
    RowStore& operator=(RowStore&&) noexcept;

    // Columns: "heading,width;heading,width..." Adds after any columns defined before.
    bool DefineColumns(std::string_view spec);
    const std::vector<ColumnSpec>& Columns() const { return m_columns; }
    int ColumnCount() const { return m_nColumns; }

    // Rows. AppendRow takes exactly ColumnCount() texts and returns the new (last) index.
    int AppendRow(std::span<const std::string_view> texts);
    int AppendRow(std::initializer_list<std::string_view> texts);
    // False (nothing changed) for a row or column out of range.
    bool SetCellText(int row, int column, std::string_view text);
    // A copy of the cell; empty for a row or column out of range.
    std::string GetCellText(int row, int column) const;
    // Direct view of a cell; row and column must be in range. Valid until the next change.
    std::string_view Cell(int row, int column) const;
    // The cells of a row one after the other, as one view (cell 0 first); row in range. For
    // scans over every byte of the table; valid until the next change.
    std::string_view RowBytes(int row) const;
    // Asks the processor to fetch a row's cells ahead of a scan that will read them (rows out of
    // file order after a sort lie scattered in memory); row in range.
    void PrefetchRow(int row) const;
    bool DeleteRow(int row);
    // Deletes the given rows (any order, duplicates and out-of-range indices ignored) in one pass.
    void DeleteRows(std::vector<int> rows);
    bool DeleteAllRows();
    int GetRowCount() const;
    // Copies the given rows (in range) into `out` (same columns, its rows replaced), in order.
    void CopyRows(const std::vector<int>& rows, RowStore& out) const;
    // Inserts rows first..first+positions.size()-1 of `from` at the final indices `positions`
    // (ascending; each below the row count after the insertion).
    void InsertRows(std::span<const int> positions, const RowStore& from, size_t first = 0);
    // Exchanges rows[k] here with row k of `other` (same columns), for every k, without copying
    // any cell: undoing a change of many rows is this exchange again.
    void ExchangeRows(std::span<const int> rows, RowStore& other);
    // Exchanges the rows (cells only) with `other`; columns and sort state stay where they are.
    // Constant time.
    void SwapRows(RowStore& other);
    // rows[i] = old rows[order[i]] for a permutation `order` of the row indices.
    void Reorder(const std::vector<int>& order);
    // Room for `rows` more rows of `bytes` text bytes in all. Returns the fresh memory set aside
    // for them, as far as rows of exactly that many bytes fill it (empty when the room was there
    // already): the system provides its pages as they are first written, so a caller about to
    // fill a large table may have them made present on another thread meanwhile. The memory
    // stays with the table.
    std::span<char> Reserve(size_t rows, size_t bytes);
    // Bytes held by the rows (cells and bookkeeping), for measuring.
    size_t MemoryUsage() const;

    // Sorting. Sets m_nSortColumn and m_bAscending, then reorders the rows with CompareRows.
    // Returns the new order: result[newIndex] == oldIndex.
    std::vector<int> SortByColumn(int column, bool ascending);
    // Sorts whole pairs (rows 2k, 2k+1) by the cell of their even row; an odd last row stays last.
    std::vector<int> SortPairsByColumn(int column, bool ascending);
    // Header click: same column flips the direction, another column starts ascending.
    bool NextSortAscending(int column) const { return column == m_nSortColumn ? !m_bAscending : true; }
    // The comparison of two rows by m_nSortColumn and m_bAscending; the kind (number, date,
    // text) is decided by the first row's cell alone. Negative: first goes above.
    int CompareRows(int firstRow, int secondRow) const;
    // The text order used by the sort: the user's locale unless another one is set here
    // ("" = the user's locale again, "C" = byte order).
    void SetCollationLocale(const std::string& localeName);
    const TextCollator& Collator() const;

    // Takes the rows from `other` (same columns), leaving it empty; sort state stays.
    void TakeRows(RowStore& other);

    int m_nSortColumn = -1;
    bool m_bAscending = true;

private:
    std::vector<int> SortUnits(int column, bool ascending, int span);

    struct Impl;
    std::unique_ptr<Impl> m_impl;
    std::vector<ColumnSpec> m_columns;
    int m_nColumns = 0;
};
