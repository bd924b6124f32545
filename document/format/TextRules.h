#pragma once
// The small text rules of the file format, each in one place: which white space a read trims
// and which bytes a field can carry (how an integer is read is core/IntegerText.h).
//
// The format: the Text runs to its line end, so it may hold '|' but no line break; the Global
// ID, Group Name and Group ID (and the names of the group table) end at the next '|', so they
// may hold neither. UTF-8 validity is in document/format/TextEncoding.h.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "core/IntegerText.h"

namespace TextRules {

using IntegerText::IsSpace;
using IntegerText::LeadingInt;
using IntegerText::ParseInteger;

// Without its trailing white space (IsSpace), as a read keeps a Global ID or a Group Name.
inline std::string_view TrimTrailingSpace(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && IsSpace(s[n - 1])) --n;
    return s.substr(0, n);
}

namespace detail {
// Whether any byte of s is one of the given bytes; a word at a time, since every cell of a
// large table passes through here before a save.
template <char... kBytes>
bool Contains(std::string_view s) {
    constexpr uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
    auto hasZeroByte = [](uint64_t v) { return (v - kOnes) & ~v & kHighs; };
    const char* p = s.data();
    size_t n = s.size();
    for (; n >= 8; p += 8, n -= 8) {
        uint64_t word;
        std::memcpy(&word, p, 8);
        if ((hasZeroByte(word ^ (kOnes * static_cast<unsigned char>(kBytes))) | ...)) return true;
    }
    for (; n > 0; ++p, --n)
        if (((*p == kBytes) || ...)) return true;
    return false;
}
}  // namespace detail

// A CR or LF: what no field can carry, the Text included.
inline bool HasLineBreak(std::string_view s) {
    return detail::Contains<'\r', '\n'>(s);
}
// A '|', CR or LF: what the Global ID, Group Name and Group ID cannot carry.
inline bool HasFieldBreaker(std::string_view s) {
    return detail::Contains<'|', '\r', '\n'>(s);
}

}  // namespace TextRules
