#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "document/format/ResourceTable.h"
#include "document/linklist.h"
#include "document/model/EntryCommands.h"

using namespace EntryCommands;

namespace {

using Strings = std::vector<std::string>;

// A table with the editor's four columns and the given Texts (Global IDs 1.., group "Menu").
ResourceTable Table(const Strings& texts) {
    ResourceTable store;
    store.DefineColumns(kEntryColumnSpec);
    int id = 0;
    for (const std::string& t : texts) {
        const std::string gid = std::to_string(++id);
        store.AppendRow({gid, "Menu", gid, t});
    }
    return store;
}

Strings Texts(const ResourceTable& store) {
    Strings out;
    for (int r = 0; r < store.GetRowCount(); ++r) out.push_back(store.GetCellText(r, ColText));
    return out;
}

Strings Row(const ResourceTable& store, int row) {
    Strings out;
    for (int c = 0; c < 4; ++c) out.push_back(store.GetCellText(row, c));
    return out;
}

}  // namespace

TEST(EntryFieldsCheck, RefusesWhatTheFileCannotCarryAndNothingElse) {
    EXPECT_TRUE(CheckEntryFields("Menu", "Open file").ok());
    EXPECT_TRUE(CheckEntryFields("", "").ok());
    EXPECT_TRUE(CheckEntryFields("Menu", "a|b").ok()) << "the Text runs to the line end and may hold |";
    EXPECT_TRUE(CheckEntryFields("Menu#1", "tab\there").ok());

    for (const char* name : {"a|b", "|", "a\nb", "a\rb", "a\r\n", "\n"}) {
        const Status s = CheckEntryFields(name, "text");
        EXPECT_FALSE(s.ok()) << name;
        EXPECT_NE(s.message().find("Group Name"), std::string::npos) << s.message();
    }
    for (const char* text : {"line\nbreak", "cr\ronly", "crlf\r\n", "\n"}) {
        const Status s = CheckEntryFields("Menu", text);
        EXPECT_FALSE(s.ok()) << text;
        EXPECT_NE(s.message().find("Text"), std::string::npos) << s.message();
    }
}

TEST(IntegerField, AcceptsSignedDecimalWithBlanksWithinInt32) {
    const std::vector<std::pair<std::string, int32_t>> good = {{"42", 42},
                                                               {"  42  ", 42},
                                                               {"\t-5\t", -5},
                                                               {"+7", 7},
                                                               {"007", 7},
                                                               {"0", 0},
                                                               {"-0", 0},
                                                               {"2147483647", INT32_MAX},
                                                               {"-2147483648", INT32_MIN},
                                                               {"00000000000000000012", 12}};
    for (const auto& [text, value] : good) {
        const auto v = ParseInteger(text);
        ASSERT_TRUE(v.has_value()) << '"' << text << '"';
        EXPECT_EQ(*v, value) << text;
    }
    for (const char* bad : {"", "   ", "-", "+", "4 2", "- 5", "+-5", "12a", "a12", "0x10", "1.5", "1e3",
                            "2147483648", "-2147483649", "99999999999999999999", "4\n", "\xd9\xa3"}) {
        EXPECT_FALSE(ParseInteger(bad).has_value()) << '"' << bad << '"';
    }
}

TEST(AddEntry, NumbersWithinTheGroupAndAppendsAtTheEnd) {
    ResourceTable store = Table({});
    store.Groups().Append("Menu");
    store.Groups().SetCounter("Menu", 3);
    store.SetLastGlobalId(41);

    ASSERT_TRUE(AddEntry(store, 42, "Menu", "Open file", false).ok());
    EXPECT_EQ(Row(store, 0), (Strings{"42", "Menu", "4", "Open file"}));
    EXPECT_EQ(store.Groups().GetCounter("Menu"), 4);

    // Names compare exactly: "menu" is a new group, numbered from 1, appended after Menu.
    ASSERT_TRUE(AddEntry(store, 43, "menu", "x", false).ok());
    EXPECT_EQ(store.GetCellText(1, ColGroupId), "1");
    EXPECT_EQ(store.Groups().Find("menu"), 2);
    EXPECT_EQ(store.Groups().GetCounter("Menu"), 4);

    // Empty fields make an entry of the group with the empty name; a typed ID is kept as typed.
    ASSERT_TRUE(AddEntry(store, -5, "", "", false).ok());
    EXPECT_EQ(Row(store, 2), (Strings{"-5", "", "1", ""}));
    ASSERT_TRUE(AddEntry(store, 7, "", "again", false).ok());
    EXPECT_EQ(store.GetCellText(3, ColGroupId), "2");
    EXPECT_EQ(store.Groups().Count(), 3);

    // A long group name is one group, kept whole in the cell and in the list.
    ASSERT_TRUE(AddEntry(store, 8, "Navigation", "t", false).ok());
    ASSERT_TRUE(AddEntry(store, 9, "Navigation", "u", false).ok());
    EXPECT_EQ(store.GetCellText(5, ColGroupName), "Navigation");
    EXPECT_EQ(store.GetCellText(5, ColGroupId), "2");

    EXPECT_EQ(store.GetLastGlobalId(), 41) << "adding does not move the reserved ID";

    // Still appended at the end when the table is sorted.
    store.SortByColumn(ColGlobalId, false);
    ASSERT_TRUE(AddEntry(store, 1, "Menu", "last", false).ok());
    EXPECT_EQ(store.GetCellText(store.GetRowCount() - 1, ColText), "last");
}

TEST(AddEntry, LocalizeModeAppendsTheTwinAndCountsOnce) {
    ResourceTable store = Table({});
    ASSERT_TRUE(AddEntry(store, 1, "Menu", "Open", true).ok());
    ASSERT_TRUE(AddEntry(store, 2, "Menu", "Close", true).ok());
    ASSERT_EQ(store.GetRowCount(), 4);
    EXPECT_EQ(Row(store, 0), Row(store, 1));
    EXPECT_EQ(Row(store, 2), Row(store, 3));
    EXPECT_EQ(Row(store, 2), (Strings{"2", "Menu", "2", "Close"}));
    EXPECT_EQ(store.Groups().GetCounter("Menu"), 2);
}

TEST(AddEntry, RefusedFieldsChangeNothing) {
    ResourceTable store = Table({"keep"});
    for (auto [name, text] : std::array<std::pair<const char*, const char*>, 3>{
             {{"New|Group", "t"}, {"Fresh\n", "t"}, {"Fresh", "two\r\nlines"}}}) {
        EXPECT_FALSE(AddEntry(store, 5, name, text, true).ok()) << name << text;
    }
    EXPECT_EQ(store.GetRowCount(), 1);
    EXPECT_EQ(store.Groups().Count(), 0) << "a refused entry must not create its group";
}

TEST(EditEntry, ChangesGroupNameAndTextOnly) {
    ResourceTable store = Table({"Open file", "Close"});
    store.Groups().Append("Menu");
    store.SetLastGlobalId(2);

    ASSERT_TRUE(EditEntry(store, 1, "Dialog", "Shut").ok());
    EXPECT_EQ(Row(store, 1), (Strings{"2", "Dialog", "2", "Shut"}));
    EXPECT_EQ(Row(store, 0), (Strings{"1", "Menu", "1", "Open file"}));
    EXPECT_EQ(store.Groups().Find("Dialog"), 0) << "editing does not touch the group list";
    EXPECT_EQ(store.Groups().GetCounter("Menu"), 1);

    // No selection mark or a row past the end: nothing changes, nothing fails.
    EXPECT_TRUE(EditEntry(store, -1, "X", "Y").ok());
    EXPECT_TRUE(EditEntry(store, 2, "X", "Y").ok());
    EXPECT_EQ(Row(store, 1), (Strings{"2", "Dialog", "2", "Shut"}));

    EXPECT_FALSE(EditEntry(store, 0, "A|B", "t").ok());
    EXPECT_FALSE(EditEntry(store, 0, "Menu", "a\nb").ok());
    EXPECT_EQ(Row(store, 0), (Strings{"1", "Menu", "1", "Open file"}));
}

TEST(ReplaceInText, NonOverlappingLeftToRightWithoutRescanning) {
    struct Case {
        const char *text, *search, *replacement, *result;
        int count;
    };
    const Case cases[] = {{"aaaa", "aa", "b", "bb", 2},
                          {"aaa", "aa", "b", "ba", 1},
                          {"a", "a", "ab", "ab", 1},
                          {"aba", "a", "aa", "aabaa", 2},
                          {"Open file", "file", "document", "Open document", 1},
                          {"a file, a file", "file", "", "a , a ", 2},
                          {"file", "file", "", "", 1},
                          {"xyz", "xyzw", "q", nullptr, 0},
                          {"File", "file", "document", nullptr, 0},
                          {"anything", "", "x", nullptr, 0},
                          {"", "", "x", nullptr, 0}};
    for (const Case& c : cases) {
        std::string out = "stale";
        EXPECT_EQ(ReplaceInText(c.text, c.search, c.replacement, out), c.count) << c.text << '/' << c.search;
        if (c.result) {
            EXPECT_EQ(out, c.result) << c.text << '/' << c.search;
        }
    }
}

TEST(ReplaceNext, OneRowPerPressThenNothing) {
    ResourceTable store = Table({"File", "Open file", "Save file"});
    store.SetCellText(0, ColGroupName, "file");

    int row = 0;
    EXPECT_EQ(ReplaceNext(store, row, "file", "document"), 1);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(Texts(store), (Strings{"File", "Open document", "Save file"}));
    EXPECT_EQ(ReplaceNext(store, row, "file", "document"), 2);
    EXPECT_EQ(Texts(store), (Strings{"File", "Open document", "Save document"}));
    EXPECT_EQ(ReplaceNext(store, row, "file", "document"), -1);
    EXPECT_EQ(row, 3);
    EXPECT_EQ(ReplaceNext(store, row, "Open", "Close"), -1) << "the scan does not wrap";
    EXPECT_EQ(Texts(store), (Strings{"File", "Open document", "Save document"}));
    EXPECT_EQ(store.GetCellText(0, ColGroupName), "file") << "only the Text column is looked at";
}

TEST(ReplaceNext, ReplacementHoldingTheSearchStaysOnItsRow) {
    ResourceTable store = Table({"x", "a", "a"});
    int row = 0;
    EXPECT_EQ(ReplaceNext(store, row, "a", "ab"), 1);
    EXPECT_EQ(ReplaceNext(store, row, "a", "ab"), 1);
    EXPECT_EQ(ReplaceNext(store, row, "a", "ab"), 1);
    EXPECT_EQ(Texts(store), (Strings{"x", "abbb", "a"}));
}

TEST(ReplaceAll, EveryRowOnceWhateverTheLastGlobalId) {
    // Rows past 2 x last Global ID are reached too: here the last ID is 1 and there are 6 rows.
    ResourceTable store = Table({"Open file", "File", "Save file", "a", "file file", "Open file"});
    store.SetLastGlobalId(1);
    store.SetCellText(3, ColGroupName, "file");
    store.SetCellText(3, ColGlobalId, "file");

    EXPECT_EQ(ReplaceAll(store, "file", "document"), (std::vector<int>{0, 2, 4, 5}));
    EXPECT_EQ(Texts(store),
              (Strings{"Open document", "File", "Save document", "a", "document document", "Open document"}));
    EXPECT_EQ(Row(store, 3), (Strings{"file", "file", "4", "a"}));

    // A replacement that holds the search text: one pass, ends.
    EXPECT_EQ(ReplaceAll(store, "a", "ab"), (std::vector<int>{2, 3}));
    EXPECT_EQ(store.GetCellText(3, ColText), "ab");
    EXPECT_EQ(store.GetCellText(2, ColText), "Sabve document");

    // Empty search: nothing; empty replacement: deletes.
    EXPECT_TRUE(ReplaceAll(store, "", "x").empty());
    EXPECT_EQ(ReplaceAll(store, "document", ""), (std::vector<int>{0, 2, 4, 5}));
    EXPECT_EQ(store.GetCellText(4, ColText), " ");
}

TEST(ReplaceAll, AMillionRowsWithinASecond) {
    ResourceTable store;
    store.DefineColumns(kEntryColumnSpec);
    constexpr int kRows = 1'000'000;
    store.Reserve(kRows, size_t{kRows} * 60);
    for (int i = 0; i < kRows; ++i) {
        const std::string id = std::to_string(i + 1);
        // Every tenth row holds the search text; the others are typical texts without it.
        const std::string text =
            i % 10 == 0 ? "Cannot open the file " + id : "The quick brown fox jumps over entry " + id;
        store.AppendRow({id, "Group", id, text});
    }
    const auto start = std::chrono::steady_clock::now();
    const std::vector<int> changed = ReplaceAll(store, "file", "document");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    RecordProperty("seconds", std::to_string(seconds));
    std::printf("ReplaceAll over %d rows: %.3f s\n", kRows, seconds);

    ASSERT_EQ(changed.size(), size_t{kRows / 10});
    EXPECT_EQ(store.GetCellText(kRows - 10, ColText),
              "Cannot open the document " + std::to_string(kRows - 9));
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
    EXPECT_LE(seconds, 1.0);
#endif
}
