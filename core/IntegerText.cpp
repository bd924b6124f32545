#include "core/IntegerText.h"

#include <limits>

namespace IntegerText {

namespace {

constexpr int64_t kBeyond = int64_t{std::numeric_limits<int32_t>::max()} + 1;

// The digits from text[i] on, their magnitude stopped just past the 32-bit range; `i` is left
// on the first other character.
int64_t Digits(std::string_view text, size_t& i, bool& any) {
    int64_t magnitude = 0;
    any = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        any = true;
        if (magnitude <= kBeyond) magnitude = magnitude * 10 + (text[i] - '0');
    }
    return magnitude;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

int32_t LeadingInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    bool any = false;
    const int64_t magnitude = Digits(text, i, any);
    if (negative) return static_cast<int32_t>(-std::min(magnitude, kBeyond));
    return static_cast<int32_t>(std::min(magnitude, kBeyond - 1));
}

std::optional<int32_t> ParseInteger(std::string_view field) {
    size_t begin = 0, end = field.size();
    while (begin < end && IsBlank(field[begin])) ++begin;
    while (end > begin && IsBlank(field[end - 1])) --end;
    const std::string_view number = field.substr(begin, end - begin);
    size_t i = 0;
    const bool negative = !number.empty() && number[0] == '-';
    if (!number.empty() && (number[0] == '+' || number[0] == '-')) ++i;
    bool any = false;
    const int64_t magnitude = Digits(number, i, any);
    if (!any || i != number.size() || magnitude > (negative ? kBeyond : kBeyond - 1)) return std::nullopt;
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace IntegerText
