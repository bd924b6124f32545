// The exchange formats one by one: escaping on export, what import takes and skips, and
// the files it refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/exchange/CsvExchange.h"
#include "document/exchange/ExchangeFormat.h"
#include "document/exchange/PoExchange.h"
#include "document/exchange/TranslationImport.h"
#include "document/exchange/TranslationTable.h"
#include "document/exchange/XliffExchange.h"
#include "document/format/LanguageCode.h"
#include "document/format/StringSink.h"
#include "tests/document/TextResourceFiles.h"

namespace {

using namespace trf;

// A table of pairs: each entry (Global ID, original, translation), all in group "G".
TranslationTable Table(const std::vector<std::array<std::string, 3>>& entries) {
    ResourceTable store;
    std::vector<Row> rows;
    for (const auto& [id, original, translation] : entries) {
        rows.push_back({id, "G", "1", original});
        rows.push_back({id, "G", "1", translation});
    }
    Fill(store, rows, {{"G", 1}}, 9);
    TranslationTable table;
    EXPECT_TRUE(table.Adopt(std::move(store), {}).ok());
    return table;
}

std::string Exported(const TranslationTable& table, ExchangeFormat format) {
    ExportOptions options;
    std::string out;
    StringSink sink(out);
    Status s = format == ExchangeFormat::Xliff ? ExportXliff(table, options, sink)
               : format == ExchangeFormat::Po  ? ExportPo(table, options, sink, nullptr)
                                               : ExportCsv(table, options, sink);
    EXPECT_TRUE(s.ok()) << s.message();
    return out;
}

TEST(ExchangeExport, EachFormatEscapesAsItsReadersExpect) {
    const TranslationTable table =
        Table({{"7\"<", "a\"b\\c<&>\tz\r", "x,y"}, {"8", " lead", "\xE2\x82\xAC"}});
    const struct {
        ExchangeFormat format;
        std::vector<std::string> snippets;
    } cases[] = {
        {ExchangeFormat::Xliff,
         {"id=\"7&quot;&lt;\" resname=\"7&quot;&lt;\"", "<source>a\"b\\c&lt;&amp;&gt;\tz&#13;</source>",
          "<target state=\"translated\">x,y</target>", "<target state=\"translated\">\xE2\x82\xAC</target>"}},
        {ExchangeFormat::Po,
         {"msgctxt \"7\\\"<\"\nmsgid \"a\\\"b\\\\c<&>\\tz\\r\"\nmsgstr \"x,y\"\n", "msgid \" lead\"\n",
          "\"Content-Type: text/plain; charset=UTF-8\\n\"\n", "#. Global ID: 7\"<\n#. Group Name: G\n"}},
        {ExchangeFormat::Csv,
         {"Global ID,Group Name,Group ID,Original,Translation,Status\r\n",
          "\"7\"\"<\",G,1,\"a\"\"b\\c<&>\tz\r\",\"x,y\",translated\r\n",
          "8,G,1,\" lead\",\xE2\x82\xAC,translated\r\n"}},
    };
    for (const auto& c : cases) {
        const std::string out = Exported(table, c.format);
        for (const std::string& snippet : c.snippets)
            EXPECT_NE(out.find(snippet), std::string::npos) << snippet << "\nin\n" << out;
    }
}

TEST(ExchangeExport, EmptyAndSharedGlobalIdsGetUniqueUnitKeys) {
    const TranslationTable table =
        Table({{"", "a", "b"}, {"5", "c", "d"}, {"5", "e", "f"}, {"entry-2", "g", "h"}});
    const std::string xliff = Exported(table, ExchangeFormat::Xliff);
    for (const char* unit : {"id=\"entry-1\" resname=\"\"", "id=\"entry-2-\" resname=\"5\"",
                             "id=\"entry-3\" resname=\"5\"", "id=\"entry-2\" resname=\"entry-2\""})
        EXPECT_NE(xliff.find(unit), std::string::npos) << unit;
    const std::string po = Exported(table, ExchangeFormat::Po);
    for (const char* context : {"msgctxt \"\"\n", "msgctxt \"entry-2-\"\n", "msgctxt \"entry-3\"\n"})
        EXPECT_NE(po.find(context), std::string::npos) << context;
}

TEST(ExchangeExport, XliffRefusesControlCharactersNamingTheEntry) {
    for (const char* text : {"a\x01", "\x1F", "\xEF\xBF\xBE"}) {
        const TranslationTable table = Table({{"1", "ok", "ok"}, {"42", "fine", text}});
        std::string out;
        StringSink sink(out);
        ExpectFails(ExportXliff(table, {}, sink), {"Entry 2", "\"42\"", "XML 1.0"});
    }
}

TEST(ExchangeFormat, FormatsAndLanguagesFromFileNames) {
    EXPECT_EQ(FormatFromPath("a/b.XLIFF"), ExchangeFormat::Xliff);
    EXPECT_EQ(FormatFromPath("b.xlf"), ExchangeFormat::Xliff);
    EXPECT_EQ(FormatFromPath("x.po"), ExchangeFormat::Po);
    EXPECT_EQ(FormatFromPath("x.csv"), ExchangeFormat::Csv);
    EXPECT_EQ(FormatFromPath("po"), std::nullopt);
}

// The language a .txl's path announces: only a real code at the end of the name or as the
// folder; names that merely look like codes give "und".
TEST(LanguageCode, FromFileNames) {
    const std::pair<const char*, const char*> languages[] = {
        // the whole name
        {"de.txl", "de"},
        {"fra.txl", "fra"},
        {"pt_BR.txl", "pt-BR"},
        {"zh-Hant.txl", "zh-Hant"},
        {"es_419.txl", "es-419"},
        // the last part of the name, with its subtag
        {"/d/app.fr.txl", "fr"},
        {"app_fr.txl", "fr"},
        {"app-fr.txl", "fr"},
        {"messages_de.txl", "de"},
        {"app_pt_BR.txl", "pt-BR"},
        {"app.pt-BR.txl", "pt-BR"},
        {"app-zh-Hant.txl", "zh-Hant"},
        // the folder, when the name has none
        {"fr/app.txl", "fr"},
        {"/l/pt-BR/app.txl", "pt-BR"},
        {"/l/pt_BR/app.txl", "pt-BR"},
        {"/l/deu/strings.txl", "deu"},
        {"de/app_fr.txl", "fr"},    // the name first
        {"fr/sub/app.txl", "und"},  // only the folder holding the file
        // no language
        {"app.txl", "und"},
        {"/d/app.txl", "und"},
        {"strings.txl", "und"},
        {"my_app.txl", "und"},
        {"my_ui.txl", "und"},
        {"my_app-BR.txl", "und"},
        {"app_fra.txl", "und"},  // three letters only as a whole name
        {"und.txl", "und"},
        {"mul/app.txl", "und"},
        {"FR.txl", "und"},
        {"app_fr_xx.txl", "und"},
        {"pt_BRA.txl", "und"},
        {".txl", "und"},
        {"", "und"},
    };
    for (const auto& [path, language] : languages)
        EXPECT_EQ(LanguageCode::OfFileName(path), language) << path;
    EXPECT_EQ(LanguageCode::Parse("pt_BR"), "pt-BR");
    EXPECT_EQ(LanguageCode::Parse("fra", false), std::nullopt);
    EXPECT_EQ(LanguageCode::Parse("zz"), std::nullopt);
}

// Imports `bytes` in `format` into the table; the summary, or the error.
Status ImportBytes(TranslationTable& table, ExchangeFormat format, const std::string& bytes,
                   ImportResult& result, bool includeFuzzy = false) {
    ScratchDir dir;
    const std::string path = dir / "in";
    Put(path, bytes);
    std::vector<IncomingUnit> units;
    if (Status s = ReadTranslations(path, format, units); !s) return s;
    ImportOptions options;
    options.includeFuzzy = includeFuzzy;
    return ComputeImport(table, units, options, result);
}

std::string TextAfter(const ImportResult& result, int row) {
    std::string text;
    for (const TranslationChange& c : result.changes)
        if (c.row == row) text = c.text;
    return text;
}

TEST(ExchangeImport, MatchesByGlobalIdAndReportsWhatItSkips) {
    const auto make = [] {
        return Table({{"1", "One", "Un"},
                      {"2", "Two", "Two"},
                      {"3", "Three", "x"},
                      {"3", "Tre", "y"},
                      {"4", "Four", "z"}});
    };
    const std::string csv =
        "Translation,Global ID,Original\r\n"  // columns in any order
        "Uno,1,One\r\n"
        "Un,1,One\n"             // repeats 1
        "Deux,2,Zwei\r\n"        // source changed
        "Trois,3,Three\r\n"      // shared
        "Nine,9,Nine\r\n"        // not in the document
        ",4,Four\r\n"            // no translation
        "\"z\",4,Four\r\n\r\n";  // repeats? no: the first 4 had no translation; unchanged
    TranslationTable table = make();
    ImportResult r;
    ASSERT_TRUE(ImportBytes(table, ExchangeFormat::Csv, csv, r).ok());
    const ImportSummary& s = r.summary;
    EXPECT_EQ(s.updated, 2u);
    EXPECT_EQ(s.unchanged, 1u);
    EXPECT_EQ(s.repeated, 1u);
    EXPECT_EQ(s.sharedIds, std::vector<std::string>{"3"});
    EXPECT_EQ(s.unknownIds, std::vector<std::string>{"9"});
    EXPECT_EQ(s.noTranslation, 1u);
    EXPECT_EQ(s.sourceChanged, std::vector<std::string>{"2"});
    EXPECT_EQ(TextAfter(r, 1), "Uno");
    EXPECT_EQ(TextAfter(r, 3), "Deux");
    EXPECT_EQ(r.changes.size(), 2u);
    const std::string text = s.Text();
    for (const char* part : {"2 updated, 1 unchanged", "1 skipped with a Global ID not in the document",
                             "Source changed: \"2\"", "Shared by several entries: \"3\""})
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;

    const std::string po =
        "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
        "#, fuzzy\nmsgctxt \"1\"\nmsgid \"One\"\nmsgstr \"Eins\"\n\n"
        "msgctxt \"2\"\nmsgid \"Two\"\nmsgid_plural \"Twos\"\nmsgstr[0] \"Zwei\"\nmsgstr[1] \"Zweien\"\n\n"
        "msgid \"Four\"\nmsgstr \"Vier\"\n\n"
        "msgctxt \"4\"\n"
        "msgid \"Fo\"\n\"ur\"\nmsgstr \"\"\n\"V\\\"ier\"\n\n"
        "#~ msgctxt \"3\"\n#~ msgid \"Three\"\n#~ msgstr \"Drei\"\n";
    for (const bool fuzzy : {false, true}) {
        table = make();
        ASSERT_TRUE(ImportBytes(table, ExchangeFormat::Po, po, r, fuzzy).ok());
        EXPECT_EQ(r.summary.fuzzy, fuzzy ? 0u : 1u);
        EXPECT_EQ(TextAfter(r, 1), fuzzy ? "Eins" : "");
        EXPECT_EQ(r.summary.plural, 1u);
        EXPECT_EQ(r.summary.unkeyed, 1u);
        EXPECT_EQ(TextAfter(r, 9), "V\"ier");
        EXPECT_EQ(r.summary.updated, fuzzy ? 2u : 1u);
        EXPECT_TRUE(r.summary.sourceChanged.empty());
    }

    // As the Translate Toolkit converts a PO file: numbered ids, the Global ID in the note.
    const std::string xliff =
        "<?xml version=\"1.0\"?>\n<xliff xmlns=\"urn:oasis:names:tc:xliff:document:1.1\" version=\"1.1\">"
        "<file original=\"a.po\"><body>\n"
        "<trans-unit id=\"1\" "
        "restype=\"x-gettext-domain-header\"><source>h</source><target>h</target></trans-unit>\n"
        "<trans-unit id=\"2\" approved=\"yes\"><source>One</source><target state=\"translated\">Ein<g "
        "id=\"a\">s</g></target>"
        "<alt-trans><target>No</target></alt-trans><note from=\"developer\">Global ID: 1\nGroup Name: "
        "G</note></trans-unit>\n"
        "<trans-unit id=\"4\" approved=\"no\"><source>Four</source><target "
        "state=\"needs-translation\">Vier</target>"
        "<note from=\"developer\">Global ID: 4</note></trans-unit>\n"
        "<trans-unit id=\"2\"><source>Two</source><target>Zwei</target></trans-unit>\n"
        "<group restype=\"x-gettext-plurals\"><trans-unit "
        "id=\"5[0]\"><source>a</source><target>b</target></trans-unit>"
        "<trans-unit id=\"5[1]\"><source>a</source><target>b</target></trans-unit></group>\n"
        "</body></file></xliff>\n";
    table = make();
    ASSERT_TRUE(ImportBytes(table, ExchangeFormat::Xliff, xliff, r).ok());
    EXPECT_EQ(TextAfter(r, 1), "Eins");
    EXPECT_EQ(r.summary.fuzzy, 1u);
    EXPECT_EQ(r.summary.unkeyed, 1u);  // the id "2" of a converted PO file is only a number
    EXPECT_EQ(r.summary.plural, 1u);
    EXPECT_EQ(r.summary.updated, 1u);
}

TEST(ExchangeImport, LatinOneLocalizedFileTakingOtherCharactersBecomesUtf8) {
    ScratchDir dir;
    Put(dir / "a.txr", Lines({"2", "4", "Gr\xFC|2", "#", "1|Gr\xFC|1|Caf\xE9", "2|Gr\xFC|2|Tea"}));
    Put(dir / "a.txl", Lines({"2", "4", "Gr\xFC|2", "#", "1|Gr\xFC|1|Caf\xE9!"}));
    TranslationTable table;
    ASSERT_TRUE(table.Load(dir / "a.txr", dir / "a.txl").ok());
    ASSERT_EQ(table.TxlEncoding(), Encoding::Latin1);
    ImportResult r;
    // Characters Latin-1 holds keep the file Latin-1.
    ASSERT_TRUE(ImportBytes(table, ExchangeFormat::Csv, "Global ID,Translation\n2,Th\xC3\xA9\n", r).ok());
    ASSERT_TRUE(WriteImportedTranslations(table, r, dir / "b.txl").ok());
    EXPECT_FALSE(r.summary.becameUtf8);
    EXPECT_EQ(Get(dir / "b.txl"),
              Lines({"2", "4", "Gr\xFC|2", "#", "1|Gr\xFC|1|Caf\xE9!", "2|Gr\xFC|2|Th\xE9"}));

    ASSERT_TRUE(table.Load(dir / "a.txr", dir / "a.txl").ok());
    ASSERT_TRUE(ImportBytes(table, ExchangeFormat::Csv, "Global ID,Translation\n2,\xE2\x82\xAC\n", r).ok());
    ASSERT_TRUE(WriteImportedTranslations(table, r, dir / "c.txl").ok());
    EXPECT_TRUE(r.summary.becameUtf8);
    EXPECT_NE(r.summary.Text().find("UTF-8 from now on"), std::string::npos);
    EXPECT_EQ(Get(dir / "c.txl"), Lines({"2", "4", "Gr\xC3\xBC|2", "#", "1|Gr\xC3\xBC|1|Caf\xC3\xA9!",
                                         "2|Gr\xC3\xBC|2|\xE2\x82\xAC"}));
    EXPECT_EQ(Get(dir / "a.txr"), Lines({"2", "4", "Gr\xFC|2", "#", "1|Gr\xFC|1|Caf\xE9", "2|Gr\xFC|2|Tea"}));
}

TEST(ExchangeImport, RefusesPairlessDocuments) {
    ScratchDir dir;
    Put(dir / "a.txr", Lines({"2", "4", "#", "1|G|1|a", "", "3|G|1|c"}));
    Put(dir / "a.txl", Lines({"2", "4", "#", "1|G|1|x", "2|G|1|y"}));
    TranslationTable table;
    ExpectFails(table.Load(dir / "a.txr", dir / "a.txl"), {"not made of original/translation pairs"});
}

}  // namespace
