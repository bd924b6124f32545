#pragma once
// The system calls the file code makes, behind one interface, so that a test can make any one of
// them fail (or answer otherwise) and see what the reader and writer make of it. The process
// uses the plain calls unless a ScopedSystemCalls has put others in their place.
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

class SystemCalls {
public:
    SystemCalls() = default;
    SystemCalls(const SystemCalls&) = delete;
    SystemCalls& operator=(const SystemCalls&) = delete;
    virtual ~SystemCalls() = default;

    // Each one is the call of the same name: -1 with errno set on failure.
    virtual int Open(const char* path, int flags, mode_t mode);
    virtual int Close(int fd);
    virtual int Fstat(int fd, struct stat* st);
    virtual int Lstat(const char* path, struct stat* st);
    virtual ssize_t Read(int fd, void* buffer, size_t size);
    virtual ssize_t Write(int fd, const void* data, size_t size);
    virtual int Fsync(int fd);
    virtual int Fchmod(int fd, mode_t mode);
    virtual int Fchown(int fd, uid_t owner, gid_t group);
    virtual int Rename(const char* from, const char* to);
    virtual int Link(const char* from, const char* to);
    virtual int Unlink(const char* path);

    // The calls in use now.
    static SystemCalls& Current();

private:
    friend class ScopedSystemCalls;
    static SystemCalls* s_current;
};

// Puts `calls` in place of the current system calls for its lifetime. Not for use while a read
// or write runs on another thread.
class ScopedSystemCalls {
public:
    explicit ScopedSystemCalls(SystemCalls& calls) : m_previous(SystemCalls::s_current) {
        SystemCalls::s_current = &calls;
    }
    ~ScopedSystemCalls() { SystemCalls::s_current = m_previous; }
    ScopedSystemCalls(const ScopedSystemCalls&) = delete;
    ScopedSystemCalls& operator=(const ScopedSystemCalls&) = delete;

private:
    SystemCalls* m_previous;
};
