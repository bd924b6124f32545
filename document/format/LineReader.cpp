#include "document/format/LineReader.h"

#include <cstdint>

// Counted in blocks into a byte-sized counter, a loop the compiler
// turns into vector compares: this runs over every byte of a file before it is cut into lines.
size_t CountLineFeeds(const char* p, const char* end) {
    constexpr size_t kBlock = 128;  // at most 128 per block: the byte counter cannot overflow
    size_t total = 0;
    for (; static_cast<size_t>(end - p) >= kBlock; p += kBlock) {
        uint8_t n = 0;
        for (size_t i = 0; i < kBlock; ++i) n = static_cast<uint8_t>(n + (p[i] == '\n'));
        total += n;
    }
    for (; p != end; ++p) total += *p == '\n';
    return total;
}
