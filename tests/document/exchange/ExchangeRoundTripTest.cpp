// Export then import, in every format, over random documents.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/exchange/CsvExchange.h"
#include "document/exchange/EntryKeys.h"
#include "document/exchange/PoExchange.h"
#include "document/exchange/TranslationImport.h"
#include "document/exchange/TranslationTable.h"
#include "document/exchange/XliffExchange.h"
#include "document/format/StringSink.h"
#include "tests/document/RandomPairDocument.h"

namespace {

using namespace trf;

constexpr ExchangeFormat kFormats[] = {ExchangeFormat::Xliff, ExchangeFormat::Po, ExchangeFormat::Csv};
const char* const kExtensions[] = {"xlf", "po", "csv"};

Status Export(const TranslationTable& table, ExchangeFormat format, std::string& out) {
    ExportOptions options;
    options.originalName = "doc.txr";
    options.targetLanguage = "fr";
    StringSink sink(out);
    switch (format) {
        case ExchangeFormat::Xliff:
            return ExportXliff(table, options, sink);
        case ExchangeFormat::Po:
            return ExportPo(table, options, sink, nullptr);
        case ExchangeFormat::Csv:
            break;
    }
    return ExportCsv(table, options, sink);
}

// Imports `in` into the document of txr/txl and writes the .txl to `out`; returns the summary.
ImportSummary Import(const std::string& in, ExchangeFormat format, const std::string& txr,
                     const std::string& txl, const std::string& out) {
    TranslationTable table;
    EXPECT_TRUE(table.Load(txr, txl).ok());
    std::vector<IncomingUnit> units;
    Status s = ReadTranslations(in, format, units);
    EXPECT_TRUE(s.ok()) << s.message();
    ImportResult result;
    s = ComputeImport(table, units, {}, result);
    EXPECT_TRUE(s.ok()) << s.message();
    s = WriteImportedTranslations(table, result, out);
    EXPECT_TRUE(s.ok()) << s.message();
    return result.summary;
}

TEST(ExchangeRoundTrip, ExportThenImportGivesBackEveryUniqueEntrysTranslation) {
    ScratchDir dir;
    for (unsigned seed = 1; seed <= 24; ++seed) {
        const bool latin1Txr = seed % 4 == 1, latin1Txl = seed % 3 == 2;
        const PairFiles doc = WriteRandomPair(dir, "doc" + std::to_string(seed), seed, latin1Txr, latin1Txl);
        TranslationTable before;
        ASSERT_TRUE(before.Load(doc.txr, doc.txl).ok());
        ASSERT_EQ(before.TxrEncoding() == Encoding::Latin1, latin1Txr) << seed;
        ASSERT_EQ(before.TxlEncoding() == Encoding::Latin1, latin1Txl) << seed;
        const EntryKeys keys(before);
        for (size_t f = 0; f < 3; ++f) {
            const std::string trace = "seed " + std::to_string(seed) + ", " + kExtensions[f];
            std::string bytes;
            ASSERT_TRUE(Export(before, kFormats[f], bytes).ok()) << trace;
            const std::string in = dir / ("in." + std::string(kExtensions[f]));
            Put(in, bytes);

            // Unchanged: the .txl comes back byte for byte.
            const std::string same = dir / "same.txl";
            const ImportSummary unchanged = Import(in, kFormats[f], doc.txr, doc.txl, same);
            EXPECT_EQ(Get(same), Get(doc.txl)) << trace;
            EXPECT_EQ(unchanged.updated, 0u) << trace;
            EXPECT_TRUE(unchanged.sourceChanged.empty()) << trace;

            // Into a document without translations (no .txl yet): each unique entry's text returns.
            const std::string fresh = dir / "fresh.txl";
            Import(in, kFormats[f], doc.txr, dir / "absent.txl", fresh);
            TranslationTable after;
            ASSERT_TRUE(after.Load(doc.txr, fresh).ok()) << trace;
            ASSERT_EQ(after.Count(), before.Count()) << trace;
            std::string a, b, c;
            for (size_t i = 0; i < before.Count(); ++i) {
                // An empty translation reads as none in every format; PO cannot carry an entry with an
                // empty original (gettext keeps msgid "" for the header).
                if (!keys.Unique(i) || before.Translation(i, b).empty() ||
                    (kFormats[f] == ExchangeFormat::Po && before.Original(i, c).empty()))
                    continue;
                EXPECT_EQ(after.Translation(i, a), before.Translation(i, b)) << trace << ", entry " << i + 1;
            }
        }
    }
}

}  // namespace
