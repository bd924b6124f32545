#pragma once
// How an integer is read from text, in one place: from the start of a line or a cell (as the C
// library's atoi does, for the numbers in files and in number columns) and from a whole field
// the user types. The sort's number and date keys, the file reader and the entry dialogs all
// read integers this way.
#include <cstdint>
#include <optional>
#include <string_view>

namespace IntegerText {

// The C library's isspace in the C locale: space, \t, \n, \v, \f, \r.
inline bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The C library's atoi: leading white space, an optional sign, digits up to the first other
// character; 0 without digits. Values beyond the signed 32-bit range stop at its nearest end
// instead of being undefined. Numbers in the files and in number columns read this way.
int32_t LeadingInt(std::string_view text);

// A whole field as a decimal integer: an optional sign directly before the digits, blanks
// (spaces, tabs) allowed before and after, the value within the signed 32-bit range. Nothing
// otherwise. Fields the user types read this way.
std::optional<int32_t> ParseInteger(std::string_view field);

}  // namespace IntegerText
