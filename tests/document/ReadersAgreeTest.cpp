// The same pair of files read by each reader: the window's document, the checks and figures of
// the command line, and the exchange table of export and import. Each must come to the same
// answer; a difference shows only on some pairs, so the pairs here are the awkward ones.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "TextResourceFiles.h"
#include "document/ListBoxSafe.h"
#include "document/exchange/TranslationImport.h"
#include "document/exchange/TranslationTable.h"
#include "document/model/Document.h"
#include "document/model/EntryTable.h"
#include "document/review/DocumentReview.h"
#include "document/review/EntryCheck.h"

namespace {

using namespace trf;

constexpr Encoding U8 = Encoding::Utf8, L1 = Encoding::Latin1;

// "é" in each encoding.
const std::string kE8 = "\xC3\xA9", kE1 = "\xE9";

struct PairFilesCase {
    const char* name;
    std::string txr;
    std::string txl;  // empty: no .txl at all
    Encoding txrEncoding, txlEncoding;
};

std::vector<PairFilesCase> EncodingCases() {
    const std::string header = Lines({"2", "2", "G|2", "#"});
    const std::string latin1Txr = header + Lines({"1|G|1|Caf" + kE1, "2|G|2|Two"});
    const std::string utf8Txr = header + Lines({"1|G|1|Caf" + kE8, "2|G|2|Two"});
    const std::string asciiTxr = header + Lines({"1|G|1|Cafe", "2|G|2|Two"});
    return {
        {"header-only .txl beside a Latin-1 .txr", latin1Txr, header, L1, L1},
        {"no .txl beside a Latin-1 .txr", latin1Txr, "", L1, L1},
        {"header-only .txl beside a UTF-8 .txr", utf8Txr, header, U8, U8},
        {"Latin-1 .txl beside a UTF-8 .txr", utf8Txr, header + Lines({"1|G|1|Caf" + kE1}), U8, L1},
        {"UTF-8 .txl beside a Latin-1 .txr", latin1Txr, header + Lines({"1|G|1|Caf" + kE8}), L1, U8},
        {"ASCII .txl beside a Latin-1 .txr", latin1Txr, header + Lines({"1|G|1|Cafe", "2|G|2|Deux"}), L1, U8},
        {"Latin-1 .txl beside an ASCII .txr", asciiTxr, header + Lines({"1|G|1|Caf" + kE1}), U8, L1},
    };
}

// The encodings each reader decides for the files of `c`.
struct Decided {
    Encoding txr, txl;
    bool operator==(const Decided&) const = default;
};

void PutCase(const ScratchDir& dir, const PairFilesCase& c) {
    Put(dir / "p.txr", c.txr);
    if (!c.txl.empty()) Put(dir / "p.txl", c.txl);
}

TEST(ReadersAgree, EachFileTakesTheSameEncodingWhoeverReadsIt) {
    for (const PairFilesCase& c : EncodingCases()) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        PutCase(dir, c);
        const Decided expected{c.txrEncoding, c.txlEncoding};

        Document window;
        ASSERT_TRUE(window.Read(dir / "p.txr", dir / "p.txl", ModeShowBoth).ok());
        EXPECT_EQ((Decided{window.FileEncoding(DocFile::Txr), window.FileEncoding(DocFile::Txl)}), expected);

        Document tool;
        ASSERT_TRUE(tool.Read(dir / "p.txr", dir / "p.txl", ModeOpenPaired).ok());
        const EntryTable checks = tool.Table();
        EXPECT_EQ((Decided{checks.OriginalEncoding(), checks.TranslationEncoding()}), expected);

        TranslationTable exchange;
        ASSERT_TRUE(exchange.Load(dir / "p.txr", dir / "p.txl").ok());
        EXPECT_EQ((Decided{exchange.TxrEncoding(), exchange.TxlEncoding()}), expected);
        TranslationTable fromWindow;
        ASSERT_TRUE(fromWindow.FromDocument(window).ok());
        EXPECT_EQ((Decided{fromWindow.TxrEncoding(), fromWindow.TxlEncoding()}), expected);
    }
}

// What the encodings decide shows in the .txl written: the window's import and save, and the
// command line's import, write the same bytes for each pair, the untranslated entries as
// copies in the .txl's encoding.
TEST(ReadersAgree, TheWindowAndTheCommandLineWriteTheSameTxl) {
    for (const PairFilesCase& c : EncodingCases()) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        PutCase(dir, c);
        Document window;
        ASSERT_TRUE(window.Read(dir / "p.txr", dir / "p.txl", ModeShowBoth).ok());
        window.SetLocalize(true);
        const std::vector<IncomingUnit> units = {{IncomingUnit::Kind::Translation, "2", "", "Deux " + kE8}};
        TranslationTable fromWindow;
        ASSERT_TRUE(fromWindow.FromDocument(window).ok());
        ImportResult windowResult;
        ASSERT_TRUE(ComputeImport(fromWindow, units, ImportOptions(), windowResult).ok());
        ASSERT_TRUE(window.ApplyImport(windowResult.changes, windowResult.translated).ok());
        ASSERT_TRUE(window.Save(dir / "w.txr", dir / "w.txl").ok());

        TranslationTable fromFiles;
        ASSERT_TRUE(fromFiles.Load(dir / "p.txr", dir / "p.txl").ok());
        ImportResult toolResult;
        ASSERT_TRUE(ComputeImport(fromFiles, units, ImportOptions(), toolResult).ok());
        ASSERT_TRUE(WriteImportedTranslations(fromFiles, toolResult, dir / "t.txl").ok());

        const std::string written = Get(dir / "w.txl");
        EXPECT_EQ(written, Get(dir / "t.txl"));
        const bool latin1 = c.txlEncoding == L1;
        EXPECT_NE(written.find("|Deux " + (latin1 ? kE1 : kE8) + "\r\n"), std::string::npos) << written;
    }
}

// ---------------------------------------------------------------------------------------------
// The figures of awkward pairs, as the window's review counts them, as `txrtool stats --json`
// and `txrtool check --json` give them, and as the Status column of a CSV export gives them.

int Shell(const std::string& command) {
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::string Q(const std::string& s) {
    return "'" + s + "'";
}

// The number after `"key": ` in `json` from `from` on.
int64_t JsonNumber(const std::string& json, const std::string& key, size_t from = 0) {
    const size_t at = json.find("\"" + key + "\": ", from);
    if (at == std::string::npos) {
        ADD_FAILURE() << key << " not in " << json;
        return -1;
    }
    return std::stoll(json.substr(at + key.size() + 4));
}

size_t Occurrences(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

struct Figures {
    int64_t entries = 0, translated = 0, missing = 0, same = 0, withProblems = 0;
    std::array<int64_t, kEntryCheckCount> byCheck{};
    bool operator==(const Figures&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Figures& f) {
    out << f.entries << " entries, " << f.translated << " translated, " << f.missing << " missing, " << f.same
        << " same, " << f.withProblems << " with problems; by check";
    for (const int64_t n : f.byCheck) out << ' ' << n;
    return out;
}

struct TrickyPair {
    const char* name;
    std::string txr, txl;
};

std::vector<TrickyPair> TrickyPairs() {
    return {
        {"mixed encodings: a Latin-1 .txr, a UTF-8 .txl",
         Lines({"3", "3", "G|3", "#", "1|G|1|Caf" + kE1 + "\xA0", "2|G|2|Same", "3|G|3|%s x"}),
         Lines({"3", "3", "G|3", "#", "1|G|1|Caf" + kE8 + "\xC2\xA0", "2|G|2|Same", "3|G|3|x"})},
        {"a Latin-1 group name beside a UTF-8 .txl",  // a no-break space leading each text
         Lines({"2", "2", "Men\xFC|2", "#", "1|Men\xFC|1|\xA0Open", "2|Men\xFC|2|Close"}),
         Lines({"2", "2", "Men\xFC|2", "#", "1|Men\xC3\xBC|1|\xC2\xA0Ouvrir", "2|Men\xC3\xBC|2|Fermer"})},
        {"stand-ins: a .txl shorter than its .txr",
         Lines({"3", "3", "G|3", "#", "1|G|1|One", "2|G|2|Two", "3|G|3|Thr" + kE1 + "e"}),
         Lines({"3", "3", "G|3", "#", "1|G|1|Un"})},
        {"blank lines in both files",
         Lines({"3", "3", "G|3", "#", "1|G|1|One", "", "2|G|2|Two", "3|G|3|&Three"}),
         Lines({"3", "3", "G|3", "#", "", "1|G|1|Un", "2|G|2|Deux", "", "3|G|3|Trois"})},
        {"duplicate Global IDs", Lines({"2", "3", "G|3", "#", "1|G|1|One", "1|G|2|Uno", "2|G|3|Two"}),
         Lines({"2", "3", "G|3", "#", "1|G|1|Un", "1|G|2|", "2|G|3|Two"})},
        {"a .txl longer than its .txr", Lines({"3", "1", "G|1", "#", "1|G|1|One"}),
         Lines({"3", "3", "G|3", "#", "1|G|1|Un", "2|G|2|Deux", "3|G|3|Trois " + kE8})},
    };
}

TEST(ReadersAgree, TrickyPairsGiveTheSameFiguresEverywhere) {
    for (const TrickyPair& c : TrickyPairs()) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        const std::string txr = dir / "p.txr", txl = dir / "p.txl";
        Put(txr, c.txr);
        Put(txl, c.txl);

        // The window: the document read as Open Localized Version does, and its review.
        Document doc;
        ASSERT_TRUE(doc.Read(txr, txl, ModeShowBoth).ok());
        doc.SetLocalize(true);
        DocumentReview review(doc);
        review.Recheck();
        const EntryCounts& counts = review.Counts();
        Figures window{counts.entries, counts.translated,   counts.missing,
                       counts.same,    counts.withProblems, counts.byCheck};

        ASSERT_EQ(Shell(Q(TXRTOOL_PATH) + " stats --json " + Q(txr) + " " + Q(txl) + " >" + Q(dir / "stats")),
                  0);
        const std::string stats = Get(dir / "stats");
        const size_t total = stats.find("\"total\"");
        Figures tool{JsonNumber(stats, "entries", total), JsonNumber(stats, "translated", total),
                     JsonNumber(stats, "missing", total), JsonNumber(stats, "same", total),
                     JsonNumber(stats, "withProblems", total)};
        for (int k = 0; k < kEntryCheckCount; ++k)
            tool.byCheck[static_cast<size_t>(k)] =
                JsonNumber(stats, std::string(CheckName(static_cast<EntryCheck>(k))), total);
        EXPECT_EQ(tool, window) << stats;

        // check --json: one problem a line; its exit status says whether there are any.
        const int checked =
            Shell(Q(TXRTOOL_PATH) + " check --json " + Q(txr) + " " + Q(txl) + " >" + Q(dir / "check"));
        const std::string check = Get(dir / "check");
        for (int k = 0; k < kEntryCheckCount; ++k) {
            const std::string name(CheckName(static_cast<EntryCheck>(k)));
            EXPECT_EQ(static_cast<int64_t>(Occurrences(check, "\"check\": \"" + name + "\"")),
                      window.byCheck[static_cast<size_t>(k)])
                << name << ": " << check;
        }
        EXPECT_EQ(checked, window.withProblems ? 1 : 0) << check;

        // The CSV export's Status column, one row an entry.
        ASSERT_EQ(Shell(Q(TXRTOOL_PATH) + " export " + Q(txr) + " " + Q(txl) + " --to " + Q(dir / "x.csv") +
                        " 2>" + Q(dir / "err")),
                  0)
            << Get(dir / "err");
        Figures csv;
        const std::string rows = Get(dir / "x.csv");
        for (size_t start = rows.find("\r\n") + 2; start < rows.size();) {
            const size_t end = rows.find("\r\n", start);
            const std::string line = rows.substr(start, end - start);
            const std::string status = line.substr(line.rfind(',') + 1);
            ++csv.entries;
            csv.translated += status == "translated";
            csv.missing += status == "missing";
            csv.same += status == "same";
            start = end + 2;
        }
        EXPECT_EQ((std::array<int64_t, 4>{csv.entries, csv.translated, csv.missing, csv.same}),
                  (std::array<int64_t, 4>{window.entries, window.translated, window.missing, window.same}))
            << rows;

        // A Latin-1 group name says nothing of the UTF-8 .txl: its white space is read as UTF-8.
        if (std::string(c.name).starts_with("a Latin-1 group name")) {
            EXPECT_EQ(window.withProblems, 0);
            EXPECT_EQ(tool.byCheck[static_cast<size_t>(EntryCheck::Whitespace)], 0);
            EXPECT_EQ(check, "[]\n");
        }
    }
}

// An import that turns a Latin-1 .txl into UTF-8 beside a Latin-1 .txr whose group names are
// not ASCII: the translations read back in their groups, from the command line's .txl and from
// the window's save alike.
TEST(ReadersAgree, ATxlTurnedUtf8KeepsItsGroupIds) {
    ScratchDir dir;
    const std::string txr = dir / "p.txr", txl = dir / "p.txl";
    Put(txr, Lines({"3", "3", "Men\xFC|2", "Fen\xEAtre|1", "#", "1|Men\xFC|1|Open", "2|Fen\xEAtre|1|Close",
                    "3|Men\xFC|2|Quit"}));
    Put(txl, Lines({"3", "3", "Men\xFC|2", "Fen\xEAtre|1", "#", "1|Men\xFC|1|Ouvrir", "2|Fen\xEAtre|1|Fermer",
                    "3|Men\xFC|2|Quitter"}));
    const std::vector<IncomingUnit> units = {
        {IncomingUnit::Kind::Translation, "2", "", "Fermer \xE2\x82\xAC"}};

    TranslationTable tool;
    ASSERT_TRUE(tool.Load(txr, txl).ok());
    ImportResult toolResult;
    ASSERT_TRUE(ComputeImport(tool, units, ImportOptions(), toolResult).ok());
    ASSERT_TRUE(WriteImportedTranslations(tool, toolResult, dir / "tool.txl").ok());
    EXPECT_TRUE(toolResult.summary.becameUtf8);

    Document window;
    ASSERT_TRUE(window.Read(txr, txl, ModeShowBoth).ok());
    window.SetLocalize(true);
    window.SetConversionQuestion([](DocFile, std::string_view) { return true; });
    TranslationTable view;
    ASSERT_TRUE(view.FromDocument(window).ok());
    ImportResult windowResult;
    ASSERT_TRUE(ComputeImport(view, units, ImportOptions(), windowResult).ok());
    bool becameUtf8 = false;
    ASSERT_TRUE(window.ApplyImport(windowResult.changes, windowResult.translated, &becameUtf8).ok());
    EXPECT_TRUE(becameUtf8);
    ASSERT_TRUE(window.Save(dir / "w.txr", dir / "w.txl").ok());

    for (const std::string& written : {dir / "tool.txl", dir / "w.txl"}) {
        SCOPED_TRACE(written);
        Document back;
        ASSERT_TRUE(back.Read(txr, written, ModeShowBoth).ok());
        EXPECT_EQ(back.FileEncoding(DocFile::Txl), U8);
        const std::vector<std::string> groupIds = {"1", "1", "1", "1", "2", "2"};
        for (int r = 0; r < back.RowCount(); ++r)
            EXPECT_EQ(back.Cell(r, ColGroupId), groupIds[static_cast<size_t>(r)]) << r;
        EXPECT_EQ(back.CellUtf8(3, ColText), "Fermer \xE2\x82\xAC");
        EXPECT_EQ(back.CellUtf8(5, ColGroupName), "Men\xC3\xBC");
    }
}

}  // namespace
