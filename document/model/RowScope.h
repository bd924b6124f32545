#pragma once
// The rows a command may reach: every row of the document, or only the rows a filter shows.
// A filter hides rows from the user, so the commands that look through the table (Replace,
// Replace All, Delete All, Search) must neither change nor find the rows the user cannot see.
//
// Contracts: a scope of some rows holds document rows in ascending order without duplicates
// (as the filter gives them); rows at or past the table's row count are never reached.
#include <algorithm>
#include <utility>
#include <vector>

class RowScope {
public:
    // Every row.
    RowScope() = default;
    // Only `rows` (ascending, no duplicates); none at all when empty.
    static RowScope Only(std::vector<int> rows) {
        RowScope scope;
        scope.m_all = false;
        scope.m_rows = std::move(rows);
        return scope;
    }

    bool All() const { return m_all; }
    // The rows of a scope of some rows (empty for every row: ask All first).
    const std::vector<int>& Rows() const { return m_rows; }

    bool Contains(int row) const {
        return row >= 0 && (m_all || std::binary_search(m_rows.begin(), m_rows.end(), row));
    }
    // The first row in scope at or after `row`; `rowCount` when there is none.
    int NextFrom(int row, int rowCount) const {
        row = std::max(row, 0);
        if (m_all) return std::min(row, rowCount);
        const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), row);
        return it == m_rows.end() || *it >= rowCount ? rowCount : *it;
    }
    // How many rows of a table of `rowCount` rows are in scope.
    int Count(int rowCount) const {
        if (m_all) return rowCount;
        return static_cast<int>(std::lower_bound(m_rows.begin(), m_rows.end(), rowCount) - m_rows.begin());
    }
    // Calls f(row) for each row in scope below `rowCount`, ascending.
    template <class F>
    void ForEach(int rowCount, F f) const {
        if (m_all) {
            for (int r = 0; r < rowCount; ++r) f(r);
            return;
        }
        for (const int r : m_rows) {
            if (r >= rowCount) break;
            if (r >= 0) f(r);
        }
    }

private:
    bool m_all = true;
    std::vector<int> m_rows;
};
