#include "document/format/ReplacementFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <random>
#include <vector>

#include "document/format/InterruptCleanup.h"
#include "document/format/SystemCalls.h"

namespace {

std::string Reason(int err) {
    return std::strerror(err);
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The folder a path names a file in ("." for a bare name is spelled out as the working folder).
std::string Folder(const std::string& path) {
    if (path.find('/') != std::string::npos) return DirectoryOf(path);
    char cwd[PATH_MAX];
    return ::getcwd(cwd, sizeof cwd) ? std::string(cwd) : std::string(".");
}

// The absolute name of a file that may not exist yet, through its folder's real path.
std::string Canonical(const std::string& path) {
    char resolved[PATH_MAX];
    if (!::realpath(DirectoryOf(path).c_str(), resolved)) return path;
    const size_t slash = path.rfind('/');
    return std::string(resolved) + "/" + (slash == std::string::npos ? path : path.substr(slash + 1));
}

// Follows a chain of symbolic links to the file it ends in, existing or not. 0 or the errno of
// the failure (ELOOP for a chain that does not end).
int Resolve(const std::string& path, std::string& final, bool& exists, struct stat& st) {
    constexpr int kMaxLinks = 40;
    std::string p = path;
    for (int hops = 0;; ++hops) {
        if (SystemCalls::Current().Lstat(p.c_str(), &st) != 0) {
            if (errno != ENOENT) return errno;
            final = p;
            exists = false;
            return 0;
        }
        if (!S_ISLNK(st.st_mode)) {
            final = p;
            exists = true;
            return 0;
        }
        if (hops == kMaxLinks) return ELOOP;
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(p.c_str(), link.data(), link.size());
        if (n < 0) return errno;
        link.resize(static_cast<size_t>(n));
        p = link.starts_with('/') ? link : DirectoryOf(p) + "/" + link;
    }
}

// Copies the bytes of `from` into `to`, opened with `flags` (O_CREAT | O_EXCL for a new file,
// O_TRUNC to write over one), through fsync. 0 or the errno of the failure; a file it created
// is removed again on failure.
int CopyFile(const std::string& from, const std::string& to, int flags, mode_t mode) {
    SystemCalls& sys = SystemCalls::Current();
    const int in = sys.Open(from.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (in < 0) return errno;
    const int out = sys.Open(to.c_str(), O_WRONLY | O_CLOEXEC | flags, mode);
    if (out < 0) {
        const int err = errno;
        sys.Close(in);
        return err;
    }
    int err = 0;
    std::vector<char> buffer(size_t{1} << 20);
    while (err == 0) {
        const ssize_t got = sys.Read(in, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno != EINTR) err = errno;
            continue;
        }
        if (got == 0) break;
        for (ssize_t done = 0; done < got && err == 0;) {
            const ssize_t n = sys.Write(out, buffer.data() + done, static_cast<size_t>(got - done));
            if (n < 0 && errno != EINTR) err = errno;
            if (n > 0) done += n;
        }
    }
    if (err == 0 && sys.Fsync(out) != 0) err = errno;
    if (sys.Close(out) != 0 && err == 0) err = errno;
    sys.Close(in);
    if (err != 0 && (flags & O_EXCL)) sys.Unlink(to.c_str());
    return err;
}

// A name beside `base` that nothing has yet, with the suffix, made by `create` (which returns 0,
// EEXIST to try another name, or another errno to give up).
template <class Create>
int CreateBeside(const std::string& base, const char* suffix, std::string& name, Create create) {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char tail[32];
        std::snprintf(tail, sizeof tail, ".%08x%s", static_cast<unsigned>(rd()), suffix);
        name = base + tail;
        const int err = create(name);
        if (err != EEXIST) return err;
    }
    return EEXIST;
}

}  // namespace

Status ReplacementFile::Error(int err) const {
    return Error(Reason(err));
}

Status ReplacementFile::Error(const std::string& reason) const {
    return Status::WriteError(m_target, reason);
}

Status ReplacementFile::Prepare() {
    if (const int err = Resolve(m_target, m_to.final, m_to.exists, m_to.st); err != 0) return Error(err);
    if (!m_to.exists) return Status::Ok();
    if (S_ISDIR(m_to.st.st_mode)) return Error(EISDIR);
    if (!S_ISREG(m_to.st.st_mode)) return Error("not a regular file");
    if (::access(m_to.final.c_str(), W_OK) != 0) return Error(errno);
    return Status::Ok();
}

Status ReplacementFile::CheckTarget(const std::string& target, std::span<const std::string> inputs) {
    ReplacementFile file(target);
    if (Status s = file.Prepare(); !s) return s;
    if (!file.m_to.exists) return Status::Ok();  // an input that does not exist is not read
    for (const std::string& input : inputs) {
        if (input.empty()) continue;
        ReplacementFile in(input);
        if (Resolve(input, in.m_to.final, in.m_to.exists, in.m_to.st) == 0 && file.SameFileAs(in))
            return file.Error(input == target ? std::string("it is one of the files read")
                                              : "it is " + QuotedPath(input) + ", one of the files read");
    }
    return Status::Ok();
}

Status ReplacementFile::WriteFile(const std::string& target,
                                  const std::function<Status(ByteSink&)>& produce) {
    try {
        std::unique_ptr<ReplacementFile> file[] = {std::make_unique<ReplacementFile>(target)};
        if (Status s = file[0]->Prepare(); !s) return s;
        if (Status s = file[0]->Open(); !s) return s;
        if (Status s = produce(*file[0]); !s) return s;  // the destructor removes the temporary file
        if (Status s = file[0]->Finish(); !s) return s;
        return ReplaceTogether(file);
    } catch (const std::bad_alloc&) {
        return Status::Error("Cannot write " + QuotedPath(target) + ": not enough memory.");
    }
}

bool ReplacementFile::SameFileAs(const ReplacementFile& other) const {
    if (m_to.exists != other.m_to.exists) return false;
    if (m_to.exists) return m_to.st.st_dev == other.m_to.st.st_dev && m_to.st.st_ino == other.m_to.st.st_ino;
    return Canonical(m_to.final) == Canonical(other.m_to.final);
}

Status ReplacementFile::Open() {
    SystemCalls& sys = SystemCalls::Current();
    int fd = -1;
    // A signal between the creation and the registration would leave the file behind.
    const InterruptCleanup::Hold hold;
    const int err = CreateBeside(m_to.final, ".tmp", m_temp, [&](const std::string& name) {
        fd = sys.Open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        return fd < 0 ? errno : 0;
    });
    if (err == 0) m_tempSlot = InterruptCleanup::Add(m_temp.c_str());
    if (err != 0) {
        m_temp.clear();
        // The folder refuses new files (the target itself may well be writable): name the
        // folder as the cause, not the file.
        if (err == EACCES)
            return Status::WriteError(
                m_target, "cannot create a file in " + QuotedPath(Folder(m_to.final)) + ": " + Reason(EACCES),
                "Cannot create a file in " + QuotedPath(Folder(m_to.final)) + ": " + Reason(EACCES) + ".");
        return Error(err);
    }
    m_fd = fd;
    // The owner first: a change of owner may clear set-ID bits, which the mode then gives back.
    // A new file gets the usual permissions (umask).
    if (m_to.exists) {
        if (m_to.st.st_uid != ::geteuid() || m_to.st.st_gid != ::getegid()) {
            if (sys.Fchown(m_fd, m_to.st.st_uid, m_to.st.st_gid) != 0)
                sys.Fchown(m_fd, static_cast<uid_t>(-1), m_to.st.st_gid);
        }
        if (sys.Fchmod(m_fd, m_to.st.st_mode & 07777) != 0) return Error(errno);
    }
    m_capacity = kFirstBuffer;
    m_buffer = std::make_unique_for_overwrite<char[]>(m_capacity);
    return Status::Ok();
}

void ReplacementFile::Refill() {
    Flush();
    // Small files stay small; large ones get a large buffer and few write calls.
    if (m_capacity < kBufferSize) {
        m_capacity = std::min(kBufferSize, m_capacity * 4);
        m_buffer = std::make_unique_for_overwrite<char[]>(m_capacity);
    }
}

void ReplacementFile::PutNumberLine(int64_t value) {
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, value);
    PutLine({digits, static_cast<size_t>(r.ptr - digits)});
}

bool ReplacementFile::FlushAndCheckLineEnds() {
    Flush();
    return m_breaks == 2 * m_lineEnds;
}

Status ReplacementFile::Finish() {
    SystemCalls& sys = SystemCalls::Current();
    Flush();
    if (m_err == 0 && sys.Fsync(m_fd) != 0) m_err = errno;
    if (m_fd >= 0 && sys.Close(m_fd) != 0 && m_err == 0) m_err = errno;
    m_fd = -1;
    return m_err ? Error(m_err) : Status::Ok();
}

void ReplacementFile::Flush() {
    WriteAll(m_buffer.get(), m_used);
    m_used = 0;
    // Let the disk start on what is written while the rest is prepared, so that the closing
    // fsync has little left to wait for.
    if (m_err == 0 && m_written - m_synced >= kBufferSize * 4) {
        ::sync_file_range(m_fd, static_cast<off_t>(m_synced), static_cast<off_t>(m_written - m_synced),
                          SYNC_FILE_RANGE_WRITE);
        m_synced = m_written;
    }
}

void ReplacementFile::WriteAll(const char* p, size_t n) {
    size_t breaks = 0;
    for (size_t i = 0; i < n; ++i) breaks += (p[i] == '\r') | (p[i] == '\n');
    m_breaks += breaks;
    SystemCalls& sys = SystemCalls::Current();
    while (n > 0 && m_err == 0) {
        const ssize_t done = sys.Write(m_fd, p, n);
        if (done < 0) {
            if (errno != EINTR) m_err = errno;
            continue;
        }
        p += done;
        n -= static_cast<size_t>(done);
        m_written += static_cast<size_t>(done);
    }
}

Status ReplacementFile::Replace() {
    if (SystemCalls::Current().Rename(m_temp.c_str(), m_to.final.c_str()) != 0) return Error(errno);
    m_temp.clear();
    InterruptCleanup::Remove(m_tempSlot);
    m_tempSlot = -1;
    m_replaced = true;
    return Status::Ok();
}

Status ReplacementFile::KeepOld() {
    if (!m_to.exists) return Status::Ok();  // nothing to keep
    SystemCalls& sys = SystemCalls::Current();
    const int err = CreateBeside(m_to.final, ".old", m_old, [&](const std::string& name) {
        if (sys.Link(m_to.final.c_str(), name.c_str()) == 0) return 0;
        if (errno == EEXIST) return EEXIST;
        // No hard links here (vfat, some network shares): a copy keeps the old content instead.
        return CopyFile(m_to.final, name, O_CREAT | O_EXCL, m_to.st.st_mode & 07777);
    });
    if (err != 0) {
        m_old.clear();
        return Error("cannot keep the old file while the new one is put in place: " + Reason(err));
    }
    return Status::Ok();
}

// Puts the old target back in place of the new one (or removes the new one where there was
// none). Empty when done; otherwise a sentence saying where the old content is.
std::string ReplacementFile::RestoreOld() {
    if (!m_replaced) return {};
    SystemCalls& sys = SystemCalls::Current();
    if (!m_to.exists) {
        sys.Unlink(m_to.final.c_str());
        return {};
    }
    if (m_old.empty()) return {};
    // Renamed back, or else written back in place from the kept file.
    if (sys.Rename(m_old.c_str(), m_to.final.c_str()) == 0 ||
        (CopyFile(m_old, m_to.final, O_TRUNC, 0) == 0 && sys.Unlink(m_old.c_str()) == 0)) {
        m_old.clear();
        return {};
    }
    m_keepOld = true;  // kept rather than lost
    return " The old content of " + QuotedPath(m_target) + " is kept as " + QuotedPath(m_old) + ".";
}

void ReplacementFile::DropOld() {
    if (!m_old.empty() && !m_keepOld) SystemCalls::Current().Unlink(m_old.c_str());
    m_old.clear();
}

void ReplacementFile::SyncDirectory() {
    const int fd = ::open(DirectoryOf(m_to.final).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void ReplacementFile::Discard() {
    SystemCalls& sys = SystemCalls::Current();
    if (m_fd >= 0) sys.Close(m_fd);
    m_fd = -1;
    if (!m_temp.empty()) sys.Unlink(m_temp.c_str());
    m_temp.clear();
    InterruptCleanup::Remove(m_tempSlot);
    m_tempSlot = -1;
    DropOld();
}

Status ReplacementFile::ReplaceTogether(std::span<const std::unique_ptr<ReplacementFile>> files) {
    // An interrupt waits until every file is in place (or put back): a set is replaced whole.
    const InterruptCleanup::Hold hold;
    if (files.size() > 1)
        for (auto& f : files)
            if (Status s = f->KeepOld(); !s) return s;
    for (size_t replaced = 0; replaced < files.size(); ++replaced) {
        if (Status s = files[replaced]->Replace(); !s) {
            std::string kept;
            for (size_t i = 0; i < replaced; ++i) kept += files[i]->RestoreOld();
            // Every file put back: nothing was saved. Otherwise the message tells where the old
            // content is.
            return kept.empty() ? s : Status::Error(s.message() + kept);
        }
    }
    for (auto& f : files) {
        f->DropOld();
        f->SyncDirectory();
    }
    return Status::Ok();
}
