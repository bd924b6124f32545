#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "document/format/ResourceTable.h"
#include "document/linklist.h"

namespace {

std::vector<std::string> Walk(const GroupList& list) {
    std::vector<std::string> names;
    for (const GroupNode* n = list.head(); n; n = n->next) names.push_back(n->name);
    return names;
}

TEST(GroupList, PositionsAndGetAtRange) {
    GroupList list;
    std::string name = "untouched";
    EXPECT_EQ(list.Find("Menu"), 0);
    EXPECT_EQ(list.GetCounter("Menu"), 0);
    EXPECT_FALSE(list.GetAt(1, name));
    list.Increment("Menu");  // absent: nothing happens, nothing is created
    EXPECT_EQ(list.Count(), 0);

    list.Append("Menu");
    list.Append("Error");
    EXPECT_EQ(list.Find("Menu"), 1);
    EXPECT_EQ(list.GetCounter("Menu"), 1);
    EXPECT_EQ(list.Find("Error"), 2);
    for (int bad : {0, -5, 3, std::numeric_limits<int32_t>::min()})
        EXPECT_FALSE(list.GetAt(bad, name)) << bad;
    EXPECT_EQ(name, "untouched");
    ASSERT_TRUE(list.GetAt(2, name));
    EXPECT_EQ(name, "Error");
    EXPECT_EQ(Walk(list), (std::vector<std::string>{"Menu", "Error"}));

    list.RemoveAll();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Find("Menu"), 0);
    list.Append("Error");
    EXPECT_EQ(list.Find("Error"), 1);
    ASSERT_TRUE(list.GetAt(1, name));
    EXPECT_EQ(name, "Error");
}

TEST(GroupList, EveryNamedOperationReachesTheFirstGroupOfThatName) {
    GroupList list;
    list.Append("Other");
    list.Append("Menu");
    list.Append("Menu");
    EXPECT_EQ(list.Find("Menu"), 2);
    list.Increment("Menu");
    list.SetCounter("Menu", 40);
    list.Decrement("Menu");
    std::vector<int32_t> counters;
    for (const GroupNode* n = list.head(); n; n = n->next) counters.push_back(n->counter);
    EXPECT_EQ(counters, (std::vector<int32_t>{1, 39, 1}));
    EXPECT_EQ(list.GetCounter("Menu"), 39);
}

TEST(GroupList, NamesAreWholeAndCompareByteForByte) {
    GroupList list;
    const std::string longName = "AVeryLongGroupNameIndeed";
    for (const std::string& n : {std::string("Menu"), std::string("menu"), std::string(), longName,
                                 std::string("a\0b", 3), std::string("\xff\xfe")})
        list.Append(n);
    EXPECT_EQ(list.Find("menu"), 2);
    EXPECT_EQ(list.Find(""), 3);
    EXPECT_EQ(list.Find(longName), 4);
    EXPECT_EQ(list.Find(longName.substr(0, 9)), 0);
    EXPECT_EQ(list.Find("Menu "), 0);
    EXPECT_EQ(list.Find(std::string("a\0b", 3)), 5);
    EXPECT_EQ(list.Find("a"), 0);
    EXPECT_EQ(list.Find("\xff\xfe"), 6);
    EXPECT_EQ(Walk(list)[3], longName);
}

TEST(GroupList, CountersGoBelowZeroButStopAtThe32BitLimits) {
    GroupList list;
    list.Append("Menu");
    list.SetCounter("Menu", 0);
    EXPECT_EQ(list.GetCounter("Menu"), list.GetCounter("absent"));  // both read 0
    list.Decrement("Menu");
    EXPECT_EQ(list.GetCounter("Menu"), -1);
    EXPECT_EQ(list.Find("Menu"), 1);
    list.SetCounter("Menu", std::numeric_limits<int32_t>::max());
    list.Increment("Menu");
    EXPECT_EQ(list.GetCounter("Menu"), std::numeric_limits<int32_t>::max());
    list.SetCounter("Menu", std::numeric_limits<int32_t>::min());
    list.Decrement("Menu");
    EXPECT_EQ(list.GetCounter("Menu"), std::numeric_limits<int32_t>::min());
}

TEST(ResourceTable, LastGlobalIdSaturatesAndContentsMoveWhole) {
    ResourceTable table;
    table.DefineColumns(kEntryColumnSpec);
    EXPECT_TRUE(table.DecrementLastGlobalId());
    EXPECT_EQ(table.GetLastGlobalId(), -1);
    table.SetLastGlobalId(std::numeric_limits<int32_t>::max());
    EXPECT_FALSE(table.IncrementLastGlobalId());
    EXPECT_EQ(table.GetLastGlobalId(), std::numeric_limits<int32_t>::max());
    table.SetLastGlobalId(std::numeric_limits<int32_t>::min());
    EXPECT_FALSE(table.DecrementLastGlobalId());
    EXPECT_EQ(table.GetLastGlobalId(), std::numeric_limits<int32_t>::min());

    table.AppendRow({"old", "", "", ""});
    table.Groups().Append("Old");
    table.m_nSortColumn = 2;
    ResourceTable loaded;
    loaded.DefineColumns(kEntryColumnSpec);
    loaded.AppendRow({"1", "Menu", "1", std::string("x\0y", 3)});
    loaded.Groups().Append("Menu");
    loaded.SetLastGlobalId(2);
    table.TakeContents(loaded);
    EXPECT_EQ(table.Cell(0, ColText), std::string_view("x\0y", 3));
    EXPECT_EQ(table.GetRowCount(), 1);
    EXPECT_EQ(table.Groups().Find("Old"), 0);
    EXPECT_EQ(table.Groups().Find("Menu"), 1);
    EXPECT_EQ(table.GetLastGlobalId(), 2);
    EXPECT_EQ(table.m_nSortColumn, 2);
    EXPECT_EQ(loaded.GetRowCount(), 0);  // left empty and usable
    EXPECT_EQ(loaded.Groups().Count(), 0);
    EXPECT_EQ(loaded.AppendRow({"a", "b", "c", "d"}), 0);
}

}  // namespace
