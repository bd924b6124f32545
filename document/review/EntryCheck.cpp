#include "document/review/EntryCheck.h"

#include <array>

namespace {

constexpr std::array<std::string_view, kEntryCheckCount> kNames = {
    "placeholder", "accelerator", "whitespace", "parts", "empty", "duplicate-id", "bad-id", "pair-id"};

}  // namespace

std::string_view CheckName(EntryCheck check) {
    return kNames[static_cast<size_t>(check)];
}

std::optional<EntryCheck> CheckByName(std::string_view name) {
    for (size_t i = 0; i < kNames.size(); ++i)
        if (kNames[i] == name) return static_cast<EntryCheck>(i);
    return std::nullopt;
}
