// What Add, Edit and Replace do to a document's rows and groups: the fields a file cannot carry,
// numbering within a group, and the replacing rules (non-overlapping, each row once, no wrap).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/model/Document.h"
#include "tests/document/TextResourceFiles.h"

namespace {

using trf::Group;
using trf::Row;
using Strings = std::vector<std::string>;

void Load(Document& d, const std::vector<Row>& rows, const std::vector<Group>& groups, int lastId) {
    ASSERT_TRUE(d.Load([&](ResourceTable& store) {
                     trf::Fill(store, rows, groups, lastId);
                     return Status::Ok();
                 }).ok());
}

// Rows with Global IDs 1.. in group "Menu" and the given Texts.
void LoadTexts(Document& d, const Strings& texts, int lastId) {
    std::vector<Row> rows;
    for (const std::string& t : texts) {
        const std::string id = std::to_string(rows.size() + 1);
        rows.push_back({id, "Menu", id, t});
    }
    Load(d, rows, {{"Menu", static_cast<int>(texts.size())}}, lastId);
}

Strings Texts(const Document& d) {
    Strings out;
    for (int r = 0; r < d.RowCount(); ++r) out.emplace_back(d.Cell(r, ColText));
    return out;
}

// A Group Name may hold neither '|' nor a line break, a Text no line break: Add, Edit and both
// Replaces refuse what the file could not carry back, name the field, and change nothing (no
// step, no group). Everything else is taken as typed.
TEST(DocumentEntryEdits, FieldsTheFileCannotCarryAreRefusedAndChangeNothing) {
    struct Case {
        const char* group;
        const char* text;
        const char* refused;  // the field the message names; nullptr when accepted
    };
    const Case cases[] = {
        {"Dialog", "Open file", nullptr}, {"", "", nullptr},
        {"Dialog", "a|b", nullptr},       {"Menu#1", "tab\there", nullptr},
        {"a|b", "t", "Group Name"},       {"|", "t", "Group Name"},
        {"a\nb", "t", "Group Name"},      {"a\rb", "t", "Group Name"},
        {"a\r\n", "t", "Group Name"},     {"\n", "t", "Group Name"},
        {"Menu", "line\nbreak", "Text"},  {"Menu", "cr\ronly", "Text"},
        {"Menu", "crlf\r\n", "Text"},     {"Menu", "\n", "Text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.group) + " / " + c.text);
        for (const char* edit : {"add", "edit", "replace next", "replace all"}) {
            SCOPED_TRACE(edit);
            const bool replace = edit[0] == 'r';
            if (replace && (!c.refused || std::string(c.refused) != "Text")) continue;  // only a Text
            Document d;
            LoadTexts(d, {"keep"}, 1);
            const auto rows = trf::Rows(d.Rows());
            const auto groups = trf::Groups(d.Rows());
            int row = 0, changedRow = -1;
            const Status s = edit == std::string("add")    ? d.AddEntry(2, c.group, c.text)
                             : edit == std::string("edit") ? d.EditEntry(0, c.group, c.text)
                             : edit[8] == 'n'              ? d.ReplaceNext(row, "keep", c.text, changedRow)
                                                           : d.ReplaceAll("keep", c.text);
            if (c.refused) {
                trf::ExpectFails(s, {c.refused});
                EXPECT_EQ(trf::Rows(d.Rows()), rows);
                EXPECT_EQ(trf::Groups(d.Rows()), groups);
                EXPECT_EQ(d.LastGlobalId(), 1);
                EXPECT_FALSE(d.CanUndo());
                continue;
            }
            ASSERT_TRUE(s.ok()) << s.message();
            const int at = edit == std::string("add") ? 1 : 0;
            ASSERT_EQ(d.RowCount(), at + 1);
            EXPECT_EQ(d.Cell(at, ColGroupName), c.group);
            EXPECT_EQ(d.Cell(at, ColText), c.text);
            EXPECT_TRUE(d.CanUndo());
        }
    }
}

// Add numbers the entry in its group (the counter raised by one; a new group, appended, counts
// from 1; names compare exactly, the empty name included), keeps the Global ID as typed and puts
// the row at the end, also when the table is sorted. Edit changes Group Name and Text only and
// leaves the group list alone.
TEST(DocumentEntryEdits, AddNumbersWithinTheGroupAndEditLeavesTheGroupsAlone) {
    Document d;
    Load(d, {}, {{"Menu", 3}}, 41);
    struct Step {
        int32_t globalId;
        const char* group;
        const char* text;
        Row row;
        std::vector<Group> groups;
    };
    const Step steps[] = {
        {42, "Menu", "Open file", {"42", "Menu", "4", "Open file"}, {{"Menu", 4}}},
        {43, "menu", "x", {"43", "menu", "1", "x"}, {{"Menu", 4}, {"menu", 1}}},
        {-5, "", "", {"-5", "", "1", ""}, {{"Menu", 4}, {"menu", 1}, {"", 1}}},
        {7, "", "again", {"7", "", "2", "again"}, {{"Menu", 4}, {"menu", 1}, {"", 2}}},
        {8,
         "Navigation",
         "t",
         {"8", "Navigation", "1", "t"},
         {{"Menu", 4}, {"menu", 1}, {"", 2}, {"Navigation", 1}}},
        {9,
         "Navigation",
         "u",
         {"9", "Navigation", "2", "u"},
         {{"Menu", 4}, {"menu", 1}, {"", 2}, {"Navigation", 2}}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.text);
        ASSERT_TRUE(d.AddEntry(s.globalId, s.group, s.text).ok());
        EXPECT_EQ(trf::Rows(d.Rows()).back(), s.row);
        EXPECT_EQ(trf::Groups(d.Rows()), s.groups);
    }
    EXPECT_EQ(d.LastGlobalId(), 47) << "each Add takes the last Global ID up by one";

    ASSERT_TRUE(d.Sort(ColGlobalId, false));
    ASSERT_TRUE(d.AddEntry(1, "Menu", "last").ok());
    EXPECT_EQ(trf::Rows(d.Rows()).back(), (Row{"1", "Menu", "5", "last"}));

    const auto groups = trf::Groups(d.Rows());
    const int row = d.RowCount() - 1;
    ASSERT_TRUE(d.EditEntry(row, "Dialog", "Shut").ok());
    EXPECT_EQ(trf::Rows(d.Rows()).back(), (Row{"1", "Dialog", "5", "Shut"}));
    EXPECT_EQ(trf::Groups(d.Rows()), groups) << "editing does not touch the group list";
    // No row (no selection, or past the end): nothing changes, nothing fails.
    const auto rows = trf::Rows(d.Rows());
    EXPECT_TRUE(d.EditEntry(-1, "X", "Y").ok());
    EXPECT_TRUE(d.EditEntry(d.RowCount(), "X", "Y").ok());
    EXPECT_EQ(trf::Rows(d.Rows()), rows);

    // A new document with Localize on adds pairs: the translation row is a copy, counted once.
    Document pairs;
    pairs.SetLocalize(true);
    pairs.Clear();
    ASSERT_TRUE(pairs.AddEntry(1, "Menu", "Open").ok());
    ASSERT_TRUE(pairs.AddEntry(2, "Menu", "Close").ok());
    EXPECT_EQ(trf::Rows(pairs.Rows()), (std::vector<Row>{{"1", "Menu", "1", "Open"},
                                                         {"1", "Menu", "1", "Open"},
                                                         {"2", "Menu", "2", "Close"},
                                                         {"2", "Menu", "2", "Close"}}));
    EXPECT_EQ(trf::Groups(pairs.Rows()), (std::vector<Group>{{"Menu", 2}}));
}

// Replacing in one Text: every occurrence, non-overlapping, left to right in the text as it
// was; inserted text is not searched again; case counts; an empty search replaces nothing.
TEST(DocumentEntryEdits, ReplaceIsNonOverlappingLeftToRightWithoutRescanning) {
    struct Case {
        const char *text, *search, *replacement, *result;  // result nullptr: unchanged
    };
    const Case cases[] = {{"aaaa", "aa", "b", "bb"},
                          {"aaa", "aa", "b", "ba"},
                          {"a", "a", "ab", "ab"},
                          {"aba", "a", "aa", "aabaa"},
                          {"Open file", "file", "document", "Open document"},
                          {"a file, a file", "file", "", "a , a "},
                          {"file", "file", "", ""},
                          {"xyz", "xyzw", "q", nullptr},
                          {"File", "file", "document", nullptr},
                          {"anything", "", "x", nullptr},
                          {"", "", "x", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.search);
        for (const bool all : {false, true}) {
            Document d;
            LoadTexts(d, {c.text}, 1);
            int row = 0, changedRow = -1;
            std::vector<int> changed;
            ASSERT_TRUE((all ? d.ReplaceAll(c.search, c.replacement, &changed)
                             : d.ReplaceNext(row, c.search, c.replacement, changedRow))
                            .ok());
            EXPECT_EQ(d.Cell(0, ColText), c.result ? c.result : c.text);
            EXPECT_EQ(all ? changed : std::vector<int>{changedRow}, c.result ? std::vector<int>{0}
                                                                    : all    ? std::vector<int>{}
                                                                             : std::vector<int>{-1});
            EXPECT_EQ(d.CanUndo(), c.result != nullptr);
        }
    }
}

// Replace Next: one row per press, in the Text column only, from the given row on; at the end
// it reports no row and does not wrap. A replacement holding the search text stays on its row.
// Replace All: every row once (rows past twice the last Global ID too), the changed rows listed.
TEST(DocumentEntryEdits, ReplaceNextRowByRowAndReplaceAllEveryRowOnce) {
    Document d;
    Load(d, {{"1", "file", "1", "File"}, {"2", "Menu", "1", "Open file"}, {"3", "Menu", "2", "Save file"}},
         {}, 3);
    int row = 0, changed = -2;
    const struct {
        const char *search, *replacement;
        int changed, rowAfter;
        Strings texts;
    } presses[] = {
        {"file", "document", 1, 1, {"File", "Open document", "Save file"}},
        {"file", "document", 2, 2, {"File", "Open document", "Save document"}},
        {"file", "document", -1, 3, {"File", "Open document", "Save document"}},
        {"Open", "Close", -1, 3, {"File", "Open document", "Save document"}},
    };
    for (const auto& p : presses) {
        ASSERT_TRUE(d.ReplaceNext(row, p.search, p.replacement, changed).ok());
        EXPECT_EQ(changed, p.changed) << p.search;
        EXPECT_EQ(row, p.rowAfter) << p.search;
        EXPECT_EQ(Texts(d), p.texts);
    }
    EXPECT_EQ(d.Cell(0, ColGroupName), "file") << "only the Text column is looked at";

    LoadTexts(d, {"x", "a", "a"}, 3);
    row = 0;
    for (int press = 0; press < 3; ++press) {
        ASSERT_TRUE(d.ReplaceNext(row, "a", "ab", changed).ok());
        EXPECT_EQ(changed, 1);
    }
    EXPECT_EQ(Texts(d), (Strings{"x", "abbb", "a"}));

    Load(d,
         {{"1", "Menu", "1", "Open file"},
          {"2", "Menu", "2", "File"},
          {"3", "Menu", "3", "Save file"},
          {"file", "file", "4", "a"},
          {"5", "Menu", "5", "file file"},
          {"6", "Menu", "6", "Open file"}},
         {{"Menu", 6}}, 1);
    const struct {
        const char *search, *replacement;
        std::vector<int> changed;
        Strings texts;
    } all[] = {
        {"file",
         "document",
         {0, 2, 4, 5},
         {"Open document", "File", "Save document", "a", "document document", "Open document"}},
        {"a",
         "ab",
         {2, 3},
         {"Open document", "File", "Sabve document", "ab", "document document", "Open document"}},
        {"",
         "x",
         {},
         {"Open document", "File", "Sabve document", "ab", "document document", "Open document"}},
        {"document", "", {0, 2, 4, 5}, {"Open ", "File", "Sabve ", "ab", " ", "Open "}},
    };
    for (const auto& a : all) {
        std::vector<int> rows;
        ASSERT_TRUE(d.ReplaceAll(a.search, a.replacement, &rows).ok());
        EXPECT_EQ(rows, a.changed) << a.search;
        EXPECT_EQ(Texts(d), a.texts) << a.search;
    }
    EXPECT_EQ(trf::Rows(d.Rows())[3], (Row{"file", "file", "4", "ab"}));
}

}  // namespace
