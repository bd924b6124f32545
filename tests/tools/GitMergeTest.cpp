// txrtool as git's merge driver and diff text converter, in a scratch repository: git itself
// decides whether a merge went through, and the merged file must read back whole.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "document/ListBoxSafe.h"
#include "document/format/ResourceTable.h"
#include "tests/document/TextResourceFiles.h"

namespace {

using namespace trf;

const std::string kTool = TXRTOOL_PATH;

// The example's header and group table, then the given entry lines.
std::string Document(int lastId, const std::vector<std::string>& entries) {
    std::string out =
        Lines({std::to_string(lastId), std::to_string(entries.size()), "Menu|4", "Error|1", "#"});
    for (const std::string& e : entries) out += e + "\r\n";
    return out;
}

const std::vector<std::string> kBase = {"1|Menu|1|Open", "2|Menu|2|Save", "3|Menu|3|Close",
                                        "4|Error|1|Disk full", "5|Menu|4|Quit"};

class GitMerge : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("git --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "git is not installed";
        Git("init -q -b main .");
        Git("config user.name Tester");
        Git("config user.email tester@example.org");
        Git("config merge.txr.driver \"'" + kTool + "' merge --renumber %O %A %B %P\"");
        Git("config diff.txr.textconv \"'" + kTool + "' diff\"");
        Put(dir / ".gitattributes", "*.txr merge=txr diff=txr\n");
        Put(dir / "s.txr", Document(5, kBase));
        Git("add .");
        Git("commit -q -m base");
    }

    // Runs git in the repository (away from the user's own configuration); the exit status,
    // with standard output and error in `output`.
    int Git(const std::string& args) {
        const std::string command = "cd '" + dir.path().string() + "' && HOME='" + dir.path().string() +
                                    "' GIT_CONFIG_NOSYSTEM=1 git " + args + " >'" + (dir / ".out") + "' 2>&1";
        const int raw = std::system(command.c_str());
        output = Get(dir / ".out");
        std::remove((dir / ".out").c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    void CommitOnBranch(const std::string& branch, const std::string& from, const std::string& content) {
        ASSERT_EQ(Git("checkout -q -B " + branch + " " + from), 0) << output;
        Put(dir / "s.txr", content);
        ASSERT_EQ(Git("commit -q -am " + branch), 0) << output;
    }

    ResourceTable Read() {
        ResourceTable s;
        s.DefineColumns(kEntryColumnSpec);
        EXPECT_TRUE(ReadTextResource(s, dir / "s.txr", "", ModeOpen).ok()) << Get(dir / "s.txr");
        return s;
    }

    ScratchDir dir;
    std::string output;
};

TEST_F(GitMerge, BranchesThatAddAndEditDifferentEntriesMergeCleanly) {
    CommitOnBranch("feature", "main",
                   Document(7, {"1|Menu|1|Open", "2|Menu|2|Save all", "3|Menu|3|Close", "4|Error|1|Disk full",
                                "6|Menu|5|Print", "5|Menu|4|Quit", "7|Error|2|No printer"}));
    CommitOnBranch("main", "main",
                   Document(6, {"1|Menu|1|Open", "2|Menu|2|Save", "3|Menu|3|Close",
                                "4|Error|1|The disk is full", "5|Menu|4|Quit", "6|Menu|5|Help"}));
    ASSERT_EQ(Git("merge -q --no-edit feature"), 0) << output;

    // Both sides' edits; ours' addition keeps its ID; theirs' colliding one moves above the rest.
    EXPECT_EQ(Rows(Read()), (std::vector<Row>{{"1", "Menu", "1", "Open"},
                                              {"2", "Menu", "2", "Save all"},
                                              {"3", "Menu", "3", "Close"},
                                              {"4", "Error", "1", "The disk is full"},
                                              {"8", "Menu", "4", "Print"},
                                              {"5", "Menu", "5", "Quit"},
                                              {"6", "Menu", "6", "Help"},
                                              {"7", "Error", "2", "No printer"}}));
    EXPECT_EQ(Read().GetLastGlobalId(), 8);
    EXPECT_EQ(Git("status --porcelain"), 0);
    EXPECT_EQ(output, "");

    // git diff shows the changed entries by Global ID, not renumbered lines.
    ASSERT_EQ(Git("diff HEAD~1 HEAD -- s.txr"), 0) << output;
    for (const char* line :
         {"-Last Global ID: 6", "+Last Global ID: 8", "-2 [Menu#2] Save\n", "+2 [Menu#2] Save all",
          "+8 [Menu#4] Print", "-5 [Menu#4] Quit", "+5 [Menu#5] Quit", "+7 [Error#2] No printer"})
        EXPECT_NE(output.find(line), std::string::npos) << line << "\n" << output;
    EXPECT_EQ(output.find("+1 [Menu#1]"), std::string::npos) << output;
}

TEST_F(GitMerge, AConflictingEditStopsTheMergeAndLeavesAReadableFile) {
    std::vector<std::string> theirs = kBase, ours = kBase;
    theirs[2] = "3|Menu|3|Close window";
    ours[2] = "3|Menu|3|Close file";
    ours[0] = "1|Menu|1|Open\xE2\x80\xA6";
    CommitOnBranch("feature", "main", Document(5, theirs));
    CommitOnBranch("main", "main", Document(5, ours));
    EXPECT_NE(Git("merge --no-edit feature"), 0);
    for (const char* said : {"txrtool: conflict: Global ID 3: both sides changed the Text; kept ours \"Close "
                             "file\", theirs is \"Close window\"",
                             "CONFLICT", "s.txr"})
        EXPECT_NE(output.find(said), std::string::npos) << said << "\n" << output;
    const std::vector<Row> rows = Rows(Read());
    ASSERT_EQ(rows.size(), kBase.size());
    EXPECT_EQ(rows[0][3], "Open\xE2\x80\xA6");
    EXPECT_EQ(rows[2][3], "Close file");
    EXPECT_EQ(Git("status --porcelain s.txr"), 0);
    EXPECT_EQ(output, "UU s.txr\n");
}

}  // namespace
