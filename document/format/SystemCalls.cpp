#include "document/format/SystemCalls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace {
SystemCalls g_plain;
}  // namespace

SystemCalls* SystemCalls::s_current = &g_plain;

SystemCalls& SystemCalls::Current() {
    return *s_current;
}

int SystemCalls::Open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}
int SystemCalls::Close(int fd) {
    return ::close(fd);
}
int SystemCalls::Fstat(int fd, struct stat* st) {
    return ::fstat(fd, st);
}
int SystemCalls::Lstat(const char* path, struct stat* st) {
    return ::lstat(path, st);
}
ssize_t SystemCalls::Read(int fd, void* buffer, size_t size) {
    return ::read(fd, buffer, size);
}
ssize_t SystemCalls::Write(int fd, const void* data, size_t size) {
    return ::write(fd, data, size);
}
int SystemCalls::Fsync(int fd) {
    return ::fsync(fd);
}
int SystemCalls::Fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}
int SystemCalls::Fchown(int fd, uid_t owner, gid_t group) {
    return ::fchown(fd, owner, group);
}
int SystemCalls::Rename(const char* from, const char* to) {
    return std::rename(from, to);
}
int SystemCalls::Link(const char* from, const char* to) {
    return ::link(from, to);
}
int SystemCalls::Unlink(const char* path) {
    return ::unlink(path);
}
