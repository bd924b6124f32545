#pragma once
// How two cells of a column compare: as numbers, as dd/mm/yyyy dates, or as text.
#include <cstdint>
#include <string_view>

// Every character is '0'..'9' (the empty text passes).
bool IsAllDigits(std::string_view text);
// Exactly dd/mm/yyyy: 10 characters, digits but for '/' at 2 and 5.
bool IsSlashDate(std::string_view text);
// The C library's atoi rule: leading white space, optional sign, digits; 0 if none.
// Values beyond the 32-bit range saturate.
int32_t AtoiValue(std::string_view text);
// -1, 0, 1 by AtoiValue.
int CompareAsNumbers(std::string_view x, std::string_view y);
// Year (6..9), then month (3..4), then day (0..1), each part by AtoiValue, cut at the text's end.
int CompareAsDates(std::string_view x, std::string_view y);
