// The commands that look through the table (Replace, Replace All, Delete All, Search) with a
// filter on: over random documents, random filters and random commands, the rows the filter
// hides stay as they were, the rows shown are reached, and undoing everything then saving
// gives back the files byte for byte.
#include <gtest/gtest.h>

#include <array>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "document/format/SystemCalls.h"
#include "document/model/Document.h"
#include "document/model/RowScope.h"
#include "document/review/DocumentReview.h"
#include "tests/document/RandomPairDocument.h"

namespace {

// Scratch files need not reach the disk: the rounds run many saves.
struct NoSync : SystemCalls {
    int Fsync(int) override { return 0; }
};

std::string FileBytes(const std::string& path) {
    return trf::Get(path);
}

// What a row is, as far as a command could change it.
struct RowImage {
    std::array<std::string, 4> cells;
    std::array<std::string, 4> utf8;
    uint8_t flags;
    bool operator==(const RowImage&) const = default;
};

RowImage Image(const Document& d, int row) {
    RowImage image;
    for (int c = 0; c < 4; ++c) {
        image.cells[static_cast<size_t>(c)] = std::string(d.Cell(row, c));
        image.utf8[static_cast<size_t>(c)] = d.CellUtf8(row, c);
    }
    image.flags = d.Flags(row);
    return image;
}

// Search texts that occur in the random documents, and replacements that cannot make them
// again (each holds a '#', which no document text has): after Replace All no shown row holds
// the search text. "€" cannot be held by a Latin-1 file.
const char* const kSearches[] = {"a", "Open", " ", "|", "%s", "\xC3\xA9", "pen"};
const char* const kReplacements[] = {"#", "#\xE2\x82\xAC", "#\xC3\x9F", "##"};
const char* const kFilters[] = {"", "a", "o", "menu", "1", "OPEN", "\xC3\xA9", "|", "2"};

TEST(FilteredCommandsProperty, HiddenRowsStayAndUndoGivesTheFilesBack) {
    NoSync noSync;
    const ScopedSystemCalls quick(noSync);
    std::mt19937 rng(2024);
    int reachedShown = 0, declined = 0, deletes = 0;
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        trf::ScratchDir dir;
        const bool paired = round % 3 != 2;
        const trf::PairFiles files = trf::WriteRandomPair(dir, "doc", static_cast<unsigned>(round),
                                                          rng() % 2 == 0, rng() % 2 == 0, 30);
        Document doc;
        doc.SetLocalize(paired);
        ASSERT_TRUE(doc.Read(files.txr, files.txl, paired ? ModeOpenPaired : ModeOpen).ok());
        // The bytes a save gives before any change (the .txr alone holds its own row count).
        ASSERT_TRUE(doc.Save(dir / "before.txr", dir / "before.txl").ok());
        const std::string txrBytes = FileBytes(dir / "before.txr"), txlBytes = FileBytes(dir / "before.txl");
        if (paired) {
            ASSERT_EQ(txrBytes + txlBytes, FileBytes(files.txr) + FileBytes(files.txl));
        }
        bool agree = rng() % 2 == 0;
        doc.SetConversionQuestion([&agree](DocFile, std::string_view) { return agree; });

        DocumentReview review(doc);
        review.Recheck();
        const std::string filterText = kFilters[rng() % std::size(kFilters)];
        auto show = static_cast<FilterShow>(rng() % 3);
        if (!paired && show == FilterShow::NotTranslated) show = FilterShow::All;
        const std::vector<int> shownRows = review.Filter(filterText, show);
        const RowScope scope = RowScope::Only(shownRows);
        const int rowCount = doc.RowCount();
        std::vector<bool> isShown(static_cast<size_t>(rowCount));
        for (const int r : shownRows) isShown[static_cast<size_t>(r)] = true;
        std::vector<RowImage> hidden;
        for (int r = 0; r < rowCount; ++r)
            if (!isShown[static_cast<size_t>(r)]) hidden.push_back(Image(doc, r));
        const std::array<Encoding, 2> encodings = {doc.FileEncoding(DocFile::Txr),
                                                   doc.FileEncoding(DocFile::Txl)};

        // The hidden rows, compared by bytes while no file changed its encoding, else as text.
        const auto expectHiddenKept = [&](const char* after) {
            const bool converted = doc.FileEncoding(DocFile::Txr) != encodings[0] ||
                                   doc.FileEncoding(DocFile::Txl) != encodings[1];
            size_t h = 0;
            for (int r = 0; r < doc.RowCount(); ++r) {
                if (static_cast<size_t>(r) < isShown.size() && isShown[static_cast<size_t>(r)]) continue;
                ASSERT_LT(h, hidden.size()) << after;
                const RowImage now = Image(doc, r);
                if (converted)
                    EXPECT_EQ(now.utf8, hidden[h].utf8) << after << " row " << r;
                else
                    EXPECT_EQ(now, hidden[h]) << after << " row " << r;
                ++h;
            }
            EXPECT_EQ(h, hidden.size()) << after;
        };

        for (int command = 0; command < 6; ++command) {
            agree = rng() % 3 != 0;
            const std::string search = kSearches[rng() % std::size(kSearches)];
            const std::string replacement = kReplacements[rng() % std::size(kReplacements)];
            switch (rng() % 4) {
                case 0: {  // Replace, clicked a few times from the top
                    int row = 0;
                    for (int click = 0; click < 3; ++click) {
                        int changed = -1;
                        const Status s = doc.ReplaceNext(row, search, replacement, changed, scope);
                        if (!s.ok()) ++declined;
                        if (changed >= 0) {
                            EXPECT_TRUE(scope.Contains(changed)) << "Replace changed hidden row " << changed;
                            ++reachedShown;
                            ++row;
                        }
                    }
                    expectHiddenKept("Replace");
                    break;
                }
                case 1: {  // Replace All: no shown row holds the search text afterwards
                    std::vector<int> changed;
                    const Status s = doc.ReplaceAll(search, replacement, &changed, scope);
                    if (!s.ok()) {
                        ++declined;
                    } else {
                        for (const int r : changed) EXPECT_TRUE(scope.Contains(r)) << r;
                        reachedShown += static_cast<int>(changed.size());
                        for (const int r : shownRows)
                            EXPECT_EQ(doc.CellUtf8(r, ColText).find(search), std::string::npos)
                                << "shown row " << r << " still holds \"" << search << "\"";
                    }
                    expectHiddenKept("Replace All");
                    break;
                }
                case 2: {  // Search by text and by Global ID find shown rows only
                    const int from = static_cast<int>(rng() % static_cast<unsigned>(rowCount + 1));
                    int expected = -1;
                    for (const int r : shownRows)
                        if (r >= from && doc.CellUtf8(r, ColText).find(search) != std::string::npos) {
                            expected = r;
                            break;
                        }
                    EXPECT_EQ(doc.FindText(search, from, scope), expected) << search << " from " << from;
                    const std::string id = std::to_string(1 + rng() % 10);
                    std::vector<int> ids;
                    for (const int r : shownRows)
                        if (doc.CellUtf8(r, ColGlobalId) == id) ids.push_back(r);
                    EXPECT_EQ(doc.FindGlobalId(id, scope), ids) << id;
                    break;
                }
                default:
                    break;
            }
        }

        // Delete All last: what is left is the hidden rows, in their order.
        if (rng() % 2 == 0) {
            const int entries = doc.EntriesIn(scope);
            EXPECT_EQ(entries,
                      paired ? static_cast<int>(shownRows.size()) / 2 : static_cast<int>(shownRows.size()));
            EXPECT_EQ(doc.DeleteAll(scope), !shownRows.empty());
            ASSERT_EQ(doc.RowCount(), static_cast<int>(hidden.size()));
            isShown.assign(hidden.size(), false);
            expectHiddenKept("Delete All");
            ++deletes;
        }

        while (doc.CanUndo()) ASSERT_TRUE(doc.Undo());
        ASSERT_EQ(doc.RowCount(), rowCount);
        ASSERT_TRUE(doc.Save(dir / "back.txr", dir / "back.txl").ok());
        EXPECT_EQ(FileBytes(dir / "back.txr"), txrBytes);
        if (paired) {
            EXPECT_EQ(FileBytes(dir / "back.txl"), txlBytes);
        }
    }
    // The rounds reached shown rows, and met declined conversions and Delete All.
    EXPECT_GT(reachedShown, 50);
    EXPECT_GT(declined, 0);
    EXPECT_GT(deletes, 10) << reachedShown << " " << declined;
}

// Without a filter every row is in scope: the commands act as they always did.
TEST(FilteredCommandsProperty, EveryRowInScopeIsTheUnfilteredCommand) {
    NoSync noSync;
    const ScopedSystemCalls quick(noSync);
    for (unsigned seed = 0; seed < 8; ++seed) {
        trf::ScratchDir dir;
        const trf::PairFiles files = trf::WriteRandomPair(dir, "d", seed, seed % 2 == 0, seed % 3 == 0, 25);
        Document whole, scoped;
        for (Document* d : {&whole, &scoped}) {
            d->SetLocalize(true);
            ASSERT_TRUE(d->Read(files.txr, files.txl, ModeOpenPaired).ok());
            d->SetConversionQuestion([](DocFile, std::string_view) { return true; });
        }
        std::vector<int> every(static_cast<size_t>(whole.RowCount()));
        for (size_t i = 0; i < every.size(); ++i) every[i] = static_cast<int>(i);
        const RowScope all = RowScope::Only(every);
        EXPECT_EQ(whole.FindText("a", 3), scoped.FindText("a", 3, all));
        EXPECT_EQ(whole.FindGlobalId("2"), scoped.FindGlobalId("2", all));
        std::vector<int> a, b;
        ASSERT_TRUE(whole.ReplaceAll("a", "#", &a).ok());
        ASSERT_TRUE(scoped.ReplaceAll("a", "#", &b, all).ok());
        EXPECT_EQ(a, b);
        for (int r = 0; r < whole.RowCount(); ++r) ASSERT_EQ(whole.Cell(r, ColText), scoped.Cell(r, ColText));
        EXPECT_EQ(whole.EntriesIn(RowScope()), whole.RowCount() / 2);
        EXPECT_TRUE(scoped.DeleteAll(all));
        EXPECT_EQ(scoped.RowCount(), 0);
    }
}

// The figures' line with a filter: how many entries are shown of how many.
TEST(FilteredCommandsProperty, SummaryNamesTheEntriesShown) {
    EntryCounts counts;
    counts.entries = 20;
    counts.translated = 12;
    counts.missing = 4;
    counts.same = 4;
    counts.withProblems = 2;
    const struct {
        bool paired;
        int64_t shown;
        const char* text;
    } cases[] = {
        {true, -1, "20 entries, 12 translated (60%), 4 missing, 4 same as original, 2 with problems"},
        {true, 3,
         "3 of 20 entries shown, 12 translated (60%), 4 missing, 4 same as original, 2 with problems"},
        {false, 0, "0 of 20 entries shown, 2 with problems"},
        {false, -1, "20 entries, 2 with problems"},
    };
    for (const auto& c : cases) EXPECT_EQ(counts.Summary(c.paired, c.shown), c.text);
}

}  // namespace
