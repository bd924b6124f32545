#include "document/review/TextMarkers.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsNameChar(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// The argument type of a printf conversion character, or nullptr when `c` is none.
const char* ConversionType(char c) {
    switch (c) {
        case 'd':
        case 'i':
            return "d";
        case 'o':
        case 'u':
        case 'x':
        case 'X':
            return "u";
        case 'e':
        case 'E':
        case 'f':
        case 'F':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            return "f";
        case 'c':
            return "c";
        case 's':
            return "s";
        case 'p':
            return "p";
        case 'n':
            return "n";
        case 'C':
            return "lc";
        case 'S':
            return "ls";
        default:
            return nullptr;
    }
}

// Digits from `i`; returns the index past them.
size_t SkipDigits(std::string_view s, size_t i) {
    while (i < s.size() && IsDigit(s[i])) ++i;
    return i;
}

// A printf conversion starting at the '%' at `start`: its end, or 0 when there is none. Appends
// one kind per argument it takes, numbering positionless arguments from `next`.
size_t ParsePrintf(std::string_view s, size_t start, int& next, std::vector<std::string>& kinds) {
    size_t i = start + 1;
    std::string position;
    if (const size_t d = SkipDigits(s, i); d > i && d < s.size() && s[d] == '$' && s[i] != '0') {
        position = std::string(s.substr(i, d - i));
        i = d + 1;
    }
    while (i < s.size() && std::strchr("-+#0'", s[i]) && s[i] != '\0') ++i;
    int stars = 0;
    if (i < s.size() && s[i] == '*') {
        ++stars;
        ++i;
    } else {
        i = SkipDigits(s, i);
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        if (i < s.size() && s[i] == '*') {
            ++stars;
            ++i;
        } else {
            i = SkipDigits(s, i);
        }
    }
    std::string length;
    static constexpr std::string_view kLengths[] = {"hh", "ll", "h", "l", "L", "q", "j", "z", "t"};
    for (const std::string_view l : kLengths) {
        if (s.substr(i, l.size()) == l) {
            length = l == "q" ? "ll" : std::string(l);
            i += l.size();
            break;
        }
    }
    if (i >= s.size()) return 0;
    const char* type = ConversionType(s[i]);
    if (!type) return 0;
    auto number = [&position, &next]() { return position.empty() ? std::to_string(next++) : position; };
    for (int k = 0; k < stars; ++k) kinds.push_back(number() + "$d");
    kinds.push_back(number() + "$" + length + type);
    return i + 1;
}

// A Qt-style %1..%99 (or %L1..%L99) at `start`: its end, or 0.
size_t ParseQt(std::string_view s, size_t start, std::string& kind) {
    size_t i = start + 1;
    if (i < s.size() && s[i] == 'L') ++i;
    if (i >= s.size() || s[i] < '1' || s[i] > '9') return 0;
    size_t end = i + 1;
    if (end < s.size() && IsDigit(s[end])) ++end;
    kind.assign(1, '%');
    kind.append(s.substr(i, end - i));
    return end;
}

// A brace placeholder at the '{' at `start`: its end, or 0.
size_t ParseBrace(std::string_view s, size_t start, std::string& kind) {
    size_t i = start + 1;
    while (i < s.size() && IsNameChar(s[i])) ++i;
    if (i == start + 1 || i >= s.size()) return 0;
    const size_t nameEnd = i;
    if (s[i] == ':' || s[i] == ',') {
        while (i < s.size() && s[i] != '}' && s[i] != '{') ++i;
        if (i >= s.size() || s[i] != '}') return 0;
    } else if (s[i] != '}') {
        return 0;
    }
    kind.assign(1, '{');
    kind.append(s.substr(start + 1, nameEnd - start - 1));
    kind += '}';
    return i + 1;
}

// The next '%' or '{' from `i`, or the size. (A two-character find_first_of looks each byte up
// in the set with a call of its own: ten times slower on the long texts without either.)
size_t NextMarker(std::string_view s, size_t i) {
    while (i < s.size() && s[i] != '%' && s[i] != '{') ++i;
    return i;
}

bool HasMarkers(std::string_view s) {
    return std::memchr(s.data(), '%', s.size()) || std::memchr(s.data(), '{', s.size());
}

std::vector<std::string> SortedKinds(std::string_view text) {
    std::vector<std::string> kinds;
    for (Placeholder& p : FindPlaceholders(text)) kinds.push_back(std::move(p.kind));
    std::sort(kinds.begin(), kinds.end());
    return kinds;
}

bool IsSpaceCode(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

// The code point of the UTF-8 sequence of `len` bytes at `p` (already known to be whole).
char32_t DecodeUtf8(const unsigned char* p, size_t len) {
    if (len == 1) return p[0];
    char32_t c = p[0] & (0x7F >> len);
    for (size_t k = 1; k < len; ++k) c = (c << 6) | (p[k] & 0x3F);
    return c;
}

size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

}  // namespace

std::vector<Placeholder> FindPlaceholders(std::string_view text) {
    std::vector<Placeholder> found;
    std::vector<std::string> kinds;
    int next = 1;
    for (size_t i = NextMarker(text, 0); i < text.size(); i = NextMarker(text, i)) {
        size_t end = 0;
        kinds.clear();
        std::string kind;
        if (text[i] == '{') {
            if (i + 1 < text.size() && text[i + 1] == '{') {
                i += 2;
                continue;
            }
            end = ParseBrace(text, i, kind);
            if (end) kinds.push_back(std::move(kind));
        } else {
            if (i + 1 < text.size() && text[i + 1] == '%') {
                i += 2;
                continue;
            }
            end = ParsePrintf(text, i, next, kinds);
            if (!end && (end = ParseQt(text, i, kind))) kinds.push_back(std::move(kind));
        }
        if (!end) {
            ++i;
            continue;
        }
        for (std::string& k : kinds) found.push_back({text.substr(i, end - i), std::move(k)});
        i = end;
    }
    return found;
}

bool SamePlaceholders(std::string_view a, std::string_view b) {
    const bool ma = HasMarkers(a), mb = HasMarkers(b);
    if (!ma && !mb) return true;
    if (ma != mb) return FindPlaceholders(ma ? a : b).empty();
    return SortedKinds(a) == SortedKinds(b);
}

int AcceleratorCount(std::string_view text) {
    int count = 0;
    for (size_t i = text.find('&'); i < text.size(); i = text.find('&', i)) {
        if (i + 1 >= text.size()) break;
        const char next = text[i + 1];
        if (next == '&') {
            i += 2;
            continue;
        }
        if (next != ' ') ++count;
        ++i;
    }
    return count;
}

std::u32string LeadingSpace(std::string_view text, Encoding encoding) {
    std::u32string out;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t i = 0; i < text.size();) {
        size_t len = 1;
        if (encoding == Encoding::Utf8) {
            len = SequenceLength(p[i]);
            if (len == 0 || i + len > text.size()) break;
        }
        const char32_t c = encoding == Encoding::Utf8 ? DecodeUtf8(p + i, len) : p[i];
        if (!IsSpaceCode(c)) break;
        out.push_back(c);
        i += len;
    }
    return out;
}

std::u32string TrailingSpace(std::string_view text, Encoding encoding) {
    std::u32string out;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    size_t end = text.size();
    while (end > 0) {
        size_t start = end - 1;
        if (encoding == Encoding::Utf8) {
            while (start > 0 && end - start < 4 && (p[start] & 0xC0) == 0x80) --start;
            if (SequenceLength(p[start]) != end - start) break;
        }
        const char32_t c = encoding == Encoding::Utf8 ? DecodeUtf8(p + start, end - start) : p[start];
        if (!IsSpaceCode(c)) break;
        out.push_back(c);
        end = start;
    }
    if (end == 0) return {};  // white space only: all of it counts as leading
    std::reverse(out.begin(), out.end());
    return out;
}

size_t PartCount(std::string_view text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '|')) + 1;
}
