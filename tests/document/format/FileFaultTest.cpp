// The reader and writer when the system fails them: every system call of a save made to fail in
// turn, file systems without hard links, a file that changes while it is read, a file-size limit.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/ListBoxSafe.h"
#include "document/exchange/TranslationImport.h"
#include "document/format/ResourceTable.h"
#include "document/format/SystemCalls.h"
#include "tests/document/TextResourceFiles.h"

namespace {

using namespace trf;

enum class Call { Open, Write, Fsync, Close, Rename, Link, Fstat };

// Fails chosen calls (the n-th call of a kind, counted from 1) with EIO, or every link with EPERM
// as a file system without hard links does; counts the calls of each kind.
class FailingCalls : public SystemCalls {
public:
    std::set<std::pair<Call, int>> failures;
    bool noHardLinks = false;
    std::map<Call, int> count;

    int Open(const char* path, int flags, mode_t mode) override {
        return Fails(Call::Open) ? -1 : SystemCalls::Open(path, flags, mode);
    }
    ssize_t Write(int fd, const void* data, size_t size) override {
        return Fails(Call::Write) ? -1 : SystemCalls::Write(fd, data, size);
    }
    int Fsync(int fd) override { return Fails(Call::Fsync) ? -1 : SystemCalls::Fsync(fd); }
    int Close(int fd) override {
        const bool fail = Fails(Call::Close);
        const int r = SystemCalls::Close(fd);  // a failed close still closes
        return fail ? -1 : r;
    }
    int Rename(const char* from, const char* to) override {
        return Fails(Call::Rename) ? -1 : SystemCalls::Rename(from, to);
    }
    int Link(const char* from, const char* to) override {
        if (noHardLinks) {
            errno = EPERM;
            return -1;
        }
        return Fails(Call::Link) ? -1 : SystemCalls::Link(from, to);
    }
    int Fstat(int fd, struct stat* st) override {
        return Fails(Call::Fstat) ? -1 : SystemCalls::Fstat(fd, st);
    }

private:
    bool Fails(Call call) {
        if (!failures.contains({call, ++count[call]})) return false;
        errno = EIO;
        return true;
    }
};

class FileFaults : public ::testing::Test {
protected:
    FileFaults() {
        // Enough rows for several writes through the writer's growing buffer.
        std::vector<Row> rows;
        for (int i = 1; i <= 3000; ++i)
            rows.push_back({std::to_string(i), "G", std::to_string(i), std::string(40, 'a' + i % 26)});
        Fill(store, rows, {{"G", 1500}}, 3000);
    }
    void PutOldFiles() {
        Put(dir / "doc.txr", kOldTxr);
        Put(dir / "doc.txl", kOldTxl);
    }

    const std::string kOldTxr = Lines({"1", "2", "G|1", "#", "1|G|1|old"});
    const std::string kOldTxl = Lines({"1", "2", "G|1", "#", "1|G|1|ancien"});
    ScratchDir dir;
    ResourceTable store;
};

// A localized save under every single failure (and under a failing restore of the first file
// after the second rename failed): either it succeeds whole, or both old files are as they were
// and nothing else is left beside them. With and without hard links.
TEST_F(FileFaults, EveryFailureLeavesBothOldFilesAndNoTemporaryFile) {
    const std::vector<std::string> names{"doc.txl", "doc.txr"};
    for (const bool noHardLinks : {false, true}) {
        FailingCalls counter;
        counter.noHardLinks = noHardLinks;
        PutOldFiles();
        {
            ScopedSystemCalls use(counter);
            ASSERT_TRUE(WriteTextResource(store, dir / "doc.txr", dir / "doc.txl", true).ok());
        }
        const std::string newTxr = Get(dir / "doc.txr"), newTxl = Get(dir / "doc.txl");
        ASSERT_EQ(dir.List(), names);
        ASSERT_GE(counter.count[Call::Write], 4);
        ASSERT_EQ(counter.count[Call::Rename], 2);

        std::vector<std::set<std::pair<Call, int>>> plans;
        for (const auto& [call, n] : counter.count)
            for (int i = 1; i <= n; ++i) plans.push_back({{call, i}});
        plans.push_back({{Call::Rename, 2}, {Call::Rename, 3}});  // the restore's rename fails too
        for (const auto& plan : plans) {
            SCOPED_TRACE(testing::Message() << "no hard links " << noHardLinks << ", call "
                                            << static_cast<int>(plan.begin()->first) << " #"
                                            << plan.begin()->second << " of " << plan.size());
            PutOldFiles();
            FailingCalls failing;
            failing.noHardLinks = noHardLinks;
            failing.failures = plan;
            Status s;
            {
                ScopedSystemCalls use(failing);
                s = WriteTextResource(store, dir / "doc.txr", dir / "doc.txl", true);
            }
            EXPECT_EQ(dir.List(), names);
            if (s.ok()) {
                EXPECT_EQ(Get(dir / "doc.txr"), newTxr);
                EXPECT_EQ(Get(dir / "doc.txl"), newTxl);
            } else {
                EXPECT_NE(s.message().find("Cannot write"), std::string::npos) << s.message();
                EXPECT_EQ(Get(dir / "doc.txr"), kOldTxr);
                EXPECT_EQ(Get(dir / "doc.txl"), kOldTxl);
            }
        }
    }
}

// Before the rename, every failure of the writing itself is reported: a save is never said to
// be done when it is not.
TEST_F(FileFaults, FailuresOfTheWritingAreReported) {
    for (const Call call : {Call::Open, Call::Write, Call::Fsync, Call::Close, Call::Rename}) {
        PutOldFiles();
        FailingCalls failing;
        failing.failures = {{call, 1}};
        ScopedSystemCalls use(failing);
        ExpectFails(WriteTextResource(store, dir / "doc.txr", "", false),
                    {dir / "doc.txr", "Input/output error"});
    }
    EXPECT_EQ(Get(dir / "doc.txr"), kOldTxr);
}

// How another program's writing shows to a reader of one file: what fstat says before the
// reading and after it.
enum class Tear {
    None,
    Grows,            // one byte more afterwards
    SameSizeNewTime,  // rewritten at the same size: a new modification time
    NewTimeOnly,      // the same where the file system keeps no change time of its own (some
                      // network and FUSE ones give it fixed)
    TimeSetBack,      // rewritten at the same size, the modification time put back (cp -p): a
                      // new change time only
    EndsShort,        // the file ends before the size fstat gives, which does not change
};

// Tears the reading of each file whose name ends in `suffix`. The two files of a pair are read
// on two threads at once: every call keeps its own counts under a lock.
class TearingCalls : public SystemCalls {
public:
    TearingCalls(Tear tear, std::string suffix) : m_tear(tear), m_suffix(std::move(suffix)) {}

    int Open(const char* path, int flags, mode_t mode) override {
        const int fd = SystemCalls::Open(path, flags, mode);
        std::lock_guard lock(m_mutex);
        if (fd >= 0) m_stats[fd] = std::string_view(path).ends_with(m_suffix) ? 0 : -1;
        return fd;
    }
    int Close(int fd) override {
        {
            std::lock_guard lock(m_mutex);
            m_stats.erase(fd);
        }
        return SystemCalls::Close(fd);
    }
    int Fstat(int fd, struct stat* st) override {
        const int r = SystemCalls::Fstat(fd, st);
        std::lock_guard lock(m_mutex);
        const auto it = m_stats.find(fd);
        if (r != 0 || it == m_stats.end() || it->second < 0) return r;
        const bool after = ++it->second >= 2;
        if (m_tear == Tear::None) return r;
        ++torn;
        switch (m_tear) {
            case Tear::None:
                break;
            case Tear::Grows:
                st->st_size += after;
                break;
            case Tear::SameSizeNewTime:
                st->st_mtim.tv_nsec = (st->st_mtim.tv_nsec + after) % 1000000000;
                st->st_ctim.tv_nsec = (st->st_ctim.tv_nsec + after) % 1000000000;
                break;
            case Tear::NewTimeOnly:
                st->st_mtim.tv_nsec = (st->st_mtim.tv_nsec + after) % 1000000000;
                break;
            case Tear::TimeSetBack:
                st->st_ctim.tv_nsec = (st->st_ctim.tv_nsec + after) % 1000000000;
                break;
            case Tear::EndsShort:
                ++st->st_size;
                break;
        }
        return r;
    }

    int torn = 0;  // fstat answers changed

private:
    const Tear m_tear;
    const std::string m_suffix;
    std::mutex m_mutex;
    std::map<int, int> m_stats;  // open fd: fstat calls so far, -1 for a file not torn
};

// Each tear of either file, in every read mode that reads it: refused with the same message,
// and the rows read before stay. The same reads untorn succeed.
TEST_F(FileFaults, AFileChangedWhileItWasReadIsAnError) {
    PutOldFiles();
    ASSERT_TRUE(ReadTextResource(store, dir / "doc.txr", dir / "doc.txl", ModeOpenPaired).ok());
    const std::vector<Row> rows = Rows(store);
    for (const Tear tear : {Tear::None, Tear::Grows, Tear::SameSizeNewTime, Tear::NewTimeOnly,
                            Tear::TimeSetBack, Tear::EndsShort})
        for (const char* file : {".txr", ".txl"})
            for (const ReadMode mode : {ModeOpen, ModeShowLocalized, ModeOpenPaired}) {
                SCOPED_TRACE(testing::Message() << "tear " << static_cast<int>(tear) << " of " << file
                                                << ", mode " << static_cast<int>(mode));
                if (mode == ModeOpen && file == std::string(".txl")) continue;  // not read
                TearingCalls tearing(tear, file);
                Status s;
                {
                    ScopedSystemCalls use(tearing);
                    s = ReadTextResource(store, dir / "doc.txr", dir / "doc.txl", mode);
                }
                if (tear == Tear::None) {
                    EXPECT_TRUE(s.ok()) << s.message();
                    ASSERT_TRUE(
                        ReadTextResource(store, dir / "doc.txr", dir / "doc.txl", ModeOpenPaired).ok());
                    continue;
                }
                EXPECT_GE(tearing.torn, 2);
                ExpectFails(
                    s, {dir / ("doc" + std::string(file)), "changed while it was being read; try again."});
                EXPECT_TRUE(s.message().ends_with("changed while it was being read; try again."))
                    << s.message();
                EXPECT_EQ(Rows(store), rows);
            }
}

// A translators' file to import is read as the text resource files are: torn, it is refused;
// a FIFO is refused at once instead of waiting for a writer.
TEST(ImportReading, ATornOrSpecialFileIsRefused) {
    ScratchDir dir;
    const std::string csv = dir / "in.csv";
    Put(csv, "Global ID,Translation\r\n1,un\r\n");
    std::vector<IncomingUnit> units;
    for (const Tear tear : {Tear::None, Tear::Grows, Tear::SameSizeNewTime, Tear::EndsShort}) {
        TearingCalls tearing(tear, ".csv");
        ScopedSystemCalls use(tearing);
        const Status s = ReadTranslations(csv, ExchangeFormat::Csv, units);
        if (tear == Tear::None)
            EXPECT_TRUE(s.ok()) << s.message();
        else
            ExpectFails(s, {csv, "changed while it was being read; try again."});
    }
    const std::string fifo = dir / "in.xlf";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ExpectFails(ReadTranslations(fifo, ExchangeFormat::Xliff, units), {fifo, "not a regular file"});
}

// A write that fails part way at the file-size limit (the signal ignored, as an editor must).
TEST_F(FileFaults, AWriteStoppedByTheFileSizeLimit) {
    PutOldFiles();
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 50000;  // the table's files are about 150 kB each
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const Status single = WriteTextResource(store, dir / "doc.txr", "", false);
    const Status pair = WriteTextResource(store, dir / "doc.txr", dir / "doc.txl", true);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    ExpectFails(single, {dir / "doc.txr", "File too large"});
    ExpectFails(pair, {"File too large"});
    EXPECT_EQ(Get(dir / "doc.txr"), kOldTxr);
    EXPECT_EQ(Get(dir / "doc.txl"), kOldTxl);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"doc.txl", "doc.txr"}));
}

// Lines that end exactly on the edges of the writer's buffer (16 KiB, then 64 KiB, 256 KiB and
// 1 MiB at a time), lines as long as the buffer, and longer ones: the file is the exact join.
TEST_F(FileFaults, LinesEndingOnTheBufferEdges) {
    const std::string header = Lines({"0", "0", "#"});
    std::string expected = header;
    std::vector<Row> rows;
    size_t used = header.size();
    auto add = [&](size_t lineLength) {
        const std::string id = std::to_string(rows.size() + 1);
        const size_t fixed = id.size() + 1 + 3 + 2;  // "id|G|0|" less the text, and CR LF
        const std::string text(lineLength - fixed - 1, static_cast<char>('a' + rows.size() % 26));
        rows.push_back({id, "G", "0", text});
        expected += id + "|G|0|" + text + "\r\n";
        used += lineLength;
    };
    for (const size_t edge : {size_t{16} << 10, size_t{64} << 10, size_t{256} << 10, size_t{1} << 20}) {
        add(edge - used > 4000 ? 4000 : edge - used);
        while (edge - used > 4000) add(4000);
        if (edge > used) add(edge - used);  // ends exactly on the edge
        used = 0;
    }
    add(size_t{1} << 20);        // a whole buffer
    add((size_t{1} << 20) + 1);  // more than a buffer
    add(100);
    Fill(store, rows, {}, 0);
    expected.replace(header.find("\r\n") + 2, 1, std::to_string(rows.size()));
    ASSERT_TRUE(WriteTextResource(store, dir / "edges.txr", "", false).ok());
    EXPECT_TRUE(Get(dir / "edges.txr") == expected);
}

}  // namespace
