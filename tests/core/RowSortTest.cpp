#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "core/MergeSort.h"
#include "core/RowCompare.h"
#include "core/RowStore.h"
#include "core/TextCollator.h"

namespace {

bool IsPermutation(std::vector<int> v, size_t n) {
    if (v.size() != n) return false;
    std::sort(v.begin(), v.end());
    for (size_t i = 0; i < n; ++i)
        if (v[i] != static_cast<int>(i)) return false;
    return true;
}

// An empty table with the given columns, sorting in byte order.
RowStore Table(std::string_view spec) {
    RowStore store;
    store.DefineColumns(spec);
    store.SetCollationLocale("C");
    return store;
}

RowStore Column(const std::vector<std::string>& cells) {
    RowStore store = Table("Value,50");
    for (const std::string& c : cells) store.AppendRow({std::string_view(c)});
    return store;
}

std::vector<std::string> Cells(const RowStore& store, int column = 0) {
    std::vector<std::string> out;
    for (int r = 0; r < store.GetRowCount(); ++r) out.push_back(store.GetCellText(r, column));
    return out;
}

using Texts = std::vector<std::string>;

std::string Cat(std::string a, const std::string& b, const std::string& c = "") {
    a += b;
    a += c;
    return a;
}

Texts SortedUp(const Texts& cells) {
    RowStore store = Column(cells);
    store.SortByColumn(0, true);
    return Cells(store);
}

TEST(MergeSort, AnyComparisonGivesAPermutation) {
    std::mt19937 rng(42);
    for (size_t n : {0u, 1u, 2u, 15u, 16u, 17u, 33u, 100u, 1000u, 70000u}) {
        std::vector<int> v(n);
        std::iota(v.begin(), v.end(), 0);
        const std::function<bool(int, int)> comparisons[] = {
            [&](int, int) { return rng() % 2 == 0; },               // random, different on every call
            [](int, int) { return true; },                          // everything goes first
            [](int a, int b) { return (a % 3 + 1) % 3 == b % 3; },  // a cycle: rock, paper, scissors
            [](int a, int b) {                                      // random, on two threads
                thread_local std::mt19937 local(7);                 // each thread its own generator
                return (local() ^ static_cast<unsigned>(a * 31 + b)) % 2 == 0;
            }};
        for (int mode = 0; mode < 4; ++mode) {
            std::vector<int> w = v;
            std::shuffle(w.begin(), w.end(), rng);
            MergeSortBy(w, comparisons[mode], mode == 3 ? 2 : 1);
            EXPECT_TRUE(IsPermutation(w, n)) << n << " mode " << mode;
        }
    }
}

TEST(ColumnSort, NumbersDatesAndTextEachInTheirOwnWay) {
    const Texts sortedNumbers = SortedUp({"100", "9", "10", "", "5", "007", "2147483648"});
    EXPECT_EQ(sortedNumbers[0], "");
    EXPECT_EQ(sortedNumbers[1], "5");
    EXPECT_TRUE((sortedNumbers[2] == "007" && sortedNumbers[3] == "9"));
    EXPECT_EQ((Texts{sortedNumbers[4], sortedNumbers[5], sortedNumbers[6]}),
              (Texts{"10", "100", "2147483648"}));

    EXPECT_EQ(SortedUp({"04/05/2001", "05/03/2001", "01/01/1999", "31/12/2000"}),
              (Texts{"01/01/1999", "31/12/2000", "05/03/2001", "04/05/2001"}));

    EXPECT_EQ(SortedUp({"b", "B", "a", "A", "5/3/2001"}), (Texts{"5/3/2001", "A", "B", "a", "b"}));
}

TEST(ColumnSort, DescendingReversesOneKindColumns) {
    std::mt19937 rng(9);
    for (int kind = 0; kind < 3; ++kind) {
        Texts cells;
        for (int i = 0; i < 3000; ++i) {
            const unsigned v = rng();
            if (kind == 0) cells.push_back(std::to_string(v % 100000));
            if (kind == 1) {
                char buf[16];
                std::snprintf(buf, sizeof buf, "%02u/%02u/%04u", v % 31 + 1, v / 31 % 12 + 1, v / 400 % 3000);
                cells.push_back(buf);
            }
            if (kind == 2) cells.push_back(Cat("t", std::to_string(v % 5000)));
        }
        RowStore store = Column(cells);
        store.SortByColumn(0, true);
        Texts up = Cells(store);
        store.SortByColumn(0, false);
        Texts down = Cells(store);
        std::reverse(down.begin(), down.end());
        // Equal cells are the same text here, so whole columns can be compared.
        EXPECT_EQ(up, down) << kind;
        for (size_t i = 1; i < up.size(); ++i) {
            ASSERT_LE(CompareCells(up[i - 1], up[i], true, TextCollator("C")), 0) << kind << " " << i;
        }
    }
}

void ExpectMixedSortMovesWholeRows(unsigned vocabulary) {
    std::mt19937 rng(5);
    RowStore store = Table("A,1;B,1");
    Texts original;
    for (int i = 0; i < 5000; ++i) {
        const unsigned v = rng() % 6;
        std::string cell = v == 0   ? std::to_string(rng() % 100)
                           : v == 1 ? Cat("0", std::to_string(rng() % 9), "/01/2000")
                           : v == 2 ? Cat(std::to_string(rng() % 100), "x")
                           : v == 3 ? ""
                           : v == 4 ? std::string("\xff\0z", 3)
                                    : Cat("word", std::to_string(rng() % vocabulary));
        original.push_back(cell);
        store.AppendRow({cell, std::to_string(i)});
    }
    for (bool ascending : {true, false}) {
        const std::vector<int> order = store.SortByColumn(0, ascending);
        ASSERT_TRUE(IsPermutation(order, original.size()));
        for (int r = 0; r < store.GetRowCount(); ++r) {
            const int from = std::stoi(store.GetCellText(r, 1));
            ASSERT_EQ(store.GetCellText(r, 0), original[static_cast<size_t>(from)]);
        }
        // Reorder the reference the same way for the next round.
        Texts next;
        for (int r = 0; r < store.GetRowCount(); ++r) next.push_back(store.GetCellText(r, 0));
        for (int r = 0; r < store.GetRowCount(); ++r) store.SetCellText(r, 1, std::to_string(r));
        original = next;
    }
}

TEST(ColumnSort, MixedKindsGiveAPermutationThatMovesWholeRows) {
    ExpectMixedSortMovesWholeRows(50);         // few distinct texts
    ExpectMixedSortMovesWholeRows(100000000);  // nearly all distinct
}

// Rows whose cells are equal keep their order in both directions, whatever the kind of the
// column and whether its texts repeat a lot or not; so a sort by one column and then another
// orders by the second and, within it, by the first.
TEST(ColumnSort, EqualCellsKeepTheirOrderInBothDirections) {
    std::mt19937 rng(3);
    const std::function<std::string(unsigned)> kinds[] = {
        [](unsigned v) { return std::to_string(v % 7); },
        [](unsigned v) { return Cat("0", std::to_string(v % 7 + 1), "/01/2000"); },
        [](unsigned v) { return Cat("t", std::to_string(v % 7)); },
        [](unsigned v) { return v % 3 == 0 ? std::to_string(v % 5) : Cat("t", std::to_string(v % 5)); },
    };
    for (const int rows : {40, 3000}) {
        for (size_t kind = 0; kind < std::size(kinds); ++kind) {
            for (const bool ascending : {true, false}) {
                RowStore store = Table("Key,1;Seq,1");
                for (int i = 0; i < rows; ++i) store.AppendRow({kinds[kind](rng()), std::to_string(i)});
                store.SortByColumn(0, ascending);
                for (int r = 1; r < rows; ++r) {
                    if (store.Cell(r - 1, 0) != store.Cell(r, 0)) continue;
                    ASSERT_LT(std::stoi(store.GetCellText(r - 1, 1)), std::stoi(store.GetCellText(r, 1)))
                        << "kind " << kind << (ascending ? " up" : " down") << " row " << r;
                }
            }
        }
    }
    RowStore store = Table(kEntryColumnSpec);
    for (const auto& [group, text] : std::vector<std::pair<std::string, std::string>>{
             {"M", "b"}, {"E", "c"}, {"M", "a"}, {"E", "a"}, {"M", "c"}, {"E", "b"}}) {
        store.AppendRow({"1", group, "1", text});
    }
    for (const bool ascending : {true, false}) {
        store.SortByColumn(ColText, true);
        store.SortByColumn(ColGroupName, ascending);
        Texts rows;
        for (int r = 0; r < store.GetRowCount(); ++r)
            rows.push_back(Cat(store.GetCellText(r, 1), store.GetCellText(r, 3)));
        EXPECT_EQ(rows, ascending ? (Texts{"Ea", "Eb", "Ec", "Ma", "Mb", "Mc"})
                                  : (Texts{"Ma", "Mb", "Mc", "Ea", "Eb", "Ec"}));
    }
}

// A column of numbers, dates and texts together has no consistent order. The one it gets is
// pinned here, and it is the order the merge sort gives with the cell comparison itself (the
// sort works from precomputed keys and must not answer otherwise).
TEST(ColumnSort, MixedKindColumnOrderIsPinned) {
    const TextCollator bytes("C");
    auto byComparison = [&bytes](const Texts& cells, bool ascending) {
        std::vector<size_t> order(cells.size());
        std::iota(order.begin(), order.end(), 0);
        MergeSortBy(order, [&](size_t a, size_t b) {
            return CompareCells(cells[a], cells[b], ascending, bytes) < 0;
        });
        Texts sorted;
        for (size_t i : order) sorted.push_back(cells[i]);
        return sorted;
    };
    const Texts cells = {"10", "b", "31/12/1999", "9", "", "a", "01/02/2000", "5x", "9"};
    EXPECT_EQ(SortedUp(cells), (Texts{"10", "b", "", "9", "31/12/1999", "a", "01/02/2000", "5x", "9"}));
    RowStore store = Column(cells);
    store.SortByColumn(0, false);
    EXPECT_EQ(Cells(store), (Texts{"01/02/2000", "31/12/1999", "b", "a", "10", "9", "9", "5x", ""}));

    std::mt19937 rng(11);
    Texts mixed;
    for (int i = 0; i < 2000; ++i) {
        const unsigned v = rng();
        mixed.push_back(v % 3 == 0 ? std::to_string(v % 50)
                        : v % 3 == 1
                            ? Cat("0", std::to_string(v % 9 + 1), "/0" + std::to_string(v % 5 + 1) + "/2000")
                            : Cat(v % 2 ? "t" : "T", std::to_string(v % 40)));
    }
    for (const bool ascending : {true, false}) {
        RowStore column = Column(mixed);
        column.SortByColumn(0, ascending);
        EXPECT_EQ(Cells(column), byComparison(mixed, ascending)) << ascending;
    }
}

TEST(ColumnSort, ResultMapsNewRowsToOldOnesAndNewRowsGoLast) {
    RowStore store = Table(kEntryColumnSpec);
    store.AppendRow({"3", "Menu", "1", "c"});
    store.AppendRow({"1", "Menu", "2", "a"});
    store.AppendRow({"2", "Error", "1", "b"});
    EXPECT_TRUE(store.NextSortAscending(ColGroupId));  // never sorted: the first click goes up
    EXPECT_EQ(store.SortByColumn(ColGlobalId, true), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(Cells(store, ColText), (Texts{"a", "b", "c"}));
    EXPECT_EQ(store.AppendRow({"0", "Menu", "3", "z"}), 3);  // not sorted in
    EXPECT_EQ(store.GetCellText(3, ColGlobalId), "0");
    // Header clicks: same column flips, another column starts ascending.
    EXPECT_FALSE(store.NextSortAscending(ColGlobalId));
    EXPECT_TRUE(store.NextSortAscending(ColText));
    // Editing a cell and sorting again uses the new text.
    EXPECT_TRUE(store.SetCellText(0, ColText, "zz"));
    store.SortByColumn(ColText, true);
    EXPECT_EQ(Cells(store, ColText), (Texts{"b", "c", "z", "zz"}));
    EXPECT_EQ(store.m_nSortColumn, ColText);
    // A column that does not exist changes nothing.
    EXPECT_EQ(store.SortByColumn(9, false), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(store.m_nSortColumn, ColText);
}

TEST(ColumnSort, PairsStayTogether) {
    RowStore store = Table("Id,1;Text,1");
    for (const char* id : {"30", "10", "20"}) {
        store.AppendRow({id, "original"});
        store.AppendRow({"999", "twin"});  // the twin's own cell must not matter
    }
    store.AppendRow({"1", "odd one out"});
    EXPECT_EQ(store.SortPairsByColumn(0, true), (std::vector<int>{2, 3, 4, 5, 0, 1, 6}));
    EXPECT_EQ(Cells(store), (Texts{"10", "999", "20", "999", "30", "999", "1"}));
    EXPECT_EQ(store.SortPairsByColumn(0, false), (std::vector<int>{4, 5, 2, 3, 0, 1, 6}));
    EXPECT_EQ(Cells(store, 1).back(), "odd one out");
}

// The key-based text sort against the plain comparison, for a large column (threads, key
// prefixes that tie, duplicates, zero bytes and invalid UTF-8).
void ExpectTextSortAgreesWithCompare(const char* locale, bool fewDistinct) {
    TextCollator collator(locale);
    if (!collator.LocaleFound()) GTEST_SKIP() << locale << " is not installed";
    std::mt19937 rng(77);
    const std::string longStart(90, 'q');
    static const char* const kWords[] = {"file", "File", "caf\xc3\xa9", "cafe", "\xff",
                                         "a-b",  "ab",   "Z",           " "};
    Texts cells;
    for (int i = 0; i < 30000; ++i) {
        std::string s = rng() % 3 == 0 ? longStart : "";
        for (unsigned w = fewDistinct ? 1 : rng() % 5 + 1; w > 0; --w) s += kWords[rng() % 9];
        if (rng() % 50 == 0) s += std::string("\0x", 2);
        cells.push_back(s);
    }
    std::vector<std::string_view> views(cells.begin(), cells.end());
    for (int threads : {1, 2}) {
        const std::vector<uint32_t> order = SortOrder(views, true, collator, threads);
        ASSERT_EQ(order.size(), cells.size());
        std::vector<int> asInt(order.begin(), order.end());
        ASSERT_TRUE(IsPermutation(asInt, cells.size()));
        for (size_t k = 1; k < order.size(); ++k) {
            ASSERT_LE(collator.Compare(cells[order[k - 1]], cells[order[k]]), 0) << locale << " at " << k;
        }
    }
}

TEST(ColumnSort, LargeTextColumnInByteOrder) {
    ExpectTextSortAgreesWithCompare("C", false);
    ExpectTextSortAgreesWithCompare("C", true);
}
TEST(ColumnSort, LargeTextColumnInEnglishOrder) {
    ExpectTextSortAgreesWithCompare("en_US.UTF-8", false);
    ExpectTextSortAgreesWithCompare("en_US.UTF-8", true);
}

}  // namespace
