// The same pair of files read by each reader: the window's document, the checks and figures of
// the command line, and the exchange table of export and import. Each must come to the same
// answer; a difference shows only on some pairs, so the pairs here are the awkward ones.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TextResourceFiles.h"
#include "document/ListBoxSafe.h"
#include "document/exchange/TranslationImport.h"
#include "document/exchange/TranslationTable.h"
#include "document/model/Document.h"
#include "document/model/EntryTable.h"

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

}  // namespace
