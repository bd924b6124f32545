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

// gettext's <inttypes.h> macro at `i` ("<PRIdMAX>", "<PRIx64>", "<PRIuLEAST16>", "<PRIiPTR>",
// ...): its end, or 0. `length` becomes the macro's size ("<MAX>", "<64>", ...), `type` the
// argument type as ConversionType gives it.
size_t ParseInttypesMacro(std::string_view s, size_t i, std::string& length, const char*& type) {
    if (s.substr(i, 4) != "<PRI" || i + 5 >= s.size()) return 0;
    const char conversion = s[i + 4];
    if (conversion == '\0' || !std::strchr("diouxX", conversion)) return 0;
    const size_t close = s.find('>', i + 5);
    if (close == std::string_view::npos) return 0;
    const std::string_view size = s.substr(i + 5, close - i - 5);
    std::string_view bits = size;
    for (const std::string_view prefix : {std::string_view("LEAST"), std::string_view("FAST")})
        if (bits.substr(0, prefix.size()) == prefix) bits.remove_prefix(prefix.size());
    const bool sized = bits == "8" || bits == "16" || bits == "32" || bits == "64";
    if (!sized && !(bits == size && (size == "MAX" || size == "PTR"))) return 0;
    length.assign(1, '<');
    length.append(size);
    length += '>';
    type = ConversionType(conversion);
    return close + 1;
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
    size_t end = i + 1;
    if (!type && length.empty()) {
        // gettext's form of the <inttypes.h> macros: "%" PRIdMAX is written %<PRIdMAX>.
        end = ParseInttypesMacro(s, i, length, type);
        if (!end) return 0;
    }
    if (!type) return 0;
    auto number = [&position, &next]() { return position.empty() ? std::to_string(next++) : position; };
    for (int k = 0; k < stars; ++k) kinds.push_back(number() + "$d");
    kinds.push_back(number() + "$" + length + type);
    return end;
}

// A Qt-style %1..%99 (or %L1..%L99) at `start`: its end, or 0.
size_t ParseQt(std::string_view s, size_t start, std::string& kind) {
    size_t i = start + 1;
    if (i < s.size() && s[i] == 'L') ++i;
    if (i >= s.size() || s[i] < '1' || s[i] > '9') return 0;
    size_t end = i + 1;
    if (end < s.size() && IsDigit(s[end])) ++end;
    if (end < s.size() && s[end] == '$') return 0;  // the position of a printf conversion
    kind.assign(1, '%');
    kind.append(s.substr(i, end - i));
    return end;
}

// "{name}", or "{name,type}".
std::string Braced(std::string_view name, std::string_view type = {}) {
    std::string out(1, '{');
    out.append(name);
    if (!type.empty()) out.append(1, ',').append(type);
    out += '}';
    return out;
}

size_t SkipBlanks(std::string_view s, size_t i) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    return i;
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The ICU MessageFormat argument types: those that format the argument, and those that choose
// among sub-messages by it.
bool IsSimpleArgumentType(std::string_view t) {
    return t == "number" || t == "date" || t == "time" || t == "spellout" || t == "ordinal" ||
           t == "duration";
}
bool IsComplexArgumentType(std::string_view t) {
    return t == "plural" || t == "select" || t == "selectordinal";
}

size_t ParseBrace(std::string_view s, size_t start, std::vector<Placeholder>& out, int depth);

// How far a brace argument may reach and how deep sub-messages may nest: an unclosed argument in
// a long text is then given up after a bounded look (each '{' is tried), and no text can run
// the parse out of stack.
constexpr size_t kMaxArgumentBytes = 4096;
constexpr int kMaxArgumentDepth = 16;

// The sub-messages of an ICU plural or select argument, from `i` (past "plural,") to just past
// the argument's closing '}', or 0. The arguments inside go to `inner`, each kind once: every
// language has its own set of plural forms, and the same argument may stand in each of them.
size_t ParseSubMessages(std::string_view s, size_t i, bool plural, std::vector<Placeholder>& inner,
                        int depth) {
    int messages = 0;
    for (;;) {
        i = SkipBlanks(s, i);
        if (i >= s.size()) return 0;
        if (s[i] == '}') return messages ? i + 1 : 0;
        // The selector: a keyword (one, few, other, male, ...), "=N", or the plural "offset:N".
        if (plural && s.substr(i, 7) == "offset:") {
            const size_t from = SkipBlanks(s, i + 7);
            i = SkipDigits(s, from);
            if (i == from) return 0;
            continue;
        }
        if (s[i] == '=') ++i;
        const size_t word = i;
        while (i < s.size() && (IsNameChar(s[i]) || s[i] == '-')) ++i;
        if (i == word) return 0;
        i = SkipBlanks(s, i);
        if (i >= s.size() || s[i] != '{') return 0;
        // The sub-message: text with arguments of its own, up to its closing brace.
        for (++i;;) {
            while (i < s.size() && s[i] != '{' && s[i] != '}') ++i;
            if (i >= s.size()) return 0;
            if (s[i] == '}') break;
            std::vector<Placeholder> found;
            const size_t end = ParseBrace(s, i, found, depth + 1);
            if (!end) return 0;  // a lone brace: not a message, so not an argument either
            for (Placeholder& p : found) {
                const bool seen = std::any_of(inner.begin(), inner.end(),
                                              [&p](const Placeholder& q) { return q.kind == p.kind; });
                if (!seen) inner.push_back(std::move(p));
            }
            i = end;
        }
        ++i;
        ++messages;
    }
}

// A brace placeholder at the '{' at `start`: appends what it holds to `out` and returns its end,
// or returns 0 when the braces hold text. An argument is a number or a name: alone ("{0}",
// "{name}"), with a format ("{0:N2}", "{0,-8}"), or an ICU MessageFormat argument ("{n, number}",
// "{count, plural, one {# file} other {# files}}", "{gender, select, ...}"), whose kind names
// plural and select and whose sub-messages' arguments count too. "{a,b,c}" is text.
size_t ParseBrace(std::string_view s, size_t start, std::vector<Placeholder>& out, int depth) {
    if (depth > kMaxArgumentDepth) return 0;
    size_t i = SkipBlanks(s, start + 1);
    const size_t nameStart = i;
    while (i < s.size() && IsNameChar(s[i])) ++i;
    if (i == nameStart) return 0;
    const std::string name(s.substr(nameStart, i - nameStart));
    const bool number = std::all_of(name.begin(), name.end(), IsDigit);
    i = SkipBlanks(s, i);
    if (i >= s.size()) return 0;
    const auto argument = [&](size_t end, std::string kind) {
        out.push_back({s.substr(start, end - start), std::move(kind)});
        return end;
    };
    // To the closing brace of a format, which holds no brace.
    const auto format = [&](size_t from) -> size_t {
        while (from < s.size() && s[from] != '}' && s[from] != '{') ++from;
        return from < s.size() && s[from] == '}' ? argument(from + 1, Braced(name)) : 0;
    };
    if (s[i] == '}') return argument(i + 1, Braced(name));
    if (s[i] == ':') return format(i);
    if (s[i] != ',') return 0;
    i = SkipBlanks(s, i + 1);
    if (number && i < s.size() && (s[i] == '-' || IsDigit(s[i]))) {
        // An alignment, perhaps with a format: "{0,-8}", "{0,10:N2}".
        const size_t digits = s[i] == '-' ? i + 1 : i;
        i = SkipDigits(s, digits);
        return i == digits ? 0 : format(i);
    }
    const size_t typeStart = i;
    while (i < s.size() && IsLetter(s[i])) ++i;
    const std::string_view type = s.substr(typeStart, i - typeStart);
    i = SkipBlanks(s, i);
    if (i >= s.size()) return 0;
    if (IsSimpleArgumentType(type)) {
        if (s[i] == '}') return argument(i + 1, Braced(name));
        return s[i] == ',' ? format(i) : 0;  // a style: a keyword, a pattern or a skeleton
    }
    if (!IsComplexArgumentType(type) || s[i] != ',') return 0;
    std::vector<Placeholder> inner;
    const size_t end = ParseSubMessages(s, i + 1, type != "select", inner, depth);
    if (!end) return 0;
    argument(end, Braced(name, type));
    out.insert(out.end(), std::make_move_iterator(inner.begin()), std::make_move_iterator(inner.end()));
    return end;
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

std::vector<std::string> SortedKinds(std::string_view text, PercentReading reading) {
    std::vector<std::string> kinds;
    for (Placeholder& p : FindPlaceholders(text, reading)) kinds.push_back(std::move(p.kind));
    std::sort(kinds.begin(), kinds.end());
    return kinds;
}

// Whether a text holds a printf conversion that cannot be read as Qt's: one without a number
// right after the '%' ("%s", "%-5d", "%.2f"), or a positional one ("%1$s").
bool HasPrintfOnly(std::string_view text) {
    for (const Placeholder& p : FindPlaceholders(text, PercentReading::PrintfFirst)) {
        std::string kind;
        const auto at = static_cast<size_t>(p.written.data() - text.data());
        if (p.kind[0] != '{' && p.kind[0] != '%' && ParseQt(text, at, kind) == 0) return true;
    }
    return false;
}

// Whether a '%' is followed by a digit from 1 to 9 (or by "L" and one), where the Qt reading
// of a text can differ from the printf one.
bool HasQtDigits(std::string_view s) {
    for (size_t i = s.find('%'); i != std::string_view::npos && i + 1 < s.size(); i = s.find('%', i + 1)) {
        const size_t d = s[i + 1] == 'L' ? i + 2 : i + 1;
        if (d < s.size() && s[d] >= '1' && s[d] <= '9') return true;
    }
    return false;
}

// A pair may be read as Qt texts when a number follows a '%' somewhere and neither text holds
// a conversion only printf has: then "%1st" is %1 and "st", not a string of width 1.
bool QtReadingAllowed(std::string_view a, std::string_view b) {
    return (HasQtDigits(a) || HasQtDigits(b)) && !HasPrintfOnly(a) && !HasPrintfOnly(b);
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

std::vector<Placeholder> FindPlaceholders(std::string_view text, PercentReading reading) {
    std::vector<Placeholder> found;
    std::vector<std::string> kinds;
    int next = 1;
    for (size_t i = NextMarker(text, 0); i < text.size(); i = NextMarker(text, i)) {
        if (i + 1 < text.size() && text[i + 1] == text[i]) {  // "%%" and "{{" are literal
            i += 2;
            continue;
        }
        if (text[i] == '{') {
            const size_t end = ParseBrace(text.substr(0, i + kMaxArgumentBytes), i, found, 0);
            i = end ? end : i + 1;
            continue;
        }
        size_t end = 0;
        kinds.clear();
        std::string kind;
        if (reading == PercentReading::QtFirst && (end = ParseQt(text, i, kind))) {
            kinds.push_back(std::move(kind));
        } else {
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

PercentReading ReadingOfPair(std::string_view a, std::string_view b) {
    if (SortedKinds(a, PercentReading::PrintfFirst) == SortedKinds(b, PercentReading::PrintfFirst) ||
        !QtReadingAllowed(a, b))
        return PercentReading::PrintfFirst;
    if (SortedKinds(a, PercentReading::QtFirst) == SortedKinds(b, PercentReading::QtFirst))
        return PercentReading::QtFirst;
    // They differ either way: read them as Qt texts when either holds a placeholder only Qt has.
    for (std::string_view text : {a, b})
        for (const Placeholder& p : FindPlaceholders(text, PercentReading::PrintfFirst))
            if (p.kind[0] == '%') return PercentReading::QtFirst;
    return PercentReading::PrintfFirst;
}

bool SamePlaceholders(std::string_view a, std::string_view b) {
    const bool ma = HasMarkers(a), mb = HasMarkers(b);
    if (!ma && !mb) return true;
    if (ma != mb) return FindPlaceholders(ma ? a : b).empty();
    if (SortedKinds(a, PercentReading::PrintfFirst) == SortedKinds(b, PercentReading::PrintfFirst))
        return true;
    return QtReadingAllowed(a, b) &&
           SortedKinds(a, PercentReading::QtFirst) == SortedKinds(b, PercentReading::QtFirst);
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
