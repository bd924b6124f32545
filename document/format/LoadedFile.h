#pragma once
// A whole file read into memory at once: only a regular file (or one a link names), opened
// without blocking (a FIFO would wait for a writer), and only when it did not change while it
// was read: the same size, modification and change times after the reading as before it, and
// exactly that many bytes read. Large files get a buffer mapped directly and asked for huge pages: filling a
// big buffer page by page costs more in page faults than the reading itself.
#include <cstddef>
#include <string>

class LoadedFile {
public:
    enum class Result {
        Ok,
        Missing,  // the file does not exist
        Failed,   // it exists but cannot be read (or is not a regular file)
    };

    LoadedFile() = default;
    LoadedFile(const LoadedFile&) = delete;
    LoadedFile& operator=(const LoadedFile&) = delete;
    ~LoadedFile() { Release(); }

    // Reads the file, replacing what was held. Anything but Ok leaves the message, naming the
    // file and the reason, in error(). Running out of memory is Failed too.
    Result Load(const std::string& path);
    const std::string& error() const { return m_error; }

    const char* data() const { return m_data; }
    size_t size() const { return m_size; }

private:
    static constexpr size_t kHugePage = size_t{2} << 20;
    static constexpr size_t kMapThreshold = size_t{4} << 20;

    // A buffer of at least `capacity` bytes that keeps the first m_size bytes; false when out of memory.
    bool Grow(size_t capacity);
    void Release();
    Result Fail(int fd, const char* verb, const std::string& path, const std::string& reason);

    char* m_data = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0;
    bool m_mapped = false;
    std::string m_error;
};
