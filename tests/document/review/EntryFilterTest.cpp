// The filter and the figures against a small pair table whose answers are known, and the
// filter's narrowing against a fresh filter over random tables.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "document/model/DocumentObserver.h"
#include "document/review/DocumentReview.h"
#include "document/review/EntryChecker.h"
#include "document/review/EntryFilter.h"
#include "document/review/EntryStats.h"
#include "tests/document/TextResourceFiles.h"

namespace {

using namespace trf;

// Pairs: translated, same, missing (stand-in), translated with a placeholder problem, and a
// translation file in Latin-1. The first pair's Group ID is 3, which the filter never looks at.
// One translation row names its group as the .txl does ("Erreur"): an entry's group is its
// original's.
class KnownTable : public ::testing::Test {
protected:
    KnownTable() {
        Fill(store,
             {{"1", "Menu", "3", "Open file"},
              {"1", "Menu", "3", "Ouvrir le fichier"},
              {"2", "Menu", "2", "Save"},
              {"2", "Menu", "2", "Save"},
              {"3", "Dialog", "1", "Close"},
              {"3", "Dialog", "1", "Close"},
              {"4", "Error", "1", "Disk %s full"},
              {"4", "Erreur", "1", "Disque plein"},
              {"5", "Error", "2", "Caf\xC3\xA9"},
              {"5", "Error", "2", "CAF\xC9 cr\xE8me"}},
             {{"Menu", 2}, {"Dialog", 1}, {"Error", 2}, {"Unused", 0}}, 5);
        doc = DocumentOf(store, standIn, true);
        problems = EntryChecker().Run(Table());
    }
    EntryTable Table() const { return doc->Table(); }

    ResourceTable store;
    std::vector<uint8_t> standIn = {0, 0, 0, 0, 0, 1, 0, 0, 0, 0};
    std::unique_ptr<Document> doc;
    std::vector<CheckMask> problems;
};

TEST_F(KnownTable, FilterShowsWholePairsInTableOrder) {
    using Rows = std::vector<int>;
    const struct {
        const char* text;
        FilterShow show;
        Rows rows;
    } cases[] = {
        {"", FilterShow::All, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"", FilterShow::NotTranslated, {2, 3, 4, 5}},
        {"", FilterShow::WithProblems, {6, 7}},
        {"FILE", FilterShow::All, {0, 1}},        // either case, in the original
        {"plein", FilterShow::All, {6, 7}},       // in the translation
        {"menu", FilterShow::All, {0, 1, 2, 3}},  // Group Name
        {"3", FilterShow::All, {4, 5}},           // Global ID, not Group ID
        {"1me", FilterShow::All, {}},             // not across cells
        {"file", FilterShow::NotTranslated, {}},
        {"s", FilterShow::WithProblems, {6, 7}},
        {"cr\xC3\xA8me", FilterShow::All, {8, 9}},  // typed in UTF-8, found in the Latin-1 file
        {"caf\xC3\xA9", FilterShow::All, {8, 9}},
        {"\xE2\x80\xA6", FilterShow::All, {}},  // beyond Latin-1: in no Latin-1 row
    };
    for (const auto& c : cases) {
        EntryFilter fresh;
        EXPECT_EQ(fresh.Apply(Table(), problems, c.text, c.show), c.rows) << c.text;
    }
    // Outside pairs nothing has a status.
    EntryFilter single;
    EXPECT_EQ(single.Apply(EntryTable(store, {}, false, Encoding::Utf8, Encoding::Utf8), {}, "",
                           FilterShow::NotTranslated),
              Rows{});
}

TEST_F(KnownTable, FiguresInAllAndPerGroup) {
    const EntryStats stats = EntryStats::Count(Table(), problems, true);
    const auto expect = [](const EntryCounts& c, std::array<int64_t, 5> figures, int64_t placeholders) {
        EXPECT_EQ((std::array<int64_t, 5>{c.entries, c.translated, c.missing, c.same, c.withProblems}),
                  figures);
        EXPECT_EQ(c.byCheck[static_cast<size_t>(EntryCheck::Placeholder)], placeholders);
    };
    expect(stats.total, {5, 3, 1, 1, 1}, 1);
    EXPECT_EQ(stats.total.TranslatedPercent(), 60);
    ASSERT_EQ(stats.groups.size(), 4u);
    EXPECT_EQ(stats.groups[0].first, "Menu");
    expect(stats.groups[0].second, {2, 1, 0, 1, 0}, 0);
    expect(stats.groups[1].second, {1, 0, 1, 0, 0}, 0);
    expect(stats.groups[2].second, {2, 2, 0, 0, 1}, 1);
    expect(stats.groups[3].second, {0, 0, 0, 0, 0}, 0);
    EXPECT_EQ((EntryCounts{3, 2}).TranslatedPercent(), 66);  // rounded down: 100 means done
}

std::string RandomText(std::mt19937& rng) {
    static const char* const kPieces[] = {"a", "B", "ab", "Ab", "|", " ", "%s", "\xC3\xA9", "1", "x"};
    std::string s;
    for (int n = std::uniform_int_distribution<int>(0, 5)(rng); n > 0; --n) s += kPieces[rng() % 10];
    return s;
}

// Typing, backspaces and a text typed over: whatever the filter kept from the last keystroke,
// it shows what a fresh filter shows.
TEST(EntryFilterProperty, NarrowingGivesWhatAFreshFilterGives) {
    std::mt19937 rng(7);
    for (int round = 0; round < 30; ++round) {
        ResourceTable store;
        std::vector<Row> rows;
        for (int r = 0; r < 40; ++r)
            rows.push_back({std::to_string(rng() % 20), RandomText(rng), "1", RandomText(rng)});
        Fill(store, rows, {}, 20);
        std::vector<uint8_t> standIn(rows.size());
        for (auto& f : standIn) f = rng() % 4 == 0;
        const auto doc = DocumentOf(store, standIn, round % 2 == 0);
        const EntryTable table = doc->Table();
        const std::vector<CheckMask> problems = EntryChecker().Run(table);
        EntryFilter typing;
        std::string text;
        const FilterShow show = static_cast<FilterShow>(round % 3);
        for (int key = 0; key < 12; ++key) {
            const unsigned what = rng() % 8;
            if (what < 2 && !text.empty())
                text.pop_back();  // a backspace: rows hidden for the longer text come back
            else if (what == 2)
                text = std::string(1, "aAb| 1x"[rng() % 7]);  // the text selected and typed over
            else
                text += "aAb| 1x"[rng() % 7];
            EntryFilter fresh;
            const std::vector<int> expected = fresh.Apply(table, problems, text, show);
            ASSERT_EQ(typing.Apply(table, problems, text, show), expected) << text;
            // Each shown row holds the text, ignoring case, in a searched cell of its pair.
            for (size_t i = 0; i < expected.size(); i += static_cast<size_t>(table.Step())) {
                std::string cells;
                for (int r = expected[i]; r < expected[i] + table.Step() && r < table.RowCount(); ++r)
                    for (int c : {0, 1, 3}) cells += std::string(table.Cell(r, c)) + "\n";
                for (char& ch : cells) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
                std::string lower = text;
                for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
                EXPECT_NE(cells.find(lower), std::string::npos) << text;
            }
        }
    }
}

}  // namespace

namespace {

struct OrderSpy : DocumentObserver {
    void RowsReordered(const std::vector<int>& order) override { last = order; }
    std::vector<int> last;
};

// Checking only the rows an edit changed, or moving the results with the rows of a sort, gives
// what a whole check gives; an edited Global ID asks for the whole check.
TEST(DocumentReviewProperty, EditsCheckedOnTheirOwnMatchAWholeCheck) {
    std::mt19937 rng(11);
    Document doc;
    doc.Load([&rng](ResourceTable& s) {
        for (int i = 0; i < 60; ++i) {
            const std::string id = std::to_string(i / 2 + (rng() % 8 == 0 ? 1 : 0));
            s.AppendRow({id, "G", "1", RandomText(rng)});
        }
        s.SetLastGlobalId(30);
        return Status::Ok();
    });
    doc.SetSource(RowSource::Pairs);
    doc.SetLocalize(true);  // the pair view: sorts move whole pairs
    DocumentReview review(doc), whole(doc);
    OrderSpy spy;
    doc.AddObserver(&spy);
    review.Recheck();
    for (int edit = 0; edit < 200; ++edit) {
        const int row = static_cast<int>(rng() % 60);
        const bool id = rng() % 10 == 0;
        if (edit % 7 == 3) {
            ASSERT_TRUE(doc.Sort(static_cast<int>(rng() % 4), rng() % 2 == 0));
            ASSERT_TRUE(review.Reordered(spy.last)) << edit;
        } else if (!doc.SetCell(row, id ? ColGlobalId : ColText,
                                id ? std::to_string(rng() % 40) : RandomText(rng))
                        .ok()) {
            FAIL() << edit;
        } else if (!review.RecheckChanged(row, row)) {
            EXPECT_TRUE(id) << edit;
            review.Recheck();
        }
        whole.Recheck();
        ASSERT_EQ(review.Problems(), whole.Problems()) << edit;
        const EntryCounts &a = review.Counts(), &b = whole.Counts();
        ASSERT_EQ((std::array<int64_t, 5>{a.entries, a.translated, a.missing, a.same, a.withProblems}),
                  (std::array<int64_t, 5>{b.entries, b.translated, b.missing, b.same, b.withProblems}))
            << edit;
        ASSERT_EQ(a.byCheck, b.byCheck) << edit;
    }
    doc.RemoveObserver(&spy);
}

}  // namespace
