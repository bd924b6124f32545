#pragma once
// The atomic replacement of target files. A ReplacementFile is written into a temporary file
// beside its target, through a large buffer, in lines that end with CR LF; it takes the target's
// place only when everything was written and is safe on disk. Several files of one save go in
// place together or not at all: each old file is kept under a second name (a hard link, or a copy
// where the file system has none) until every new one is in place, and put back otherwise.
// Errors are remembered, not thrown: the first one stops all further writing. A file that is not
// put in place leaves nothing behind, also when SIGINT or SIGTERM ends the process while it is
// written (InterruptCleanup). Every system call goes through SystemCalls.
//
// This is the one writer of every output: saves, resave, export, import and merge. The commands
// check their targets with CheckTarget before they read anything, saves as they prepare them:
// all refuse the same things in the same words.
#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "document/Status.h"
#include "document/format/ByteSink.h"

class ReplacementFile : public ByteSink {
public:
    explicit ReplacementFile(std::string target) : m_target(std::move(target)) {}
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    ~ReplacementFile() override { Discard(); }

    // Finds the file to replace (a symbolic link is followed, so that it stays a link; a dangling
    // one is written through to the file it names) and refuses what a rename would quietly
    // replace or cannot replace: a folder, a device, a FIFO, a socket, a loop of links, a file
    // that may not be written. Creates nothing.
    Status Prepare();
    // What Prepare refuses, and a target that is one of `inputs` (empty names are skipped):
    // compared by device and inode, whatever names lead to them (`./x`, a symbolic link, a hard
    // link). Creates nothing; meant to be called before the inputs are read.
    static Status CheckTarget(const std::string& target, std::span<const std::string> inputs = {});
    // The whole write of one file: Prepare, Open, `produce` writing every byte into the sink,
    // Finish and the replacement. Nothing is replaced when `produce` fails (its status is
    // returned) or memory runs out.
    static Status WriteFile(const std::string& target, const std::function<Status(ByteSink&)>& produce);
    // Whether two prepared targets are one file, whatever names lead to it.
    bool SameFileAs(const ReplacementFile& other) const;
    // Creates the temporary file. A replaced file keeps its permissions, and its owner and group
    // where the process may give them.
    Status Open();

    // Room for `bytes` more bytes in the buffer (or a failed flush), or nullptr when they are more
    // than a buffer holds; after writing a line there, CommitLine.
    char* Reserve(size_t bytes) {
        if (m_used + bytes > m_capacity) Refill();
        return bytes <= m_capacity ? m_buffer.get() + m_used : nullptr;
    }
    // The buffer now ends at `end`, after a line end.
    void CommitLine(char* end) {
        m_used = static_cast<size_t>(end - m_buffer.get());
        ++m_lineEnds;
    }
    void Put(std::string_view s) {
        char* p = Reserve(s.size());
        if (!p) {  // larger than the buffer: straight through
            WriteAll(s.data(), s.size());
            return;
        }
        if (!s.empty()) std::memcpy(p, s.data(), s.size());
        m_used += s.size();
    }
    void Write(std::string_view bytes) override { Put(bytes); }
    void PutLine(std::string_view s) {
        Put(s);
        Put("\r\n");
        ++m_lineEnds;
    }
    void PutNumberLine(int64_t value);

    // Writes out the buffer; false when the file holds a CR or LF that is not part of a line end.
    bool FlushAndCheckLineEnds();
    // Everything written and safe on disk; the temporary file is closed but still in place.
    Status Finish();

    // Puts the finished files in place of their targets, all of them or none.
    static Status ReplaceTogether(std::span<const std::unique_ptr<ReplacementFile>> files);

private:
    struct Target {
        std::string final;  // what the rename replaces
        bool exists = false;
        struct stat st {};
    };

    Status Error(int err) const;
    Status Error(const std::string& reason) const;
    void Refill();
    void Flush();
    void WriteAll(const char* p, size_t n);
    Status Replace();
    Status KeepOld();
    std::string RestoreOld();
    void DropOld();
    void SyncDirectory();
    void Discard();

    static constexpr size_t kFirstBuffer = size_t{16} << 10;
    static constexpr size_t kBufferSize = size_t{1} << 20;

    std::string m_target;
    Target m_to;
    std::string m_temp;
    int m_tempSlot = -1;  // in InterruptCleanup
    std::string m_old;
    bool m_replaced = false;
    bool m_keepOld = false;
    int m_fd = -1;
    int m_err = 0;
    std::unique_ptr<char[]> m_buffer;
    size_t m_capacity = 0;
    size_t m_used = 0;
    size_t m_lineEnds = 0;  // line ends put
    size_t m_breaks = 0;    // CR and LF bytes written
    size_t m_written = 0;   // bytes in the file
    size_t m_synced = 0;    // bytes whose write-back has been started
};
