// The document: every change undone and redone exactly (random command sequences on random
// tables), per-file encodings through edits and saves, what each view saves, the history limit.
#include <gtest/gtest.h>

#include <random>

#include "document/exchange/TranslationImport.h"
#include "document/exchange/TranslationTable.h"
#include "document/model/Document.h"
#include "document/model/DocumentObserver.h"
#include "document/review/DocumentReview.h"
#include "tests/document/TextResourceFiles.h"

namespace {

using trf::Get;
using trf::Put;

// Everything that makes up the document, compared as a whole.
struct Snapshot {
    std::vector<trf::Row> rows;
    std::vector<uint8_t> flags;
    std::vector<trf::Group> groups;
    int32_t last = 0;
    Encoding txr = Encoding::Utf8, txl = Encoding::Utf8;
    int sortColumn = -1;
    bool ascending = true;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const Document& d) {
    Snapshot s{trf::Rows(d.Rows()),
               {},
               trf::Groups(d.Rows()),
               d.LastGlobalId(),
               d.FileEncoding(DocFile::Txr),
               d.FileEncoding(DocFile::Txl),
               d.SortColumn(),
               d.SortAscending()};
    for (int r = 0; r < d.RowCount(); ++r) s.flags.push_back(d.Flags(r));
    return s;
}

// The bytes a save writes (or the refusal), both files.
std::string Saved(const Document& d, const trf::ScratchDir& dir) {
    std::filesystem::remove(dir / "out.txr");
    std::filesystem::remove(dir / "out.txl");
    const Status s = d.Write(dir / "out.txr", dir / "out.txl");
    if (!s) return "refused: " + s.message();
    return Get(dir / "out.txr") + "\n--\n" + Get(dir / "out.txl");
}

std::string Latin1(std::string_view utf8) {
    std::string out;
    EXPECT_TRUE(Utf8ToLatin1(utf8, out));
    return out;
}

// A random document read from files: a .txr, and for pairs a .txl with its own encoding that
// may lack the last entries (stand-ins).
struct RandomDoc {
    bool pairs;
    ReadMode mode;
    void Write(std::mt19937& rng, const trf::ScratchDir& dir) {
        const bool txrLatin1 = rng() % 2, txlLatin1 = rng() % 2;
        pairs = rng() % 2;
        const int entries = static_cast<int>(rng() % 30);
        const int translated = pairs ? entries - static_cast<int>(rng() % 4) : 0;
        const char* groupNames[] = {"Menu", "Dialog", "Men\xc3\xbc", "Err"};
        ResourceTable txr, txl;
        std::vector<trf::Row> originals, translations;
        std::vector<trf::Group> groups;
        for (int g = 0; g < 4; ++g) groups.emplace_back(txrLatin1 ? Latin1(groupNames[g]) : groupNames[g], 0);
        for (int e = 0; e < entries; ++e) {
            const int g = static_cast<int>(rng() % 4);
            const std::string id = std::to_string(1 + rng() % 40);
            const std::string gid = std::to_string(++groups[static_cast<size_t>(g)].second);
            const std::string text = RandomText(rng, false);
            const auto in = [](bool latin1, const std::string& s) { return latin1 ? Latin1(s) : s; };
            originals.push_back({id, in(txrLatin1, groupNames[g]), gid, in(txrLatin1, text)});
            if (e < translated)
                translations.push_back({id, in(txlLatin1, groupNames[g]), gid, in(txlLatin1, "T " + text)});
        }
        trf::Fill(txr, originals, groups, 40);
        trf::Fill(txl, translations, groups, 40);
        ASSERT_TRUE(WriteTextResource(txr, dir / "a.txr", "", false).ok());
        std::filesystem::remove(dir / "a.txl");
        if (pairs && rng() % 5) {
            ASSERT_TRUE(WriteTextResource(txl, dir / "a.txl", "", false).ok());
        }
        const ReadMode single[] = {ModeOpen, ModeShowOriginal, ModeShowLocalized};
        mode = pairs ? (rng() % 2 ? ModeShowBoth : ModeOpenPaired) : single[rng() % 3];
    }
    static std::string RandomText(std::mt19937& rng, bool beyondLatin1) {
        const char* pieces[] = {"ab", "x", " ", "\xc3\xa9", "Open", "&", "%s"};
        std::string t;
        for (int n = static_cast<int>(rng() % 5); n > 0; --n) t += pieces[rng() % 7];
        if (beyondLatin1 && rng() % 3 == 0) t += "\xd0\x94";  // Д
        return t;
    }
};

struct StepCount : DocumentObserver {
    int steps = 0;
    void StepRecorded(const std::string&) override { ++steps; }
};

// One change with all its choices, so that it can be made again on another document.
struct Intent {
    int kind;
    int row, column;
    bool flag, answer;
    std::string a, b;
    std::vector<int> rows;
    void Run(Document& d) const {
        d.SetLocalize(flag);
        d.SetConversionQuestion([this](DocFile, std::string_view) { return answer; });
        int r = row, changed = -1;
        switch (kind) {
            case 0:
                if (column % 2) d.BeginAdd();
                if (!d.AddEntry(row, a, b).ok()) d.CancelAdd();  // as the Add dialog's Cancel
                break;
            case 1:
                d.AppendRow(std::vector<std::string>{std::to_string(row), a, "1", b});
                break;
            case 2:
                d.EditEntry(row, a, b);
                break;
            case 3:
                d.SetCell(row, column, column == ColText ? b : a);
                break;
            case 4:
                d.DeleteRows(d.EntryRows(rows));
                break;
            case 5:
                d.DeleteAll();
                break;
            case 6:
                d.ReplaceNext(r, a, b, changed);
                break;
            case 7:
                d.ReplaceAll(a, b);
                break;
            case 9:
                d.Translate(row, b, answer);
                break;
            default:
                d.Sort(column, row % 2 == 0);
                break;
        }
    }
    static Intent Random(std::mt19937& rng, const Document& d) {
        Intent i;
        const int weights[] = {5, 2, 5, 3, 4, 1, 4, 3, 4, 4};
        int pick = static_cast<int>(rng() % 35);
        for (i.kind = 0; pick >= weights[i.kind]; ++i.kind) pick -= weights[i.kind];
        const int rows = d.RowCount();
        i.row = rows ? static_cast<int>(rng() % static_cast<unsigned>(rows + 1)) : 0;
        i.column = static_cast<int>(rng() % 4);
        i.flag = rng() % 4 != 0;
        i.answer = rng() % 2;
        const char* names[] = {"Menu", "Men\xc3\xbc", "New", "\xd0\x93"};
        i.a = i.kind >= 6 ? RandomDoc::RandomText(rng, false) : names[rng() % 4];
        i.b = RandomDoc::RandomText(rng, true);
        for (int n = static_cast<int>(rng() % 4); n > 0 && rows; --n)
            i.rows.push_back(static_cast<int>(rng() % rows));
        return i;
    }
};

// Every change is one step; undoing it gives back exactly what was there and redoing it what it
// made. Over whole random sequences (undo and redo mixed in): undoing everything gives the
// document as read, byte for byte, saved bytes included; redoing everything gives the end state;
// and the end state saves the same bytes as the same changes made without any undo.
TEST(DocumentTest, RandomChangesUndoAndRedoExactly) {
    trf::ScratchDir dir;
    const unsigned seed = 20261207;
    std::mt19937 rng(seed);
    int commands = 0;
    for (int doc = 0; doc < 40; ++doc) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", document " + std::to_string(doc));
        RandomDoc random;
        random.Write(rng, dir);
        Document d;
        StepCount counter;
        d.AddObserver(&counter);
        ASSERT_TRUE(d.Read(dir / "a.txr", dir / "a.txl", random.mode).ok());
        const Snapshot start = Take(d);
        const std::string startSaved = Saved(d, dir);
        std::vector<Intent> live, undone;  // the intents behind the history's steps
        for (int step = 0; step < 260; ++step, ++commands) {
            const int what = static_cast<int>(rng() % 10);
            if (what == 0) {
                if (d.Undo()) undone.push_back(live.back()), live.pop_back();
                continue;
            }
            if (what == 1) {
                if (d.Redo()) live.push_back(undone.back()), undone.pop_back();
                continue;
            }
            const Snapshot before = Take(d);
            const int steps = counter.steps;
            const Intent intent = Intent::Random(rng, d);
            intent.Run(d);
            if (counter.steps == steps) {
                ASSERT_EQ(Take(d), before) << "a change without a step changed nothing";
                continue;
            }
            live.push_back(intent);
            undone.clear();
            const Snapshot after = Take(d);
            ASSERT_TRUE(d.Undo());
            ASSERT_EQ(Take(d), before) << "undo of kind " << intent.kind;
            ASSERT_TRUE(d.Redo());
            ASSERT_EQ(Take(d), after) << "redo of kind " << intent.kind;
        }
        while (d.Redo()) live.push_back(undone.back()), undone.pop_back();
        const Snapshot end = Take(d);
        const std::string endSaved = Saved(d, dir);
        while (d.Undo()) {
        }
        ASSERT_EQ(Take(d), start);
        ASSERT_EQ(Saved(d, dir), startSaved);
        while (d.Redo()) {
        }
        ASSERT_EQ(Take(d), end);
        ASSERT_EQ(Saved(d, dir), endSaved);

        Document direct;
        ASSERT_TRUE(direct.Read(dir / "a.txr", dir / "a.txl", random.mode).ok());
        for (const Intent& intent : live) intent.Run(direct);
        ASSERT_EQ(Take(direct), end);
        ASSERT_EQ(Saved(direct, dir), endSaved);
    }
    EXPECT_GE(commands, 10000);
}

// Each file keeps its own encoding: an edit in one is written in that file's encoding and the
// other file's bytes stay (but for the row-count line, which a save always writes); a character
// a Latin-1 file cannot hold asks to convert that file alone, and a refusal changes nothing.
TEST(DocumentTest, EachFileKeepsItsEncoding) {
    struct Case {
        bool txrLatin1;
        int row;  // edited: 0 the original, 1 its translation
        const char* typed;
        bool answer;
        bool changed;
    };
    const Case cases[] = {
        {false, 0, "Open \xc3\xa9", true, true},   // UTF-8 .txr, Latin-1 .txl
        {true, 1, "Ouvrir \xc3\xa9", true, true},  // Latin-1 .txr, UTF-8 .txl
        {false, 1, "\xd0\x94", false, false},      // Latin-1 .txl, declined
        {false, 1, "\xd0\x94", true, true},        // Latin-1 .txl, converted
        {true, 0, "Open \xd0\x94", true, true},    // Latin-1 .txr, converted
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        trf::ScratchDir dir;
        const auto enc = [](bool latin1, std::string s) { return latin1 ? Latin1(s) : s; };
        Put(dir / "s.txr",
            trf::Lines({"1", "1", "Menu|1", "#", "1|Menu|1|" + enc(c.txrLatin1, "Open f\xc3\xaf")}));
        const std::string txl =
            trf::Lines({"1", "1", "Menu|1", "#", "1|Menu|1|" + enc(!c.txrLatin1, "Ouvrir \xc3\xa0")});
        Put(dir / "s.txl", txl);
        const std::string txr = Get(dir / "s.txr");
        Document d;
        ASSERT_TRUE(d.Read(dir / "s.txr", dir / "s.txl", ModeShowBoth).ok());
        d.SetLocalize(true);
        EXPECT_EQ(d.CellUtf8(0, ColText), "Open f\xc3\xaf");
        EXPECT_EQ(d.CellUtf8(1, ColText), "Ouvrir \xc3\xa0");
        std::vector<DocFile> asked;
        d.SetConversionQuestion([&](DocFile f, std::string_view ch) {
            EXPECT_EQ(ch, "\xd0\x94");
            asked.push_back(f);
            return c.answer;
        });
        const Status s = d.EditEntry(c.row, "Menu", c.typed);
        EXPECT_EQ(s.ok(), c.changed);
        EXPECT_EQ(d.CanUndo(), c.changed);
        EXPECT_EQ(asked.size(),
                  std::string_view(c.typed).find("\xd0\x94") != std::string_view::npos ? 1u : 0u);
        for (DocFile f : asked) EXPECT_EQ(f, c.row ? DocFile::Txl : DocFile::Txr);
        ASSERT_TRUE(d.Save(dir / "s.txr", dir / "s.txl").ok());
        const std::string editedFile = Get(dir / (c.row ? "s.txl" : "s.txr"));
        const std::string otherFile = Get(dir / (c.row ? "s.txr" : "s.txl"));
        const std::string otherBefore = c.row ? txr : txl;
        // The other file: only its second line (the row count) may differ.
        const auto withoutCount = [](std::string bytes) {
            const size_t a = bytes.find("\r\n") + 2;
            return bytes.erase(a, bytes.find("\r\n", a) - a);
        };
        EXPECT_EQ(withoutCount(otherFile), withoutCount(otherBefore));
        const bool editedLatin1 = c.row ? !c.txrLatin1 : c.txrLatin1;
        const bool nowUtf8 = !editedLatin1 || (c.changed && !asked.empty());
        const std::string expected = c.changed ? std::string(c.typed) : std::string("Ouvrir \xc3\xa0");
        EXPECT_NE(editedFile.find("|Menu|1|" + (nowUtf8 ? expected : Latin1(expected)) + "\r\n"),
                  std::string::npos)
            << editedFile;
        if (c.changed) {
            d.Undo();
            ASSERT_TRUE(d.Save(dir / "s.txr", dir / "s.txl").ok());
            EXPECT_EQ(withoutCount(Get(dir / "s.txr")), withoutCount(txr));
            EXPECT_EQ(withoutCount(Get(dir / "s.txl")), withoutCount(txl));
        }
    }
}

// A save writes exactly the file(s) the rows came from; Add in the original's view adds one
// row, in the translations' view (the .txl alone) it is refused, changing nothing: a lone
// translation would pair with another entry's original.
TEST(DocumentTest, EveryViewSavesTheFileItShows) {
    struct Case {
        ReadMode mode;
        bool txrWritten, txlWritten;
        int rowsAdded;
    };
    const Case cases[] = {
        {ModeOpen, true, false, 1},
        {ModeShowOriginal, true, false, 1},
        {ModeShowLocalized, false, true, 0},
        {ModeShowBoth, true, true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        trf::ScratchDir dir;
        Put(dir / "v.txr", trf::Lines({"2", "2", "M|2", "#", "1|M|1|One", "2|M|2|Two"}));
        Put(dir / "v.txl", trf::Lines({"2", "2", "M|2", "#", "1|M|1|Un", "2|M|2|Deux"}));
        const std::string txr = Get(dir / "v.txr"), txl = Get(dir / "v.txl");
        Document d;
        d.SetLocalize(true);
        ASSERT_TRUE(d.Read(dir / "v.txr", dir / "v.txl", c.mode).ok());
        const int rows = d.RowCount();
        if (c.rowsAdded == 0) {
            ASSERT_NE(d.AddProblem(), "");
            ASSERT_TRUE(d.BeginAdd());
            const Status refused = d.AddEntry(3, "M", "Three");
            d.CancelAdd();
            EXPECT_EQ(refused.message(), d.AddProblem());
            EXPECT_EQ(d.LastGlobalId(), 2);
            EXPECT_FALSE(d.CanUndo());
            ASSERT_TRUE(d.EditEntry(0, "M", "Three").ok());  // a change that is allowed
        } else {
            EXPECT_EQ(d.AddProblem(), "");
            ASSERT_TRUE(d.AddEntry(3, "M", "Three").ok());
        }
        EXPECT_EQ(d.RowCount() - rows, c.rowsAdded);
        EXPECT_EQ(d.SaveProblem(), "");
        ASSERT_TRUE(d.Save(dir / "v.txr", dir / "v.txl").ok());
        EXPECT_EQ(Get(dir / "v.txr") != txr, c.txrWritten);
        EXPECT_EQ(Get(dir / "v.txl") != txl, c.txlWritten);
        for (const char* file : {"v.txr", "v.txl"}) {
            if (Get(dir / file) != (file[4] == 'r' ? txr : txl)) {
                const char* line = c.rowsAdded ? "3|M|3|Three\r\n" : "1|M|1|Three\r\n";
                EXPECT_NE(Get(dir / file).find(line), std::string::npos) << file;
            }
        }
    }
}

// The pair table a save checks: whole pairs, original first, one Global ID per pair; with
// Localize off a pair table cannot be saved at all.
TEST(DocumentTest, PairTableProblems) {
    trf::ScratchDir dir;
    Put(dir / "p.txr", trf::Lines({"2", "2", "M|2", "#", "1|M|1|One", "2|M|2|Two"}));
    Put(dir / "p.txl", trf::Lines({"2", "2", "M|2", "#", "1|M|1|Un", "2|M|2|Deux"}));
    Document d;
    ASSERT_TRUE(d.Read(dir / "p.txr", dir / "p.txl", ModeShowBoth).ok());
    EXPECT_NE(d.SaveProblem(), "");
    d.SetLocalize(true);
    EXPECT_EQ(d.SaveProblem(), "");
    d.SetCell(3, ColGlobalId, "7");
    EXPECT_NE(d.SaveProblem().find("rows 3 and 4"), std::string::npos);
    d.Undo();
    d.SetLocalize(false);
    d.Sort(ColText, true);  // single rows: a translation now leads a pair
    d.SetLocalize(true);
    EXPECT_NE(d.SaveProblem().find("not an original followed by"), std::string::npos);
    d.Undo();
    d.DeleteRows({3});
    EXPECT_NE(d.SaveProblem().find("odd number"), std::string::npos);
    EXPECT_FALSE(d.Save(dir / "p.txr", dir / "p.txl").ok());
}

// Observers hear of each row change in a form an item model can announce, and of each step.
TEST(DocumentTest, ObserversSeeEveryChange) {
    struct Log : DocumentObserver {
        std::vector<std::string> seen;
        void Note(char kind, int f, int l) {
            std::string s(1, kind);
            s += std::to_string(f);
            s += std::to_string(l);
            seen.push_back(s);
        }
        void RowsAboutToBeInserted(int f, int l) override { Note('+', f, l); }
        void RowsAboutToBeRemoved(int f, int l) override { Note('-', f, l); }
        void RowsChanged(int f, int l) override { Note('~', f, l); }
        void RowsReordered(const std::vector<int>&) override { seen.push_back("order"); }
        void Reset() override { seen.push_back("reset"); }
        void StepRecorded(const std::string& what) override { seen.push_back(what); }
    } log;
    Document d;
    d.AddObserver(&log);
    for (const char* t : {"b", "a", "c"}) d.AppendRow(std::vector<std::string>{"1", "M", "1", t});
    d.Sort(ColText, true);
    d.DeleteRows({0, 2});
    d.Undo();
    d.ReplaceAll("c", "d");
    d.DeleteAll();
    d.Undo();
    const std::vector<std::string> expected = {
        "+00", "Add",    "+11", "Add", "+22", "Add",         "order", "Sort",       "-22",
        "-00", "Delete", "+00", "+22", "~22", "Replace All", "reset", "Delete All", "reset"};
    EXPECT_EQ(log.seen, expected);
}

// The history keeps what changed, not copies of the table, and stays within its limit by dropping
// the oldest steps (never the newest).
TEST(DocumentTest, HistoryMemoryIsBounded) {
    constexpr int kRows = 20000;
    Document d;
    d.Load([](ResourceTable& s) {
        for (int i = 0; i < kRows; ++i)
            s.AppendRow(
                {std::to_string(i), "M", "1", (i % 10 ? "some words " : "some text ") + std::to_string(i)});
        return Status::Ok();
    });
    const size_t table = d.Rows().MemoryUsage();
    d.Sort(ColText, false);
    EXPECT_LT(d.HistoryBytes(), kRows * sizeof(int) + 1024);  // the permutation only
    const size_t afterSort = d.HistoryBytes();
    d.ReplaceAll("text", "word");
    // The changed tenth of the rows (under 64 bytes each with their offsets), and one chunk.
    EXPECT_LT(d.HistoryBytes() - afterSort, kRows / 10 * 64 + (64 << 10) + 1024);
    EXPECT_LT(d.HistoryBytes() - afterSort, table / 4);
    d.SetHistoryLimit(d.HistoryBytes() - afterSort + 200);
    EXPECT_EQ(d.UndoCount(), 1u);
    EXPECT_EQ(d.UndoName(), "Replace All");
    d.SetHistoryLimit(1);
    EXPECT_EQ(d.UndoCount(), 1u);
    EXPECT_TRUE(d.Undo());
    int texts = 0;
    for (int r = d.FindText("some text", 0); r >= 0; r = d.FindText("some text", r + 1)) ++texts;
    EXPECT_EQ(texts, kRows / 10);
}

// Unsaved changes follow the history's saved point: undo and redo back to it end them, a new
// step after undoing past it (or the memory limit dropping it) puts it out of reach, a failed
// save changes nothing, a deleted file leaves no state saved, a read or New starts saved. The
// observers are told of every move, with the document already as it is after it.
TEST(DocumentTest, UnsavedChangesFollowTheSavedPoint) {
    trf::ScratchDir dir;
    Put(dir / "m.txr", trf::Lines({"2", "2", "Menu|2", "#", "1|Menu|1|One", "2|Menu|2|Two"}));
    // One letter an action: e edit, u undo, r redo, s save, f failed save, d file deleted,
    // t history cut to the newest step, o read again, n New. Then whether changes are unsaved.
    const struct {
        const char* actions;
        const char* modified;
    } cases[] = {
        {"eurur", "10101"},     {"eesuurr", "1101110"}, {"esueur", "101111"},
        {"sefu", "0110"},       {"eedus", "11110"},     {"seetu", "01111"},
        {"eseetuu", "1011111"}, {"eoen", "1010"},       {"esuuuu", "101111"},
    };
    struct Watch : DocumentObserver {
        const Document* doc = nullptr;
        int told = 0;
        std::string seen;
        void HistoryChanged() override {
            ++told;
            seen = State(*doc);
        }
        static std::string State(const Document& d) {
            return std::to_string(d.UndoCount()) + " " + d.UndoName() + "/" + std::to_string(d.RedoCount()) +
                   " " + d.RedoName() + (d.IsModified() ? " *" : "");
        }
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.actions);
        Document d;
        Watch watch;
        watch.doc = &d;
        d.AddObserver(&watch);
        ASSERT_TRUE(d.Read(dir / "m.txr", "", ModeOpen).ok());
        EXPECT_FALSE(d.IsModified());
        std::string modified;
        int edits = 0;
        for (const char* a = c.actions; *a; ++a) {
            const int told = watch.told;
            bool moved = *a != 'f';  // whether the history changed
            switch (*a) {
                case 'e':
                    ASSERT_TRUE(d.SetCell(0, ColText, "Edit " + std::to_string(++edits)).ok());
                    break;
                case 'u':
                    moved = d.Undo();
                    break;
                case 'r':
                    moved = d.Redo();
                    break;
                case 's':
                    ASSERT_TRUE(d.Save(dir / "m.txr", "").ok());
                    break;
                case 'f':
                    ASSERT_FALSE(d.Save(dir / "no/such/m.txr", "").ok());
                    break;
                case 'd':
                    d.MarkUnsaved();
                    break;
                case 't':
                    d.SetHistoryLimit(1);
                    d.SetHistoryLimit(DocumentHistory::kDefaultLimit);
                    break;
                case 'o':
                    ASSERT_TRUE(d.Read(dir / "m.txr", "", ModeOpen).ok());
                    break;
                case 'n':
                    d.Clear();
                    break;
            }
            modified += d.IsModified() ? '1' : '0';
            if (watch.told != told) {
                EXPECT_EQ(watch.seen, Watch::State(d)) << *a;
            }
            EXPECT_EQ(watch.told > told, moved) << *a;
        }
        EXPECT_EQ(modified, c.modified);
        d.RemoveObserver(&watch);
    }
}

// Searches match each row in its own file's encoding.
TEST(DocumentTest, SearchMatchesEachFileInItsEncoding) {
    trf::ScratchDir dir;
    Put(dir / "s.txr", trf::Lines({"2", "2", "M|2", "#", "1|M|1|caf\xc3\xa9", "2|M|2|Two"}));
    Put(dir / "s.txl", trf::Lines({"2", "2", "M|2", "#", "1|M|1|caf\xe9", "\xe9|M|2|Deux"}));
    Document d;
    ASSERT_TRUE(d.Read(dir / "s.txr", dir / "s.txl", ModeShowBoth).ok());
    EXPECT_EQ(d.FindText("caf\xc3\xa9", 0), 0);
    EXPECT_EQ(d.FindText("caf\xc3\xa9", 1), 1);
    EXPECT_EQ(d.FindText("\xd0\x94", 0), -1);
    EXPECT_EQ(d.FindGlobalId("\xc3\xa9"), std::vector<int>{3});
    EXPECT_EQ(d.FindGlobalId("1"), (std::vector<int>{0, 1}));
}

}  // namespace

// Editing a stand-in translation makes it the .txl's own entry; undo makes it a stand-in again.
TEST(DocumentTest, EditedStandInIsNoLongerMissing) {
    trf::ScratchDir dir;
    Put(dir / "s.txr", trf::Lines({"2", "2", "Menu|2", "#", "1|Menu|1|One", "2|Menu|2|Two"}));
    Put(dir / "s.txl", trf::Lines({"1", "2", "Menu|2", "#", "1|Menu|1|Un"}));
    for (const bool wholeEntry : {true, false}) {
        Document d;
        ASSERT_TRUE(d.Read(dir / "s.txr", dir / "s.txl", ModeShowBoth).ok());
        d.SetLocalize(true);
        ASSERT_TRUE(d.IsStandIn(3));
        ASSERT_TRUE((wholeEntry ? d.EditEntry(3, "Menu", "Deux") : d.SetCell(3, ColText, "Deux")).ok());
        EXPECT_FALSE(d.IsStandIn(3)) << wholeEntry;
        ASSERT_TRUE(d.Undo());
        EXPECT_TRUE(d.IsStandIn(3)) << wholeEntry;
        EXPECT_EQ(d.CellUtf8(3, ColText), "Two");
        ASSERT_TRUE(d.Redo());
        EXPECT_FALSE(d.IsStandIn(3)) << wholeEntry;
    }
}

// Translating is one step named after the entry's Global ID; what the files cannot hold, an
// original row, and the same text again change nothing; typed on a stand-in, even the original's
// own text makes the entry the .txl's own.
TEST(DocumentTest, TranslateSetsATranslationOnly) {
    trf::ScratchDir dir;
    Put(dir / "s.txr", trf::Lines({"42", "2", "Menu|2", "#", "41|Menu|1|One", "42|Menu|2|Two"}));
    Put(dir / "s.txl", trf::Lines({"41", "2", "Menu|2", "#", "41|Menu|1|Un"}));
    struct Case {
        int row;
        std::string text;
        bool claim;
        bool ok;
        std::string step;   // the step's name; empty when there is none
        bool standInAfter;  // entry 42's translation (row 3) after the step
    } const cases[] = {
        {1, "Une", false, true, "Translate entry 41", true},
        {1, "Un", true, true, "", false},                     // the same text: nothing to record
        {3, "Two", false, true, "", true},                    // accepted as it stands: still missing
        {3, "Two", true, true, "Translate entry 42", false},  // typed: the .txl's own
        {3, "Deux", false, true, "Translate entry 42", false},
        {3, "Deux\nlignes", false, false, "", true},  // a line break cannot be saved
        {2, "Two!", false, false, "", true},          // an original row
        {9, "x", false, false, "", true},
    };
    for (const Case& c : cases) {
        Document d;
        ASSERT_TRUE(d.Read(dir / "s.txr", dir / "s.txl", ModeShowBoth).ok());
        d.SetLocalize(true);
        const Snapshot before = Take(d);
        EXPECT_EQ(d.Translate(c.row, c.text, c.claim).ok(), c.ok) << c.row << " " << c.text;
        EXPECT_EQ(d.UndoCount(), c.step.empty() ? 0u : 1u) << c.row << " " << c.text;
        if (c.step.empty()) {
            EXPECT_TRUE(Take(d) == before) << c.row << " " << c.text;
            continue;
        }
        EXPECT_EQ(d.UndoName(), c.step);
        EXPECT_EQ(d.CellUtf8(c.row, ColText), c.text);
        EXPECT_EQ(d.IsStandIn(3), c.standInAfter) << c.row << " " << c.text;
        ASSERT_TRUE(d.Undo());
        EXPECT_TRUE(Take(d) == before) << c.row << " " << c.text;
    }
}

// Save writes the stand-ins as copies of their originals: the document then holds what reading
// the files gives (no stand-ins, the same figures), in the pair view and in the .txl's own view;
// Write leaves the document as it was.
TEST(DocumentTest, SavedStandInsAreTheTxlsOwnEntries) {
    trf::ScratchDir dir;
    Put(dir / "s.txr",
        trf::Lines({"3", "3", "Menu|3", "#", "1|Menu|1|One", "2|Menu|2|Two", "3|Menu|3|Three"}));
    Put(dir / "s.txl", trf::Lines({"1", "1", "Menu|1", "#", "1|Menu|1|Un"}));
    // The pairs with the last two translations missing; the .txl's view of a .txl not there
    // (every row stands in).
    const struct {
        ReadMode mode;
        const char* txl;
        int standIns;
    } cases[] = {{ModeShowBoth, "s.txl", 2}, {ModeShowLocalized, "none.txl", 3}};
    for (const auto& [mode, txl, count] : cases) {
        SCOPED_TRACE(mode);
        Document d;
        ASSERT_TRUE(d.Read(dir / "s.txr", dir / txl, mode).ok());
        d.SetLocalize(true);
        const auto figures = [](const Document& doc) {
            DocumentReview review(doc);
            review.Recheck();
            const EntryCounts& c = review.Counts();
            return std::to_string(c.missing) + " missing, " + std::to_string(c.same) + " same";
        };
        const auto standIns = [](const Document& doc) {
            int n = 0;
            for (int r = 0; r < doc.RowCount(); ++r) n += doc.IsStandIn(r);
            return n;
        };
        ASSERT_EQ(standIns(d), count);
        const std::string before = figures(d);
        ASSERT_TRUE(d.Write(dir / "w.txr", dir / "w.txl").ok());
        EXPECT_EQ(standIns(d), count);
        ASSERT_TRUE(d.Save(dir / "c.txr", dir / "c.txl").ok());
        Document reopened;
        ASSERT_TRUE(
            reopened.Read(dir / (mode == ModeShowBoth ? "c.txr" : "s.txr"), dir / "c.txl", mode).ok());
        EXPECT_EQ(standIns(d), 0);
        EXPECT_EQ(figures(d), figures(reopened));
        if (mode == ModeShowBoth) {
            EXPECT_EQ(before, "2 missing, 0 same");
            EXPECT_EQ(figures(d), "0 missing, 2 same");
        }
    }
}

// An import is one step, its conversion included: the document then saves the .txl the command
// line's import writes; undo gives back every byte, redo the import again.
TEST(DocumentTest, ImportIsOneStepLikeTheCommandLines) {
    struct Case {
        bool txrLatin1, txlLatin1;
        const char* first;  // the new translation of entry 1
        bool answer;        // to converting the .txl
    };
    const Case cases[] = {
        {false, false, "Un \xc3\xa9", true}, {true, true, "Un \xc3\xa9", true},
        {false, true, "Un \xd0\x94", true},  {true, true, "Un \xd0\x94", false},
        {true, false, "Un \xd0\x94", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.first) + (c.txrLatin1 ? " Latin-1 .txr" : "") +
                     (c.txlLatin1 ? " Latin-1 .txl" : ""));
        trf::ScratchDir dir;
        const auto enc = [](bool latin1, std::string s) { return latin1 ? Latin1(s) : s; };
        Put(dir / "s.txr",
            trf::Lines({"3", "3", "Menu|3", "#", "1|Menu|1|" + enc(c.txrLatin1, "One \xc3\xa9"),
                        "2|Menu|2|Two", "3|Menu|3|" + enc(c.txrLatin1, "Thr\xc3\xa9\x65")}));
        // The .txl lacks entry 3: its row stands in.
        Put(dir / "s.txl", trf::Lines({"2", "3", "Menu|3", "#", "1|Menu|1|" + enc(c.txlLatin1, "Un \xc3\xa0"),
                                       "2|Menu|2|Deux"}));
        Document d;
        ASSERT_TRUE(d.Read(dir / "s.txr", dir / "s.txl", ModeShowBoth).ok());
        d.SetLocalize(true);
        int asked = 0;
        d.SetConversionQuestion([&](DocFile f, std::string_view) {
            EXPECT_EQ(f, DocFile::Txl);
            ++asked;
            return c.answer;
        });
        StepCount steps;
        d.AddObserver(&steps);
        const std::vector<IncomingUnit> units = {{IncomingUnit::Kind::Translation, "1", "", c.first},
                                                 {IncomingUnit::Kind::Translation, "2", "", "Deux"},
                                                 {IncomingUnit::Kind::Translation, "3", "", "Trois"}};
        TranslationTable table;
        ASSERT_TRUE(table.FromDocument(d).ok());
        ImportResult result;
        ASSERT_TRUE(ComputeImport(table, units, ImportOptions(), result).ok());
        EXPECT_EQ(result.summary.updated, 2u);
        EXPECT_EQ(result.summary.unchanged, 1u);
        const Snapshot before = Take(d);
        const std::string savedBefore = Saved(d, dir);
        const Status s = d.ApplyImport(result.changes, result.translated, &result.summary.becameUtf8);
        const bool beyond = std::string_view(c.first).find("\xd0\x94") != std::string_view::npos;
        EXPECT_EQ(asked, beyond && c.txlLatin1 ? 1 : 0);
        if (!c.answer) {
            EXPECT_FALSE(s.ok());
            EXPECT_EQ(Take(d), before);
            EXPECT_EQ(steps.steps, 0);
            continue;
        }
        ASSERT_TRUE(s.ok()) << s.message();
        EXPECT_EQ(steps.steps, 1);
        EXPECT_EQ(d.CellUtf8(1, ColText), c.first);
        EXPECT_EQ(d.CellUtf8(5, ColText), "Trois");
        EXPECT_FALSE(d.IsStandIn(5));  // translated now, not missing
        const Snapshot after = Take(d);
        const std::string saved = Saved(d, dir);
        TranslationTable fromFiles;
        ASSERT_TRUE(fromFiles.Load(dir / "s.txr", dir / "s.txl").ok());
        ASSERT_TRUE(WriteImportedTranslations(fromFiles, result, dir / "cli.txl").ok());
        EXPECT_EQ(Get(dir / "out.txl"), Get(dir / "cli.txl"));
        ASSERT_TRUE(d.Undo());
        EXPECT_EQ(Take(d), before);
        EXPECT_EQ(Saved(d, dir), savedBefore);
        ASSERT_TRUE(d.Redo());
        EXPECT_EQ(Take(d), after);
        EXPECT_EQ(Saved(d, dir), saved);
        d.RemoveObserver(&steps);
    }
}
