#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>
#include <vector>

#include "listview/RowStore.h"

namespace {

RowStore EntryTable() {
    RowStore store;
    EXPECT_TRUE(store.DefineColumns(kEntryColumnSpec));
    return store;
}

std::vector<std::string> RowTexts(const RowStore& store, int row) {
    std::vector<std::string> texts;
    for (int c = 0; c < store.ColumnCount(); ++c) texts.push_back(store.GetCellText(row, c));
    return texts;
}

TEST(RowStoreColumns, EntryTableSpec) {
    RowStore store = EntryTable();
    ASSERT_EQ(store.ColumnCount(), 4);
    const auto& cols = store.Columns();
    EXPECT_EQ(cols[0].heading, "Global ID");
    EXPECT_EQ(cols[0].width, 40);
    EXPECT_EQ(cols[1].heading, "Group Name");
    EXPECT_EQ(cols[1].width, 90);
    EXPECT_EQ(cols[2].heading, "Group ID");
    EXPECT_EQ(cols[2].width, 40);
    EXPECT_EQ(cols[3].heading, "Text");
    EXPECT_EQ(cols[3].width, 450);
}

TEST(RowStoreColumns, SpecParsingRules) {
    struct Case {
        std::string spec;
        std::vector<std::pair<std::string, int>> columns;
    };
    const std::vector<Case> cases = {
        {"A,10;B", {{"A", 10}}},
        {"A,10; B,20", {{"A", 10}, {" B", 20}}},
        {"A,x", {{"A", 0}}},
        {"", {}},
        {"no comma at all", {}},
        {"A;B,5", {{"A;B", 5}}},  // a ';' before the ',' belongs to the heading
        {"A,-7;B,+3", {{"A", -7}, {"B", 3}}},
        {"A,12px;B,\t 9", {{"A", 12}, {"B", 9}}},
        {",5;", {{"", 5}}},  // empty heading; nothing after the last ';'
        {"A,5;;B,6", {{"A", 5}, {";B", 6}}},
        {"A,99999999999", {{"A", std::numeric_limits<int32_t>::max()}}},
    };
    for (const Case& c : cases) {
        RowStore store;
        EXPECT_TRUE(store.DefineColumns(c.spec)) << c.spec;
        ASSERT_EQ(store.ColumnCount(), static_cast<int>(c.columns.size())) << c.spec;
        for (size_t i = 0; i < c.columns.size(); ++i) {
            EXPECT_EQ(store.Columns()[i].heading, c.columns[i].first) << c.spec;
            EXPECT_EQ(store.Columns()[i].width, c.columns[i].second) << c.spec;
        }
    }
}

TEST(RowStoreColumns, LaterColumnsComeAfterEarlierOnesAndPadExistingRows) {
    RowStore store;
    store.DefineColumns("A,1;B,2");
    store.AppendRow({"a0", "b0"});
    store.DefineColumns("C,3");
    ASSERT_EQ(store.ColumnCount(), 3);
    EXPECT_EQ(store.Columns()[2].heading, "C");
    EXPECT_EQ(RowTexts(store, 0), (std::vector<std::string>{"a0", "b0", ""}));
    EXPECT_TRUE(store.SetCellText(0, 2, "c0"));
    EXPECT_EQ(RowTexts(store, 0), (std::vector<std::string>{"a0", "b0", "c0"}));
}

TEST(RowStoreCells, BytesRoundTripExactly) {
    RowStore store = EntryTable();
    const std::string nul("a\0b\0", 4);
    const std::string invalid = "\xff\xfe\x80 \xc3(";
    const std::string longText(100000, 'x');
    EXPECT_EQ(store.AppendRow({"1", "Menu", "1", "plain"}), 0);
    EXPECT_EQ(store.AppendRow({"", nul, invalid, longText}), 1);
    EXPECT_EQ(store.AppendRow({"", "", "", ""}), 2);
    ASSERT_EQ(store.GetRowCount(), 3);
    EXPECT_EQ(RowTexts(store, 0), (std::vector<std::string>{"1", "Menu", "1", "plain"}));
    EXPECT_EQ(RowTexts(store, 1), (std::vector<std::string>{"", nul, invalid, longText}));
    EXPECT_EQ(RowTexts(store, 2), (std::vector<std::string>{"", "", "", ""}));
    EXPECT_EQ(store.Cell(1, 1).size(), 4u);
}

TEST(RowStoreCells, OutOfRangeAccessIsHarmless) {
    RowStore store = EntryTable();
    store.AppendRow({"1", "g", "1", "t"});
    for (auto [r, c] : std::vector<std::pair<int, int>>{{-1, 0}, {1, 0}, {0, -1}, {0, 4}}) {
        EXPECT_EQ(store.GetCellText(r, c), "");
        EXPECT_TRUE(store.Cell(r, c).empty());
        EXPECT_FALSE(store.SetCellText(r, c, "changed"));
    }
    EXPECT_EQ(RowTexts(store, 0), (std::vector<std::string>{"1", "g", "1", "t"}));
    EXPECT_FALSE(store.DeleteRow(1));
    EXPECT_FALSE(store.DeleteRow(-1));
    EXPECT_EQ(store.GetRowCount(), 1);
}

TEST(RowStoreCells, SetCellTextChangesOnlyThatCellAndMayCopyFromTheTable) {
    RowStore store = EntryTable();
    store.AppendRow({"1", "Menu", "1", "Open"});
    store.AppendRow({"2", "Menu", "2", "Close"});
    EXPECT_TRUE(store.SetCellText(0, 3, "Open a file"));
    EXPECT_EQ(RowTexts(store, 0), (std::vector<std::string>{"1", "Menu", "1", "Open a file"}));
    EXPECT_EQ(RowTexts(store, 1), (std::vector<std::string>{"2", "Menu", "2", "Close"}));
    // The new text may be a view into the table itself.
    EXPECT_TRUE(store.SetCellText(1, 3, store.Cell(0, 3)));
    EXPECT_TRUE(store.SetCellText(0, 3, store.Cell(0, 3).substr(5)));
    EXPECT_EQ(store.GetCellText(1, 3), "Open a file");
    EXPECT_EQ(store.GetCellText(0, 3), "a file");
    EXPECT_TRUE(store.SetCellText(0, 0, ""));
    EXPECT_EQ(RowTexts(store, 0), (std::vector<std::string>{"", "Menu", "1", "a file"}));
}

TEST(RowStoreCells, ManyEditsKeepContentsAndBoundMemory) {
    RowStore store = EntryTable();
    std::mt19937 rng(7);
    std::vector<std::vector<std::string>> model;
    for (int i = 0; i < 2000; ++i) {
        std::vector<std::string> row = {std::to_string(i), std::to_string(i % 13).insert(0, 1, 'G'), "1",
                                        std::string(static_cast<size_t>(rng() % 200), 'a' + i % 26)};
        store.AppendRow({row[0], row[1], row[2], row[3]});
        model.push_back(row);
    }
    // Enough rewrites to pass the compaction threshold several times.
    for (int k = 0; k < 60000; ++k) {
        const int r = static_cast<int>(rng() % model.size());
        const int c = static_cast<int>(rng() % 4);
        std::string text(static_cast<size_t>(rng() % 300), static_cast<char>('A' + k % 26));
        ASSERT_TRUE(store.SetCellText(r, c, text));
        model[static_cast<size_t>(r)][static_cast<size_t>(c)] = text;
    }
    for (size_t r = 0; r < model.size(); ++r) ASSERT_EQ(RowTexts(store, static_cast<int>(r)), model[r]);
    size_t bytes = 0;
    for (const auto& row : model)
        for (const auto& t : row) bytes += t.size();
    // Live data is about 1 MB; the rewrites wrote about 20 MB.
    EXPECT_LT(store.MemoryUsage(), 4 * bytes + (size_t{4} << 20));
}

TEST(RowStoreDelete, SingleSeveralAndAll) {
    RowStore store = EntryTable();
    EXPECT_TRUE(store.DeleteAllRows());  // empty table: fine
    for (int i = 0; i < 10; ++i)
        store.AppendRow({std::to_string(i), "g", "1", std::to_string(i).insert(0, 1, 't')});
    EXPECT_TRUE(store.DeleteRow(0));
    EXPECT_EQ(store.GetCellText(0, 0), "1");  // rows below move up
    // Unordered, duplicated and out-of-range indices: each existing row goes once.
    store.DeleteRows({8, 2, 2, -1, 99, 0, 8});
    ASSERT_EQ(store.GetRowCount(), 6);
    std::string ids;
    for (int r = 0; r < store.GetRowCount(); ++r) ids += store.GetCellText(r, 0);
    EXPECT_EQ(ids, "245678");
    store.DeleteRows({});
    EXPECT_EQ(store.GetRowCount(), 6);
    EXPECT_TRUE(store.DeleteAllRows());
    EXPECT_EQ(store.GetRowCount(), 0);
    EXPECT_EQ(store.AppendRow({"x", "y", "z", "w"}), 0);
    EXPECT_EQ(RowTexts(store, 0), (std::vector<std::string>{"x", "y", "z", "w"}));
}

TEST(RowStoreDelete, OnlyRowLeavesEmptyTableAndMemoryIsReleased) {
    RowStore store = EntryTable();
    const size_t empty = store.MemoryUsage();
    store.AppendRow({"1", "g", "1", "t"});
    EXPECT_TRUE(store.DeleteRow(0));
    EXPECT_EQ(store.GetRowCount(), 0);
    for (int i = 0; i < 100000; ++i) store.AppendRow({"1", "g", "1", "some text of a row"});
    EXPECT_GT(store.MemoryUsage(), size_t{3} << 20);
    store.DeleteAllRows();
    EXPECT_LE(store.MemoryUsage(), empty + 1024);
}

TEST(RowStoreMemory, HundredThousandRowsStayCompact) {
    RowStore store = EntryTable();
    std::mt19937 rng(3);
    size_t textBytes = 0;
    for (int i = 0; i < 100000; ++i) {
        const std::string id = std::to_string(i + 1);
        const std::string group = std::to_string(i % 50).insert(0, "Group");
        const std::string gid = std::to_string(i / 50 + 1);
        const std::string text(20 + rng() % 80, 'a' + static_cast<char>(i % 26));
        store.AppendRow({id, group, gid, text});
        // What one line of the file holds: the four fields, three separators and a line end.
        textBytes += id.size() + group.size() + gid.size() + text.size() + 5;
    }
    EXPECT_LE(store.MemoryUsage(), textBytes * 5 / 2);
    EXPECT_EQ(store.GetCellText(99999, 0), "100000");
}

TEST(RowStoreMemory, ReserveKeepsTheBound) {
    RowStore store = EntryTable();
    const size_t fileBytes = 100000 * 60;
    store.Reserve(100000, fileBytes);
    for (int i = 0; i < 100000; ++i) store.AppendRow({std::to_string(i), "Menu", "12", std::string(40, 't')});
    EXPECT_LE(store.MemoryUsage(), fileBytes * 5 / 2);
    EXPECT_EQ(store.GetCellText(12345, 0), "12345");
}

TEST(RowStoreState, LastGlobalIdSaturates) {
    RowStore store;
    EXPECT_EQ(store.GetLastGlobalId(), 0);
    EXPECT_TRUE(store.IncrementLastGlobalId());
    EXPECT_EQ(store.GetLastGlobalId(), 1);
    EXPECT_TRUE(store.DecrementLastGlobalId());
    EXPECT_TRUE(store.DecrementLastGlobalId());
    EXPECT_EQ(store.GetLastGlobalId(), -1);
    store.SetLastGlobalId(std::numeric_limits<int32_t>::max());
    EXPECT_FALSE(store.IncrementLastGlobalId());
    EXPECT_EQ(store.GetLastGlobalId(), std::numeric_limits<int32_t>::max());
    store.SetLastGlobalId(std::numeric_limits<int32_t>::min());
    EXPECT_FALSE(store.DecrementLastGlobalId());
    EXPECT_EQ(store.GetLastGlobalId(), std::numeric_limits<int32_t>::min());
    store.ResetLastGlobalId();
    EXPECT_EQ(store.GetLastGlobalId(), 0);
}

TEST(RowStoreState, TakeContentsMovesRowsGroupsAndLastIdButNotSortState) {
    RowStore table = EntryTable();
    table.AppendRow({"old", "", "", ""});
    table.Groups().Append("Old");
    table.m_nSortColumn = 2;
    table.m_bAscending = false;

    RowStore loaded = EntryTable();
    loaded.AppendRow({"1", "Menu", "1", "Open"});
    loaded.AppendRow({"2", "Menu", "2", std::string("x\0y", 3)});
    loaded.Groups().Append("Menu");
    loaded.Groups().SetCounter("Menu", 2);
    loaded.SetLastGlobalId(2);

    table.TakeContents(loaded);
    ASSERT_EQ(table.GetRowCount(), 2);
    EXPECT_EQ(RowTexts(table, 1), (std::vector<std::string>{"2", "Menu", "2", std::string("x\0y", 3)}));
    EXPECT_EQ(table.Groups().Find("Old"), 0);
    EXPECT_EQ(table.Groups().GetCounter("Menu"), 2);
    EXPECT_EQ(table.GetLastGlobalId(), 2);
    EXPECT_EQ(table.m_nSortColumn, 2);
    EXPECT_FALSE(table.m_bAscending);
    // The source is left empty and usable.
    EXPECT_EQ(loaded.GetRowCount(), 0);
    EXPECT_EQ(loaded.Groups().Count(), 0);
    EXPECT_EQ(loaded.AppendRow({"a", "b", "c", "d"}), 0);
}

TEST(RowStoreState, MovedStoresStayUsable) {
    RowStore a = EntryTable();
    a.AppendRow({"1", "g", "1", "t"});
    a.Groups().Append("g");
    RowStore b(std::move(a));
    EXPECT_EQ(b.GetCellText(0, 3), "t");
    EXPECT_EQ(b.Groups().Find("g"), 1);
    RowStore c;
    c = std::move(b);
    EXPECT_EQ(c.GetCellText(0, 3), "t");
    EXPECT_EQ(c.ColumnCount(), 4);
    c.ResetGroupList();
    EXPECT_EQ(c.Groups().Count(), 0);
}

}  // namespace
