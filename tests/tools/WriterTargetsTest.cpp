// Every writer of the program (the window's save, and resave, export in each format, import and
// merge as the command line runs them) against every awkward target: each behaves the same, and
// no input loses a byte. The commands run in-process, so that the system-call seam can show them
// a device, and an interrupt can be sent in the middle of a write.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "document/format/SystemCalls.h"
#include "document/model/Document.h"
#include "tests/document/TextResourceFiles.h"
#include "tools/Commands.h"

namespace {

using namespace trf;
namespace fs = std::filesystem;

const std::string kExamples = EXAMPLES_DIR;

struct Outcome {
    bool ok = false;
    std::string message;  // what the user is told (standard error for a command)
};

// Runs txrtool's command line in this process; standard error is the message.
Outcome RunCommand(const std::vector<std::string>& args) {
    std::vector<std::string> words = {"txrtool"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    testing::internal::CaptureStderr();
    const int status = RunTxrtool(static_cast<int>(words.size()), argv.data());
    return {status == 0, testing::internal::GetCapturedStderr()};
}

// A writer: writes `target` from the inputs in `dir`. `readOnly` are the inputs it must never
// write over (the others are the files it updates: the document's own file for a save, the .txl
// for an import, OURS for a merge).
struct Writer {
    std::string name;
    std::vector<std::string> readOnly;
    std::function<Outcome(const ScratchDir& dir, const std::string& target)> run;
};

std::vector<std::string> Command(std::initializer_list<std::string> words) {
    return words;
}

const std::vector<Writer>& Writers() {
    static const std::vector<Writer> writers = [] {
        std::vector<Writer> w;
        w.push_back({"save", {"doc.txl"}, [](const ScratchDir& dir, const std::string& target) {
                         Document doc;
                         doc.SetLocalize(true);
                         Status s = doc.Read(dir / "doc.txr", dir / "doc.txl", ModeShowBoth);
                         if (s) s = doc.Save(target, dir / "doc.txl");
                         return Outcome{s.ok(), s.message()};
                     }});
        w.push_back({"resave", {"doc.txr", "doc.txl"}, [](const ScratchDir& dir, const std::string& target) {
                         return RunCommand(Command({"resave", "--mode", "paired", dir / "doc.txr",
                                                    dir / "doc.txl", "--to", target}));
                     }});
        for (const char* format : {"xliff", "po", "csv"})
            w.push_back({std::string("export ") + format,
                         {"doc.txr", "doc.txl"},
                         [format](const ScratchDir& dir, const std::string& target) {
                             return RunCommand(Command({"export", "--format", format, dir / "doc.txr",
                                                        dir / "doc.txl", "--to", target}));
                         }});
        w.push_back({"import", {"in.xlf", "doc.txr"}, [](const ScratchDir& dir, const std::string& target) {
                         return RunCommand(Command({"import", dir / "in.xlf", dir / "doc.txr",
                                                    dir / "doc.txl", "--to-txl", target}));
                     }});
        w.push_back(
            {"merge", {"base.txr", "theirs.txr"}, [](const ScratchDir& dir, const std::string& target) {
                 return RunCommand(Command(
                     {"merge", "-o", target, dir / "base.txr", dir / "ours.txr", dir / "theirs.txr"}));
             }});
        return w;
    }();
    return writers;
}

// Every file under the folder (links not followed) with its bytes, or its kind.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const std::string name = e.path().lexically_relative(root);
        if (e.is_symlink())
            files[name] = "link to " + fs::read_symlink(e.path()).string();
        else if (e.is_regular_file())
            files[name] = Get(e.path());
        else
            files[name] = e.is_directory() ? "folder" : "special";
    }
    return files;
}

class WriterTargets : public ::testing::Test {
protected:
    // A new folder for the next case, holding the inputs every writer reads: the example pair, an
    // XLIFF export of it with one translation changed, and three versions of the .txr for a merge.
    const ScratchDir& Fresh() {
        m_dir = std::make_unique<ScratchDir>();
        PutInputs(*m_dir);
        return *m_dir;
    }

private:
    static void PutInputs(const ScratchDir& dir) {
        Put(dir / "doc.txr", Get(kExamples + "/strings.txr"));
        Put(dir / "doc.txl", Get(kExamples + "/strings.txl"));
        ASSERT_TRUE(RunCommand({"export", dir / "doc.txr", dir / "doc.txl", "--to", dir / "in.xlf"}).ok);
        std::string xliff = Get(dir / "in.xlf");
        const size_t at = xliff.find("Enregistrer<");
        ASSERT_NE(at, std::string::npos);
        Put(dir / "in.xlf", xliff.replace(at, 11, "Sauvegarder"));
        const std::string txr = Get(dir / "doc.txr");
        Put(dir / "base.txr", txr);
        std::string ours = txr, theirs = txr;
        Put(dir / "ours.txr", ours.replace(ours.find("|Save\r"), 5, "|Save now"));
        Put(dir / "theirs.txr", theirs.replace(theirs.find("Open file"), 9, "Open a file"));
        fs::create_directory(dir.path() / "sub");
    }

    std::unique_ptr<ScratchDir> m_dir;
};

// Targets a writer writes through or refuses, the same for every writer.
TEST_F(WriterTargets, AwkwardTargetsAreTreatedAlikeByEveryWriter) {
    enum class Expect { WrittenThrough, Refused };
    struct Target {
        std::string name;
        std::function<std::string(const ScratchDir&)> make;  // returns the target path
        Expect expect;
        std::string reason;       // in the refusal
        std::string writtenFile;  // where the output lands when written through
    };
    const std::vector<Target> targets = {
        {"symbolic link",
         [](const ScratchDir& d) {
             Put(d / "real.out", "old");
             fs::create_symlink("real.out", d.path() / "link.out");
             return d / "link.out";
         },
         Expect::WrittenThrough, "", "real.out"},
        {"dangling link",
         [](const ScratchDir& d) {
             fs::create_symlink("sub/new.out", d.path() / "dangling.out");
             return d / "dangling.out";
         },
         Expect::WrittenThrough, "", "sub/new.out"},
        {"FIFO",
         [](const ScratchDir& d) {
             EXPECT_EQ(::mkfifo((d / "fifo.out").c_str(), 0644), 0);
             return d / "fifo.out";
         },
         Expect::Refused, "not a regular file", ""},
        {"link to a FIFO",
         [](const ScratchDir& d) {
             EXPECT_EQ(::mkfifo((d / "fifo").c_str(), 0644), 0);
             fs::create_symlink("fifo", d.path() / "to-fifo.out");
             return d / "to-fifo.out";
         },
         Expect::Refused, "not a regular file", ""},
        {"folder", [](const ScratchDir& d) { return d / "sub"; }, Expect::Refused, "Is a directory", ""},
    };
    for (const Writer& writer : Writers()) {
        for (const Target& t : targets) {
            SCOPED_TRACE(writer.name + " to a " + t.name);
            const ScratchDir& dir = Fresh();
            const std::string target = t.make(dir);
            const auto before = Snapshot(dir.path());
            const Outcome o = writer.run(dir, target);
            auto after = Snapshot(dir.path());
            if (t.expect == Expect::Refused) {
                EXPECT_FALSE(o.ok);
                EXPECT_NE(o.message.find(target), std::string::npos) << o.message;
                EXPECT_NE(o.message.find(t.reason), std::string::npos) << o.message;
                EXPECT_EQ(after, before);
                continue;
            }
            ASSERT_TRUE(o.ok) << o.message;
            EXPECT_TRUE(fs::is_symlink(target));
            const std::string written = after[t.writtenFile];
            EXPECT_GT(written.size(), 100u);
            // Nothing else changed: the link is still a link, and no temporary file is left.
            after.erase(t.writtenFile);
            auto expected = before;
            expected.erase(t.writtenFile);
            if (writer.name == "save") expected.erase("doc.txl");  // written too, as a save does
            if (writer.name == "save") after.erase("doc.txl");
            EXPECT_EQ(after, expected);
        }
    }
}

// The document's inputs under other names: `./x`, `sub/../x`, a symbolic link, a hard link. Each
// is refused before anything is written, and every input keeps its bytes.
TEST_F(WriterTargets, AnInputUnderAnotherNameIsNeverWrittenOver) {
    const std::vector<
        std::pair<std::string, std::function<std::string(const ScratchDir&, const std::string&)>>>
        spellings = {
            {"./", [](const ScratchDir& d, const std::string& in) { return d / ("./" + in); }},
            {"sub/../", [](const ScratchDir& d, const std::string& in) { return d / ("sub/../" + in); }},
            {"symbolic link",
             [](const ScratchDir& d, const std::string& in) {
                 fs::create_symlink(in, d.path() / "alias");
                 return d / "alias";
             }},
            {"hard link",
             [](const ScratchDir& d, const std::string& in) {
                 fs::create_hard_link(d.path() / in, d.path() / "hard");
                 return d / "hard";
             }},
        };
    for (const Writer& writer : Writers()) {
        for (const std::string& input : writer.readOnly) {
            for (const auto& [spelling, make] : spellings) {
                SCOPED_TRACE(writer.name + " over " + input + " as " + spelling);
                const ScratchDir& dir = Fresh();
                const std::string target = make(dir, input);
                const auto before = Snapshot(dir.path());
                const Outcome o = writer.run(dir, target);
                EXPECT_FALSE(o.ok);
                EXPECT_NE(o.message.find(target), std::string::npos) << o.message;
                const std::string reason =
                    writer.name == "save" ? "cannot be the same file" : "one of the files read";
                EXPECT_NE(o.message.find(reason), std::string::npos) << o.message;
                EXPECT_EQ(Snapshot(dir.path()), before);
            }
        }
    }
}

// Shows one path as a character device (a copy of the null device, say), through the seam.
class DeviceCalls : public SystemCalls {
public:
    explicit DeviceCalls(std::string device) : m_device(std::move(device)) {}
    int Lstat(const char* path, struct stat* st) override {
        const int r = SystemCalls::Lstat(path, st);
        if (r == 0 && m_device == path) st->st_mode = (st->st_mode & ~S_IFMT) | S_IFCHR;
        return r;
    }

private:
    std::string m_device;
};

TEST_F(WriterTargets, ADeviceIsRefusedByEveryWriter) {
    for (const Writer& writer : Writers()) {
        SCOPED_TRACE(writer.name);
        const ScratchDir& dir = Fresh();
        Put(dir / "device.out", "a device");
        DeviceCalls calls(dir / "device.out");
        const ScopedSystemCalls scoped(calls);
        const auto before = Snapshot(dir.path());
        const Outcome o = writer.run(dir, dir / "device.out");
        EXPECT_FALSE(o.ok);
        EXPECT_NE(o.message.find("\"" + (dir / "device.out") + "\": not a regular file"), std::string::npos)
            << o.message;
        EXPECT_EQ(Snapshot(dir.path()), before);
    }
}

// Runs `body` in a child process (as an unprivileged user when the tests run as the superuser,
// whom permissions do not bind) and returns how the child ended: its exit status, or 128 + the
// signal that ended it.
int InChild(const std::function<int()>& body, bool unprivileged) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        if (unprivileged && ::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
             ::setresuid(65534, 65534, 65534) != 0))
            ::_exit(99);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

TEST_F(WriterTargets, AReadOnlyFolderIsRefusedByEveryWriter) {
    for (const Writer& writer : Writers()) {
        SCOPED_TRACE(writer.name);
        const ScratchDir& dir = Fresh();
        fs::create_directory(dir.path() / "locked");
        // Everything else open to the unprivileged user: only the folder of the target refuses.
        ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
        ASSERT_EQ(::chmod((dir / "doc.txl").c_str(), 0666), 0);
        ASSERT_EQ(::chmod((dir / "locked").c_str(), 0555), 0);
        const auto before = Snapshot(dir.path());
        const std::string expected =
            "Cannot create a file in \"" + (dir / "locked") + "\": Permission denied.";
        const int status = InChild(
            [&] {
                const Outcome o = writer.run(dir, dir / "locked/out");
                return !o.ok && o.message.find(expected) != std::string::npos ? 0 : 1;
            },
            true);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(Snapshot(dir.path()), before);
    }
}

// Raises a signal at the first write into a file, as a user's Ctrl+C or a kill would arrive in
// the middle of a large write; or at the first rename, while the finished files go in place.
class InterruptingCalls : public SystemCalls {
public:
    InterruptingCalls(int sig, bool atRename) : m_signal(sig), m_atRename(atRename) {}
    ssize_t Write(int fd, const void* data, size_t size) override {
        if (!m_atRename) ::raise(m_signal);
        return SystemCalls::Write(fd, data, size);
    }
    int Rename(const char* from, const char* to) override {
        if (m_atRename) ::raise(m_signal);
        return SystemCalls::Rename(from, to);
    }

private:
    int m_signal;
    bool m_atRename;
};

TEST_F(WriterTargets, AnInterruptedWriteLeavesTheOldOutputAndNoTemporaryFile) {
    for (const int sig : {SIGINT, SIGTERM}) {
        for (const Writer& writer : Writers()) {
            SCOPED_TRACE(writer.name + (sig == SIGINT ? " SIGINT" : " SIGTERM"));
            const ScratchDir& dir = Fresh();
            Put(dir / "out", "the old output");
            const auto before = Snapshot(dir.path());
            const int status = InChild(
                [&] {
                    InterruptingCalls calls(sig, false);
                    const ScopedSystemCalls scoped(calls);
                    writer.run(dir, dir / "out");
                    return 0;  // not reached: the signal ends the process
                },
                false);
            EXPECT_EQ(status, 128 + sig);
            EXPECT_EQ(Snapshot(dir.path()), before);
        }
    }
}

// Once the files are complete, an interrupt waits until every one of them is in place: a save
// of a pair never ends with one file new and the other old.
TEST_F(WriterTargets, AnInterruptWhileFilesGoInPlaceWaitsForAllOfThem) {
    for (const Writer& writer : Writers()) {
        SCOPED_TRACE(writer.name);
        const ScratchDir& dir = Fresh();
        Put(dir / "out", "the old output");
        Put(dir / "doc.txl", Get(dir / "doc.txl") + "9|Menu|9|an extra line the save drops\r\n");
        const auto before = Snapshot(dir.path());
        const int status = InChild(
            [&] {
                InterruptingCalls calls(SIGTERM, true);
                const ScopedSystemCalls scoped(calls);
                writer.run(dir, dir / "out");
                return 0;
            },
            false);
        EXPECT_EQ(status, 128 + SIGTERM);
        auto after = Snapshot(dir.path());
        EXPECT_NE(after["out"], "the old output");
        EXPECT_GT(after["out"].size(), 100u);
        if (writer.name == "save") {
            EXPECT_NE(after["doc.txl"], before.at("doc.txl"));  // written in the same breath
            after["doc.txl"] = before.at("doc.txl");
        }
        after["out"] = "the old output";
        EXPECT_EQ(after, before);  // no temporary or kept file left
    }
}

}  // namespace
