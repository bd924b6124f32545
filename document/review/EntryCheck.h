#pragma once
// The checks run over the entries of a document, each with the fixed name used on the command
// line and in reports. A row's problems are one bit per check.
#include <cstdint>
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
};
inline constexpr int kEntryCheckCount = 8;

using CheckMask = uint8_t;
inline constexpr CheckMask kAllChecks = 0xFF;
constexpr CheckMask MaskOf(EntryCheck check) {
    return static_cast<CheckMask>(1u << static_cast<unsigned>(check));
}

// "placeholder", "accelerator", "whitespace", "parts", "empty", "duplicate-id", "bad-id", "pair-id".
std::string_view CheckName(EntryCheck check);
std::optional<EntryCheck> CheckByName(std::string_view name);
