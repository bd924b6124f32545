#include "core/RowStore.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

#include "core/IntegerText.h"
#include "core/RowCompare.h"
#include "core/TextCollator.h"

// Storage. Every row is one block in an arena of large chunks:
//
//     [end of cell 0][end of cell 1]...[end of cell n-1][bytes of cell 0][bytes of cell 1]...
//
// with each end a 32-bit offset into the byte part, so a cell is found without a walk. The table
// keeps one pointer per row. Changing a cell writes a new block for its row and leaves the old
// one behind as waste; once the waste outgrows the live blocks (and is more than a little), the
// live blocks are copied into a fresh chunk and the old chunks are freed.

namespace {

constexpr size_t kMinChunk = size_t{64} << 10;
constexpr size_t kMaxChunk = size_t{16} << 20;
constexpr size_t kCompactSlack = size_t{1} << 20;

uint32_t Load32(const char* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void Store32(char* p, uint32_t v) {
    std::memcpy(p, &v, sizeof v);
}

// Large chunks (and a large row table) ask for huge pages where the system offers them: filling
// them page by page costs a fault per 4 KiB, which would dominate loading a large table.
void AdviseHugePages(char* p, size_t size) {
    if (size < (size_t{4} << 20)) return;
    const uintptr_t page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(p) + page - 1) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(p) + size) & ~(page - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

size_t RoundUp4(size_t n) {
    return (n + 3) & ~size_t{3};
}

}  // namespace

struct RowStore::Impl {
    struct Storage {
        std::vector<char*> rows;
        // Chunks may be shared with another table that took rows by ExchangeRows: a chunk lives
        // as long as either table holds it.
        std::vector<std::shared_ptr<char[]>> chunks;
        char* cur = nullptr;
        size_t left = 0;
        size_t allocated = 0;  // bytes in the chunks this table allocated
        size_t live = 0;       // bytes in the blocks of existing rows
        size_t waste = 0;      // bytes in blocks no row points to any more

        void NewChunk(size_t size) {
            chunks.push_back(std::shared_ptr<char[]>(new char[size]));
            cur = chunks.back().get();
            AdviseHugePages(cur, size);
            left = size;
            allocated += size;
        }
        char* Allocate(size_t size) {
            if (size > left) NewChunk(std::max(size, std::clamp(allocated / 2, kMinChunk, kMaxChunk)));
            char* p = cur;
            cur += size;
            left -= size;
            return p;
        }
    };

    Storage store;
    int columns = 0;  // cells per block
    std::string collateName;
    mutable std::unique_ptr<TextCollator> collator;

    size_t BlockSize(const char* block) const {
        if (columns == 0) return 0;
        return RoundUp4(size_t{4} * static_cast<size_t>(columns) + Load32(block + 4 * (columns - 1)));
    }

    static std::string_view CellIn(const char* block, int columnCount, int column) {
        const uint32_t end = Load32(block + 4 * column);
        const uint32_t begin = column == 0 ? 0 : Load32(block + 4 * (column - 1));
        return {block + size_t{4} * static_cast<size_t>(columnCount) + begin, end - begin};
    }
    std::string_view CellOf(const char* block, int column) const { return CellIn(block, columns, column); }

    // Writes a block for `count` cells, cell(i) giving each one's text; cells past `count` up to
    // `columns` are empty.
    template <class CellAt>
    char* WriteBlock(Storage& s, size_t count, CellAt cell) {
        const size_t n = static_cast<size_t>(columns);
        size_t bytes = 0;
        for (size_t i = 0; i < count && i < n; ++i) bytes += cell(i).size();
        if (bytes > std::numeric_limits<uint32_t>::max()) throw std::length_error("row text too long");
        const size_t size = RoundUp4(4 * n + bytes);
        char* block = s.Allocate(size);
        char* text = block + 4 * n;
        uint32_t end = 0;
        for (size_t i = 0; i < n; ++i) {
            if (i < count) {
                const std::string_view t = cell(i);
                if (!t.empty()) std::memcpy(text + end, t.data(), t.size());
                end += static_cast<uint32_t>(t.size());
            }
            Store32(block + 4 * i, end);
        }
        s.live += size;
        return block;
    }

    void Discard(const char* block) {
        const size_t size = BlockSize(block);
        store.live -= size;
        store.waste += size;
    }

    void CompactIfWasteful() {
        if (store.waste > kCompactSlack && store.waste > store.live) Rebuild(columns);
    }

    // Copies every row into a fresh arena with `newColumns` cells per row (cells cut or padded
    // with empty ones), freeing the old chunks and all waste.
    void Rebuild(int newColumns) {
        Storage fresh;
        fresh.rows.reserve(store.rows.size());
        const int oldColumns = columns;
        const size_t estimate =
            store.live + store.rows.size() * 4 * static_cast<size_t>(std::max(0, newColumns - oldColumns));
        if (estimate) fresh.NewChunk(estimate);
        const size_t count = static_cast<size_t>(std::min(oldColumns, newColumns));
        columns = newColumns;  // WriteBlock lays out the new width
        for (const char* block : store.rows) {
            fresh.rows.push_back(WriteBlock(
                fresh, count, [&](size_t i) { return CellIn(block, oldColumns, static_cast<int>(i)); }));
        }
        columns = newColumns;
        store = std::move(fresh);
    }

    void Clear() { store = Storage{}; }

    const TextCollator& Collator() const {
        if (!collator) collator = std::make_unique<TextCollator>(collateName.c_str());
        return *collator;
    }
};

RowStore::RowStore() : m_impl(std::make_unique<Impl>()) {}

RowStore::~RowStore() = default;

RowStore::RowStore(RowStore&& other) noexcept : RowStore() {
    *this = std::move(other);
}

RowStore& RowStore::operator=(RowStore&& other) noexcept {
    if (this != &other) {
        std::swap(m_impl, other.m_impl);
        std::swap(m_columns, other.m_columns);
        std::swap(m_nColumns, other.m_nColumns);
        std::swap(m_nSortColumn, other.m_nSortColumn);
        std::swap(m_bAscending, other.m_bAscending);
    }
    return *this;
}

bool RowStore::DefineColumns(std::string_view spec) {
    const int before = m_nColumns;
    size_t p = 0;
    while (p <= spec.size()) {
        const size_t comma = spec.find(',', p);
        if (comma == std::string_view::npos) break;
        ColumnSpec column;
        column.heading = std::string(spec.substr(p, comma - p));
        p = comma + 1;
        size_t semicolon = spec.find(';', p);
        if (semicolon == std::string_view::npos) semicolon = spec.size();
        column.width = IntegerText::LeadingInt(spec.substr(p, semicolon - p));
        p = semicolon + 1;
        m_columns.push_back(std::move(column));
        ++m_nColumns;
    }
    // Rows added before these columns get empty cells in them.
    if (m_nColumns != before) {
        if (m_impl->store.rows.empty()) {
            m_impl->Clear();
            m_impl->columns = m_nColumns;
        } else {
            m_impl->Rebuild(m_nColumns);
        }
    }
    return true;
}

int RowStore::AppendRow(std::span<const std::string_view> texts) {
    Impl& d = *m_impl;
    if (d.store.rows.size() >= static_cast<size_t>(std::numeric_limits<int>::max())) {
        throw std::length_error("too many rows");
    }
    char* block = d.WriteBlock(d.store, texts.size(), [&](size_t i) { return texts[i]; });
    try {
        d.store.rows.push_back(block);
    } catch (...) {
        d.Discard(block);
        throw;
    }
    return static_cast<int>(d.store.rows.size() - 1);
}

int RowStore::AppendRow(std::initializer_list<std::string_view> texts) {
    return AppendRow(std::span<const std::string_view>(texts.begin(), texts.size()));
}

bool RowStore::SetCellText(int row, int column, std::string_view text) {
    Impl& d = *m_impl;
    if (row < 0 || static_cast<size_t>(row) >= d.store.rows.size() || column < 0 || column >= d.columns) {
        return false;
    }
    const char* old = d.store.rows[static_cast<size_t>(row)];
    // The new block is written before the old one can go: `text` may point into this table.
    char* block = d.WriteBlock(d.store, static_cast<size_t>(d.columns), [&](size_t i) {
        return static_cast<int>(i) == column ? text : d.CellOf(old, static_cast<int>(i));
    });
    d.Discard(old);
    d.store.rows[static_cast<size_t>(row)] = block;
    d.CompactIfWasteful();
    return true;
}

std::string RowStore::GetCellText(int row, int column) const {
    return std::string(Cell(row, column));
}

std::string_view RowStore::Cell(int row, int column) const {
    const Impl& d = *m_impl;
    if (row < 0 || static_cast<size_t>(row) >= d.store.rows.size() || column < 0 || column >= d.columns) {
        return {};
    }
    return d.CellOf(d.store.rows[static_cast<size_t>(row)], column);
}

void RowStore::PrefetchRow(int row) const {
    const char* block = m_impl->store.rows[static_cast<size_t>(row)];
    __builtin_prefetch(block);
    __builtin_prefetch(block + 64);
}

std::string_view RowStore::RowBytes(int row) const {
    const Impl& d = *m_impl;
    if (row < 0 || static_cast<size_t>(row) >= d.store.rows.size() || d.columns == 0) return {};
    const char* block = d.store.rows[static_cast<size_t>(row)];
    return {block + size_t{4} * static_cast<size_t>(d.columns), Load32(block + 4 * (d.columns - 1))};
}

bool RowStore::DeleteRow(int row) {
    Impl& d = *m_impl;
    if (row < 0 || static_cast<size_t>(row) >= d.store.rows.size()) return false;
    d.Discard(d.store.rows[static_cast<size_t>(row)]);
    d.store.rows.erase(d.store.rows.begin() + row);
    d.CompactIfWasteful();
    return true;
}

void RowStore::DeleteRows(std::vector<int> rows) {
    Impl& d = *m_impl;
    auto& all = d.store.rows;
    std::vector<char> doomed(all.size(), 0);
    bool any = false;
    for (int r : rows) {
        if (r >= 0 && static_cast<size_t>(r) < all.size() && !doomed[static_cast<size_t>(r)]) {
            doomed[static_cast<size_t>(r)] = 1;
            d.Discard(all[static_cast<size_t>(r)]);
            any = true;
        }
    }
    if (!any) return;
    size_t kept = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        if (!doomed[i]) all[kept++] = all[i];
    }
    all.resize(kept);
    d.CompactIfWasteful();
}

bool RowStore::DeleteAllRows() {
    const int columns = m_impl->columns;
    m_impl->Clear();
    m_impl->columns = columns;
    return true;
}

int RowStore::GetRowCount() const {
    return static_cast<int>(m_impl->store.rows.size());
}

std::span<char> RowStore::Reserve(size_t rows, size_t bytes) {
    Impl& d = *m_impl;
    std::vector<char*>& all = d.store.rows;
    if (all.size() + rows > all.capacity()) {
        all.reserve(all.size() + rows);
        AdviseHugePages(reinterpret_cast<char*>(all.data()), all.capacity() * sizeof(char*));
    }
    const size_t need = bytes + rows * (4 * static_cast<size_t>(d.columns) + 3);
    if (need <= d.store.left) return {};
    d.store.NewChunk(need);
    // Rows of exactly `bytes` fill their offsets and texts; the rest is room for alignment.
    return {d.store.cur, bytes + rows * 4 * static_cast<size_t>(d.columns)};
}

size_t RowStore::MemoryUsage() const {
    const Impl& d = *m_impl;
    return sizeof(Impl) + d.store.allocated + d.store.rows.capacity() * sizeof(char*) +
           d.store.chunks.capacity() * sizeof(std::shared_ptr<char[]>);
}

// ---------------------------------------------------------------------------------------------
// Comparison and sort

int RowStore::CompareRows(int firstRow, int secondRow) const {
    if (m_nSortColumn < 0 || m_nSortColumn >= m_nColumns) return 0;
    return CompareCells(Cell(firstRow, m_nSortColumn), Cell(secondRow, m_nSortColumn), m_bAscending,
                        Collator());
}

void RowStore::SetCollationLocale(const std::string& localeName) {
    m_impl->collateName = localeName;
    m_impl->collator.reset();
}

const TextCollator& RowStore::Collator() const {
    return m_impl->Collator();
}

// Rows `leaders` (ascending indices) sorted by their cells in `column`; each leader carries the
// `span` rows starting at it. Rows not covered stay at the end in their order.
std::vector<int> RowStore::SortUnits(int column, bool ascending, int span) {
    auto& rows = m_impl->store.rows;
    const size_t n = rows.size();
    std::vector<int> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = static_cast<int>(i);
    if (column < 0 || column >= m_nColumns) return order;
    m_nSortColumn = column;
    m_bAscending = ascending;
    const size_t step = static_cast<size_t>(span);
    const size_t units = n / step;
    std::vector<std::string_view> cells(units);
    for (size_t u = 0; u < units; ++u) cells[u] = m_impl->CellOf(rows[u * step], column);
    const std::vector<uint32_t> unitOrder = SortOrder(cells, ascending, Collator());
    for (size_t k = 0; k < units; ++k) {
        for (size_t j = 0; j < step; ++j) order[k * step + j] = static_cast<int>(unitOrder[k] * step + j);
    }
    Reorder(order);
    return order;
}

void RowStore::Reorder(const std::vector<int>& order) {
    auto& rows = m_impl->store.rows;
    const size_t n = rows.size();
    if (order.size() != n) return;
    // rows[i] = old rows[order[i]], in place: follow each cycle of the permutation once.
    std::vector<bool> placed(n, false);
    for (size_t start = 0; start < n; ++start) {
        if (placed[start]) continue;
        char* const first = rows[start];
        size_t i = start;
        while (static_cast<size_t>(order[i]) != start) {
            rows[i] = rows[static_cast<size_t>(order[i])];
            placed[i] = true;
            i = static_cast<size_t>(order[i]);
        }
        rows[i] = first;
        placed[i] = true;
    }
}

void RowStore::CopyRows(const std::vector<int>& rows, RowStore& out) const {
    const Impl& d = *m_impl;
    Impl& o = *out.m_impl;
    o.Clear();
    o.columns = d.columns;
    o.store.rows.reserve(rows.size());
    for (int r : rows) {
        const char* block = d.store.rows[static_cast<size_t>(r)];
        o.store.rows.push_back(o.WriteBlock(o.store, static_cast<size_t>(d.columns),
                                            [&](size_t i) { return d.CellOf(block, static_cast<int>(i)); }));
    }
}

void RowStore::InsertRows(std::span<const int> positions, const RowStore& from, size_t first) {
    Impl& d = *m_impl;
    const Impl& f = *from.m_impl;
    auto& all = d.store.rows;
    const auto copy = [&](size_t k) {
        const char* block = f.store.rows[first + k];
        return d.WriteBlock(d.store, static_cast<size_t>(d.columns),
                            [&](size_t c) { return f.CellOf(block, static_cast<int>(c)); });
    };
    if (!positions.empty() && static_cast<size_t>(positions[0]) == all.size()) {
        // Rows at the end: nothing moves.
        for (size_t k = 0; k < positions.size(); ++k) all.push_back(copy(k));
        return;
    }
    const size_t total = all.size() + positions.size();
    std::vector<char*> merged;
    merged.reserve(total);
    size_t next = 0, old = 0;
    for (size_t i = 0; i < total; ++i) {
        if (next < positions.size() && static_cast<size_t>(positions[next]) == i) {
            merged.push_back(copy(next++));
        } else if (old < all.size()) {
            merged.push_back(all[old++]);
        }
    }
    all.swap(merged);
}

void RowStore::ExchangeRows(std::span<const int> rows, RowStore& other) {
    Impl& d = *m_impl;
    Impl& o = *other.m_impl;
    for (size_t k = 0; k < rows.size(); ++k) {
        char*& mine = d.store.rows[static_cast<size_t>(rows[k])];
        char*& theirs = o.store.rows[k];
        const size_t mineSize = d.BlockSize(mine), theirSize = o.BlockSize(theirs);
        d.store.live += theirSize - mineSize;
        o.store.live += mineSize - theirSize;
        std::swap(mine, theirs);
    }
    // Each table now points into the other's chunks: both keep all of them alive.
    const auto share = [](std::vector<std::shared_ptr<char[]>>& to,
                          const std::vector<std::shared_ptr<char[]>>& from) {
        for (const auto& chunk : from)
            if (std::find(to.begin(), to.end(), chunk) == to.end()) to.push_back(chunk);
    };
    share(d.store.chunks, o.store.chunks);
    share(o.store.chunks, d.store.chunks);
}

void RowStore::SwapRows(RowStore& other) {
    std::swap(m_impl->store, other.m_impl->store);
}

std::vector<int> RowStore::SortByColumn(int column, bool ascending) {
    return SortUnits(column, ascending, 1);
}

std::vector<int> RowStore::SortPairsByColumn(int column, bool ascending) {
    return SortUnits(column, ascending, 2);
}

void RowStore::TakeRows(RowStore& other) {
    if (&other == this) return;
    if (other.m_impl->columns != m_impl->columns) other.m_impl->Rebuild(m_impl->columns);
    std::swap(m_impl->store, other.m_impl->store);
    other.m_impl->Clear();
}
