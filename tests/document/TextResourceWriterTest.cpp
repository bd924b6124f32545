#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "document/ListBoxSafe.h"
#include "document/format/ResourceTable.h"
#include "tests/document/TextResourceFiles.h"

namespace {

using namespace trf;

const std::vector<Group> kGroups = {{"Menu", 2}, {"Error", 1}};
const std::vector<Row> kRows = {
    {"1", "Menu", "1", "Open file"}, {"2", "Menu", "2", "Close"}, {"3", "Error", "1", "Disk full"}};
const std::vector<Row> kPairs = {{"1", "Menu", "1", "Open file"},  {"1", "Menu", "1", "Ouvrir"},
                                 {"2", "Menu", "2", "Close"},      {"2", "Menu", "2", "Fermer"},
                                 {"3", "Error", "1", "Disk full"}, {"3", "Error", "1", "Disque plein"}};
const std::string kHeader = "3\r\n3\r\nMenu|2\r\nError|1\r\n#\r\n";

class TextResourceWriter : public ::testing::Test {
protected:
    ScratchDir dir;
    ResourceTable store;
};

TEST_F(TextResourceWriter, WritesPlainAndLocalizedDocumentsByteForByte) {
    Fill(store, kRows, kGroups, 3);
    ASSERT_TRUE(WriteTextResource(store, dir / "a.txr", dir / "a.txl", false).ok());
    const std::string plain = Get(dir / "a.txr");
    EXPECT_EQ(plain, kHeader + "1|Menu|1|Open file\r\n2|Menu|2|Close\r\n3|Error|1|Disk full\r\n");
    EXPECT_EQ(plain.size(), 83u);
    EXPECT_EQ(plain.substr(0, 14), "\x33\x0D\x0A\x33\x0D\x0A\x4D\x65\x6E\x75\x7C\x32\x0D\x0A");
    EXPECT_FALSE(std::filesystem::exists(dir / "a.txl"));  // not localized: the .txl is not touched

    Fill(store, kPairs, kGroups, 3);
    ASSERT_TRUE(WriteTextResource(store, dir / "a.txr", dir / "a.txl", true).ok());
    std::string expectedTxr = plain;
    expectedTxr[3] = '6';
    EXPECT_EQ(Get(dir / "a.txr"), expectedTxr);
    const std::string txl = Get(dir / "a.txl");
    EXPECT_EQ(txl,
              "3\r\n6\r\nMenu|2\r\nError|1\r\n#\r\n1|Menu|1|Ouvrir\r\n2|Menu|2|Fermer\r\n3|Error|1|Disque "
              "plein\r\n");
    EXPECT_EQ(txl.size(), 84u);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"a.txl", "a.txr"}));  // no temporary files left
}

TEST_F(TextResourceWriter, EmptyTablesOddPairsAndStaleCounters) {
    // Deleting entries keeps groups and their counters; the negative last Global ID keeps its sign.
    Fill(store, {}, {{"Menu", 7}, {"", 0}}, -12);
    ASSERT_TRUE(WriteTextResource(store, dir / "e.txr", "", false).ok());
    EXPECT_EQ(Get(dir / "e.txr"), Lines({"-12", "0", "Menu|7", "|0", "#"}));

    Fill(store, {kPairs[0], kPairs[1], kPairs[2]}, kGroups, 3);
    ASSERT_TRUE(WriteTextResource(store, dir / "o.txr", dir / "o.txl", true).ok());
    EXPECT_EQ(Get(dir / "o.txr"),
              Lines({"3", "3", "Menu|2", "Error|1", "#", "1|Menu|1|Open file", "2|Menu|2|Close"}));
    EXPECT_EQ(Get(dir / "o.txl"), Lines({"3", "3", "Menu|2", "Error|1", "#", "1|Menu|1|Ouvrir"}));

    // Cells go out exactly as held: "|" and surrounding blanks in the Text, non-numbers elsewhere.
    Fill(store, {{"x", " Menu", "", " a|b "}}, {}, 0);
    ASSERT_TRUE(WriteTextResource(store, dir / "c.txr", "", false).ok());
    EXPECT_EQ(Get(dir / "c.txr"), Lines({"0", "1", "#", "x| Menu|| a|b "}));
}

// Cells the format cannot carry are refused before anything is written.
TEST_F(TextResourceWriter, RefusesCellsTheFormatCannotCarry) {
    Put(dir / "old.txr", "old bytes");
    struct Case {
        Row bad;
        std::string where;
    };
    const std::vector<Case> cases = {
        {{"1", "Menu", "1", "two\nlines"}, "Row 2, column Text"},
        {{"1", "Menu", "1", "cr\r"}, "Row 2, column Text"},
        {{"1", "Me\r\nnu", "1", "x"}, "Row 2, column Group Name"},
        {{"1|2", "Menu", "1", "x"}, "Row 2, column Global ID"},
        {{"1", "Me|nu", "1", "x"}, "Row 2, column Group Name"},
        {{"1", "Menu", "|", "x"}, "Row 2, column Group ID"},
    };
    for (const Case& c : cases) {
        Fill(store, {kRows[0], c.bad, {"3", "Menu", "x|y", "first bad cell is in row 2"}}, kGroups, 3);
        ExpectFails(WriteTextResource(store, dir / "old.txr", dir / "new.txl", true), {c.where});
    }
    // A bad cell in a translation row alone is found as well.
    for (const Row& bad : {Row{"1", "Menu", "1", "Ouv\nrir"}, Row{"1", "Me|nu", "1", "Ouvrir"}}) {
        Fill(store, {kPairs[0], kPairs[1], kPairs[2], bad}, kGroups, 3);
        ExpectFails(WriteTextResource(store, dir / "old.txr", dir / "new.txl", true), {"Row 4, column"});
    }
    // A group left in the group list with a name no entry could have is refused as well.
    Fill(store, kRows, {{"Menu", 2}, {"a|b", 1}}, 3);
    ExpectFails(WriteTextResource(store, dir / "old.txr", "", false), {"Group 2"});

    EXPECT_EQ(Get(dir / "old.txr"), "old bytes");
    EXPECT_EQ(dir.List(), std::vector<std::string>{"old.txr"});
}

// Texts longer than the writer's buffer go out whole, and are checked like any other.
TEST_F(TextResourceWriter, TextsLongerThanAnyBuffer) {
    std::string big(3 << 20, 'x');
    for (size_t i = 0; i < big.size(); i += 4099) big[i] = '|';
    Fill(store, {{"1", "G", "1", "short"}, {"2", "G", "2", big}, {"3", "G", "3", "after"}}, {{"G", 3}}, 3);
    ASSERT_TRUE(WriteTextResource(store, dir / "big.txr", "", false).ok());
    const std::string written = Get(dir / "big.txr");
    EXPECT_EQ(written, Lines({"3", "3", "G|3", "#", "1|G|1|short", "2|G|2|" + big, "3|G|3|after"}));

    big[big.size() - 10] = '\n';
    Fill(store, {{"1", "G", "1", "short"}, {"2", "G", "2", big}}, {{"G", 2}}, 3);
    ExpectFails(WriteTextResource(store, dir / "big.txr", "", false), {"Row 2, column Text"});
    EXPECT_EQ(Get(dir / "big.txr"), written);
    EXPECT_EQ(dir.List(), std::vector<std::string>{"big.txr"});
}

TEST_F(TextResourceWriter, FailedSavesLeaveOldFilesIntactAndNoTemporaryFiles) {
    Fill(store, kPairs, kGroups, 3);
    Put(dir / "doc.txr", "old txr");
    Put(dir / "doc.txl", "old txl");

    ExpectFails(WriteTextResource(store, dir / "missing/doc.txr", "", false),
                {dir / "missing/doc.txr", "No such file or directory"});

    // A localized save whose .txl cannot be written leaves the .txr alone as well: both or neither.
    ExpectFails(WriteTextResource(store, dir / "doc.txr", dir / "missing/doc.txl", true),
                {dir / "missing/doc.txl"});

    std::filesystem::create_directory(dir / "dir.txl");
    ExpectFails(WriteTextResource(store, dir / "doc.txr", dir / "dir.txl", true), {"Is a directory"});
    EXPECT_FALSE(WriteTextResource(store, dir / "dir.txl", "", false).ok());

    EXPECT_EQ(Get(dir / "doc.txr"), "old txr");
    EXPECT_EQ(Get(dir / "doc.txl"), "old txl");
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"dir.txl", "doc.txl", "doc.txr"}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "dir.txl"));
}

// The superuser is not bound by permissions: there the saves run in a child process as an
// unprivileged user. `save` returns the failure message, or "ok".
std::string AsUnprivilegedUser(const std::function<std::string()>& save) {
    if (::geteuid() != 0) return save();
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        std::string message = "cannot become an unprivileged user";
        if (::setgroups(0, nullptr) == 0 && ::setresgid(65534, 65534, 65534) == 0 &&
            ::setresuid(65534, 65534, 65534) == 0)
            message = save();
        const ssize_t written = ::write(pipeEnds[1], message.data(), message.size());
        ::_exit(written == static_cast<ssize_t>(message.size()) ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    std::string message;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, static_cast<size_t>(n));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return message;
}

TEST_F(TextResourceWriter, UnwritableTargetsAreRefused) {
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    Fill(store, kRows, kGroups, 3);
    Put(dir / "ro.txr", "read-only");
    ::chmod((dir / "ro.txr").c_str(), 0444);
    std::filesystem::create_directory(dir / "locked");
    ::chmod((dir / "locked").c_str(), 0555);
    const auto save = [this](const std::string& target) {
        return AsUnprivilegedUser([&] {
            const Status s = WriteTextResource(store, target, "", false);
            return s.ok() ? std::string("ok") : s.message();
        });
    };
    EXPECT_EQ(save(dir / "ro.txr"), "Cannot write \"" + (dir / "ro.txr") + "\": Permission denied.");
    EXPECT_EQ(Get(dir / "ro.txr"), "read-only");
    EXPECT_EQ(save(dir / "locked/x.txr"),
              "Cannot create a file in \"" + (dir / "locked") + "\": Permission denied.");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "locked"));
}

TEST_F(TextResourceWriter, ReplacedFilesKeepTheirPermissionsOwnersAndLinks) {
    Fill(store, kRows, kGroups, 3);
    Put(dir / "real.txr", "old");
    ::chmod((dir / "real.txr").c_str(), 0640);
    const bool root = ::geteuid() == 0;  // only the superuser can give a file away
    if (root) {
        ASSERT_EQ(::chown((dir / "real.txr").c_str(), 65534, 65534), 0);
    }
    std::filesystem::create_symlink("real.txr", dir.path() / "link.txr");
    ASSERT_TRUE(WriteTextResource(store, dir / "link.txr", "", false).ok());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "link.txr"));
    EXPECT_EQ(Get(dir / "real.txr").size(), 83u);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "real.txr").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    if (root) {
        EXPECT_EQ(std::pair(st.st_uid, st.st_gid), std::pair(uid_t{65534}, gid_t{65534}));
    }
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"link.txr", "real.txr"}));

    // A dangling link is written through to the file it names, and stays a link.
    std::filesystem::create_symlink("sub/../new.txr", dir.path() / "dangling.txr");
    std::filesystem::create_directory(dir.path() / "sub");
    ASSERT_TRUE(WriteTextResource(store, dir / "dangling.txr", "", false).ok());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "dangling.txr"));
    EXPECT_EQ(Get(dir / "new.txr"), Get(dir / "real.txr"));
}

// Nodes that are not regular files are never replaced, nor is a chain of links that never ends.
TEST_F(TextResourceWriter, SpecialTargetsAreRefused) {
    Fill(store, kRows, kGroups, 3);
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    std::filesystem::create_symlink("loop2", dir.path() / "loop1");
    std::filesystem::create_symlink("loop1", dir.path() / "loop2");
    std::filesystem::create_symlink("fifo", dir.path() / "to-fifo");
    std::vector<std::pair<std::string, std::string>> cases = {
        {"fifo", "not a regular file"},
        {"to-fifo", "not a regular file"},
        {"loop1", "Too many levels of symbolic links"},
    };
    // A character device: made here (a copy of the null device) where the process may.
    if (::mknod((dir / "chardev").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0)
        cases.emplace_back("chardev", "not a regular file");
    const std::vector<std::string> before = dir.List();
    for (const auto& [name, reason] : cases) {
        ExpectFails(WriteTextResource(store, dir / name, "", false), {dir / name, reason});
        Fill(store, kPairs, kGroups, 3);
        ExpectFails(WriteTextResource(store, dir / "doc.txr", dir / name, true), {dir / name, reason});
        Fill(store, kRows, kGroups, 3);
    }
    EXPECT_EQ(dir.List(), before);  // no doc.txr: a refused pair writes neither file
    struct stat st {};
    ASSERT_EQ(::lstat((dir / "fifo").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// Two names of one file (the same path spelt otherwise, a link, a second hard link) would leave
// only the translations in it: refused before anything is written, whether the file exists or not.
TEST_F(TextResourceWriter, OneFileUnderTwoNamesIsRefused) {
    Fill(store, kPairs, kGroups, 3);
    std::filesystem::create_directory(dir.path() / "sub");
    std::filesystem::create_symlink("out.txr", dir.path() / "alias.txr");
    std::filesystem::create_symlink(".", dir.path() / "here");
    const std::vector<std::string> aliases = {dir / "./out.txr", dir / "sub/../out.txr", dir / "alias.txr",
                                              dir / "here/out.txr"};
    for (const bool exists : {false, true}) {
        if (exists) {
            Put(dir / "out.txr", "old");
            std::filesystem::create_hard_link(dir.path() / "out.txr", dir.path() / "hard.txr");
        }
        std::vector<std::string> names = aliases;
        if (exists) names.push_back(dir / "hard.txr");
        const std::vector<std::string> before = dir.List();
        for (const std::string& txl : names) {
            ExpectFails(WriteTextResource(store, dir / "out.txr", txl, true), {"cannot be the same file"});
            EXPECT_EQ(dir.List(), before) << txl;
        }
        if (exists) {
            EXPECT_EQ(Get(dir / "out.txr"), "old");
        }
    }
    ASSERT_TRUE(WriteTextResource(store, dir / "out.txr", dir / "sub/out.txr", true).ok());
}

// One file of a pair written from a single-file read: exactly what a localized save writes for
// it, and the other file untouched.
TEST_F(TextResourceWriter, OneFileOfAPairFromItsOwnRows) {
    const std::string examples = EXAMPLES_DIR;
    const struct {
        ReadMode mode;
        std::string file;
    } cases[] = {{ModeShowOriginal, "strings.txr"}, {ModeShowLocalized, "strings.txl"}};
    for (const auto& c : cases) {
        Put(dir / "p.txr", Get(examples + "/strings.txr"));
        Put(dir / "p.txl", Get(examples + "/strings.txl"));
        if (store.ColumnCount() == 0) store.DefineColumns(kEntryColumnSpec);
        ASSERT_TRUE(ReadTextResource(store, dir / "p.txr", dir / "p.txl", c.mode).ok());
        const std::string other = c.file == "strings.txr" ? dir / "p.txl" : dir / "p.txr";
        Put(other, "other file");
        const std::string target = c.file == "strings.txr" ? dir / "p.txr" : dir / "p.txl";
        Put(target, "stale");
        ASSERT_TRUE(WriteTextResourceFile(store, target).ok());
        EXPECT_EQ(Get(target), Get(examples + "/" + c.file));
        EXPECT_EQ(Get(other), "other file");
        EXPECT_EQ(dir.List(), (std::vector<std::string>{"p.txl", "p.txr"}));
    }
    Fill(store, {{"1", "G", "1", "a\nb"}}, {{"G", 1}}, 1);
    ExpectFails(WriteTextResourceFile(store, dir / "p.txl"), {"Row 1, column Text"});
    EXPECT_EQ(Get(dir / "p.txl"), Get(examples + "/strings.txl"));
}

}  // namespace
