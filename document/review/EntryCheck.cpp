#include "document/review/EntryCheck.h"

#include <array>

namespace {

using namespace std::string_view_literals;
constexpr std::array kNames = {"placeholder"sv, "accelerator"sv,  "whitespace"sv, "parts"sv,
                               "empty"sv,       "duplicate-id"sv, "bad-id"sv,     "pair-id"sv};
static_assert(kNames.size() == kEntryCheckCount, "every check needs its name, in the order of EntryCheck");

}  // namespace

std::string_view CheckName(EntryCheck check) {
    return kNames[static_cast<size_t>(check)];
}

std::optional<EntryCheck> CheckByName(std::string_view name) {
    for (size_t i = 0; i < kNames.size(); ++i)
        if (kNames[i] == name) return static_cast<EntryCheck>(i);
    return std::nullopt;
}
