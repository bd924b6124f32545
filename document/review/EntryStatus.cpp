#include "document/review/EntryStatus.h"

EntryStatus StatusOf(std::string_view original, Encoding originalEncoding, std::string_view translation,
                     Encoding translationEncoding, bool standIn) {
    if (standIn) return EntryStatus::Missing;
    return SameText(original, originalEncoding, translation, translationEncoding) ? EntryStatus::Same
                                                                                  : EntryStatus::Translated;
}

std::string_view StatusName(EntryStatus status) {
    switch (status) {
        case EntryStatus::Missing:
            return "missing";
        case EntryStatus::Same:
            return "same";
        case EntryStatus::Translated:
            break;
    }
    return "translated";
}
