#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "document/linklist.h"

namespace {

TEST(GroupList, EmptyListAnswersNothing) {
    GroupList list;
    std::string name = "untouched";
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Find("Menu"), 0);
    EXPECT_EQ(list.Find(""), 0);
    EXPECT_EQ(list.GetCounter("Menu"), 0);
    EXPECT_FALSE(list.GetAt(1, name));
    EXPECT_EQ(name, "untouched");
    EXPECT_EQ(list.head(), nullptr);
    // Operations on absent names change nothing and create nothing.
    list.Increment("Menu");
    list.Decrement("Menu");
    list.SetCounter("Menu", 7);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.GetCounter("Menu"), 0);
}

TEST(GroupList, PositionsFollowAppendOrderAndGetAtStaysInRange) {
    GroupList list;
    list.Append("Menu");
    EXPECT_EQ(list.Find("Menu"), 1);
    EXPECT_EQ(list.GetCounter("Menu"), 1);
    list.Append("Error");
    list.Append("Dialog");
    EXPECT_EQ(list.Find("Error"), 2);
    EXPECT_EQ(list.Find("Dialog"), 3);
    EXPECT_EQ(list.Count(), 3);

    std::string name = "untouched";
    for (int bad : {0, -5, 4, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
        EXPECT_FALSE(list.GetAt(bad, name)) << bad;
        EXPECT_EQ(name, "untouched") << bad;
    }
    ASSERT_TRUE(list.GetAt(1, name));
    EXPECT_EQ(name, "Menu");
    ASSERT_TRUE(list.GetAt(3, name));
    EXPECT_EQ(name, "Dialog");

    // The linked nodes walk in the same order (the file writer reads them this way).
    std::string walked;
    for (const GroupNode* n = list.head(); n; n = n->next) walked += n->name + "|";
    EXPECT_EQ(walked, "Menu|Error|Dialog|");
    const GroupNode* last = list.tail();
    EXPECT_TRUE(last && last->name == "Dialog");
}

TEST(GroupList, DuplicateNamesReachOnlyTheFirstGroup) {
    GroupList list;
    list.Append("Other");
    list.Append("Menu");
    list.Append("Menu");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Find("Menu"), 2);
    list.Increment("Menu");
    list.Increment("Menu");
    EXPECT_EQ(list.GetCounter("Menu"), 3);
    list.SetCounter("Menu", 40);
    EXPECT_EQ(list.GetCounter("Menu"), 40);
    // The second group of the name kept its own counter.
    std::vector<int32_t> counters;
    for (const GroupNode* n = list.head(); n; n = n->next) counters.push_back(n->counter);
    EXPECT_EQ(counters, (std::vector<int32_t>{1, 40, 1}));
}

TEST(GroupList, NamesCompareWholeAndByteForByte) {
    GroupList list;
    list.Append("Menu");
    list.Append("menu");
    list.Append("");
    const std::string longName = "AVeryLongGroupNameIndeed";
    list.Append(longName);
    list.Append(std::string("a\0b", 3));
    list.Append("\xff\xfe");

    EXPECT_EQ(list.Find("menu"), 2);
    EXPECT_EQ(list.Find(""), 3);
    EXPECT_EQ(list.Find(longName), 4);
    // A name is not found by its first nine characters, nor by a longer text starting with it.
    EXPECT_EQ(list.Find(longName.substr(0, 9)), 0);
    EXPECT_EQ(list.Find("Menu "), 0);
    EXPECT_EQ(list.Find(std::string("a\0b", 3)), 5);
    EXPECT_EQ(list.Find("a"), 0);
    EXPECT_EQ(list.Find("\xff\xfe"), 6);

    list.SetCounter(longName, 12);
    EXPECT_EQ(list.GetCounter(longName), 12);
    std::string name;
    ASSERT_TRUE(list.GetAt(4, name));
    EXPECT_EQ(name, longName);
}

TEST(GroupList, CountersMoveFreelyButStopAtThe32BitLimits) {
    GroupList list;
    list.Append("Menu");
    list.SetCounter("Menu", 0);
    EXPECT_EQ(list.GetCounter("Menu"), 0);  // indistinguishable from an absent group
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

TEST(GroupList, RemoveAllEmptiesTheListAndTheIndex) {
    GroupList list;
    list.Append("Menu");
    list.Append("Error");
    list.RemoveAll();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Find("Menu"), 0);
    EXPECT_EQ(list.head(), nullptr);
    // Appending again starts over at position 1 with fresh counters.
    list.Append("Error");
    EXPECT_EQ(list.Find("Error"), 1);
    EXPECT_EQ(list.GetCounter("Error"), 1);
    EXPECT_EQ(list.head(), list.tail());
}

TEST(GroupList, ManyGroupsKeepTheirPositions) {
    GroupList list;
    constexpr int kGroups = 20000;
    for (int i = 0; i < kGroups; ++i) list.Append(std::to_string(i % (kGroups / 2)).insert(0, 1, 'g'));
    EXPECT_EQ(list.Count(), kGroups);
    // Each name appears twice; lookups find the first appearance.
    EXPECT_EQ(list.Find("g0"), 1);
    EXPECT_EQ(list.Find("g9999"), 10000);
    list.Increment("g9999");
    EXPECT_EQ(list.GetCounter("g9999"), 2);
    std::string name;
    ASSERT_TRUE(list.GetAt(kGroups, name));
    EXPECT_EQ(name, "g9999");
    int walked = 0;
    for (const GroupNode* n = list.head(); n; n = n->next) ++walked;
    EXPECT_EQ(walked, kGroups);
}

}  // namespace
