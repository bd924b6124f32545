#include "document/format/LoadedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "document/Status.h"
#include "document/format/SystemCalls.h"

namespace {

bool SameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

bool LoadedFile::Grow(size_t capacity) {
    char* p = nullptr;
    bool mapped = false;
    if (capacity >= kMapThreshold) {
        capacity = (capacity + kHugePage - 1) / kHugePage * kHugePage;
        void* m = ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (m == MAP_FAILED) return false;
        ::madvise(m, capacity, MADV_HUGEPAGE);
        p = static_cast<char*>(m);
        mapped = true;
    } else {
        p = static_cast<char*>(std::malloc(capacity ? capacity : 1));
        if (!p) return false;
    }
    if (m_size) std::memcpy(p, m_data, m_size);
    const size_t size = m_size;
    Release();
    m_data = p;
    m_size = size;
    m_capacity = capacity;
    m_mapped = mapped;
    return true;
}

void LoadedFile::Release() {
    if (m_mapped)
        ::munmap(m_data, m_capacity);
    else
        std::free(m_data);
    m_data = nullptr;
    m_size = m_capacity = 0;
    m_mapped = false;
}

LoadedFile::Result LoadedFile::Fail(int fd, const char* verb, const std::string& path,
                                    const std::string& reason) {
    m_error = std::string(verb) + QuotedPath(path) + ": " + reason + ".";
    SystemCalls::Current().Close(fd);
    Release();
    return Result::Failed;
}

LoadedFile::Result LoadedFile::Load(const std::string& path) {
    Release();
    m_error.clear();
    SystemCalls& sys = SystemCalls::Current();
    // Not blocking: opening a FIFO waits for a writer, which may never come.
    const int fd = sys.Open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0);
    if (fd < 0) {
        const int err = errno;
        m_error = "Cannot open " + QuotedPath(path) + ": " + std::strerror(err) + ".";
        return err == ENOENT || err == ENOTDIR ? Result::Missing : Result::Failed;
    }
    struct stat before {};
    if (sys.Fstat(fd, &before) != 0) return Fail(fd, "Cannot read ", path, std::strerror(errno));
    if (S_ISDIR(before.st_mode)) return Fail(fd, "Cannot open ", path, std::strerror(EISDIR));
    if (!S_ISREG(before.st_mode)) return Fail(fd, "Cannot open ", path, "not a regular file");
    const size_t expected = static_cast<size_t>(before.st_size);
    if (!Grow(expected + 1)) return Fail(fd, "Cannot read ", path, "not enough memory");
    for (;;) {
        if (m_size == m_capacity && !Grow(m_capacity * 2))
            return Fail(fd, "Cannot read ", path, "not enough memory");
        const ssize_t got = sys.Read(fd, m_data + m_size, m_capacity - m_size);
        if (got < 0) {
            if (errno == EINTR) continue;
            return Fail(fd, "Cannot read ", path, std::strerror(errno));
        }
        if (got == 0) break;
        m_size += static_cast<size_t>(got);
    }
    // Another program writing the file meanwhile would leave a torn table. A rewrite at the same
    // size shows in the modification time, and in the change time when the writer put the
    // modification time back (as copying with times kept does); a file that ends before its size
    // in the bytes read.
    struct stat after {};
    if (sys.Fstat(fd, &after) != 0) return Fail(fd, "Cannot read ", path, std::strerror(errno));
    if (after.st_size != before.st_size || !SameTime(after.st_mtim, before.st_mtim) ||
        !SameTime(after.st_ctim, before.st_ctim) || m_size != expected)
        return Fail(fd, "Cannot read ", path, "it changed while it was being read; try again");
    sys.Close(fd);
    return Result::Ok;
}
