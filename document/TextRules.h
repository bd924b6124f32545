#pragma once
// The small text rules of the file format, each in one place: how an integer is read from the
// start of a line or a cell, how a whole field is read as an integer, which white space a read
// trims, and which bytes a field can carry.
//
// The format: the Text runs to its line end, so it may hold '|' but no line break; the Global
// ID, Group Name and Group ID (and the names of the group table) end at the next '|', so they
// may hold neither. UTF-8 validity is in document/TextEncoding.h.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace TextRules {

// The C library's isspace in the C locale: space, \t, \n, \v, \f, \r.
inline bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Without its trailing white space (IsSpace), as a read keeps a Global ID or a Group Name.
inline std::string_view TrimTrailingSpace(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && IsSpace(s[n - 1])) --n;
    return s.substr(0, n);
}

// The C library's atoi: leading white space, an optional sign, digits up to the first other
// character; 0 without digits. Values beyond the signed 32-bit range stop at its nearest end
// instead of being undefined. Numbers in the files and in number columns read this way.
int32_t LeadingInt(std::string_view text);

// A whole field as a decimal integer: an optional sign directly before the digits, blanks
// (spaces, tabs) allowed before and after, the value within the signed 32-bit range. Nothing
// otherwise. Fields the user types read this way.
std::optional<int32_t> ParseInteger(std::string_view field);

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
