#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/RowStore.h"

namespace {

using Texts = std::vector<std::string>;

RowStore EntryTable() {
    RowStore store;
    store.DefineColumns(kEntryColumnSpec);
    return store;
}

Texts RowTexts(const RowStore& store, int row) {
    Texts texts;
    for (int c = 0; c < store.ColumnCount(); ++c) texts.push_back(store.GetCellText(row, c));
    return texts;
}

TEST(RowStoreColumns, SpecParsing) {
    const std::vector<std::pair<std::string, std::vector<ColumnSpec>>> cases = {
        {std::string(kEntryColumnSpec),
         {{"Global ID", 40}, {"Group Name", 90}, {"Group ID", 40}, {"Text", 450}}},
        {"A,10;B", {{"A", 10}}},
        {"A,10; B,20", {{"A", 10}, {" B", 20}}},
        {"A,x", {{"A", 0}}},
        {"", {}},
        {"A;B,5", {{"A;B", 5}}},
        {"A,-7;B,\t+3px", {{"A", -7}, {"B", 3}}},
        {"A,99999999999", {{"A", std::numeric_limits<int32_t>::max()}}},
    };
    for (const auto& [spec, expected] : cases) {
        RowStore store;
        EXPECT_TRUE(store.DefineColumns(spec)) << spec;
        ASSERT_EQ(store.ColumnCount(), static_cast<int>(expected.size())) << spec;
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(store.Columns()[i].heading, expected[i].heading) << spec;
            EXPECT_EQ(store.Columns()[i].width, expected[i].width) << spec;
        }
    }
    // Later columns come after the earlier ones; existing rows get empty cells there.
    RowStore store;
    store.DefineColumns("A,1");
    store.AppendRow({"a0"});
    store.DefineColumns("B,2");
    EXPECT_EQ(store.Columns()[1].heading, "B");
    EXPECT_EQ(RowTexts(store, 0), (Texts{"a0", ""}));
}

TEST(RowStoreCells, BytesRoundTripAndOutOfRangeIsHarmless) {
    RowStore store = EntryTable();
    const Texts row = {"", std::string("a\0b\0", 4), "\xff\xfe\x80 \xc3(", std::string(100000, 'x')};
    store.AppendRow({"1", "Menu", "1", "plain"});
    EXPECT_EQ(store.AppendRow({row[0], row[1], row[2], row[3]}), 1);
    EXPECT_EQ(RowTexts(store, 0), (Texts{"1", "Menu", "1", "plain"}));
    EXPECT_EQ(RowTexts(store, 1), row);
    for (auto [r, c] : std::vector<std::pair<int, int>>{{-1, 0}, {2, 0}, {0, -1}, {0, 4}}) {
        EXPECT_EQ(store.GetCellText(r, c), "");
        EXPECT_FALSE(store.SetCellText(r, c, "changed"));
    }
    EXPECT_FALSE(store.DeleteRow(2));
    EXPECT_EQ(RowTexts(store, 0), (Texts{"1", "Menu", "1", "plain"}));
}

TEST(RowStoreCells, EditsKeepEveryOtherCellAndMayCopyFromTheTable) {
    RowStore store = EntryTable();
    store.AppendRow({"1", "Menu", "1", "Open a file"});
    store.AppendRow({"2", "Menu", "2", "Close"});
    EXPECT_TRUE(store.SetCellText(1, 3, store.Cell(0, 3)));
    EXPECT_TRUE(store.SetCellText(0, 3, store.Cell(0, 3).substr(5)));
    EXPECT_EQ(RowTexts(store, 0), (Texts{"1", "Menu", "1", "a file"}));
    EXPECT_EQ(RowTexts(store, 1), (Texts{"2", "Menu", "2", "Open a file"}));

    // Many rewrites (past the point where the store compacts itself) against a plain model.
    std::mt19937 rng(7);
    std::vector<Texts> model;
    for (int i = 0; i < 2000; ++i)
        model.push_back({std::to_string(i), "G", "1", std::string(rng() % 200, 'a')});
    store.DeleteAllRows();
    for (const Texts& r : model) store.AppendRow({r[0], r[1], r[2], r[3]});
    for (int k = 0; k < 60000; ++k) {
        const size_t r = rng() % model.size(), c = rng() % 4;
        std::string text(rng() % 300, static_cast<char>('A' + k % 26));
        if (k % 1000 == 0) {
            store.DeleteRow(static_cast<int>(r));
            model.erase(model.begin() + static_cast<long>(r));
            continue;
        }
        ASSERT_TRUE(store.SetCellText(static_cast<int>(r), static_cast<int>(c), text));
        model[r][c] = text;
    }
    size_t bytes = 0;
    for (size_t r = 0; r < model.size(); ++r) {
        ASSERT_EQ(RowTexts(store, static_cast<int>(r)), model[r]);
        for (const std::string& t : model[r]) bytes += t.size();
    }
    // About 1 MB is live; the rewrites wrote about 20 MB.
    EXPECT_LT(store.MemoryUsage(), 4 * bytes + (size_t{4} << 20));
}

TEST(RowStoreRows, DeleteRowsTakesEachRowOnce) {
    RowStore store = EntryTable();
    EXPECT_TRUE(store.DeleteAllRows());
    for (int i = 0; i < 10; ++i) store.AppendRow({std::to_string(i), "g", "1", "t"});
    store.DeleteRows({8, 2, 2, -1, 99, 0, 8});
    std::string ids;
    for (int r = 0; r < store.GetRowCount(); ++r) ids += store.GetCellText(r, 0);
    EXPECT_EQ(ids, "1345679");
    store.DeleteRows({store.GetRowCount()});  // one past the last row
    EXPECT_EQ(store.GetRowCount(), 7);
    EXPECT_EQ(store.GetCellText(6, 0), "9");
    EXPECT_TRUE(store.DeleteAllRows());
    EXPECT_EQ(store.GetRowCount(), 0);
    EXPECT_EQ(store.AppendRow({"x", "y", "z", "w"}), 0);
    EXPECT_TRUE(store.DeleteRow(0));
    EXPECT_EQ(store.GetRowCount(), 0);
}

TEST(RowStoreRows, HundredThousandRowsStayWithinTwoAndAHalfTimesTheirFile) {
    for (bool reserve : {false, true}) {
        RowStore store = EntryTable();
        std::mt19937 rng(3);
        std::vector<Texts> rows;
        size_t fileBytes = 0;
        for (int i = 0; i < 100000; ++i) {
            rows.push_back({std::to_string(i + 1), std::to_string(i % 50).insert(0, "Group"),
                            std::to_string(i / 50 + 1), std::string(10 + rng() % 80, 't')});
            fileBytes += rows.back()[0].size() + rows.back()[1].size() + rows.back()[2].size() +
                         rows.back()[3].size() + 5;  // three '|' and a line end
        }
        if (reserve) store.Reserve(rows.size(), fileBytes);
        for (const Texts& r : rows) store.AppendRow({r[0], r[1], r[2], r[3]});
        EXPECT_LE(store.MemoryUsage(), fileBytes * 5 / 2) << reserve;
        EXPECT_EQ(RowTexts(store, 99999), rows[99999]);
        store.DeleteAllRows();
        EXPECT_LT(store.MemoryUsage(), size_t{4096});
    }
}

}  // namespace
