#include "core/RowCompare.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>

#include "core/IntegerText.h"
#include "core/MergeSort.h"
#include "core/TextCollator.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Characters pos .. pos+count-1 of text, cut short at its end (empty past the end).
std::string_view Part(std::string_view text, size_t pos, size_t count) {
    return pos >= text.size() ? std::string_view{} : text.substr(pos, count);
}

int Sign(int32_t x, int32_t y) {
    return x < y ? -1 : (x > y ? 1 : 0);
}

}  // namespace

bool IsAllDigits(std::string_view text) {
    for (char c : text) {
        if (!IsDigit(c)) return false;
    }
    return true;
}

bool IsSlashDate(std::string_view text) {
    if (text.size() != 10) return false;
    for (size_t i = 0; i < 10; ++i) {
        const bool ok = (i == 2 || i == 5) ? text[i] == '/' : IsDigit(text[i]);
        if (!ok) return false;
    }
    return true;
}

int CompareAsNumbers(std::string_view x, std::string_view y) {
    return Sign(IntegerText::LeadingInt(x), IntegerText::LeadingInt(y));
}

int CompareAsDates(std::string_view x, std::string_view y) {
    if (const int c = Sign(IntegerText::LeadingInt(Part(x, 6, 4)), IntegerText::LeadingInt(Part(y, 6, 4))))
        return c;
    if (const int c = Sign(IntegerText::LeadingInt(Part(x, 3, 2)), IntegerText::LeadingInt(Part(y, 3, 2))))
        return c;
    return Sign(IntegerText::LeadingInt(Part(x, 0, 2)), IntegerText::LeadingInt(Part(y, 0, 2)));
}

// ---------------------------------------------------------------------------------------------
// Kinds and the comparison of two cells

CellKind KindOf(std::string_view text) {
    if (IsAllDigits(text)) return CellKind::Number;
    if (IsSlashDate(text)) return CellKind::Date;
    return CellKind::Text;
}

int CompareCells(std::string_view first, std::string_view second, bool ascending,
                 const TextCollator& collator) {
    const std::string_view x = ascending ? first : second;
    const std::string_view y = ascending ? second : first;
    switch (KindOf(first)) {
        case CellKind::Number:
            return CompareAsNumbers(x, y);
        case CellKind::Date:
            return CompareAsDates(x, y);
        case CellKind::Text:
            break;
    }
    return collator.Compare(x, y);
}

// ---------------------------------------------------------------------------------------------
// Sorting a column from precomputed keys
//
// Every cell gets its number value and its packed date up front, and, when some cell is of the
// text kind, its place in the text order. A comparison is then a pure function of two indices:
// the first cell's kind picks which of the three values is compared. Per kind these orders are
// consistent, so a column of one kind sorts as a plain integer sort; a column of mixed kinds goes
// through the merge sort, which copes with the resulting contradictions.
//
// The text order (collation key, then raw bytes) is found on the distinct texts of the column
// (repeats are found by hashing; in byte order only when a sample shows many of them), in three
// steps: the first kPrefix bytes of every text's key are computed (on two threads for large
// columns) and the texts sorted by them; then each run of texts with equal prefixes is sorted by
// raw bytes, and, where keys were cut short, by full keys. A counting sort by place in that order
// then gives the order of all cells.

namespace {

constexpr size_t kPrefix = 64;
constexpr size_t kThreadedMinimum = 20000;

// Year, month and day by the date rule, packed so that integer order is date order. Each part
// holds at most four (year) or two characters, so it lies in -999..9999 or -9..99.
int32_t PackedDate(std::string_view text) {
    const int32_t year = IntegerText::LeadingInt(Part(text, 6, 4)) + 1000;
    const int32_t month = IntegerText::LeadingInt(Part(text, 3, 2)) + 10;
    const int32_t day = IntegerText::LeadingInt(Part(text, 0, 2)) + 10;
    return (year << 14) | (month << 7) | day;
}

uint64_t BigEndian8(const unsigned char* p) {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | p[i];
    return v;
}

// Runs f(0, split) and f(split, n) on two threads, or f(0, n) on this one when `parallel` is false.
template <class F>
void SplitWork(size_t n, size_t half, bool parallel, F f) {
    if (!parallel) {
        f(size_t{0}, n);
        return;
    }
    std::exception_ptr failure;
    std::thread worker;
    try {
        worker = std::thread([&] {
            try {
                f(size_t{0}, half);
            } catch (...) {
                failure = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        f(size_t{0}, half);
    }
    try {
        f(half, n);
    } catch (...) {
        if (worker.joinable()) worker.join();
        throw;
    }
    if (worker.joinable()) worker.join();
    if (failure) std::rethrow_exception(failure);
}

// A cell with the first 32 bytes of its sort key inline (big-endian, zero-padded), so that most
// comparisons never leave the record.
struct Keyed {
    uint64_t k[4];
    uint32_t index;
    uint32_t length;  // of the text (byte order) or key (collation), capped at 33
};

int KeyedCompare(const Keyed& a, const Keyed& b) {
    for (int i = 0; i < 4; ++i) {
        if (a.k[i] != b.k[i]) return a.k[i] < b.k[i] ? -1 : 1;
    }
    return 0;
}

Keyed MakeKeyed(const unsigned char* p, size_t i, size_t length) {
    return {{BigEndian8(p), BigEndian8(p + 8), BigEndian8(p + 16), BigEndian8(p + 24)},
            static_cast<uint32_t>(i),
            static_cast<uint32_t>(std::min<size_t>(length, 33))};
}

// Sorts one run of cells whose key prefixes are equal: by raw bytes, and when the keys were cut
// short (`cut`), by full keys first, computed once per distinct text of the run.
void SortRun(std::span<uint32_t> run, bool cut, std::span<const std::string_view> cells,
             const TextCollator& collator, std::string& keys, std::vector<char>& buffer,
             std::string& scratch) {
    std::vector<uint32_t> sorted(run.begin(), run.end());
    MergeSortBy(sorted, [&](uint32_t a, uint32_t b) { return cells[a] < cells[b]; });
    struct Group {
        size_t first, count, keyAt, keyLen;
    };
    std::vector<Group> groups;
    for (size_t i = 0; i < sorted.size();) {
        size_t j = i + 1;
        while (j < sorted.size() && cells[sorted[j]] == cells[sorted[i]]) ++j;
        groups.push_back({i, j - i, 0, 0});
        i = j;
    }
    if (cut && groups.size() > 1) {
        keys.clear();
        for (Group& g : groups) {
            g.keyAt = keys.size();
            keys.append(collator.LocaleKey(cells[sorted[g.first]], buffer, scratch));
            g.keyLen = keys.size() - g.keyAt;
        }
        // Groups are in raw order already; the stable sort keeps that order among equal keys.
        const std::string_view all(keys);
        MergeSortBy(groups, [&](const Group& a, const Group& b) {
            return all.substr(a.keyAt, a.keyLen) < all.substr(b.keyAt, b.keyLen);
        });
    }
    size_t out = 0;
    for (const Group& g : groups) {
        for (size_t k = 0; k < g.count; ++k) run[out++] = sorted[g.first + k];
    }
}

// The cells in text order; equal texts end up next to each other.
std::vector<uint32_t> TextOrder(std::span<const std::string_view> cells, const TextCollator& collator,
                                int threads) {
    const size_t n = cells.size();
    std::unique_ptr<Keyed[]> recStore = std::make_unique_for_overwrite<Keyed[]>(n);
    const std::span<Keyed> recs(recStore.get(), n);
    std::vector<uint32_t> order(n);
    if (collator.IsByteOrder()) {
        // The raw bytes are the key. Zero padding keeps the order of the 32-byte prefixes that of
        // the texts, and equal prefixes are decided by the whole texts.
        for (size_t i = 0; i < n; ++i) {
            unsigned char b[32] = {};
            std::memcpy(b, cells[i].data(), std::min<size_t>(32, cells[i].size()));
            recs[i] = MakeKeyed(b, i, cells[i].size());
        }
        MergeSortBy(
            recs,
            [&](const Keyed& a, const Keyed& b) {
                if (const int c = KeyedCompare(a, b)) return c < 0;
                // Equal prefixes of texts no longer than the prefix differ at most in trailing
                // zero bytes: the shorter text goes first.
                if (a.length <= 32 || b.length <= 32) return a.length < b.length;
                return cells[a.index] < cells[b.index];
            },
            threads);
        for (size_t i = 0; i < n; ++i) order[i] = recs[i].index;
        return order;
    }

    // Step 1: the first kPrefix bytes of every key (zero-padded: keys never hold a zero byte).
    std::unique_ptr<unsigned char[]> prefix = std::make_unique_for_overwrite<unsigned char[]>(n * kPrefix);
    std::vector<uint8_t> cut(n);
    SplitWork(n, n / 2, threads >= 2 && n >= kThreadedMinimum, [&](size_t begin, size_t end) {
        std::vector<char> buffer;
        std::string scratch;
        for (size_t i = begin; i < end; ++i) {
            const std::string_view key = collator.LocaleKey(cells[i], buffer, scratch);
            unsigned char* p = &prefix[i * kPrefix];
            const size_t used = std::min(kPrefix, key.size());
            std::memcpy(p, key.data(), used);
            std::memset(p + used, 0, kPrefix - used);
            cut[i] = key.size() > kPrefix;
            recs[i] = MakeKeyed(p, i, key.size());
        }
    });
    MergeSortBy(
        recs,
        [&](const Keyed& a, const Keyed& b) {
            if (const int c = KeyedCompare(a, b)) return c < 0;
            return std::memcmp(&prefix[a.index * kPrefix + 32], &prefix[b.index * kPrefix + 32],
                               kPrefix - 32) < 0;
        },
        threads);
    for (size_t i = 0; i < n; ++i) order[i] = recs[i].index;
    recStore.reset();

    // Steps 2 and 3: runs of equal prefixes, shared out between the threads.
    struct Run {
        size_t start, stop;
        bool cut;
    };
    std::vector<Run> runs;
    for (size_t start = 0; start < n;) {
        size_t stop = start + 1;
        bool anyCut = cut[order[start]];
        while (stop < n &&
               std::memcmp(&prefix[order[start] * kPrefix], &prefix[order[stop] * kPrefix], kPrefix) == 0) {
            anyCut = anyCut || cut[order[stop]];
            ++stop;
        }
        if (stop - start > 1) runs.push_back({start, stop, anyCut});
        start = stop;
    }
    prefix.reset();
    // Split the runs where half of their cells have gone by.
    size_t inRuns = 0;
    for (const Run& r : runs) inRuns += r.stop - r.start;
    size_t half = 0;
    for (size_t seen = 0; half < runs.size() && 2 * seen < inRuns; ++half)
        seen += runs[half].stop - runs[half].start;
    SplitWork(runs.size(), half, threads >= 2 && inRuns >= kThreadedMinimum, [&](size_t begin, size_t end) {
        std::string keys, scratch;
        std::vector<char> buffer;
        for (size_t r = begin; r < end; ++r) {
            std::span<uint32_t> run(order.data() + runs[r].start, runs[r].stop - runs[r].start);
            SortRun(run, runs[r].cut, cells, collator, keys, buffer, scratch);
        }
    });
    return order;
}

// Whether a sample of the cells shows at least two of every three to be repeats.
bool ManyRepeats(std::span<const std::string_view> cells) {
    const size_t sample = std::min<size_t>(cells.size(), 3000);
    if (sample == 0) return false;
    std::vector<size_t> hashes(sample);
    const std::hash<std::string_view> hash;
    for (size_t i = 0; i < sample; ++i) hashes[i] = hash(cells[i * cells.size() / sample]);
    std::sort(hashes.begin(), hashes.end());
    const size_t distinct = static_cast<size_t>(std::unique(hashes.begin(), hashes.end()) - hashes.begin());
    return 3 * distinct <= sample;
}

// All cells in text order, equal texts next to each other, and each cell's place in that order
// (equal texts share a place). For collation, and for columns with many repeats (group names),
// equal texts are found first (by hash), so that each distinct text is keyed and sorted once.
struct TextSorted {
    std::vector<uint32_t> order;
    std::vector<int32_t> rank;
};

TextSorted SortTexts(std::span<const std::string_view> cells, const TextCollator& collator, int threads,
                     bool wantRanks) {
    const size_t n = cells.size();
    TextSorted result;
    if (collator.IsByteOrder() && !ManyRepeats(cells)) {
        // Comparing bytes is cheap: sort the cells themselves.
        result.order = TextOrder(cells, collator, threads);
        if (wantRanks) {
            result.rank.resize(n);
            int32_t rank = 0;
            for (size_t k = 0; k < n; ++k) {
                if (k > 0 && cells[result.order[k]] != cells[result.order[k - 1]]) ++rank;
                result.rank[result.order[k]] = rank;
            }
        }
        return result;
    }
    std::vector<uint32_t> idOf(n);
    std::vector<std::string_view> distinct;
    {
        std::unique_ptr<size_t[]> hashes = std::make_unique_for_overwrite<size_t[]>(n);
        const bool parallel = threads >= 2 && n >= kThreadedMinimum;
        SplitWork(n, n / 2, parallel, [&](size_t begin, size_t end) {
            const std::hash<std::string_view> hash;
            for (size_t i = begin; i < end; ++i) hashes[i] = hash(cells[i]);
        });
        // One bit of the hash splits the cells into two parts that share no text, each with its own
        // table (and thread). Open addressing; each slot keeps 32 bits of the hash beside the id, so
        // that most probes that do not match are settled without looking at the texts.
        const int parts = parallel ? 2 : 1;
        auto partOf = [&](size_t i) { return parts == 1 ? 0 : static_cast<int>((hashes[i] >> 31) & 1); };
        size_t inPart[2] = {0, 0};
        for (size_t i = 0; i < n; ++i) ++inPart[partOf(i)];
        std::vector<std::string_view> found[2];
        SplitWork(2, 1, parallel, [&](size_t begin, size_t end) {
            for (size_t part = begin; part < end; ++part) {
                if (static_cast<int>(part) >= parts) break;
                std::vector<std::string_view>& local = found[part];
                size_t slots = 16;
                while (slots < 2 * inPart[part]) slots *= 2;
                std::vector<uint64_t> table(slots, 0);
                for (size_t i = 0; i < n; ++i) {
                    if (partOf(i) != static_cast<int>(part)) continue;
                    const size_t h = hashes[i];
                    const uint64_t tag = (h >> 32) | 1;  // never 0: 0 marks an empty slot
                    for (size_t slot = h & (slots - 1);; slot = (slot + 1) & (slots - 1)) {
                        const uint64_t entry = table[slot];
                        if (entry == 0) {
                            table[slot] = (tag << 32) | local.size();
                            idOf[i] = static_cast<uint32_t>(local.size());
                            local.push_back(cells[i]);
                            break;
                        }
                        if ((entry >> 32) == tag && local[static_cast<uint32_t>(entry)] == cells[i]) {
                            idOf[i] = static_cast<uint32_t>(entry);
                            break;
                        }
                    }
                }
            }
        });
        distinct = std::move(found[0]);
        if (parts == 2) {
            const uint32_t offset = static_cast<uint32_t>(distinct.size());
            distinct.insert(distinct.end(), found[1].begin(), found[1].end());
            for (size_t i = 0; i < n; ++i) {
                if (partOf(i) == 1) idOf[i] += offset;
            }
        }
    }
    const std::vector<uint32_t> distinctOrder = TextOrder(distinct, collator, threads);
    std::vector<int32_t> rankOf(distinct.size());
    for (size_t k = 0; k < distinctOrder.size(); ++k) rankOf[distinctOrder[k]] = static_cast<int32_t>(k);
    // Counting sort of the cells by their rank.
    std::vector<uint32_t> start(distinct.size() + 1, 0);
    for (size_t i = 0; i < n; ++i) ++start[static_cast<size_t>(rankOf[idOf[i]]) + 1];
    for (size_t k = 1; k < start.size(); ++k) start[k] += start[k - 1];
    result.order.resize(n);
    for (size_t i = 0; i < n; ++i)
        result.order[start[static_cast<size_t>(rankOf[idOf[i]])]++] = static_cast<uint32_t>(i);
    if (wantRanks) {
        result.rank.resize(n);
        for (size_t i = 0; i < n; ++i) result.rank[i] = rankOf[idOf[i]];
    }
    return result;
}

// Indices of `values` in ascending (or descending) order of value; equal values keep their index
// order. A stable radix sort on the value, a byte at a time, skipping bytes all values share.
std::vector<uint32_t> SortByIntegers(const std::vector<int32_t>& values, bool ascending, int) {
    const size_t n = values.size();
    std::vector<uint32_t> key(n), order(n), nextOrder(n);
    for (size_t i = 0; i < n; ++i) {
        const uint32_t biased = static_cast<uint32_t>(values[i]) ^ 0x80000000u;
        key[i] = ascending ? biased : ~biased;
        order[i] = static_cast<uint32_t>(i);
    }
    for (int shift = 0; shift < 32; shift += 8) {
        size_t count[257] = {};
        for (size_t i = 0; i < n; ++i) ++count[((key[i] >> shift) & 0xFF) + 1];
        if (n == 0 || count[((key[0] >> shift) & 0xFF) + 1] == n) continue;
        for (int d = 1; d < 257; ++d) count[d] += count[d - 1];
        for (size_t k = 0; k < n; ++k) {
            const uint32_t i = order[k];
            nextOrder[count[(key[i] >> shift) & 0xFF]++] = i;
        }
        order.swap(nextOrder);
    }
    return order;
}

}  // namespace

std::vector<uint32_t> SortOrder(std::span<const std::string_view> cells, bool ascending,
                                const TextCollator& collator, int threads) {
    const size_t n = cells.size();
    if (n > UINT32_MAX) throw std::length_error("too many rows to sort");
    std::vector<CellKind> kinds(n);
    size_t numbers = 0, dates = 0;
    for (size_t i = 0; i < n; ++i) {
        kinds[i] = KindOf(cells[i]);
        numbers += kinds[i] == CellKind::Number;
        dates += kinds[i] == CellKind::Date;
    }
    std::vector<int32_t> numberOf, dateOf;
    if (numbers) {
        numberOf.resize(n);
        for (size_t i = 0; i < n; ++i) numberOf[i] = IntegerText::LeadingInt(cells[i]);
    }
    if (dates) {
        dateOf.resize(n);
        for (size_t i = 0; i < n; ++i) dateOf[i] = PackedDate(cells[i]);
    }
    if (numbers == n) return SortByIntegers(numberOf, ascending, threads);
    if (dates == n) return SortByIntegers(dateOf, ascending, threads);

    std::vector<int32_t> textRank;
    if (numbers + dates < n) {
        TextSorted text = SortTexts(cells, collator, threads, numbers + dates > 0);
        if (!numbers && !dates) {
            if (!ascending) {
                // Reversed, but rows of equal texts keep their order, as they do in every column.
                std::vector<uint32_t>& order = text.order;
                std::reverse(order.begin(), order.end());
                for (size_t run = 0; run < n;) {
                    size_t end = run + 1;
                    while (end < n && cells[order[end]] == cells[order[run]]) ++end;
                    std::reverse(order.begin() + static_cast<ptrdiff_t>(run),
                                 order.begin() + static_cast<ptrdiff_t>(end));
                    run = end;
                }
            }
            return std::move(text.order);
        }
        textRank = std::move(text.rank);
    }
    auto compare = [&](uint32_t a, uint32_t b) {
        switch (kinds[a]) {
            case CellKind::Number:
                return numberOf[a] < numberOf[b] ? -1 : (numberOf[a] > numberOf[b] ? 1 : 0);
            case CellKind::Date:
                return dateOf[a] < dateOf[b] ? -1 : (dateOf[a] > dateOf[b] ? 1 : 0);
            case CellKind::Text:
                break;
        }
        return textRank[a] < textRank[b] ? -1 : (textRank[a] > textRank[b] ? 1 : 0);
    };
    // Descending compares (b, a) by the kind of a; every per-kind comparison is antisymmetric.
    std::vector<uint32_t> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = static_cast<uint32_t>(i);
    MergeSortBy(
        order, [&](uint32_t a, uint32_t b) { return ascending ? compare(a, b) < 0 : compare(a, b) > 0; },
        threads);
    return order;
}
