#pragma once
// The checks run over the entries of a document, each with the fixed name used on the command
// line and in reports. A row's problems are one bit per check.
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

enum class EntryCheck : uint8_t {
    Placeholder,  // the placeholders of original and translation differ
    Accelerator,  // the original's one accelerator is lost or doubled in the translation
    Whitespace,   // leading or trailing white space differs
    Parts,        // the number of '|'-separated parts differs
    Empty,        // the translation is empty, the original not
    DuplicateId,  // two entries of one file share a non-empty Global ID
    BadId,        // a Global ID that is not a decimal integer, or above the last Global ID
    PairId,       // a translation whose Global ID differs from its original's
    // A new check goes above this line, with its name in EntryCheck.cpp.
    Count  // not a check: the number of checks
};
inline constexpr int kEntryCheckCount = static_cast<int>(EntryCheck::Count);

// One bit per check, at the check's position in EntryCheck.
using CheckMask = uint32_t;
static_assert(kEntryCheckCount <= std::numeric_limits<CheckMask>::digits,
              "every check needs a bit of CheckMask: widen it");
constexpr CheckMask MaskOf(EntryCheck check) {
    return static_cast<CheckMask>(CheckMask{1} << static_cast<unsigned>(check));
}
// Every check, and nothing else.
inline constexpr CheckMask kAllChecks = ~CheckMask{0} >>
                                        (std::numeric_limits<CheckMask>::digits - kEntryCheckCount);

// "placeholder", "accelerator", "whitespace", "parts", "empty", "duplicate-id", "bad-id", "pair-id".
// CheckName(EntryCheck::Count) is not called.
std::string_view CheckName(EntryCheck check);
std::optional<EntryCheck> CheckByName(std::string_view name);
