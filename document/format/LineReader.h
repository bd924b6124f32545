#pragma once
// Lines of a file held in memory, cut in place: LF ends a line, a CR just before the LF is dropped
// with it, and the last line needs no line end. Past the end every line is empty. No line is
// copied: a large document is cut into lines without an allocation per line.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// The LF bytes in [p, end), counted the fast way: this runs over every byte of a file.
size_t CountLineFeeds(const char* p, const char* end);

class LineReader {
public:
    LineReader() = default;
    LineReader(const char* data, size_t size) : m_p(data), m_end(data + size) {}

    bool AtEnd() const { return m_p == m_end; }

    std::string_view Next() {
        if (m_p == m_end) return {};
        ++m_line;
        const char* start = m_p;
        const char* lf =
            static_cast<const char*>(std::memchr(start, '\n', static_cast<size_t>(m_end - start)));
        const char* stop = lf ? lf : m_end;
        m_p = lf ? lf + 1 : m_end;
        if (lf && stop > start && stop[-1] == '\r') --stop;
        return {start, static_cast<size_t>(stop - start)};
    }

    // Skips lines up to and including the first one that is `line`; false when there is none.
    bool SkipPast(std::string_view line) {
        while (!AtEnd())
            if (Next() == line) return true;
        return false;
    }

    size_t RemainingBytes() const { return static_cast<size_t>(m_end - m_p); }
    // The 1-based number of the line Next returned last.
    uint32_t LineNumber() const { return m_line; }
    size_t RemainingLines() const {
        if (AtEnd()) return 0;
        const size_t lfs = CountLineFeeds(m_p, m_end);
        return lfs + (m_end[-1] == '\n' ? 0 : 1);
    }

private:
    const char* m_p = nullptr;
    const char* m_end = nullptr;
    uint32_t m_line = 0;
};
