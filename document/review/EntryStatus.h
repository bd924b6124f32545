#pragma once
// The status of a localized entry: its translation is missing (the .txl holds no entry for it
// and the row stands in with a copy of the original), the same text as the original, or a real
// translation.
#include <string_view>

#include "document/format/TextEncoding.h"

enum class EntryStatus { Missing, Same, Translated };

// `original` and `translation` are the Text cells, each in its own file's encoding; `standIn`
// tells that the translation row is a stand-in copy.
EntryStatus StatusOf(std::string_view original, Encoding originalEncoding, std::string_view translation,
                     Encoding translationEncoding, bool standIn);

// "missing", "same", "translated".
std::string_view StatusName(EntryStatus status);
// Missing or the same as the original.
inline bool IsNotTranslated(EntryStatus status) {
    return status != EntryStatus::Translated;
}
