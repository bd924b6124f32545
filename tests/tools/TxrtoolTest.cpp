// txrtool run as a separate process: exit status, standard output and standard error.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/document/TextResourceFiles.h"

namespace {

using namespace trf;

const std::string kExamples = EXAMPLES_DIR;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

class Txrtool : public ::testing::Test {
protected:
    // Runs txrtool with the arguments (a shell fragment), after `prefix` (a shell fragment too),
    // and collects what it printed. `asUser` runs it as an unprivileged user when the tests run
    // as the superuser, whom file permissions do not bind.
    Result Run(const std::string& args, bool asUser = false, const std::string& prefix = "") {
        const std::string user =
            asUser && ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
        const std::string command = prefix + user + "'" + TXRTOOL_PATH + "' " + args + " >'" + (dir / "out") +
                                    "' 2>'" + (dir / "err") + "'";
        const int raw = std::system(("(" + command + ")").c_str());
        Result r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = Get(dir / "out");
        r.err = Get(dir / "err");
        return r;
    }

    ScratchDir dir;
};

TEST_F(Txrtool, DumpsTheExampleAsJson) {
    const Result r = Run("dump '" + kExamples + "/strings.txr'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "{\"lastGlobalId\": 9,\n"
              " \"groups\": [{\"name\": \"Menu\", \"counter\": 4}, {\"name\": \"Dialog\", \"counter\": 2}, "
              "{\"name\": \"Error\", \"counter\": 2}],\n"
              " \"rows\": [\n"
              "  [\"1\", \"Menu\", \"1\", \"Open file\xE2\x80\xA6\"],\n"
              "  [\"2\", \"Menu\", \"2\", \"Save\"],\n"
              "  [\"3\", \"Menu\", \"3\", \"Save as\xE2\x80\xA6\"],\n"
              "  [\"4\", \"Dialog\", \"1\", \"File name: \"],\n"
              "  [\"5\", \"Error\", \"1\", \"Cannot open \\\"%s\\\": the disk is full.\"],\n"
              "  [\"6\", \"Dialog\", \"2\", \"Size|Width|Height\"],\n"
              "  [\"7\", \"Error\", \"2\", \"Na\xC3\xAFve r\xC3\xA9sum\xC3\xA9 not found\"],\n"
              "  [\"8\", \"Menu\", \"4\", \"Quit\"]\n"
              " ]}\n");

    // Every mode reads the example pair cleanly.
    const std::string pair = "'" + kExamples + "/strings.txr' '" + kExamples + "/strings.txl'";
    const std::pair<const char*, size_t> modes[] = {
        {"original", 8}, {"localized", 8}, {"both", 16}, {"open", 8}, {"paired", 16}};
    for (const auto& [mode, rows] : modes) {
        const Result m = Run(std::string("dump --mode ") + mode + " " + pair);
        EXPECT_EQ(m.status, 0) << mode << m.err;
        EXPECT_EQ(std::count(m.out.begin(), m.out.end(), '\n'), static_cast<long>(rows) + 4) << mode;
    }
    const Result paired = Run("dump --mode=paired " + pair);
    EXPECT_NE(paired.out.find("  [\"4\", \"Dialog\", \"1\", \"File name: \"],\n  [\"4\", \"Dialog\", \"1\", "
                              "\"Nom du fichier : \"],"),
              std::string::npos);
}

TEST_F(Txrtool, JsonStringsEscapeControlsAndKeepInvalidBytesAsCodePoints) {
    Put(dir / "x.txr", Lines({"-1", "0", "q\"b\\s|1", "#"}) + "1|q\"b\\s|0|tab\there\x01\x1f\x7f" +
                           "\xE9t\xC3\xA9" + "\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80\xE2\x82" +
                           "\xF0\x9F\x98\x80\r\n");
    const Result r = Run("dump '" + (dir / "x.txr") + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        r.out,
        "{\"lastGlobalId\": -1,\n"
        " \"groups\": [{\"name\": \"q\\\"b\\\\s\", \"counter\": 1}],\n"
        " \"rows\": [\n"
        "  [\"1\", \"q\\\"b\\\\s\", \"1\", \"tab\\there\\u0001\\u001f\x7f\\u00e9t\xC3\xA9"
        "\\u00c0\\u00af\\u00ed\\u00a0\\u0080\\u00f4\\u0090\\u0080\\u0080\\u00e2\\u0082\xF0\x9F\x98\x80\"]\n"
        " ]}\n");
    Put(dir / "e.txr", "0\r\n0\r\n#\r\n");
    EXPECT_EQ(Run("dump '" + (dir / "e.txr") + "'").out,
              "{\"lastGlobalId\": 0,\n \"groups\": [],\n \"rows\": []}\n");
}

TEST_F(Txrtool, ResaveGivesBackTheSameBytes) {
    const std::string txr = kExamples + "/strings.txr", txl = kExamples + "/strings.txl";
    Result r = Run("resave --mode paired '" + txr + "' '" + txl + "' --to '" + (dir / "o.txr") +
                   "' --to-txl '" + (dir / "o.txl") + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_EQ(Get(dir / "o.txr"), Get(txr));
    EXPECT_EQ(Get(dir / "o.txl"), Get(txl));

    Put(dir / "plain.txr", Lines({"5", "2", "A|1", "#", "5|A|1|x|y", "4|B|0|  "}));
    r = Run("resave '" + (dir / "plain.txr") + "' --to '" + (dir / "p2.txr") + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Get(dir / "p2.txr"), Get(dir / "plain.txr"));
}

TEST_F(Txrtool, ErrorsGoToStandardErrorWithStatusTwo) {
    const std::string missing = dir / "missing.txr";
    Result r = Run("dump '" + missing + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "txrtool: Cannot open \"" + missing + "\": No such file or directory.\n");

    Put(dir / "nomarker.txl", "1\r\n");
    r = Run("dump --mode both '" + kExamples + "/strings.txr' '" + (dir / "nomarker.txl") + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(dir / "nomarker.txl"), std::string::npos) << r.err;

    // A text with a bare CR reads, but cannot be written; the existing output stays as it was.
    Put(dir / "cr.txr", Lines({"1", "1", "#", "1|A|1|a\rb"}));
    Put(dir / "out.txr", "keep me");
    r = Run("resave '" + (dir / "cr.txr") + "' --to '" + (dir / "out.txr") + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "txrtool: Row 1, column Text, holds a line break, which a text resource file cannot hold.\n");
    EXPECT_EQ(Get(dir / "out.txr"), "keep me");

    r = Run("resave '" + kExamples + "/strings.txr' --to '" + (dir / "no/such/dir.txr") + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "txrtool: Cannot write \"" + (dir / "no/such/dir.txr") + "\": No such file or directory.\n");
}

// The command of a report: two names of one output file are refused, and nothing is written.
TEST_F(Txrtool, ResaveRefusesOneFileUnderTwoNames) {
    const std::string pair = "'" + kExamples + "/strings.txr' '" + kExamples + "/strings.txl'";
    const Result r = Run("resave --mode paired " + pair + " --to '" + (dir / "out.txr") + "' --to-txl '" +
                         dir.path().string() + "/./out.txr'");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot be the same file"), std::string::npos) << r.err;
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"err", "out"}));
}

// What is not a regular file is refused at once instead of waiting for a writer forever.
TEST_F(Txrtool, DumpRefusesAFifoWithoutWaiting) {
    ASSERT_EQ(::mkfifo((dir / "fifo.txr").c_str(), 0644), 0);
    const Result r = Run("dump '" + (dir / "fifo.txr") + "'", false, "timeout 20 ");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "txrtool: Cannot open \"" + (dir / "fifo.txr") + "\": not a regular file.\n");
}

// Running out of memory while reading is a read error, not an abort.
TEST_F(Txrtool, RunningOutOfMemoryIsAReadError) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer cannot run under a limit on the address space";
#endif
    std::string big = Lines({"0", "0", "G|0", "#"});
    const std::string line = "1|G|0|" + std::string(94, 'x') + "\r\n";
    for (int i = 0; i < 300000; ++i) big += line;
    Put(dir / "big.txr", big);
    // The shared libraries take about 45 MB of address space (libxml2 brings ICU's data with it).
    const Result r = Run("dump '" + (dir / "big.txr") + "'", false, "ulimit -v 60000; ");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "txrtool: Cannot read \"" + (dir / "big.txr") + "\": not enough memory.\n");
}

// Permissions, checked as a user they bind (the tests may run as the superuser, whom they do not).
TEST_F(Txrtool, PermissionsAsAnUnprivilegedUser) {
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    const std::string txr = kExamples + "/strings.txr";
    Put(dir / "secret.txl", Get(kExamples + "/strings.txl"));
    ASSERT_EQ(::chmod((dir / "secret.txl").c_str(), 0), 0);
    Put(dir / "ro.txr", "read-only");
    ASSERT_EQ(::chmod((dir / "ro.txr").c_str(), 0444), 0);

    // An unreadable .txl is an error, not a missing translation.
    Result r = Run("dump --mode both '" + txr + "' '" + (dir / "secret.txl") + "'", true);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "txrtool: Cannot open \"" + (dir / "secret.txl") + "\": Permission denied.\n");
    r = Run("resave '" + txr + "' --to '" + (dir / "ro.txr") + "'", true);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "txrtool: Cannot write \"" + (dir / "ro.txr") + "\": Permission denied.\n");
    EXPECT_EQ(Get(dir / "ro.txr"), "read-only");
}

TEST_F(Txrtool, DiffPrintsOneLineAnEntryInUtf8) {
    // Latin-1, a group missing from the table, a Text with '|' and trailing blanks, Group IDs
    // in the file that a read numbers again.
    Put(dir / "l.txr", Lines({"12", "9", "Men\xFC|7", "Err|1", "#",
                              "3|Men\xFC|5|Datei \xF6"
                              "ffnen",
                              "11|Err|9|a|b  ", "4|Gone|1|x", "7|Men\xFC|1|Ende"}));
    Result r = Run("diff '" + (dir / "l.txr") + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Last Global ID: 12\nGroups: Men\xC3\xBC | Err\n3 [Men\xC3\xBC#1] Datei \xC3\xB6"
              "ffnen\n"
              "11 [Err#1] a|b  \n4 [Gone#0] x\n7 [Men\xC3\xBC#2] Ende\n");
    r = Run("diff '" + (dir / "none.txr") + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("none.txr"), std::string::npos) << r.err;
}

TEST_F(Txrtool, MergeExitStatusAndOutput) {
    Put(dir / "base.txr", Lines({"2", "2", "A|2", "#", "1|A|1|a", "2|A|2|b"}));
    Put(dir / "clash.txr", Lines({"3", "3", "A|3", "#", "1|A|1|a", "2|A|2|b", "3|A|3|t"}));
    Put(dir / "edit.txr", Lines({"2", "2", "A|2", "#", "1|A|1|t", "2|A|2|b"}));
    const std::string ours = Lines({"3", "3", "A|3", "#", "1|A|1|o", "2|A|2|b", "3|A|3|o"});
    struct Case {
        std::string options, theirs;
        int status;
        std::string firstMessage;  // "" for none
    };
    const Case cases[] = {
        {"--renumber", "base.txr", 0, ""},
        {"--renumber", "clash.txr", 0, "txrtool: renumbered: Global ID 3: added on both sides"},
        {"", "clash.txr", 1, "txrtool: conflict: Global ID 3: added on both sides"},
        {"--renumber", "edit.txr", 1, "txrtool: conflict: Global ID 1: both sides changed the Text"},
        {"--renumber", "none.txr", 2, "txrtool: Cannot open"},
    };
    for (const Case& c : cases) {
        Put(dir / "ours.txr", ours);
        const Result r = Run("merge " + c.options + " '" + (dir / "base.txr") + "' '" + (dir / "ours.txr") +
                             "' '" + (dir / c.theirs) + "'");
        EXPECT_EQ(r.status, c.status) << c.theirs << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind(c.firstMessage, 0), 0u) << c.theirs << "\n" << r.err;
        if (c.firstMessage.empty()) {
            EXPECT_EQ(r.err, "");
        }
        if (c.status == 2) {
            EXPECT_EQ(Get(dir / "ours.txr"), ours);
        }
    }
    // With -o the result goes there and OURS stays as it is.
    Put(dir / "ours.txr", ours);
    const Result r = Run("merge -o '" + (dir / "out.txr") + "' '" + (dir / "base.txr") + "' '" +
                         (dir / "ours.txr") + "' '" + (dir / "clash.txr") + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Get(dir / "ours.txr"), ours);
    EXPECT_EQ(Get(dir / "out.txr"),
              Lines({"4", "4", "A|4", "#", "1|A|1|o", "2|A|2|b", "3|A|3|o", "4|A|4|t"}));
}

// A save into a folder that allows no new files blames the folder, not the file (which may
// well be writable itself).
TEST_F(Txrtool, AFolderRefusingNewFilesIsNamedAsTheCause) {
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    std::filesystem::create_directory(dir / "locked");
    Put(dir / "locked/out.txr", "old");
    std::filesystem::permissions(dir / "locked/out.txr", std::filesystem::perms::all);
    std::filesystem::permissions(dir / "locked", std::filesystem::perms(0555));
    const Result r =
        Run("resave '" + kExamples + "/strings.txr' --to '" + (dir / "locked/out.txr") + "'", true);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "txrtool: Cannot create a file in \"" + (dir / "locked") + "\": Permission denied.\n");
    EXPECT_EQ(Get(dir / "locked/out.txr"), "old");
}

TEST_F(Txrtool, UsageAndHelp) {
    const std::string ex = "'" + kExamples + "/strings.txr'";
    const std::pair<std::string, std::string> bad[] = {
        {"", "txrtool: missing command"},
        {"frobnicate", "txrtool: unknown command 'frobnicate'"},
        {"dump", "txrtool: missing TXR file"},
        {"dump --mode sideways " + ex, "txrtool: unknown mode 'sideways'"},
        {"dump --mode", "txrtool: option '--mode' needs a value"},
        {"dump --to x " + ex, "txrtool: unknown option '--to'"},
        {"dump a b c", "txrtool: too many files: 'c'"},
        {"resave " + ex, "txrtool: missing --to OUT.txr"},
        {"diff", "txrtool: missing FILE"},
        {"diff " + ex + " " + ex, "txrtool: diff takes one FILE"},
        {"diff --mode open " + ex, "txrtool: unknown option '--mode'"},
        {"merge " + ex + " " + ex, "txrtool: merge needs BASE, OURS and THEIRS"},
        {"merge a b c d e", "txrtool: too many files: 'e'"},
        {"merge --force a b c", "txrtool: unknown option '--force'"},
        {"merge a b c -o", "txrtool: option '-o' needs a value"},
    };
    for (const auto& [args, message] : bad) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_EQ(r.err.rfind(message, 0), 0u) << args << "\n" << r.err;
        EXPECT_NE(r.err.find("Usage: txrtool"), std::string::npos) << args;
    }
    const std::pair<std::string, std::string> help[] = {
        {"--help", "Usage: txrtool COMMAND"},
        {"dump --help", "Usage: txrtool dump [--mode MODE] TXR [TXL]"},
        {"resave --help", "Usage: txrtool resave [--mode MODE] TXR [TXL] --to OUT.txr [--to-txl OUT.txl]"},
        {"diff --help", "Usage: txrtool diff FILE"},
        {"merge --help", "Usage: txrtool merge [--renumber] [-o OUT] BASE OURS THEIRS"},
    };
    for (const auto& [args, first] : help) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_EQ(r.err, "") << args;
        EXPECT_EQ(r.out.rfind(first, 0), 0u) << args << "\n" << r.out;
    }
}

// A pair with a placeholder and an accelerator lost, a translation out of step with its original,
// a Global ID above the last one and a missing translation.
class TxrtoolCheck : public Txrtool {
protected:
    TxrtoolCheck() {
        const std::string head = Lines({"5", "10", "Menu|3", "Error|2", "#"});
        Put(dir / "a.txr", head + Lines({"1|Menu|1|&Open %s", "2|Menu|2|Save", "3|Menu|3|Quit",
                                         "4|Error|1|Disk full", "7|Error|2|x"}));
        Put(dir / "a.txl", head + Lines({"1|Menu|1|Ouvrir %d", "2|Menu|2|Save", "3|Menu|3|Quitter",
                                         "5|Error|1|Disque plein"}));
        pair = Quoted(dir / "a.txr") + " " + Quoted(dir / "a.txl");
    }
    static std::string Quoted(const std::string& path) { return "'" + path + "'"; }
    std::string pair;
};

TEST_F(TxrtoolCheck, ProblemsAsFileLineCheckMessage) {
    const std::string txr = dir / "a.txr", txl = dir / "a.txl";
    const Result r = Run("check " + pair);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out,
              txl +
                  ":6: placeholder: placeholders differ: the translation lacks %s (argument 1); it has "
                  "%d (argument 1) that the original lacks\n" +
                  txl + ":6: accelerator: the original has one accelerator (&), the translation none\n" +
                  txl + ":9: pair-id: the translation has Global ID \"5\", its original \"4\"\n" + txr +
                  ":10: bad-id: Global ID \"7\" is above the last Global ID (5)\n");
    const Result json =
        Run("check --json --ignore=placeholder --ignore accelerator --ignore pair-id " + pair);
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.out, "[\n {\"file\": \"" + txr +
                            "\", \"line\": 10, \"globalId\": \"7\", \"check\": \"bad-id\", \"message\": "
                            "\"Global ID \\\"7\\\" is above the last Global ID (5)\"}\n]\n");
    const Result clean =
        Run("check --json --ignore placeholder --ignore accelerator --ignore pair-id "
            "--ignore bad-id " +
            pair);
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, "[]\n");
    // Without the .txl only the file's own Global IDs are checked; a Latin-1 ID is named in UTF-8.
    const Result single = Run("check '" + txr + "'");
    EXPECT_EQ(single.status, 1);
    EXPECT_EQ(single.out, txr + ":10: bad-id: Global ID \"7\" is above the last Global ID (5)\n");
    Put(dir / "l.txr", Lines({"5", "1", "#", "\xE9|G|1|caf\xE9"}));
    EXPECT_EQ(Run("check '" + (dir / "l.txr") + "'").out,
              (dir / "l.txr") + ":4: bad-id: Global ID \"\xC3\xA9\" is not a decimal integer\n");
}

TEST_F(TxrtoolCheck, StatsInAllAndPerGroup) {
    const Result r = Run("stats " + pair);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "5 entries, 3 translated (60%), 1 missing, 1 same as original, 3 with problems\n"
              "problems: placeholder 1, accelerator 1, bad-id 1, pair-id 1\n"
              "group Menu: 3 entries, 2 translated (66%), 0 missing, 1 same as original, 1 with problems; "
              "problems: placeholder 1, accelerator 1\n"
              "group Error: 2 entries, 1 translated (50%), 1 missing, 0 same as original, 2 with problems; "
              "problems: bad-id 1, pair-id 1\n");
    const Result json = Run("stats --json " + pair);
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(
        json.out.rfind("{\"paired\": true,\n \"total\": {\"entries\": 5, \"translated\": 3, \"percent\": 60, "
                       "\"missing\": 1, \"same\": 1, \"withProblems\": 3, \"problems\": {\"placeholder\": 1, "
                       "\"accelerator\": 1, \"whitespace\": 0, \"parts\": 0, \"empty\": 0, "
                       "\"duplicate-id\": 0, \"bad-id\": 1, \"pair-id\": 1}},\n \"groups\": [\n  {\"name\": "
                       "\"Menu\", \"entries\": 3,",
                       0),
        0u)
        << json.out;
    EXPECT_EQ(Run("stats '" + (dir / "a.txr") + "'")
                  .out.rfind("5 entries, 1 with problems\nproblems: bad-id 1\n", 0),
              0u);
}

TEST_F(TxrtoolCheck, ReadErrorsAndBadUsage) {
    // A named .txl that cannot be read is an error, not a document with every entry missing.
    const std::string missing = dir / "none.txl";
    for (const char* command : {"check", "stats"}) {
        const Result r = Run(std::string(command) + " '" + (dir / "a.txr") + "' '" + missing + "'");
        EXPECT_EQ(r.status, 2) << command;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "txrtool: Cannot open \"" + missing + "\": No such file or directory.\n");
        EXPECT_EQ(Run(std::string(command) + " '" + (dir / "none.txr") + "'").status, 2);
    }
    const std::pair<std::string, std::string> bad[] = {
        {"check --ignore spelling " + pair, "txrtool check: unknown check 'spelling'"},
        {"check --ignore", "txrtool check: option '--ignore' needs a value"},
        {"check", "txrtool check: missing TXR file"},
        {"stats --mode open " + pair, "txrtool stats: unknown option '--mode'"},
        {"stats a b c", "txrtool stats: too many files: 'c'"},
    };
    for (const auto& [args, message] : bad) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_EQ(r.err.rfind(message, 0), 0u) << r.err;
    }
    for (const char* args : {"check --help", "stats --help", "--help"}) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.out.find(std::string(args) == "--help" ? "  check " : "Usage: txrtool "),
                  std::string::npos);
    }
}

}  // namespace
