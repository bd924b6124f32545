#include "document/format/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace {

Status Failed(const std::string& path, int err) {
    return Status::Error("Cannot write \"" + path + "\": " + std::strerror(err) + ".");
}

}  // namespace

Status WriteFileAtomically(const std::string& path, std::string_view bytes) {
    struct stat st {};
    mode_t mode = 0666;
    bool exists = false;
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return Failed(path, EISDIR);
        if (::access(path.c_str(), W_OK) != 0) return Failed(path, errno);
        mode = st.st_mode & 07777;
        exists = true;
    }
    std::random_device rd;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(rd()));
        temp = path + suffix;
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return Failed(path, errno);
    }
    if (fd < 0) return Failed(path, EEXIST);
    int err = 0;
    if (exists && ::fchmod(fd, mode) != 0) err = errno;
    for (size_t done = 0; err == 0 && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno != EINTR) err = errno;
            continue;
        }
        done += static_cast<size_t>(n);
    }
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        return Failed(path, err);
    }
    return Status::Ok();
}
