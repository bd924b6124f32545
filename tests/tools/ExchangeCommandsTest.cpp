// txrtool export and import as processes: refused inputs, and the outside tools that read what
// export writes and write what import reads (each skipped with a message when not installed).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "document/exchange/EntryKeys.h"
#include "document/exchange/TranslationTable.h"
#include "tests/document/RandomPairDocument.h"

namespace {

using namespace trf;

const std::string kExamples = EXAMPLES_DIR;
const std::string kLconvert = "/usr/lib/qt6/bin/lconvert";

int Shell(const std::string& command) {
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

bool Have(const std::string& tool) {
    return Shell("command -v '" + tool + "' >/dev/null 2>&1") == 0;
}

std::string Q(const std::string& s) {
    return "'" + s + "'";
}

class ExchangeCommands : public ::testing::Test {
protected:
    // txrtool with the arguments; standard error goes to err().
    int Txrtool(const std::string& args) {
        return Shell(Q(TXRTOOL_PATH) + " " + args + " >/dev/null 2>" + Q(dir / "err"));
    }
    void SetUp() override { Put(dir / "err", ""); }
    std::string err() const { return Get(dir / "err"); }
    std::string Count(const std::string& file, const std::string& what) {
        Shell("grep -c -- " + Q(what) + " " + Q(file) + " >" + Q(dir / "count"));
        return Get(dir / "count");
    }

    ScratchDir dir;
};

TEST_F(ExchangeCommands, BadInputsGiveTheirErrorAndLeaveTheTargetUntouched) {
    const std::string xliff =
        "<xliff xmlns=\"urn:oasis:names:tc:xliff:document:1.2\" version=\"1.2\"><file><body>";
    const struct {
        const char* name;
        std::string content;
        std::vector<std::string> parts;
    } cases[] = {
        {"tag.xlf", xliff + "\n<trans-unit id=\"1\"><source>a</sourc>", {"line 2, column", "well-formed"}},
        {"dtd.xlf", "<!DOCTYPE x [<!ENTITY a \"b\">]>" + xliff, {"document type declaration", "line 1"}},
        {"root.xlf", "<html/>", {"not XLIFF", "line 1, column"}},
        {"cr.xlf",
         xliff + "<trans-unit "
                 "id=\"1\"><source>a</source><target>x&#13;y</target></trans-unit></body></file></xliff>",
         {"\"1\"", "line break"}},
        {"syntax.po", "msgctxt \"1\"\nmsgid \"a\nmsgstr \"b\"\n", {"line 3", "end-of-line"}},
        {"charset.po", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=KOI8-R\\n\"\n", {"koi8-r"}},
        {"lf.po", "msgctxt \"5\"\nmsgid \"a\"\nmsgstr \"x\\ny\"\n", {"\"5\"", "line break"}},
        {"quote.csv", "Global ID,Translation\r\n1,\"abc\r\n", {"line 2, column 3", "never closed"}},
        {"width.csv", "Global ID,Translation\r\n1,a\r\n2,b,c\r\n", {"line 3", "3 fields"}},
        {"bytes.csv", "Global ID,Translation\r\n1,caf\xE9\r\n", {"UTF-8", "line 2, column 6"}},
        {"stray.csv", "Global ID,Translation\r\n1,a\"b\r\n", {"line 2, column 4", "quote"}},
        {"header.csv", "id,text\r\n1,a\r\n", {"\"Global ID\"", "line 1"}},
        {"lf.csv", "Global ID,Translation\r\n1,ok\r\n2,\"a\nb\"\r\n", {"\"2\"", "line break"}},
    };
    const std::string target = dir / "out.txl";
    for (const auto& c : cases) {
        Put(dir / c.name, c.content);
        Put(target, "untouched");
        const auto before = dir.List();
        EXPECT_EQ(Txrtool("import " + Q(dir / c.name) + " " + Q(kExamples + "/strings.txr") + " " +
                          Q(kExamples + "/strings.txl") + " --to-txl " + Q(target)),
                  2)
            << c.name;
        for (const std::string& part : c.parts)
            EXPECT_NE(err().find(part), std::string::npos) << c.name << ": " << err();
        EXPECT_EQ(Get(target), "untouched") << c.name;
        EXPECT_EQ(dir.List(), before) << c.name;
    }
    EXPECT_EQ(Txrtool("export " + Q(kExamples + "/strings.txr") + " --to " + Q(dir / "x.doc")), 1);
    EXPECT_NE(err().find("--format"), std::string::npos);
}

// The target language comes from the .txl's name or its folder, the folder counting also when
// the .txl is named without one (run from inside it), as the window, which knows the whole path.
TEST_F(ExchangeCommands, ExportTakesTheLanguageFromANameThatEndsInACode) {
    const struct {
        const char* folder;
        const char* name;
        const char* language;
    } cases[] = {
        {"plain", "app", "und"},   {"plain", "app_fr", "fr"}, {"plain", "app.pt_BR", "pt-BR"},
        {"pt-BR", "app", "pt-BR"}, {"de", "strings", "de"},   {"de", "app.fr", "fr"},
    };
    for (const auto& c : cases) {
        const std::string folder = dir / c.folder;
        ASSERT_EQ(Shell("mkdir -p " + Q(folder) + " && cp " + Q(kExamples + "/strings.txr") + " " +
                        Q(folder + "/" + c.name + ".txr") + " && cp " + Q(kExamples + "/strings.txl") + " " +
                        Q(folder + "/" + c.name + ".txl")),
                  0);
        const std::string out = dir / "lang.po";
        for (const bool bare : {false, true}) {
            const std::string name = bare ? std::string(c.name) : folder + "/" + c.name;
            ASSERT_EQ(Shell("cd " + Q(folder) + " && " + Q(TXRTOOL_PATH) + " export " + Q(name + ".txr") +
                            " " + Q(name + ".txl") + " --to " + Q(out) + " 2>" + Q(dir / "err")),
                      0)
                << err();
            EXPECT_NE(Get(out).find(std::string("\"Language: ") + c.language + "\\n\""), std::string::npos)
                << c.folder << "/" << c.name << (bare ? " (bare)" : "");
        }
    }
}

TEST_F(ExchangeCommands, OutsideToolsReadWhatExportWrites) {
    const bool msgfmt = Have("msgfmt"), lconvert = Have(kLconvert), xmllint = Have("xmllint");
    if (!msgfmt || !lconvert || !xmllint)
        GTEST_SKIP() << "needs msgfmt (gettext), lconvert (qt6-l10n-tools) and xmllint (libxml2-utils)";
    for (unsigned seed = 1; seed <= 3; ++seed) {
        const PairFiles doc =
            WriteRandomPair(dir, "d" + std::to_string(seed), seed, seed == 2, seed == 3, 200);
        TranslationTable table;
        ASSERT_TRUE(table.Load(doc.txr, doc.txl).ok());
        size_t emptyOriginals = 0;
        std::string scratch;
        for (size_t i = 0; i < table.Count(); ++i) emptyOriginals += table.Original(i, scratch).empty();
        for (const char* ext : {"xlf", "po"}) {
            const std::string out = dir / ("e." + std::string(ext));
            ASSERT_EQ(Txrtool("export " + Q(doc.txr) + " " + Q(doc.txl) + " --to " + Q(out)), 0) << err();
            const bool po = ext == std::string("po");
            if (po)
                EXPECT_EQ(Shell("msgfmt --check -o /dev/null " + Q(out) + " 2>/dev/null"), 0) << seed;
            else
                EXPECT_EQ(Shell("xmllint --noout " + Q(out)), 0) << seed;
            ASSERT_EQ(Shell(Q(kLconvert) + " -i " + Q(out) + " -o " + Q(dir / "e.ts")), 0) << ext;
            EXPECT_EQ(Count(dir / "e.ts", "<message"),
                      std::to_string(table.Count() - (po ? emptyOriginals : 0)) + "\n")
                << ext << " " << seed;
        }
    }
}

TEST_F(ExchangeCommands, ImportReadsWhatGettextAndTheTranslateToolkitWrite) {
    if (!Have("msgfilter") || !Have("po2xliff"))
        GTEST_SKIP() << "needs msgfilter (gettext) and po2xliff (translate-toolkit)";
    const PairFiles doc = WriteRandomPair(dir, "d", 7, false, false, 120);
    const std::string po = dir / "e.po", changed = dir / "changed.po", xlf = dir / "changed.xlf";
    ASSERT_EQ(Txrtool("export " + Q(doc.txr) + " " + Q(doc.txl) + " --to " + Q(po)), 0) << err();
    // Translations changed as a translator's tool would, every third entry then marked fuzzy.
    ASSERT_EQ(Shell("msgfilter --keep-header -i " + Q(po) + " -o " + Q(dir / "f.po") + " sed -e 's/^/X /'"),
              0);
    ASSERT_EQ(Shell("awk '/^msgctxt/ { if (++n % 3 == 0) print \"#, fuzzy\" } { print }' " + Q(dir / "f.po") +
                    " >" + Q(changed)),
              0);
    ASSERT_EQ(Shell("po2xliff " + Q(changed) + " " + Q(xlf) + " >/dev/null 2>&1"), 0);

    TranslationTable before;
    ASSERT_TRUE(before.Load(doc.txr, doc.txl).ok());
    const EntryKeys keys(before);
    for (const char* fuzzy : {"", " --include-fuzzy"}) {
        const std::string fromPo = dir / "po.txl", fromXliff = dir / "xliff.txl";
        ASSERT_EQ(Txrtool("import " + Q(changed) + " " + Q(doc.txr) + " " + Q(doc.txl) + " --to-txl " +
                          Q(fromPo) + fuzzy),
                  0)
            << err();
        ASSERT_EQ(Txrtool("import " + Q(xlf) + " " + Q(doc.txr) + " " + Q(doc.txl) + " --to-txl " +
                          Q(fromXliff) + fuzzy),
                  0)
            << err();
        EXPECT_EQ(Get(fromXliff), Get(fromPo)) << fuzzy;

        TranslationTable after;
        ASSERT_TRUE(after.Load(doc.txr, fromPo).ok());
        size_t changedEntries = 0, translated = 0;
        std::string a, b;
        for (size_t i = 0; i < before.Count(); ++i) {
            // PO leaves out entries with an empty original.
            if (before.StatusAt(i) != EntryStatus::Translated || before.Translation(i, b).empty() ||
                before.Original(i, a).empty() || !keys.Unique(i))
                continue;
            ++translated;
            const std::string was(before.Translation(i, b));
            const std::string now(after.Translation(i, a));
            if (now != was) {
                EXPECT_EQ(now, "X " + was) << i;
                ++changedEntries;
            }
        }
        EXPECT_GT(translated, 20u);
        // Without --include-fuzzy about a third stay as they were.
        if (*fuzzy)
            EXPECT_EQ(changedEntries, translated);
        else
            EXPECT_LT(changedEntries, translated);
    }
}

}  // namespace
