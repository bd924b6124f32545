#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <string>
#include <vector>

#include "document/ListBoxSafe.h"
#include "document/format/ResourceTable.h"
#include "tests/document/TextResourceFiles.h"

namespace {

using namespace trf;

const std::string kTxr = Lines(
    {"3", "3", "Menu|2", "Error|1", "#", "1|Menu|1|Open file", "2|Menu|2|Close", "3|Error|1|Disk full"});
const std::string kTxl = Lines(
    {"3", "6", "Menu|2", "Error|1", "#", "1|Menu|1|Ouvrir", "2|Menu|2|Fermer", "3|Error|1|Disque plein"});
const Row kOpen{"1", "Menu", "1", "Open file"}, kOuvrir{"1", "Menu", "1", "Ouvrir"};
const Row kClose{"2", "Menu", "2", "Close"}, kFermer{"2", "Menu", "2", "Fermer"};
const Row kDisk{"3", "Error", "1", "Disk full"}, kDisque{"3", "Error", "1", "Disque plein"};
const std::vector<Group> kGroups{{"Menu", 2}, {"Error", 1}};

class TextResourceReader : public ::testing::Test {
protected:
    TextResourceReader() { store.DefineColumns(kEntryColumnSpec); }

    // Reads the given .txr (and .txl, unless absent) in the mode; the read must succeed.
    std::vector<Row> Read(const std::string& txr, const std::string* txl, ReadMode mode) {
        Put(dir / "d.txr", txr);
        std::filesystem::remove(dir / "d.txl");
        if (txl) Put(dir / "d.txl", *txl);
        const Status s = ReadTextResource(store, dir / "d.txr", dir / "d.txl", mode);
        EXPECT_TRUE(s.ok()) << s.message();
        return Rows(store);
    }
    std::vector<Row> Read(const std::string& txr, ReadMode mode = ModeOpen) {
        return Read(txr, nullptr, mode);
    }
    std::vector<Row> Read(const std::string& txr, const std::string& txl, ReadMode mode) {
        return Read(txr, &txl, mode);
    }

    ScratchDir dir;
    ResourceTable store;
};

TEST_F(TextResourceReader, ReadsTheDocumentAndNumbersGroupsAgain) {
    EXPECT_EQ(Read(kTxr), (std::vector<Row>{kOpen, kClose, kDisk}));
    EXPECT_EQ(Groups(store), kGroups);
    EXPECT_EQ(store.GetLastGlobalId(), 3);

    // Written Group IDs, counters and the row count do not matter; a stale table is replaced.
    EXPECT_EQ(Read(Lines({"3", "999", "Menu|5", "Error|0", "#", "1|Menu|7|Open file", "2|Menu|9|Close",
                          "3|Error|1|Disk full"})),
              (std::vector<Row>{kOpen, kClose, kDisk}));
    EXPECT_EQ(Groups(store), kGroups);

    // An entry of a group not in the group table gets 0 and makes no group; short lines leave
    // missing fields empty; an empty line adds nothing; a duplicate group is never reached.
    EXPECT_EQ(Read(Lines({"1", "0", "A|0", "A|0", "#", "1|B|1|x", "2|A", "", "3", "4|A|9|p|q|r"})),
              (std::vector<Row>{
                  {"1", "B", "0", "x"}, {"2", "A", "1", ""}, {"3", "", "0", ""}, {"4", "A", "2", "p|q|r"}}));
    EXPECT_EQ(Groups(store), (std::vector<Group>{{"A", 2}, {"A", 1}}));
}

TEST_F(TextResourceReader, EveryModeWithAndWithoutTheLocalizedFile) {
    const std::vector<Row> pairs{kOpen, kOuvrir, kClose, kFermer, kDisk, kDisque};
    for (ReadMode mode : {ModeShowBoth, ModeOpenPaired}) {
        EXPECT_EQ(Read(kTxr, kTxl, mode), pairs) << mode;
        EXPECT_EQ(Groups(store), kGroups);
        EXPECT_EQ(store.GetLastGlobalId(), 3);
        // Twin reading: no .txl yet, every entry twice.
        EXPECT_EQ(Read(kTxr, mode), (std::vector<Row>{kOpen, kOpen, kClose, kClose, kDisk, kDisk})) << mode;
        EXPECT_EQ(Groups(store), kGroups);
    }
    EXPECT_EQ(Read(kTxr, kTxl, ModeShowLocalized), (std::vector<Row>{kOuvrir, kFermer, kDisque}));
    EXPECT_EQ(Groups(store), kGroups);
    EXPECT_EQ(Read(kTxr, ModeShowLocalized), (std::vector<Row>{kOpen, kClose, kDisk}));
    // Modes 1 and 4 never look at the .txl, not even a broken one.
    for (ReadMode mode : {ModeShowOriginal, ModeOpen})
        EXPECT_EQ(Read(kTxr, std::string("garbage"), mode), (std::vector<Row>{kOpen, kClose, kDisk})) << mode;
    // The header always comes from the .txr.
    EXPECT_EQ(Read(kTxr, Lines({"77", "0", "Other|1", "#", "1|Menu|1|Ouvrir"}), ModeShowLocalized),
              (std::vector<Row>{{"1", "Menu", "1", "Ouvrir"}}));
    EXPECT_EQ(store.GetLastGlobalId(), 3);
    EXPECT_EQ(Groups(store), (std::vector<Group>{{"Menu", 1}, {"Error", 0}}));
}

TEST_F(TextResourceReader, PairedReadingKeepsEachFileOnItsOwnParity) {
    const std::string head = Lines({"3", "6", "Menu|2", "Error|1", "#"});
    // A short .txl: missing translations become copies of their originals.
    EXPECT_EQ(Read(kTxr, head + Lines({"1|Menu|1|Ouvrir"}), ModeOpenPaired),
              (std::vector<Row>{kOpen, kOuvrir, kClose, kClose, kDisk, kDisk}));
    // A long .txl: a translation past the last original stands in for its original as well, so
    // that the pairs stay whole.
    EXPECT_EQ(
        Read(Lines({"3", "6", "Menu|2", "Error|1", "#", "1|Menu|1|Open file"}),
             head + Lines({"1|Menu|1|Ouvrir", "2|Menu|2|Fermer", "3|Error|1|Disque plein"}), ModeOpenPaired),
        (std::vector<Row>{kOpen,
                          kOuvrir,
                          kFermer,
                          kFermer,
                          {"3", "Error", "1", "Disque plein"},
                          {"3", "Error", "1", "Disque plein"}}));
    EXPECT_EQ(Groups(store), kGroups);
    // Blank lines hold no entry and are skipped in each file: every pair stays whole, each row
    // with its own file's cells, also where the files are out of step.
    const std::string blankTxr = head + Lines({"1|Menu|1|Open file", "", "2|Menu|2|Close"});
    EXPECT_EQ(Read(blankTxr, head + Lines({"1|Menu|1|Ouvrir", "2|Menu|2|Fermer"}), ModeOpenPaired),
              (std::vector<Row>{kOpen, kOuvrir, kClose, kFermer}));
    EXPECT_EQ(Read(head + Lines({"1|Menu|1|Open file", "", "3|Error|1|Disk full"}),
                   head + Lines({"", "2|Menu|2|Fermer", "", "3|Error|1|Disque plein"}), ModeOpenPaired),
              (std::vector<Row>{kOpen, {"2", "Menu", "1", "Fermer"}, kDisk, kDisque}));
    EXPECT_EQ(Read(head + Lines({"|Menu|1|no id", "2|Menu|2|Close"}), head + Lines({"", "2|Menu|2|Fermer"}),
                   ModeOpenPaired),
              (std::vector<Row>{{"", "Menu", "1", "no id"}, {"2", "Menu", "1", "Fermer"}, kClose, kClose}));
    // A localized save then gives each file its own entries back.
    Read(blankTxr, head + Lines({"", "1|Menu|1|Ouvrir", "", "2|Menu|2|Fermer"}), ModeOpenPaired);
    ASSERT_TRUE(WriteTextResource(store, dir / "o.txr", dir / "o.txl", true).ok());
    EXPECT_EQ(Get(dir / "o.txr"),
              Lines({"3", "4", "Menu|2", "Error|0", "#", "1|Menu|1|Open file", "2|Menu|2|Close"}));
    EXPECT_EQ(Get(dir / "o.txl"),
              Lines({"3", "4", "Menu|2", "Error|0", "#", "1|Menu|1|Ouvrir", "2|Menu|2|Fermer"}));
}

TEST_F(TextResourceReader, LinksAreFollowedAndOnlyAMissingTxlIsAbsent) {
    std::filesystem::create_symlink("d.txl", dir.path() / "link.txl");
    Read(kTxr, kTxl, ModeOpenPaired);
    const std::vector<Row> pairs = Rows(store);
    ASSERT_TRUE(ReadTextResource(store, dir / "d.txr", dir / "link.txl", ModeShowBoth).ok());
    EXPECT_EQ(Rows(store), pairs);
    // A missing .txl, a dangling link and a path through a file: not translated yet.
    std::filesystem::remove(dir / "d.txl");
    for (const std::string& txl : {dir / "d.txl", dir / "link.txl", dir / "d.txr/x.txl", std::string()}) {
        ReadInfo info;
        ASSERT_TRUE(ReadTextResource(store, dir / "d.txr", txl, ModeShowBoth, &info).ok()) << txl;
        EXPECT_FALSE(info.txlPresent);
        EXPECT_EQ(Rows(store), (std::vector<Row>{kOpen, kOpen, kClose, kClose, kDisk, kDisk}));
    }
}

TEST_F(TextResourceReader, StandInRowsAreReported) {
    const std::string head = Lines({"3", "6", "Menu|2", "Error|1", "#"});
    const auto standIns = [this](const std::string& txr, const std::string* txl, ReadMode mode) {
        Read(txr, txl, mode);
        ReadInfo info;
        info.standIn = {9, 9};  // replaced by the read
        const Status s = ReadTextResource(store, dir / "d.txr", dir / "d.txl", mode, &info);
        EXPECT_TRUE(s.ok()) << s.message();
        return std::pair(info.standIn, info.txlPresent);
    };
    using Flags = std::vector<uint8_t>;
    const std::string shortTxl = head + Lines({"1|Menu|1|Ouvrir"});
    EXPECT_EQ(standIns(kTxr, &shortTxl, ModeOpenPaired), std::pair(Flags{0, 0, 0, 1, 0, 1}, true));
    const std::string oneOriginal = head + Lines({"", "1|Menu|1|Open file", ""});
    EXPECT_EQ(standIns(oneOriginal, &kTxl, ModeOpenPaired), std::pair(Flags{0, 0, 1, 0, 1, 0}, true));
    EXPECT_EQ(standIns(kTxr, &kTxl, ModeShowBoth), std::pair(Flags(6, 0), true));
    EXPECT_EQ(standIns(kTxr, nullptr, ModeShowBoth), std::pair(Flags{0, 1, 0, 1, 0, 1}, false));
    EXPECT_EQ(standIns(kTxr, &kTxl, ModeOpen), std::pair(Flags(3, 0), false));
}

TEST_F(TextResourceReader, LineNumbersOfRowsWhenAsked) {
    // Empty entry lines take a line but make no row; each row counts lines in its own file.
    const std::string txr =
        Lines({"3", "6", "Menu|2", "Error|1", "#", "1|Menu|1|a", "", "2|Menu|2|b", "3|Error|1|c"});
    const std::string txl = Lines({"3", "6", "Menu|2", "#", "1|Menu|1|A", "2|Menu|2|B"});
    const auto lines = [&](const std::string* l, ReadMode mode, bool want) {
        Put(dir / "d.txr", txr);
        if (l) Put(dir / "d.txl", *l);
        ReadInfo info;
        info.wantLines = want;
        EXPECT_TRUE(ReadTextResource(store, dir / "d.txr", dir / "d.txl", mode, &info).ok());
        EXPECT_TRUE(!want || info.lines.size() == static_cast<size_t>(store.GetRowCount()));
        return info.lines;
    };
    using L = std::vector<uint32_t>;
    EXPECT_EQ(lines(nullptr, ModeOpen, true), (L{6, 8, 9}));
    EXPECT_EQ(lines(nullptr, ModeOpen, false), L{});
    // Pairs skip blank lines; "c" has no translation and gets a stand-in.
    EXPECT_EQ(lines(&txl, ModeOpenPaired, true), (L{6, 5, 8, 6, 9, 0}));
    EXPECT_EQ(lines(&txl, ModeShowLocalized, true), (L{5, 6}));
    std::filesystem::remove(dir / "d.txl");
    EXPECT_EQ(lines(nullptr, ModeShowBoth, true), (L{6, 0, 8, 0, 9, 0}));
}

TEST_F(TextResourceReader, LineEnds) {
    // LF alone ends a line too, the last line needs no end, a CR not before LF is data.
    EXPECT_EQ(Read("7\n1\nG|1\n#\n1|G|1|a\r\n2|G|1|b\rc\n3|G|1|d\r"),
              (std::vector<Row>{{"1", "G", "1", "a"}, {"2", "G", "2", "b\rc"}, {"3", "G", "3", "d\r"}}));
    EXPECT_EQ(store.GetLastGlobalId(), 7);
    EXPECT_EQ(Read("0\r\n0\r\n#"), std::vector<Row>{});
    EXPECT_EQ(Read("0\r\n0\r\n#\r\n4|G|0|no line end"), (std::vector<Row>{{"4", "G", "0", "no line end"}}));
}

TEST_F(TextResourceReader, TextKeptWholeOtherFieldsLoseTrailingBlanks) {
    const std::string head =
        Lines({"1", "0", "Menu |0", "Long group name of many characters|0", " Menu|0", "#"});
    EXPECT_EQ(Read(head +
                   Lines({"  7 \t\v\f|Menu \t| 1 |  File name: \t",  // trailing blanks of the name trimmed...
                          "8|Menu|1|",                               // ...but lookups use it as cut
                          "9|Long group name of many characters|5|x", "10| Menu|1|y"})),
              (std::vector<Row>{{"  7", "Menu", "0", "  File name: \t"},
                                {"8", "Menu", "0", ""},
                                {"9", "Long group name of many characters", "1", "x"},
                                {"10", " Menu", "1", "y"}}));
    EXPECT_EQ(Groups(store),
              (std::vector<Group>{{"Menu ", 0}, {"Long group name of many characters", 1}, {" Menu", 1}}));
    // The first entry's cut name is "Menu \t", which names no group; "Menu " gets entries of its own:
    EXPECT_EQ(Read(head + Lines({"1|Menu |0|a", "2|Menu |0|b"}))[1], (Row{"2", "Menu", "2", "b"}));
    EXPECT_EQ(Groups(store)[0], (Group{"Menu ", 2}));
}

TEST_F(TextResourceReader, LastGlobalIdReadsLikeAtoiWithinRange) {
    const std::vector<std::pair<std::string, int>> cases = {{"42", 42},
                                                            {"  +42abc", 42},
                                                            {"-7", -7},
                                                            {"x1", 0},
                                                            {"", 0},
                                                            {"\t\v -0", 0},
                                                            {"2147483647", INT_MAX},
                                                            {"2147483648", INT_MAX},
                                                            {"99999999999999999999", INT_MAX},
                                                            {"-2147483648", INT_MIN},
                                                            {"-99999999999999", INT_MIN}};
    for (const auto& [line, value] : cases) {
        Read(line + "\r\n0\r\n#\r\n");
        EXPECT_EQ(store.GetLastGlobalId(), value) << line;
    }
}

TEST_F(TextResourceReader, ReadsPastAThousandEntriesInEveryArrangement) {
    std::string txr = Lines({"1500", "0", "G|0", "#"}), txl = txr;
    for (int i = 1; i <= 1500; ++i) txr += std::to_string(i) + "|G|0|t" + std::to_string(i) + "\r\n";
    for (int i = 1; i <= 1499; ++i) txl += std::to_string(i) + "|G|0|l" + std::to_string(i) + "\r\n";
    std::vector<Row> rows = Read(txr);
    ASSERT_EQ(rows.size(), 1500u);
    EXPECT_EQ(rows.back(), (Row{"1500", "G", "1500", "t1500"}));
    rows = Read(txr, txl, ModeOpenPaired);
    ASSERT_EQ(rows.size(), 3000u);
    EXPECT_EQ(rows[2997], (Row{"1499", "G", "1499", "l1499"}));
    EXPECT_EQ(rows[2999], (Row{"1500", "G", "1500", "t1500"}));  // the last translation: a copy
    EXPECT_EQ(Read(txr, ModeShowBoth).size(), 3000u);
    EXPECT_EQ(Read(txr, txl, ModeShowLocalized).size(), 1499u);
    EXPECT_EQ(Groups(store), (std::vector<Group>{{"G", 1499}}));
}

TEST_F(TextResourceReader, FailedReadsChangeNothing) {
    Read(kTxr, kTxl, ModeOpenPaired);
    const std::vector<Row> rows = Rows(store);
    auto expectUnchanged = [&](const Status& s, const std::string& file, const std::string& reason) {
        ExpectFails(s, {file, reason});
        EXPECT_EQ(Rows(store), rows);  // no "fail" row either
        EXPECT_EQ(Groups(store), kGroups);
        EXPECT_EQ(store.GetLastGlobalId(), 3);
    };
    for (int m = ModeShowOriginal; m <= ModeOpenPaired; ++m)
        expectUnchanged(ReadTextResource(store, dir / "none.txr", dir / "d.txl", static_cast<ReadMode>(m)),
                        dir / "none.txr", "No such file or directory");
    expectUnchanged(ReadTextResource(store, dir.path().string(), "", ModeOpen), dir.path().string(),
                    "Is a directory");

    // A .txr without the line that ends its group table (the two header lines come first, so a
    // "#" among them does not count).
    for (const std::string& bad :
         {std::string(), Lines({"3", "3", "Menu|2"}), std::string("3\r\n#\r\n"), Lines({"#", "1|a|1|b"})}) {
        Put(dir / "bad.txr", bad);
        expectUnchanged(ReadTextResource(store, dir / "bad.txr", "", ModeOpen), dir / "bad.txr", "\"#\"");
    }
    // Only regular files (or links to them) are read, without waiting on a FIFO; a .txl that
    // exists but cannot be read is an error as much as a .txr is.
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    std::filesystem::create_directory(dir.path() / "folder.txl");
    const std::string folder = dir / "folder.txl", fifo = dir / "fifo";
    expectUnchanged(ReadTextResource(store, fifo, "", ModeOpen), fifo, "not a regular file");
    expectUnchanged(ReadTextResource(store, "/dev/null", "", ModeOpen), "/dev/null", "not a regular file");
    for (ReadMode mode : {ModeShowLocalized, ModeShowBoth, ModeOpenPaired}) {
        expectUnchanged(ReadTextResource(store, dir / "d.txr", fifo, mode), fifo, "not a regular file");
        expectUnchanged(ReadTextResource(store, dir / "d.txr", folder, mode), folder, "Is a directory");
    }
    // An opened .txl without one, an empty one included, in every mode that reads it.
    for (const std::string& bad : {std::string(), Lines({"3", "3", "Menu|2", "1|Menu|1|Ouvrir"})}) {
        Put(dir / "bad.txl", bad);
        for (ReadMode mode : {ModeShowLocalized, ModeShowBoth, ModeOpenPaired})
            expectUnchanged(ReadTextResource(store, dir / "d.txr", dir / "bad.txl", mode), dir / "bad.txl",
                            "\"#\"");
    }
}

}  // namespace
