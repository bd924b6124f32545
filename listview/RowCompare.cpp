#include "listview/RowCompare.h"

#include <limits>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// White space as the C library's isspace sees it in the "C" locale.
bool IsAtoiSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Characters pos .. pos+count-1 of text, cut short at its end (empty past the end).
std::string_view Part(std::string_view text, size_t pos, size_t count) {
    return pos >= text.size() ? std::string_view{} : text.substr(pos, count);
}

int Sign(int32_t x, int32_t y) {
    return x < y ? -1 : (x > y ? 1 : 0);
}

}  // namespace

bool IsAllDigits(std::string_view text) {
    for (char c : text) {
        if (!IsDigit(c)) return false;
    }
    return true;
}

bool IsSlashDate(std::string_view text) {
    if (text.size() != 10) return false;
    for (size_t i = 0; i < 10; ++i) {
        const bool ok = (i == 2 || i == 5) ? text[i] == '/' : IsDigit(text[i]);
        if (!ok) return false;
    }
    return true;
}

int32_t AtoiValue(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsAtoiSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate the magnitude in 64 bits and stop growing it once it is past the 32-bit range.
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (magnitude <= kLimit) magnitude = magnitude * 10 + (text[i] - '0');
    }
    if (negative) {
        return magnitude >= kLimit ? std::numeric_limits<int32_t>::min() : static_cast<int32_t>(-magnitude);
    }
    return magnitude >= kLimit ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(magnitude);
}

int CompareAsNumbers(std::string_view x, std::string_view y) {
    return Sign(AtoiValue(x), AtoiValue(y));
}

int CompareAsDates(std::string_view x, std::string_view y) {
    if (const int c = Sign(AtoiValue(Part(x, 6, 4)), AtoiValue(Part(y, 6, 4)))) return c;
    if (const int c = Sign(AtoiValue(Part(x, 3, 2)), AtoiValue(Part(y, 3, 2)))) return c;
    return Sign(AtoiValue(Part(x, 0, 2)), AtoiValue(Part(y, 0, 2)));
}
